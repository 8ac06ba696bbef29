#pragma once
// Joins the topic files of the question sources into the game's one question file. Entries keep their bytes;
// their order is a fixed shuffle that depends only on their text, so it is the same on every machine, whatever
// order the files are listed in, and adding one entry moves no other.
#include <cstdint>
#include <string>
#include <vector>

struct TopicEntry {
  std::string text;  // the entry's lines with CR LF ends, closing empty line included
  std::string file;  // where it came from, for messages
  int32_t line = 0;  // its first line there
};

// Splits the bytes of one topic file into entries. Lenient where the meaning is plain: LF line ends become CR LF,
// extra empty lines between entries are dropped (the game would read them as empty entries), and a last entry
// without its empty line is closed.
std::vector<TopicEntry> SplitTopicEntries(const std::string& bytes, const std::string& file);

// The joined file: every entry once per occurrence, in the fixed shuffled order.
std::string JoinTopicEntries(std::vector<TopicEntry> entries);

// The statement -> topic index the game reads beside the joined file: a header line, then one line per statement,
// its id (quiz/statement_id.h) in hex and the topic, the file's name without folder and ".txt". Lines are sorted by
// id, so the index changes only where statements do.
std::string TopicIndexText(const std::vector<TopicEntry>& entries);

// "Zorvel.txt" -> "Zorvel.topics", beside it.
std::string TopicIndexPathFor(const std::string& questionFile);
