// WideText: a UTF-16 text kept as a byte buffer of UTF-16LE code units (2 bytes per character),
// the form in which the toolkit hands texts to the wide Windows API and to GDI+. The program's
// own texts are GBK byte strings (std::string); SetText/ToText convert with the ANSI code page.
//
// The buffer holds no terminating zero unless one was put there (Reserve, SetBytes of terminated
// bytes); Terminated() and WString() produce the zero-terminated form the API wants. Character
// positions and counts are in UTF-16 code units. Positions are 1-based; a start of 0 (or less)
// counts as 1. Counts beyond the text are cut to what is there; negative counts give nothing.
// Raw wide bytes of odd length lose their last byte: half a code unit is never stored.
//
// The byte-level operations need no Windows API (wide_text.cpp); the conversions, the window and
// clipboard operations are in wide_text_win.cpp. Operations stand in the order of the toolkit's
// operation table for this object.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "toolkit/draw/unit_range.h"

// The window handle type as <windows.h> declares it, so this header does not need it.
struct HWND__;
typedef HWND__* HWND;

using WideBytes = std::vector<uint8_t>;

class WideText {
 public:
  WideText() = default;
  explicit WideText(std::span<const uint8_t> bytes) { SetBytes(bytes); }
  ~WideText() = default;
  WideText(const WideText&) = default;  // deep copy of the buffer
  WideText& operator=(const WideText&) = default;
  WideText(WideText&&) noexcept = default;
  WideText& operator=(WideText&&) noexcept = default;

  // ---- Setting -----------------------------------------------------------------------------
  void SetText(const std::string& text);          // from GBK, without terminating zero
  void SetBytes(std::span<const uint8_t> bytes);  // copy of raw UTF-16LE bytes
  // (n + 1) × 2 zero bytes, n = 256 when omitted; the former content is dropped.
  void Reserve(std::optional<int32_t> characters = std::nullopt);
  // The window's text (GetWindowTextW). The buffer keeps only the characters actually read, so a
  // window title compares equal to the same text set with SetText.
  void SetFromWindow(HWND window);
  void Clear();

  // ---- Insertion: the new characters start at `position` (1-based; past the end appends) ----
  void InsertText(int32_t position, const std::string& text);
  void InsertBytes(int32_t position, std::span<const uint8_t> bytes);
  void InsertChar(int32_t position, uint16_t code);
  void InsertWide(int32_t position, const WideText& other);

  // ---- Appending ---------------------------------------------------------------------------
  void AppendText(const std::string& text);
  void AppendBytes(std::span<const uint8_t> bytes);
  void AppendChar(uint16_t code);
  void AppendWide(const WideText& other);

  // ---- Removal and in-place edits ----------------------------------------------------------
  void RemoveLeft(int32_t count);                   // drops the first `count` characters
  void RemoveRight(int32_t count);                  // drops the last `count` characters
  void RemoveRange(int32_t start, int32_t count);   // drops `count` characters from `start`
  bool SetCharCode(int32_t position, uint16_t code);  // false when position is past the end

  // ---- Reading -----------------------------------------------------------------------------
  std::string ToText() const;                           // to GBK (unmappable characters become '?')
  WideBytes Terminated(bool withZero = true) const;     // the characters, plus a zero unit if asked
  WideBytes Left(int32_t count) const;
  std::string LeftText(int32_t count) const;
  WideText LeftWide(int32_t count) const;
  WideBytes Right(int32_t count) const;
  std::string RightText(int32_t count) const;
  WideText RightWide(int32_t count) const;
  // `count` characters from `start`; all the rest when count is omitted.
  WideBytes Mid(int32_t start, std::optional<int32_t> count = std::nullopt) const;
  std::string MidText(int32_t start, std::optional<int32_t> count = std::nullopt) const;
  WideText MidWide(int32_t start, std::optional<int32_t> count = std::nullopt) const;
  uint16_t CharCode(int32_t position) const;  // 0 past the end

  // ---- Replacement -------------------------------------------------------------------------
  // Replaces occurrences of `find` by `replacement`, searching from character `start` on code-unit
  // boundaries, at most `count` times (all when omitted or negative). Text put in is not searched
  // again.
  // Returns how many were replaced; an empty `find` replaces nothing.
  int32_t ReplaceBytes(std::span<const uint8_t> find, std::span<const uint8_t> replacement,
                       int32_t start = 1, std::optional<int32_t> count = std::nullopt);
  int32_t ReplaceText(const std::string& find, const std::string& replacement, int32_t start = 1,
                      std::optional<int32_t> count = std::nullopt);
  int32_t ReplaceWide(const WideText& find, const WideText& replacement, int32_t start = 1,
                      std::optional<int32_t> count = std::nullopt);

  // ---- Whole-object operations -------------------------------------------------------------
  void SetFromWide(const WideText& other);  // copy
  void CopyTo(WideText& target);            // hands the buffer over; this one is empty afterwards
  bool IsEmpty() const;                     // no characters before the first zero unit
  bool Equals(const WideText& other) const;  // same length and same bytes
  // Characters before the first zero unit (what lstrlenW counts).
  int32_t Length() const;
  void DebugOutput() const;        // ToText to the debugger (OutputDebugStringA)
  bool CopyToClipboard() const;    // as Unicode text; false when the clipboard was not taken

  // ---- Access ------------------------------------------------------------------------------
  const WideBytes& Bytes() const { return bytes_; }
  // The characters as a zero-terminated wide string, for the wide API: WString().c_str().
  std::wstring WString() const;

 private:
  size_t UnitCount() const { return bytes_.size() / 2; }
  // Byte offset of a 1-based character position, clamped to the buffer.
  size_t OffsetOf(int32_t position) const;
  WideBytes BytesIn(ByteRange<size_t> range) const;

  WideBytes bytes_;  // UTF-16LE code units
};

// ---- Plain helpers -----------------------------------------------------------------------------
// GBK text → UTF-16LE bytes, with the terminating zero unit unless `dropTerminator`. An empty text
// gives just the terminator (or nothing).
WideBytes WideFromText(const std::string& text, bool dropTerminator = false);
// UTF-16LE bytes (terminated or not; conversion stops at a zero unit) → GBK text.
std::string TextFromWide(std::span<const uint8_t> bytes);
WideText MakeWideText(std::span<const uint8_t> bytes);
// Convenience for literals: the UTF-16 units of a wide string as a WideText.
WideText WideTextFromWString(const std::wstring& text);
