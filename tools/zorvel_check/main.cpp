// zorvel-check [--font PATH] [--templates PATH] FILE...: reports, with line numbers, what in a question file would
// make an entry wrong, lost or never seen in the game, and entries that repeat or give away one another. Given
// several files or a folder of topic files, also counts entries and answers per topic. With a list of templates,
// reports wordings whose statements lean to one answer. Exit status 0 when nothing is wrong, 1 with findings, 2
// when it cannot check.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/zorvel_check/bank_check.h"
#include "tools/zorvel_check/question_file_checker.h"
#include "tools/zorvel_check/template_balance.h"
#include "ui/bitmap_font.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zorvel-check [--font PATH] [--templates PATH] FILE...\n"
               "  FILE         a question file such as Zorvel.txt, or a folder of topic files (its *.txt)\n"
               "  --font       the glyph sheet to measure with (default: font.bmp beside FILE, else the build's)\n"
               "  --templates  the recurring wordings to weigh (default: the source tree's\n"
               "               assets/questions/templates.txt, when it is there)\n");
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
  std::vector<std::string> files;
  std::string fontPath;
  std::string templatePath;
  bool templatesGiven = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--font") == 0 && i + 1 < argc) {
      fontPath = argv[++i];
    } else if (std::strcmp(argv[i], "--templates") == 0 && i + 1 < argc) {
      templatePath = argv[++i];
      templatesGiven = true;
    } else if (argv[i][0] == '-') {
      return Usage();
    } else {
      AddQuestionFiles(argv[i], &files);
    }
  }
  if (files.empty()) return Usage();
  if (fontPath.empty()) fontPath = DefaultFont(files.front());

  BitmapFont font;
  if (!font.Load(fontPath.c_str())) {
    std::fprintf(stderr, "zorvel-check: cannot load the font %s (94 glyphs on blue)\n", fontPath.c_str());
    return 2;
  }
  // The list is optional when not asked for: a checker installed without the source tree checks all the rest.
  if (!templatesGiven) {
    templatePath = ZORVEL_TEMPLATE_FILE;
    std::error_code ignored;
    if (!std::filesystem::exists(templatePath, ignored)) templatePath.clear();
  }
  std::vector<StatementTemplate> templates;
  std::string error;
  if (!templatePath.empty() && !ReadTemplates(templatePath, &templates, &error)) {
    std::fprintf(stderr, "zorvel-check: %s\n", error.c_str());
    return 2;
  }
  return CheckBank(files, &font, stdout, templates);
}
