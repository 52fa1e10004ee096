#pragma once
// The text-line reader as a character at a time, the reference its faster copies of runs are
// compared with.
#include <string>
#include <vector>

namespace vemo::test {

// The reader as a character at a time: text mode, tabs as blanks, the fixed buffer, a zero byte
// ending the piece.
inline std::vector<std::string> ReadByCharacter(const std::string& content, int bufferSize, std::vector<char>& cuts) {
  std::vector<std::string> lines;
  const size_t limit = static_cast<size_t>(bufferSize - 1);
  size_t pos = 0;
  while (pos < content.size()) {
    std::string line;
    while (pos < content.size() && line.size() < limit) {
      const char c = content[pos];
      if (c == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n') {
        ++pos;
        continue;
      }
      line.push_back(c == '\t' ? ' ' : c);
      ++pos;
      if (c == '\n') break;
    }
    bool cut = false;
    if (line.size() >= limit && line.back() != '\n' && pos < content.size())
      cut = !(content[pos] == '\n' || (content[pos] == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n'));
    cuts.push_back(cut);
    lines.push_back(line.substr(0, line.find('\0')));
  }
  return lines;
}


}  // namespace vemo::test
