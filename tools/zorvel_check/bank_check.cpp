#include "tools/zorvel_check/bank_check.h"

#include <algorithm>
#include <filesystem>

#include "tools/zorvel_check/bank_entries.h"
#include "tools/zorvel_check/question_file_checker.h"
#include "tools/zorvel_check/statement_overlap.h"
#include "tools/zorvel_check/topic_summary.h"

void AddQuestionFiles(const std::string& path, std::vector<std::string>* files) {
  std::error_code error;
  if (!std::filesystem::is_directory(path, error)) {
    files->push_back(path);
    return;
  }
  std::vector<std::string> found;
  for (const auto& item : std::filesystem::directory_iterator(path, error))
    if (item.path().extension() == ".txt") found.push_back(item.path().string());
  if (found.empty()) std::fprintf(stderr, "zorvel-check: no .txt files in %s\n", path.c_str());
  std::sort(found.begin(), found.end());
  files->insert(files->end(), found.begin(), found.end());
}

int CheckBank(const std::vector<std::string>& files, const BitmapFont* font, std::FILE* out,
              const std::vector<StatementTemplate>& templates) {
  size_t findings = 0;
  std::vector<BankEntry> entries;
  for (const std::string& file : files) {
    QuestionFileChecker checker(font);
    if (!checker.Check(file) || !ReadBankEntries(file, &entries)) {
      std::fprintf(stderr, "zorvel-check: cannot open %s\n", file.c_str());
      return 2;
    }
    for (const QuestionFileChecker::Finding& finding : checker.Findings())
      std::fprintf(out, "%s:%d: %s\n", file.c_str(), finding.line, finding.message.c_str());
    findings += checker.Findings().size();
    std::fprintf(out, "%s: %d %s, %d true, %d false\n", file.c_str(), checker.EntryCount(),
                 checker.EntryCount() == 1 ? "entry" : "entries", checker.TrueCount(), checker.FalseCount());
  }

  StatementOverlap overlap;
  const std::vector<StatementOverlap::Finding> repeats = overlap.Check(entries);
  for (const StatementOverlap::Finding& finding : repeats)
    std::fprintf(out, "%s:%d: %s\n", finding.file.c_str(), finding.line, finding.message.c_str());
  findings += repeats.size();

  if (files.size() > 1) {
    const std::vector<TopicCount> counts = CountTopics(files, entries);
    std::fputs(TopicTable(counts).c_str(), out);
    const std::vector<std::string> problems = TopicProblems(counts);
    for (const std::string& problem : problems) std::fprintf(out, "%s\n", problem.c_str());
    findings += problems.size();
  }

  if (!templates.empty()) {
    const std::vector<TemplateCount> counts = CountTemplates(templates, entries);
    std::fputs(TemplateTable(counts).c_str(), out);
    const std::vector<std::string> problems = TemplateProblems(counts);
    for (const std::string& problem : problems) std::fprintf(out, "%s\n", problem.c_str());
    findings += problems.size();
  }

  if (findings == 0) {
    std::fprintf(out, "no findings\n");
    return 0;
  }
  std::fprintf(out, "%zu finding%s\n", findings, findings == 1 ? "" : "s");
  return 1;
}
