#include "tools/question_join/topic_join.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "src/quiz/statement_id.h"

namespace {

std::string Entry(int n, const char* answer = "TRUE") {
  return "Statement number " + std::to_string(n) + ".\r\n" + answer + "\r\nBecause of " + std::to_string(n) +
         ".\r\n\r\n";
}

std::vector<std::string> EntriesOf(const std::string& joined) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t end; (end = joined.find("\r\n\r\n", start)) != std::string::npos; start = end + 4)
    out.push_back(joined.substr(start, end + 4 - start));
  EXPECT_EQ(start, joined.size()) << "the joined file ends with an entry's empty line";
  return out;
}

std::vector<TopicEntry> Split(const std::vector<std::string>& files) {
  std::vector<TopicEntry> all;
  for (size_t i = 0; i < files.size(); ++i)
    for (TopicEntry& entry : SplitTopicEntries(files[i], "topic" + std::to_string(i))) all.push_back(entry);
  return all;
}

}  // namespace

TEST(TopicJoin, SplitsEntriesKeepingTheirBytesAndWhereTheyStart) {
  const std::string file = Entry(1) + Entry(2, "FALSE") + "First line\r\nsecond line\r\nTRUE\r\nWhy.\r\n\r\n";
  const std::vector<TopicEntry> entries = SplitTopicEntries(file, "a.txt");
  ASSERT_EQ(3u, entries.size());
  EXPECT_EQ(Entry(1), entries[0].text);
  EXPECT_EQ(Entry(2, "FALSE"), entries[1].text);
  EXPECT_EQ("First line\r\nsecond line\r\nTRUE\r\nWhy.\r\n\r\n", entries[2].text);
  EXPECT_EQ(1, entries[0].line);
  EXPECT_EQ(5, entries[1].line);
  EXPECT_EQ(9, entries[2].line);
  EXPECT_EQ("a.txt", entries[2].file);
}

TEST(TopicJoin, MendsLineEndsStrayEmptyLinesAndAMissingLastEmptyLine) {
  // LF ends, two empty lines before an entry and at the start, and no empty line after the last entry.
  const std::string file = "\nOne.\nTRUE\nWhy one.\n\n\n\nTwo.\r\nFALSE\r\nWhy two.";
  const std::vector<TopicEntry> entries = SplitTopicEntries(file, "b.txt");
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ("One.\r\nTRUE\r\nWhy one.\r\n\r\n", entries[0].text);
  EXPECT_EQ("Two.\r\nFALSE\r\nWhy two.\r\n\r\n", entries[1].text);
  EXPECT_EQ(2, entries[0].line);
  EXPECT_EQ(8, entries[1].line);
  EXPECT_TRUE(SplitTopicEntries("", "empty.txt").empty());
  EXPECT_TRUE(SplitTopicEntries("\r\n\r\n", "blank.txt").empty());
}

TEST(TopicJoin, JoinsEveryEntryOnceInAShuffledOrderThatIgnoresFileOrder) {
  std::string first, second;
  for (int n = 0; n < 30; ++n) first += Entry(n);
  for (int n = 30; n < 60; ++n) second += Entry(n, "FALSE");
  const std::string joined = JoinTopicEntries(Split({first, second}));
  EXPECT_EQ(joined, JoinTopicEntries(Split({second, first})));

  std::vector<std::string> entries = EntriesOf(joined);
  ASSERT_EQ(60u, entries.size());
  EXPECT_NE(first + second, joined) << "not left in file order";
  // The two topics are mixed: the first half of the file holds entries of both.
  const auto falseInFirstHalf = std::count_if(entries.begin(), entries.begin() + 30, [](const std::string& e) {
    return e.find("FALSE") != std::string::npos;
  });
  EXPECT_GT(falseInFirstHalf, 5);
  EXPECT_LT(falseInFirstHalf, 25);

  std::vector<std::string> expected = EntriesOf(first + second);
  std::sort(entries.begin(), entries.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, entries);
}

TEST(TopicJoin, AnAddedEntryLeavesTheOthersInTheirOrder) {
  std::string topic;
  for (int n = 0; n < 20; ++n) topic += Entry(n);
  const std::vector<std::string> before = EntriesOf(JoinTopicEntries(Split({topic})));
  std::vector<std::string> after = EntriesOf(JoinTopicEntries(Split({Entry(99) + topic})));
  ASSERT_EQ(21u, after.size());
  after.erase(std::find(after.begin(), after.end(), Entry(99)));
  EXPECT_EQ(before, after);
  // An entry written twice stays twice: the checker, not the join, reports repeats.
  EXPECT_EQ(2u, EntriesOf(JoinTopicEntries(Split({Entry(1), Entry(1)}))).size());
}

TEST(TopicIndex, NamesEachStatementsTopicByTheIdTheGameComputes) {
  std::vector<TopicEntry> entries =
      SplitTopicEntries("Paris is in France.\nTRUE\nIt is its capital.\n\nRome is in Spain.\nfalse.\nItaly.\n",
                        "/src/assets/questions/topics/geography.txt");
  for (TopicEntry& e : SplitTopicEntries("A film\nrunning on two lines.\nTRUE\nYes.\n", "topics\\film.txt"))
    entries.push_back(e);
  const std::string index = TopicIndexText(entries);
  // The header, then one line a statement, sorted by id; the statement lines before the answer line, the lines
  // of one statement joined by a space.
  std::vector<std::string> expected = {
      statement_id::ToHex(statement_id::FromText("Paris is in France.")) + " geography\r\n",
      statement_id::ToHex(statement_id::FromText("Rome is in Spain.")) + " geography\r\n",
      statement_id::ToHex(statement_id::FromText("A film running on two lines.")) + " film\r\n"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ("# zorvel topics 1: statement id, topic\r\n" + expected[0] + expected[1] + expected[2], index);
  EXPECT_EQ("out/Zorvel.topics", TopicIndexPathFor("out/Zorvel.txt"));
  EXPECT_EQ("a.b/Zorvel.topics", TopicIndexPathFor("a.b/Zorvel"));
}
