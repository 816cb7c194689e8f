#include "toolkit/draw/text_style.h"

namespace {

// Near over centre over far; -1 when none of the three bits is set.
int32_t PickAlignment(uint32_t style, uint32_t nearBit, uint32_t centreBit, uint32_t farBit) {
  if (style & nearBit) return kAlignNear;
  if (style & centreBit) return kAlignCentre;
  if (style & farBit) return kAlignFar;
  return -1;
}

}  // namespace

TextLayout TextLayoutFromStyle(uint32_t style, bool noWrap) {
  using namespace font_style;
  TextLayout layout;
  const bool vertical = (style & kVerticalText) != 0;

  layout.formatFlags = kFormatMeasureTrailingSpaces | kFormatNoFontFallback;
  if (noWrap) layout.formatFlags |= kFormatNoWrap;
  if (vertical) layout.formatFlags |= kFormatDirectionVertical;

  int32_t horizontal = PickAlignment(style, kHorizontalNear, kHorizontalCentre, kHorizontalFar);
  if (horizontal < 0) horizontal = vertical ? kAlignFar : kAlignNear;
  int32_t lineAlignment = PickAlignment(style, kVerticalNear, kVerticalCentre, kVerticalFar);
  if (lineAlignment < 0) lineAlignment = horizontal;
  layout.alignment = horizontal;
  layout.lineAlignment = lineAlignment;

  // GDI+ numbers underline 4 and strikeout 8, the style bits the other way round.
  if (style & kBold) layout.fontStyle |= 1;
  if (style & kItalic) layout.fontStyle |= 2;
  if (style & kUnderline) layout.fontStyle |= 4;
  if (style & kStrikeout) layout.fontStyle |= 8;
  layout.glow = (style & kGlow) != 0;
  return layout;
}
