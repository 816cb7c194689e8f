// Text conversions of the host-side build tools (iconv): the package and the skin hold names in
// code page 936 (GBK), the host's file system spells them in UTF-8.
#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>

struct TextConversionError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// `text` converted from the encoding `from` to `to` (iconv names); throws TextConversionError when
// a character has no place in `to` or the input is not valid `from`.
inline std::string ConvertText(const std::string& text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw TextConversionError(std::string("iconv cannot convert ") + from + " to " + to);
  std::string out(text.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1))
    throw TextConversionError("\"" + text + "\" cannot be converted from " + from + " to " + to);
  out.resize(out.size() - outLeft);
  return out;
}

inline std::string GbkFromUtf8(const std::string& text) { return ConvertText(text, "UTF-8", "GBK"); }
inline std::string Utf8FromGbk(const std::string& text) { return ConvertText(text, "GBK", "UTF-8"); }
