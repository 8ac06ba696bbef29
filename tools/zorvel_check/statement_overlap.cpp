#include "tools/zorvel_check/statement_overlap.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const std::set<std::string>& CommonWords() {
  static const std::set<std::string> words = {
      "a",     "about", "after",  "all",   "also",   "an",    "and",   "any",    "are",   "as",    "at",
      "be",    "been",  "before", "being", "but",    "by",    "can",   "could",  "did",   "do",    "does",
      "each",  "for",   "from",   "had",   "has",    "have",  "he",    "her",    "his",   "how",   "in",
      "into",  "is",    "it",     "its",   "more",   "most",  "no",    "not",    "of",    "on",    "one",
      "only",  "or",    "other",  "she",   "so",     "some",  "than",  "that",   "the",   "their", "them",
      "then",  "there", "these",  "they",  "this",   "those", "to",    "two",    "up",    "was",   "were",
      "what",  "when",  "which",  "while", "who",    "whose", "with",  "would",  "first", "called", "named",
      "made",  "known", "many",   "much",  "over",   "under", "out",   "same",   "still", "used",  "very",
      "we",    "you",   "our",    "your",  "will",   "where", "why",   "until",  "because", "though", "never",
      "always", "exactly", "every", "both", "became", "become", "years", "year", "time", "world", "people"};
  return words;
}

std::string Stem(std::string word) {
  if (word.size() > 3 && word.back() == 's') {
    const char before = word[word.size() - 2];
    if (before != 's' && before != 'u' && before != 'i') word.pop_back();
  }
  return word;
}

std::string Quote(const std::string& text) {
  constexpr size_t kShown = 40;
  return "\"" + (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "\"";
}

}  // namespace

std::vector<std::string> StatementOverlap::Tokens(const std::string& text) {
  std::vector<std::string> tokens;
  std::string word;
  auto flush = [&]() {
    if (word.empty()) return;
    // A lone letter is left over from "'s" or an initial.
    tokens.push_back(word.size() > 1 && !CommonWords().count(word) ? Stem(word) : std::string());
    word.clear();
  };
  for (char c : text) {
    if (c >= 'A' && c <= 'Z') {
      word += static_cast<char>(c - 'A' + 'a');
    } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      word += c;
    } else {
      flush();
    }
  }
  flush();
  return tokens;
}

std::set<std::string> StatementOverlap::ContentWords(const std::string& text) {
  std::set<std::string> words;
  for (const std::string& token : Tokens(text))
    if (!token.empty()) words.insert(token);
  return words;
}

double StatementOverlap::Weight(const std::set<std::string>& words) const {
  double total = 0;
  for (const std::string& word : words) total += weights_.at(word);
  return total;
}

double StatementOverlap::SharedWeight(const std::set<std::string>& a, const std::set<std::string>& b,
                                      size_t* shared) const {
  double total = 0;
  *shared = 0;
  for (const std::string& word : a) {
    if (b.count(word)) {
      total += weights_.at(word);
      ++*shared;
    }
  }
  return total;
}

double StatementOverlap::SharedNameWeight(const Statement& a, const Statement& b) const {
  // Shared words joined into names where both texts have them side by side; each name weighs its rarest word.
  std::map<std::string, std::string> nameOf;
  for (const std::string& word : a.words)
    if (b.words.count(word)) nameOf[word] = word;
  auto root = [&nameOf](std::string word) {
    while (nameOf.at(word) != word) word = nameOf.at(word);
    return word;
  };
  for (const auto& [first, second] : a.neighbours) {
    if (!nameOf.count(first) || !nameOf.count(second)) continue;
    if (b.neighbours.count({first, second}) || b.neighbours.count({second, first})) {
      const std::string x = root(first), y = root(second);
      if (x != y) nameOf[x] = y;
    }
  }
  std::map<std::string, double> heaviest;
  for (const auto& [word, unused] : nameOf) {
    double& weight = heaviest[root(word)];
    weight = std::max(weight, weights_.at(word));
  }
  double total = 0;
  for (const auto& [name, weight] : heaviest) total += weight;
  return total;
}

