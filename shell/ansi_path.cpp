#include "shell/ansi_path.h"

namespace {

bool IsLeadByte(char byte) { return (static_cast<unsigned char>(byte) & 0x80) != 0; }

// Calls visit(index) for every backslash that is a character of its own, in order.
template <typename Visit>
void ForEachBackslash(std::string_view text, Visit visit) {
  size_t i = 0;
  while (i < text.size()) {
    if (IsLeadByte(text[i])) {
      i += 2;  // the trail byte is never a separator, whatever its value
    } else {
      if (text[i] == '\\') visit(i);
      ++i;
    }
  }
}

}  // namespace

size_t LastBackslashIndex(std::string_view text) {
  size_t last = std::string_view::npos;
  ForEachBackslash(text, [&](size_t i) { last = i; });
  return last;
}

std::vector<std::string> SplitAtBackslashes(std::string_view text) {
  std::vector<std::string> parts;
  size_t start = 0;
  ForEachBackslash(text, [&](size_t i) {
    parts.emplace_back(text.substr(start, i - start));
    start = i + 1;
  });
  parts.emplace_back(text.substr(start));
  return parts;
}
