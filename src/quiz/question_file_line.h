#pragma once
// One line of the question file as the game takes it, and the test for an answer line. Shared by the reader and
// by the content checker so that both see the same lines.
#include <cstdint>
#include <cstdio>
#include <string>

constexpr int32_t kLongestFileLine = 253;  // characters before the CR LF

struct QuestionFileLine {
  std::string text;         // without its line end, cut to kLongestFileLine characters
  size_t fullLength = 0;    // characters before the line end, before any cut
  bool closesEntry = false; // an empty line: its first character is CR (or LF in a file without CRs)
  bool endsWithCrLf = false;
  bool endsWithLf = false;  // any LF, with or without the CR before it
};

// Reads up to and including the next LF. A lone LF is taken as CR LF, so a file saved with LF line ends reads
// the same as with CR LF; the part of a line beyond kLongestFileLine is dropped. False at the end of the file.
bool ReadQuestionFileLine(std::FILE* file, QuestionFileLine* line);

// 1 for a line that begins with TRUE, 0 for FALSE (in any letter case, only the beginning counts),
// -1 for a text line.
int32_t AnswerOfLine(const std::string& text);
