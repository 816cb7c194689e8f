#include "shell/ansi_text.h"

std::string FoldAsciiCase(std::string_view text) {
  std::string folded(text);
  for (size_t i = 0; i < folded.size(); ++i) {
    if (static_cast<unsigned char>(folded[i]) & 0x80) {
      ++i;  // skip the trail byte
    } else if (folded[i] >= 'A' && folded[i] <= 'Z') {
      folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
  }
  return folded;
}

size_t FindText(std::string_view text, std::string_view needle, size_t start, bool caseSensitive) {
  if (start > text.size()) return std::string_view::npos;
  if (caseSensitive) return text.find(needle, start);
  return FoldAsciiCase(text).find(FoldAsciiCase(needle), start);
}

std::string TrimSpaces(std::string_view text) {
  const std::string_view fullWidth(kFullWidthSpace, 2);
  bool trimmed = true;
  while (trimmed && !text.empty()) {
    trimmed = false;
    if (text.front() == ' ') {
      text.remove_prefix(1);
      trimmed = true;
    } else if (text.substr(0, 2) == fullWidth) {
      text.remove_prefix(2);
      trimmed = true;
    }
  }
  trimmed = true;
  while (trimmed && !text.empty()) {
    trimmed = false;
    if (text.back() == ' ') {
      text.remove_suffix(1);
      trimmed = true;
    } else if (text.size() >= 2 && text.substr(text.size() - 2) == fullWidth) {
      text.remove_suffix(2);
      trimmed = true;
    }
  }
  return std::string(text);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  size_t start = 0;
  for (size_t found = text.find(from); found != std::string_view::npos; found = text.find(from, start)) {
    result.append(text.substr(start, found - start));
    result.append(to);
    start = found + from.size();
  }
  result.append(text.substr(start));
  return result;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (separator.empty()) return {std::string(text)};
  size_t start = 0;
  for (size_t found = text.find(separator); found != std::string_view::npos; found = text.find(separator, start)) {
    pieces.emplace_back(text.substr(start, found - start));
    start = found + separator.size();
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}
