#include "tools/zorvel_check/template_balance.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/host/file_names.h"

namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

bool MakeTemplate(const std::string& name, const std::string& pattern, StatementTemplate* made, std::string* error) {
  try {
    made->regex = std::regex(pattern, std::regex::ECMAScript | std::regex::optimize);
  } catch (const std::regex_error& failure) {
    *error = "template " + name + ": the pattern " + pattern + " is not a valid expression (" + failure.what() + ")";
    return false;
  }
  made->name = name;
  made->pattern = pattern;
  return true;
}

bool ReadTemplates(const std::string& path, std::vector<StatementTemplate>* templates, std::string* error) {
  std::string content;
  if (!platform::ReadRegularFile(path, &content)) {
    *error = "cannot open the template list " + path;
    return false;
  }
  std::istringstream file(content);
  std::string line;
  for (int32_t number = 1; std::getline(file, line); ++number) {
    const std::string text = Trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    const size_t equals = text.find('=');
    const std::string name = equals == std::string::npos ? "" : Trimmed(text.substr(0, equals));
    const std::string pattern = equals == std::string::npos ? "" : Trimmed(text.substr(equals + 1));
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (name.empty() || pattern.empty()) {
      *error = where + "expected a line \"name = pattern\"";
      return false;
    }
    StatementTemplate made;
    if (!MakeTemplate(name, pattern, &made, error)) {
      *error = where + *error;
      return false;
    }
    templates->push_back(std::move(made));
  }
  return true;
}

std::vector<TemplateCount> CountTemplates(const std::vector<StatementTemplate>& templates,
                                          const std::vector<BankEntry>& entries) {
  std::vector<TemplateCount> counts;
  for (const StatementTemplate& pattern : templates) {
    TemplateCount count;
    count.name = pattern.name;
    for (const BankEntry& entry : entries) {
      if (!std::regex_search(entry.statement, pattern.regex)) continue;
      ++count.entries;
      if (entry.answerIsTrue) ++count.trueAnswers;
    }
    counts.push_back(count);
  }
  return counts;
}

std::vector<std::string> TemplateProblems(const std::vector<TemplateCount>& counts) {
  std::vector<std::string> problems;
  for (const TemplateCount& count : counts) {
    if (count.entries < kFewestForTemplateShare) continue;
    if (LeansTooFar(count, kTemplateSlackPercent)) {
      problems.push_back("template \"" + count.name + "\" is true in " + std::to_string(count.trueAnswers) + " of " +
                         std::to_string(count.entries) + " statements; keep its true share between " +
                         std::to_string(50 - kTemplateSlackPercent) + " and " +
                         std::to_string(50 + kTemplateSlackPercent) + " percent");
    }
  }
  return problems;
}

std::string TemplateTable(const std::vector<TemplateCount>& counts) {
  std::string table = TrueShareHeader("template");
  for (const TemplateCount& count : counts) table += TrueShareRow(count);
  return table;
}
