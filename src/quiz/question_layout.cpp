#include "quiz/question_layout.h"

#include <cstring>

#include "ui/bitmap_font.h"

namespace {

void TrimTrailingSpaces(char* text) {
  size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
}

void Append(char* buffer, const char* text) {
  size_t used = std::strlen(buffer);
  size_t room = kJoinBufferSize - 1 - used;
  size_t length = std::strlen(text);
  if (length > room) length = room;
  std::memcpy(buffer + used, text, length);
  buffer[used + length] = '\0';
}

int32_t Measure(const BitmapFont* font, const char* text) { return font ? font->TextWidth(text) : 0; }

bool HasWordFrom(const char* text) {
  for (; *text; ++text)
    if (*text != ' ') return true;
  return false;
}

}  // namespace

void WrapArea(char (*lines)[Question::kLineBytes], int32_t* count, const BitmapFont* font, WrapReport* report) {
  WrapReport ignored;
  if (!report) report = &ignored;
  char buffer[kJoinBufferSize] = {};
  TrimTrailingSpaces(lines[0]);
  Append(buffer, lines[0]);
  if (*count > 1) {
    Append(buffer, " ");
    TrimTrailingSpaces(lines[1]);
    Append(buffer, lines[1]);
  }
  if (*count > 2) {
    Append(buffer, " ");
    Append(buffer, lines[2]);  // its trailing spaces stay
  }
  Append(buffer, "  ");

  const int32_t length = static_cast<int32_t>(std::strlen(buffer));
  const int32_t lastSlot = Question::kSlots - 1;
  const int32_t lastColumn = Question::kLineBytes - 2;  // leaves room for the NUL
  int32_t line = 0;
  int32_t c = 0;
  int32_t i = 0;
  lines[0][0] = '\0';
  // Moves on to the next slot; false when the record is full and the rest of the text is left out.
  auto nextLine = [&](int32_t resumeAt) {
    if (line == lastSlot) {
      if (HasWordFrom(buffer + resumeAt)) report->textDropped = true;
      return false;
    }
    ++line;
    c = 0;
    lines[line][0] = '\0';
    i = resumeAt;
    return true;
  };

  while (i < length) {
    char* out = lines[line];
    if (c > lastColumn) {
      // The slot is full before the space after a very long word. When the line is already wider than the panel,
      // the word moves down whole, to be cut to fit at its end like any word too wide; only a font that measures
      // next to nothing gets here with a line that fits, and goes on in the next slot.
      int32_t wordLength = 0;
      while (wordLength < c && out[c - 1 - wordLength] != ' ') ++wordLength;
      if (wordLength < c && Measure(font, out) > kLayoutWidth) {
        out[c - wordLength] = '\0';
        if (!nextLine(i - wordLength)) break;
        continue;
      }
      if (!nextLine(i)) break;
      continue;
    }
    if (buffer[i] == ' ' && Measure(font, out) > kLayoutWidth) {
      int32_t wordLength = 0;
      while (wordLength < c && out[c - 1 - wordLength] != ' ') ++wordLength;
      char* word = out + c - wordLength;
      if (Measure(font, word) <= kLayoutWidth) {
        // The usual case: the last word moves to the next line whole, and this line ends with the space before it.
        *word = '\0';
        if (!nextLine(i - wordLength)) break;
        continue;
      }
      // A word wider than the panel would move from line to line for ever: it gets a line of its own, cut to fit.
      report->wordTooWide = true;
      if (word != out) {
        // This line ends before the word, which then starts the next one.
        *word = '\0';
        if (!nextLine(i - wordLength)) break;
        word = lines[line];
        std::memcpy(word, buffer + i, static_cast<size_t>(wordLength));
        i += wordLength;
      }
      int32_t kept = wordLength;
      word[kept] = '\0';
      while (kept > 0 && Measure(font, word) > kLayoutWidth) word[--kept] = '\0';
      word[kept] = ' ';
      word[kept + 1] = '\0';
      if (!nextLine(i + 1)) break;
      continue;
    }
    out[c] = buffer[i];
    out[c + 1] = '\0';
    ++i;
    ++c;
  }
  *count = line + 1;
}

int32_t Question::WrapText(const BitmapFont* font) {
  WrapArea(statementLines, &statementCount, font, nullptr);
  WrapArea(explanationLines, &explanationCount, font, nullptr);
  return 1;
}

namespace {

void DrawLines(const char (*lines)[Question::kLineBytes], int32_t count, platform::Surface* destination,
               const BitmapFont* font, int32_t x, int32_t y) {
  if (!font) return;
  for (int32_t i = 0; i < count && i < Question::kSlots; ++i)
    font->DrawText(destination, lines[i], x, y + i * font->Height(), 0, -1);
}

}  // namespace

int32_t Question::DrawStatement(platform::Surface* destination, const BitmapFont* font, int32_t x, int32_t y) const {
  DrawLines(statementLines, statementCount, destination, font, x, y);
  return 1;
}

int32_t Question::DrawExplanation(platform::Surface* destination, const BitmapFont* font, int32_t x,
                                  int32_t y) const {
  DrawLines(explanationLines, explanationCount, destination, font, x, y);
  return 1;
}
