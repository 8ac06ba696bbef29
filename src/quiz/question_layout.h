#pragma once
// Laying out a question's text to the width of the question panel: the source lines of an area are joined with
// single spaces (two at the end) and broken again before the word that would make a line wider than the panel.
#include <cstdint>

#include "quiz/question.h"

class BitmapFont;

constexpr int32_t kLayoutWidth = 420;     // widest wrapped line in pixels, its trailing space not counted
constexpr int32_t kJoinBufferSize = 1024; // the joined text of one area
constexpr int32_t kSourceLinesUsed = 3;   // a fourth or fifth source line is not shown

// What the layout had to mend, for the content checker.
struct WrapReport {
  bool wordTooWide = false;  // a word wider than the panel got a line of its own, cut to fit
  bool textDropped = false;  // words beyond the fifth wrapped line were left out
};

// Lays out one area in place; `count` is its number of source lines before and of wrapped lines after.
void WrapArea(char (*lines)[Question::kLineBytes], int32_t* count, const BitmapFont* font, WrapReport* report);
