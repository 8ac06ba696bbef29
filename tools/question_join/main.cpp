// zorvel-join OUTPUT TOPIC...: joins topic files of questions into the game's question file, and writes the
// statement -> topic index beside it (OUTPUT with ".topics" for its extension).
// Exit status 0 when written, 2 when a topic file cannot be read or the output cannot be written.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/question_join/topic_join.h"

// Written whole to a neighbour first, so a failed write never leaves the game a cut-off file.
static bool WriteWhole(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "zorvel-join: cannot write %s\n", temporary.c_str());
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "zorvel-join: cannot replace %s\n", path.c_str());
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zorvel-join OUTPUT TOPIC...\n");
    return 2;
  }
  std::vector<TopicEntry> entries;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "zorvel-join: cannot read %s\n", argv[i]);
      return 2;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    for (TopicEntry& entry : SplitTopicEntries(bytes.str(), argv[i])) entries.push_back(std::move(entry));
  }
  const std::string index = TopicIndexText(entries);
  const std::string joined = JoinTopicEntries(std::move(entries));
  if (!WriteWhole(argv[1], joined) || !WriteWhole(TopicIndexPathFor(argv[1]), index)) return 2;
  return 0;
}
