#pragma once
// Finds entries that repeat one another and explanations that give away another entry's answer, by the words
// they share. Rare words weigh more than common ones, so two statements about "the first" something do not look
// alike, while two about the same person and year do. A name of several words that both statements write out
// (Security Council, Marie Curie) counts as one word, so that two facts about the same body are not taken for one.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "tools/zorvel_check/bank_entries.h"

class StatementOverlap {
 public:
  struct Finding {
    std::string file;
    int32_t line;
    std::string message;
  };

  // Share of the weight of both statements' words that they have in common, at which they count as one fact.
  static constexpr double kSameFact = 0.5;
  // Share of the weight of a statement's words found in another entry's explanation.
  static constexpr double kGivenAway = 0.85;
  // Fewer shared words than this never count: short statements share a name or two by chance.
  static constexpr size_t kFewestShared = 3;

  std::vector<Finding> Check(const std::vector<BankEntry>& entries);

  // The words that carry meaning: lower case, without common words, plural s or possessive 's.
  static std::set<std::string> ContentWords(const std::string& text);
  // The same words in the order of the text, with an empty string where a common word stood.
  static std::vector<std::string> Tokens(const std::string& text);

 private:
  struct Statement {
    std::set<std::string> words;
    std::set<std::pair<std::string, std::string>> neighbours;  // content words next to each other in the text
  };

  double Weight(const std::set<std::string>& words) const;
  double SharedWeight(const std::set<std::string>& a, const std::set<std::string>& b, size_t* shared) const;
  // The weight of the words two statements share, each name that both write out counted once, at its rarest word.
  double SharedNameWeight(const Statement& a, const Statement& b) const;

  std::unordered_map<std::string, double> weights_;
};
