// The style bits of a font description and what the font object makes of them. Pure logic: the
// GDI+ enumerations are repeated here as plain numbers so this needs no Windows header.
#pragma once

#include <cstdint>

namespace font_style {
inline constexpr uint32_t kBold = 1;
inline constexpr uint32_t kItalic = 2;
inline constexpr uint32_t kStrikeout = 4;
inline constexpr uint32_t kUnderline = 8;
inline constexpr uint32_t kHorizontalNear = 32;
inline constexpr uint32_t kHorizontalCentre = 64;
inline constexpr uint32_t kHorizontalFar = 128;
inline constexpr uint32_t kVerticalNear = 256;
inline constexpr uint32_t kVerticalCentre = 512;
inline constexpr uint32_t kVerticalFar = 1024;
inline constexpr uint32_t kVerticalText = 2048;
inline constexpr uint32_t kGlow = 4096;
// 16 + centre + centre + glow. Bit 16 is carried along but read by nobody.
inline constexpr uint32_t kDefault = 4688;
}  // namespace font_style

// GDI+ StringAlignment values.
inline constexpr int32_t kAlignNear = 0;
inline constexpr int32_t kAlignCentre = 1;
inline constexpr int32_t kAlignFar = 2;

// GDI+ StringFormatFlags values used by the font object.
inline constexpr int32_t kFormatDirectionVertical = 0x0002;
inline constexpr int32_t kFormatNoFontFallback = 0x0400;
inline constexpr int32_t kFormatMeasureTrailingSpaces = 0x0800;
inline constexpr int32_t kFormatNoWrap = 0x1000;

// How a font object lays text out, read from the style bits.
struct TextLayout {
  int32_t alignment = kAlignNear;      // horizontal (GDI+ StringAlignment)
  int32_t lineAlignment = kAlignNear;  // vertical
  int32_t formatFlags = 0;             // GDI+ StringFormatFlags
  int32_t fontStyle = 0;               // GDI+ FontStyle: bold 1, italic 2, underline 4, strikeout 8
  bool glow = false;
  friend bool operator==(const TextLayout&, const TextLayout&) = default;
};

// Among several alignment bits near wins over centre and centre over far. With no horizontal bit
// the alignment is near, or far for vertical text (bit 2048); with no vertical bit the line
// alignment takes the horizontal alignment's value. The format flags always measure trailing
// spaces and never fall back to other fonts, plus no-wrap when asked and vertical direction with
// bit 2048.
TextLayout TextLayoutFromStyle(uint32_t style, bool noWrap);
