#include "shell/minor_text.h"

#include <limits>
#include <vector>

#include "shell/ansi_text.h"

std::string LastPathSegment(std::string_view url) {
  std::vector<std::string> segments = SplitText(url, "/");
  // The empty text after a final "/" is not a segment.
  if (!segments.empty() && segments.back().empty()) segments.pop_back();
  if (segments.empty()) return std::string();
  if (segments.back().empty() && segments.size() >= 2) return segments[segments.size() - 2];
  return segments.back();
}

std::string ExtractShortCode(std::string_view url) {
  const std::string segment = LastPathSegment(url);
  return segment.size() == 6 ? segment : std::string();
}

std::string AutorunCommand(std::string_view programPath, std::string_view arguments, bool appendArguments) {
  std::string command = "\"";
  command += TrimSpaces(programPath);
  command += '"';
  if (appendArguments) {
    command += ' ';
    command += TrimSpaces(arguments);
  }
  return command;
}

int64_t ParseLeadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

int CompareNumericTexts(std::string_view first, std::string_view second, bool descending) {
  const int64_t a = ParseLeadingInteger(first);
  const int64_t b = ParseLeadingInteger(second);
  // A comparison, not a difference: the difference of two large values overflows.
  const int ascending = a < b ? -1 : (a > b ? 1 : 0);
  return descending ? -ascending : ascending;
}
