// zorvel-join OUTPUT TOPIC...: joins topic files of questions into the game's question file.
// Exit status 0 when written, 2 when a topic file cannot be read or the output cannot be written.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/question_join/topic_join.h"

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
  const std::string joined = JoinTopicEntries(std::move(entries));
  // Written whole to a neighbour first, so a failed write never leaves the game a cut-off question file.
  const std::string temporary = std::string(argv[1]) + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(joined.data(), static_cast<std::streamsize>(joined.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "zorvel-join: cannot write %s\n", temporary.c_str());
      std::remove(temporary.c_str());
      return 2;
    }
  }
  if (std::rename(temporary.c_str(), argv[1]) != 0) {
    std::fprintf(stderr, "zorvel-join: cannot replace %s\n", argv[1]);
    std::remove(temporary.c_str());
    return 2;
  }
  return 0;
}
