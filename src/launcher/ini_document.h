#pragma once
// The launcher's own ini editing: a file is kept line by line, so comments, unknown sections and keys, their order
// and the line ends survive every change. Lookups follow the rules the game reads with: section and key names
// compare without regard to case, the first section of a name and the first key in it win, blanks around a value
// and one pair of matching quotes are removed.
#include <optional>
#include <string>
#include <vector>

namespace hubbix {

class IniDocument {
 public:
  // A missing file gives an empty document; false only when the file exists but cannot be read.
  bool Load(const std::string& path);
  void Parse(const std::string& text);
  std::string Text() const;
  // Writes a temporary file beside the target, flushes it to disk and renames it over the target, so the old
  // file stays whole if anything fails on the way. The file keeps its permissions; a write-protected file is not
  // replaced, and a linked one is replaced at the link's target.
  bool Save(const std::string& path, std::string* error) const;

  bool HasSection(const std::string& section) const;
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::string Get(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  // Replaces the value the game would read, or adds the key at the end of its section, or adds the section.
  // Refuses (false) names and values the format cannot hold: line breaks, "]" in a section, "=" in a key.
  bool Set(const std::string& section, const std::string& key, const std::string& value);
  // Takes out every section of that name with its keys and the comments inside it.
  void RemoveSection(const std::string& section);

 private:
  // Index of the header line of the first section with that name, or -1.
  long FindSection(const std::string& section) const;
  // Index of the first key line in the section starting at header, or -1.
  long FindKey(long header, const std::string& key) const;
  // One past the last non-blank line of the section starting at header.
  size_t SectionEnd(long header) const;
  // Inserts a line the launcher makes, with the file's usual line end.
  void AddLine(size_t at, const std::string& line);

  std::vector<std::string> lines_;
  std::vector<std::string> ends_;  // each line's own line end, so a file with mixed ends keeps every one
  std::string lineEnd_ = "\n";     // the end of lines the launcher adds
};

}  // namespace hubbix
