// Backslash handling for ANSI texts in a double-byte code page (GBK). The trail byte of a GBK
// character may be 0x5C, the byte of "\", so a plain byte search can split a path in the middle of
// a character. These routines scan forward and skip the byte after every lead byte (high bit set).
// Pure logic: no Windows calls.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Index of the last backslash that is a character of its own, or npos when there is none. A text
// that ends in the middle of a two-byte character ends the scan there.
size_t LastBackslashIndex(std::string_view text);

// The text cut at every backslash that is a character of its own. Empty pieces between two
// backslashes are kept; "a\\" gives {"a", ""}; the empty text gives {""}.
std::vector<std::string> SplitAtBackslashes(std::string_view text);
