#pragma once
// Counts how often the statements that follow a recurring wording ("born in", "more than", a year) are true. A
// player who learns that a wording is nearly always false, or nearly always true, beats chance without knowing
// anything; the templates themselves are data, kept in a text file beside the topics.
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "tools/zorvel_check/true_share.h"

#include "tools/zorvel_check/bank_entries.h"

struct StatementTemplate {
  std::string name;
  std::string pattern;  // as written in the file
  std::regex regex;     // the pattern, searched for anywhere in a statement; letter case counts
};

using TemplateCount = TrueShare;

// Reads lines "name = pattern" (an ECMAScript regular expression); empty lines and lines starting with # are
// skipped. False, with `error` naming the file and line, when the file cannot be read, a line has no name or
// pattern, or a pattern is not a valid expression.
bool ReadTemplates(const std::string& path, std::vector<StatementTemplate>* templates, std::string* error);

// Makes a template from a name and a pattern; false with `error` set when the pattern is not valid.
bool MakeTemplate(const std::string& name, const std::string& pattern, StatementTemplate* made, std::string* error);

// One count per template, in the templates' order. An entry may count for several templates.
std::vector<TemplateCount> CountTemplates(const std::vector<StatementTemplate>& templates,
                                          const std::vector<BankEntry>& entries);

// Below this many entries a template's share says little, and is not judged.
constexpr int32_t kFewestForTemplateShare = 8;
// The share of true answers a template may have, in percent either side of half.
constexpr int32_t kTemplateSlackPercent = 15;

// One message per template with enough entries whose true share is outside the slack; empty when all are fine.
std::vector<std::string> TemplateProblems(const std::vector<TemplateCount>& counts);

// The table printed by the checker: one line per template.
std::string TemplateTable(const std::vector<TemplateCount>& counts);
