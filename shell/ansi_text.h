// Small text routines for ANSI texts in a double-byte code page (GBK): ASCII-only case folding
// that leaves both bytes of a double-byte character alone, searching, trimming (including the
// full-width space), replacing and splitting. Pure logic: no Windows calls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The full-width space of GBK (U+3000), bytes 0xA1 0xA1.
inline constexpr char kFullWidthSpace[] = "\xA1\xA1";

// Lower case for A to Z only; trail bytes of double-byte characters are not folded.
std::string FoldAsciiCase(std::string_view text);

// Position of `needle` in `text` at or after `start`, with ASCII letter case ignored unless
// `caseSensitive`; npos when absent.
size_t FindText(std::string_view text, std::string_view needle, size_t start = 0, bool caseSensitive = false);

// `text` without leading and trailing ASCII spaces and full-width spaces.
std::string TrimSpaces(std::string_view text);

// Every occurrence of `from` replaced by `to`, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// `text` cut at every occurrence of `separator`; empty pieces are kept ("a;;b" gives 3 pieces).
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);
