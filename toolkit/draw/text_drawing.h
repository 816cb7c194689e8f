// Measuring and drawing text with a font object, including the soft glow behind the letters.
// Texts are GBK byte strings (converted with WideText) or WideTexts. Coordinates are the target
// graphics' world units (pixels for every graphics the toolkit makes).
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <optional>
#include <string>

#include "toolkit/draw/fonts.h"
#include "toolkit/draw/wide_text.h"

// <windows.h> maps DrawText to DrawTextA; the toolkit's DrawText is its own. Call DrawTextA or
// DrawTextW by name where the Win32 function is meant.
#ifdef DrawText
#undef DrawText
#endif

// The size the text takes when laid out with the font and its format, at most `width` wide when
// given (wrapping unless the format says no-wrap). Measured on a graphics for the desktop.
// An empty font object or text measures 0 × 0.
Gdiplus::SizeF MeasureText(const FontObject& font, const WideText& text,
                           std::optional<float> width = std::nullopt);
Gdiplus::SizeF MeasureText(const FontObject& font, const std::string& text,
                           std::optional<float> width = std::nullopt);
// The same for a description (a font object is made for the measurement).
Gdiplus::SizeF MeasureText(const FontDescription& description, const std::string& text,
                           std::optional<float> width = std::nullopt);

// Draws the text into `layout` (its measured box at (0, 0) when omitted) with the font's format
// and text brush, under the toolkit's default text-rendering hint. A font with a glow first draws
// the text with the glow brush into a bitmap of the layout size, shrinks it to a third (high-
// quality bicubic), and stretches that back over the layout, which blurs it into a halo; a
// layout smaller than 3 × 3 gets no glow. Returns whether GdipDrawString succeeded.
bool DrawText(Gdiplus::GpGraphics* graphics, const FontObject& font, const WideText& text,
              std::optional<Gdiplus::RectF> layout = std::nullopt);
bool DrawText(Gdiplus::GpGraphics* graphics, const FontObject& font, const std::string& text,
              std::optional<Gdiplus::RectF> layout = std::nullopt);
