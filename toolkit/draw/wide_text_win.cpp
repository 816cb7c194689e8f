// The Windows half of WideText: code-page conversions, window text, debugger and clipboard.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/win_handle.h"
#include "toolkit/draw/wide_text.h"

WideBytes WideFromText(const std::string& text, bool dropTerminator) {
  // Both calls measure the same bytes (the text's own length, not up to a first zero byte), so a
  // text with an embedded zero cannot convert into more units than were counted.
  const int length = static_cast<int>(text.size());
  int units = 0;
  if (length > 0) units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  WideBytes bytes((static_cast<size_t>(units) + 1) * 2, 0);
  if (units > 0) {
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(bytes.data()),
                        units);
  }
  if (dropTerminator) bytes.resize(bytes.size() - 2);
  return bytes;
}

std::string TextFromWide(std::span<const uint8_t> bytes) {
  size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    if (bytes[2 * i] == 0 && bytes[2 * i + 1] == 0) {
      units = i;
      break;
    }
  }
  if (units == 0) return {};
  // Copy into aligned storage: the span may start at an odd address.
  std::wstring wide(units, L'\0');
  std::memcpy(wide.data(), bytes.data(), units * 2);
  const int wideLength = static_cast<int>(units);
  int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

void WideText::SetText(const std::string& text) { bytes_ = WideFromText(text, true); }

void WideText::SetFromWindow(HWND window) {
  int length = GetWindowTextLengthW(window);
  Reserve(length);
  int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(bytes_.data()), length + 1);
  bytes_.resize(static_cast<size_t>(std::max(copied, 0)) * 2);
}

void WideText::InsertText(int32_t position, const std::string& text) {
  InsertBytes(position, WideFromText(text, true));
}

void WideText::AppendText(const std::string& text) { AppendBytes(WideFromText(text, true)); }

std::string WideText::ToText() const { return TextFromWide(bytes_); }

std::string WideText::LeftText(int32_t count) const { return TextFromWide(Left(count)); }

std::string WideText::RightText(int32_t count) const { return TextFromWide(Right(count)); }

std::string WideText::MidText(int32_t start, std::optional<int32_t> count) const {
  return TextFromWide(Mid(start, count));
}

int32_t WideText::ReplaceText(const std::string& find, const std::string& replacement,
                              int32_t start, std::optional<int32_t> count) {
  return ReplaceBytes(WideFromText(find, true), WideFromText(replacement, true), start, count);
}

void WideText::DebugOutput() const { OutputDebugStringA(ToText().c_str()); }

bool WideText::CopyToClipboard() const {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const WideBytes text = Terminated(true);
  bool placed = false;
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size())) {
    if (void* memory = GlobalLock(block)) {
      std::memcpy(memory, text.data(), text.size());
      GlobalUnlock(block);
      placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    // The clipboard owns the block only once SetClipboardData accepted it.
    if (!placed) GlobalFree(block);
  }
  CloseClipboard();
  return placed;
}
