// Conversions between byte texts of a code page (the system ANSI code page, UTF-8, 936) and
// UTF-16. A text that does not convert gives an empty result.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline std::wstring WideFromCodePage(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

inline std::string CodePageFromWide(std::wstring_view wide, UINT codePage, DWORD flags = 0) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

// The program's texts are in the system ANSI code page (GBK on its target systems).
inline std::wstring WideFromAnsi(std::string_view text) { return WideFromCodePage(text, CP_ACP); }
inline std::string AnsiFromWide(std::wstring_view wide) { return CodePageFromWide(wide, CP_ACP); }
