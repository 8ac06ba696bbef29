#pragma once
// The entries of a question file as the game reads them, with where each starts, for the checks that compare
// entries with one another (repeats, give-aways) and count them by topic.
#include <cstdint>
#include <string>
#include <vector>

struct BankEntry {
  std::string file;
  int32_t line = 0;          // first line of the entry
  std::string statement;     // the statement's lines joined with spaces
  std::string explanation;   // the same for the explanation
  bool answerIsTrue = false;
};

// False when the file cannot be opened. Entries the game would lose (no empty line after them) are left out;
// entries without a statement are kept, with an empty statement; entries without any text are left out.
bool ReadBankEntries(const std::string& path, std::vector<BankEntry>* entries);
