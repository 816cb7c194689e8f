// The pure parts of the shell utility's minor operations: short codes, autorun command texts and
// the numeric order of list-view texts. No Windows calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The URL's last path segment when it is exactly 6 bytes long (a final "/" is ignored), else the
// empty text.
std::string ExtractShortCode(std::string_view url);

// The URL's last path segment (a final "/" is ignored).
std::string LastPathSegment(std::string_view url);

// The autorun command: the program path in double quotes, then, with `appendArguments`, a space
// and the arguments. Both are trimmed of ASCII and full-width spaces first.
std::string AutorunCommand(std::string_view programPath, std::string_view arguments, bool appendArguments);

// The decimal integer a text starts with: leading white space, an optional sign, then digits up
// to the first other character; 0 without digits. Values beyond 64 bits are clamped.
int64_t ParseLeadingInteger(std::string_view text);

// Negative, zero or positive as `first` sorts before, with or after `second` by their leading
// integers, in ascending order or, when `descending`, in descending order.
int CompareNumericTexts(std::string_view first, std::string_view second, bool descending);
