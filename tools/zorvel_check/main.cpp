// zorvel-check FILE [--font PATH]: reports, with line numbers, what in a question file would make an entry wrong,
// lost or never seen in the game. Exit status 0 when nothing is wrong, 1 with findings, 2 when it cannot check.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/zorvel_check/question_file_checker.h"
#include "ui/bitmap_font.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zorvel-check [--font PATH] FILE\n"
               "  FILE    a question file such as Zorvel.txt\n"
               "  --font  the glyph sheet to measure with (default: font.bmp beside FILE, else the build's)\n");
  return 2;
}

std::string DefaultFont(const std::string& questionFile) {
  std::filesystem::path beside = std::filesystem::path(questionFile).parent_path() / "font.bmp";
  std::error_code ignored;
  if (std::filesystem::exists(beside, ignored)) return beside.string();
  return std::string(ZORVEL_GAME_DIR) + "/font.bmp";
}

}  // namespace

int main(int argc, char** argv) {
  std::string file, fontPath;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc) {
      fontPath = argv[++i];
    } else if (argv[i][0] == '-' || !file.empty()) {
      return Usage();
    } else {
      file = argv[i];
    }
  }
  if (file.empty()) return Usage();
  if (fontPath.empty()) fontPath = DefaultFont(file);

  BitmapFont font;
  if (!font.Load(fontPath.c_str())) {
    std::fprintf(stderr, "zorvel-check: cannot load the font %s (94 glyphs on blue)\n", fontPath.c_str());
    return 2;
  }
  QuestionFileChecker checker(&font);
  if (!checker.Check(file)) {
    std::fprintf(stderr, "zorvel-check: cannot open %s\n", file.c_str());
    return 2;
  }
  for (const QuestionFileChecker::Finding& finding : checker.Findings())
    std::printf("%s:%d: %s\n", file.c_str(), finding.line, finding.message.c_str());
  std::printf("%s: %d %s, %d true, %d false; ", file.c_str(), checker.EntryCount(),
              checker.EntryCount() == 1 ? "entry" : "entries", checker.TrueCount(),
              checker.FalseCount());
  if (checker.Findings().empty()) {
    std::printf("no findings\n");
    return 0;
  }
  std::printf("%zu finding%s\n", checker.Findings().size(), checker.Findings().size() == 1 ? "" : "s");
  return 1;
}
