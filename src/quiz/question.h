#pragma once
// One true/false item of the question file: its statement and explanation (source lines when read, wrapped
// lines after layout), its answer and whether a draw has taken it.
#include <cstdint>
#include <cstdio>

#include "platform/video/surface.h"

class BitmapFont;

class Question {
 public:
  static constexpr int32_t kSlots = 5;        // lines per area, before and after layout
  static constexpr int32_t kLineBytes = 256;  // one line with its NUL

  Question();

  // Reads one entry. 1 when an empty line closed it, 0 at the end of the file (the entry read so far is lost).
  int32_t ReadQuestion(std::FILE* file);
  // Joins and re-breaks both areas in place to the width of the question panel, measured with `font`.
  int32_t WrapText(const BitmapFont* font);
  int32_t DrawStatement(platform::Surface* destination, const BitmapFont* font, int32_t x, int32_t y) const;
  int32_t DrawExplanation(platform::Surface* destination, const BitmapFont* font, int32_t x, int32_t y) const;

  // A laid-out area that holds one line beginning with a space (an area the file left empty becomes "  ").
  bool IsBlank() const;
  // What a draw can hand to the game: not blank, and a statement to show.
  bool IsShowable() const;

  int32_t statementCount;
  int32_t explanationCount;
  char statementLines[kSlots][kLineBytes];
  char explanationLines[kSlots][kLineBytes];
  int32_t answerIsTrue;
  int32_t used;
  // From the statement's words as read, before layout (quiz/statement_id.h); 0 until the bank sets it.
  uint64_t statementId = 0;
};