std::vector<StatementOverlap::Finding> StatementOverlap::Check(const std::vector<BankEntry>& entries) {
  const size_t n = entries.size();
  std::vector<Statement> parsed(n);
  std::vector<std::set<std::string>> statements(n), explanations(n);
  std::unordered_map<std::string, int32_t> entriesWith;
  for (size_t i = 0; i < n; ++i) {
    const std::vector<std::string> tokens = Tokens(entries[i].statement);
    for (size_t k = 0; k < tokens.size(); ++k) {
      if (tokens[k].empty()) continue;
      parsed[i].words.insert(tokens[k]);
      if (k + 1 < tokens.size() && !tokens[k + 1].empty()) parsed[i].neighbours.emplace(tokens[k], tokens[k + 1]);
    }
    statements[i] = parsed[i].words;
    explanations[i] = ContentWords(entries[i].explanation);
    std::set<std::string> both = statements[i];
    both.insert(explanations[i].begin(), explanations[i].end());
    for (const std::string& word : both) ++entriesWith[word];
  }
  // A word in few entries says more about the fact than one in many.
  weights_.clear();
  for (const auto& [word, count] : entriesWith) weights_[word] = std::log(1.0 + static_cast<double>(n) / count);

  // Only entries that share at least kFewestShared words can count, so each statement is compared only with the
  // entries an index of words leads to: the work follows the words shared, not the square of the entries.
  std::unordered_map<std::string, std::vector<uint32_t>> statementsWith, explanationsWith;
  for (size_t i = 0; i < n; ++i) {
    for (const std::string& word : statements[i]) statementsWith[word].push_back(static_cast<uint32_t>(i));
    for (const std::string& word : explanations[i]) explanationsWith[word].push_back(static_cast<uint32_t>(i));
  }
  std::vector<uint32_t> sharedCount(n, 0);
  std::vector<uint32_t> touched;
  // The entries from `first` on (ascending) that share at least kFewestShared of `words` through `index`.
  auto candidates = [&](const std::set<std::string>& words, const std::unordered_map<std::string, std::vector<uint32_t>>& index,
                        uint32_t first) {
    touched.clear();
    for (const std::string& word : words) {
      const auto found = index.find(word);
      if (found == index.end()) continue;
      const std::vector<uint32_t>& holders = found->second;
      for (auto it = std::lower_bound(holders.begin(), holders.end(), first); it != holders.end(); ++it)
        if (sharedCount[*it]++ == 0) touched.push_back(*it);
    }
    std::vector<uint32_t> out;
    for (uint32_t j : touched) {
      if (sharedCount[j] >= kFewestShared) out.push_back(j);
      sharedCount[j] = 0;
    }
    std::sort(out.begin(), out.end());
    return out;
  };

  std::vector<Finding> findings;
  auto where = [&](size_t i) { return entries[i].file + ":" + std::to_string(entries[i].line); };
  for (size_t i = 0; i < n; ++i) {
    const double weightI = Weight(statements[i]);
    for (const uint32_t j : candidates(statements[i], statementsWith, static_cast<uint32_t>(i + 1))) {
      size_t shared = 0;
      const double sharedWeight = SharedWeight(statements[i], statements[j], &shared);
      if (shared < kFewestShared) continue;
      // Names counted once lower the weight of both statements by what they lower the shared weight.
      const double common = SharedNameWeight(parsed[i], parsed[j]);
      const double together = weightI + Weight(statements[j]) - 2 * sharedWeight + common;
      if (common >= kSameFact * together) {
        findings.push_back({entries[j].file, entries[j].line,
                            "statement " + Quote(entries[j].statement) + " says nearly the same as the one at " +
                                where(i)});
      }
    }
  }
  for (size_t i = 0; i < n; ++i) {
    const double weight = Weight(statements[i]);
    for (const uint32_t j : candidates(statements[i], explanationsWith, 0)) {
      if (i == j) continue;
      size_t shared = 0;
      const double covered = SharedWeight(statements[i], explanations[j], &shared);
      if (shared >= kFewestShared && covered >= kGivenAway * weight) {
        findings.push_back({entries[j].file, entries[j].line,
                            "the explanation gives away the answer to " + Quote(entries[i].statement) + " at " +
                                where(i)});
      }
    }
  }
  return findings;
}
