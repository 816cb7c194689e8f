// The pure logic of the drawing library: colour packing, rounded-rectangle arcs, nine-grid cuts
// and the style bits of font descriptions. No window, no GDI.
#include <gtest/gtest.h>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/geometry.h"
#include "toolkit/draw/text_style.h"

namespace {

TEST(Colour, PacksAlphaRedGreenBlue) {
  struct Case {
    uint8_t a, r, g, b;
    Argb packed;
  };
  const Case cases[] = {
      {254, 255, 255, 255, 0xFEFFFFFFu},  // the toolkit's default text colour
      {96, 255, 255, 255, 0x60FFFFFFu},   // default inner border
      {96, 0, 0, 0, 0x60000000u},         // default outer border
      {255, 28, 28, 28, 0xFF1C1C1Cu},     // installer background
      {255, 128, 224, 0, 0xFF80E000u},    // status label
      {0, 0, 0, 0, 0u},
      {1, 2, 3, 4, 0x01020304u},
  };
  for (const Case& c : cases) {
    Argb colour = MakeArgb(c.a, c.r, c.g, c.b);
    EXPECT_EQ(colour, c.packed);
    EXPECT_EQ(AlphaOf(colour), c.a);
    EXPECT_EQ(RedOf(colour), c.r);
    EXPECT_EQ(GreenOf(colour), c.g);
    EXPECT_EQ(BlueOf(colour), c.b);
  }
}

TEST(Colour, ColorRefLowByteIsRedAndAlphaDefaultsToOpaque) {
  // The installer's shadow colour 0xC06000: red 0, green 0x60, blue 0xC0.
  EXPECT_EQ(ArgbFromColorRef(0xC06000), 0xFF0060C0u);
  EXPECT_EQ(ArgbFromColorRef(0xC06000, 5), 0x050060C0u);
  EXPECT_EQ(ArgbFromColorRef(0xC06000, 70), 0x460060C0u);
  EXPECT_EQ(ArgbFromColorRef(0x0000FF, 0), 0x00FF0000u);
  // The top byte of a COLORREF is not colour.
  EXPECT_EQ(ArgbFromColorRef(0xAA332211u), 0xFF112233u);
  EXPECT_EQ(ColorRefFromArgb(0x80112233u), 0x00332211u);
  EXPECT_EQ(ColorRefFromArgb(ArgbFromColorRef(0x00123456, 9)), 0x00123456u);
}

TEST(RoundedRectArcs, FourQuarterArcsInCornerBoxesOfTwiceTheRadius) {
  auto arcs = RoundedRectArcs(10, 20, 100, 50, 8);
  EXPECT_EQ(arcs[0], (ArcSpec{10, 20, 16, 16, 180, 90}));
  EXPECT_EQ(arcs[1], (ArcSpec{94, 20, 16, 16, 270, 90}));
  EXPECT_EQ(arcs[2], (ArcSpec{94, 54, 16, 16, 0, 90}));
  EXPECT_EQ(arcs[3], (ArcSpec{10, 54, 16, 16, 90, 90}));
}

TEST(RoundedRectArcs, RadiusZeroCollapsesToTheCorners) {
  auto arcs = RoundedRectArcs(0, 0, 30, 40, 0);
  EXPECT_EQ(arcs[0], (ArcSpec{0, 0, 0, 0, 180, 90}));
  EXPECT_EQ(arcs[2], (ArcSpec{30, 40, 0, 0, 0, 90}));
}

TEST(NineGridPieces, KeepsBordersAndStretchesTheMiddle) {
  auto pieces = NineGridPieces(30, 30, Rect{5, 7, 100, 60}, GridMargins{10, 10, 10, 10});
  EXPECT_EQ(pieces[0].source, (Rect{0, 0, 10, 10}));
  EXPECT_EQ(pieces[0].target, (Rect{5, 7, 10, 10}));
  EXPECT_EQ(pieces[1].source, (Rect{10, 0, 10, 10}));
  EXPECT_EQ(pieces[1].target, (Rect{15, 7, 80, 10}));
  EXPECT_EQ(pieces[4].source, (Rect{10, 10, 10, 10}));
  EXPECT_EQ(pieces[4].target, (Rect{15, 17, 80, 40}));
  EXPECT_EQ(pieces[8].source, (Rect{20, 20, 10, 10}));
  EXPECT_EQ(pieces[8].target, (Rect{95, 57, 10, 10}));
}

TEST(NineGridPieces, UnevenMarginsLineUp) {
  auto pieces = NineGridPieces(40, 20, Rect{0, 0, 200, 50}, GridMargins{4, 3, 12, 6});
  EXPECT_EQ(pieces[0].source, (Rect{0, 0, 4, 3}));
  EXPECT_EQ(pieces[2].source, (Rect{28, 0, 12, 3}));
  EXPECT_EQ(pieces[2].target, (Rect{188, 0, 12, 3}));
  EXPECT_EQ(pieces[6].target, (Rect{0, 44, 4, 6}));
  EXPECT_EQ(pieces[4].target, (Rect{4, 3, 184, 41}));
}

TEST(NineGridPieces, TargetSmallerThanTheMarginsSharesItBetweenTheBorders) {
  auto pieces = NineGridPieces(30, 30, Rect{0, 0, 12, 6}, GridMargins{10, 10, 10, 10});
  // Across: 12 pixels for two 10-pixel borders, split in proportion; nothing for the middle.
  EXPECT_EQ(pieces[0].target, (Rect{0, 0, 6, 3}));
  EXPECT_EQ(pieces[1].target.width, 0);
  EXPECT_EQ(pieces[2].target, (Rect{6, 0, 6, 3}));
  EXPECT_EQ(pieces[8].target, (Rect{6, 3, 6, 3}));
  for (const auto& piece : pieces) {
    EXPECT_GE(piece.target.width, 0);
    EXPECT_LE(piece.target.x + piece.target.width, 12);
    EXPECT_LE(piece.target.y + piece.target.height, 6);
  }
}

TEST(NineGridPieces, MarginsBeyondTheSourceAreClamped) {
  auto pieces = NineGridPieces(10, 10, Rect{0, 0, 50, 50}, GridMargins{8, -3, 8, 40});
  EXPECT_EQ(pieces[0].source, (Rect{0, 0, 8, 0}));
  EXPECT_EQ(pieces[2].source, (Rect{8, 0, 2, 0}));
  EXPECT_EQ(pieces[6].source, (Rect{0, 0, 8, 10}));
  for (const auto& piece : pieces) {
    EXPECT_LE(piece.source.x + piece.source.width, 10);
    EXPECT_LE(piece.source.y + piece.source.height, 10);
  }
}

TEST(TextLayoutFromStyle, AlignmentFromTheStyleBits) {
  using namespace font_style;
  struct Case {
    uint32_t style;
    int32_t alignment;
    int32_t lineAlignment;
    const char* why;
  };
  const Case cases[] = {
      {kDefault, kAlignCentre, kAlignCentre, "default 4688: centred both ways"},
      {64 + 256, kAlignCentre, kAlignNear, "centre, top"},
      {32 | 64 | 128, kAlignNear, kAlignNear, "near wins over centre and far"},
      {64 | 128, kAlignCentre, kAlignCentre, "centre wins over far"},
      {128 | 1024, kAlignFar, kAlignFar, "far, bottom"},
      {256 | 512 | 1024 | 128, kAlignFar, kAlignNear, "vertical near wins"},
      {512 | 1024, kAlignNear, kAlignCentre, "no horizontal bit: near"},
      {0, kAlignNear, kAlignNear, "nothing: near, line alignment follows"},
      {128, kAlignFar, kAlignFar, "no vertical bit: line alignment follows the horizontal"},
      {kVerticalText, kAlignFar, kAlignFar, "vertical text without bits: far"},
      {kVerticalText | 64, kAlignCentre, kAlignCentre, "vertical text with a bit uses the bit"},
      {kVerticalText | 1024, kAlignFar, kAlignFar, "vertical text, far line"},
      {kVerticalText | 256, kAlignFar, kAlignNear, "vertical text, near line"},
  };
  for (const Case& c : cases) {
    TextLayout layout = TextLayoutFromStyle(c.style, false);
    EXPECT_EQ(layout.alignment, c.alignment) << c.why;
    EXPECT_EQ(layout.lineAlignment, c.lineAlignment) << c.why;
  }
}

TEST(TextLayoutFromStyle, FormatFlagsAndFontStyle) {
  using namespace font_style;
  TextLayout plain = TextLayoutFromStyle(0, false);
  EXPECT_EQ(plain.formatFlags, 2048 | 1024);
  EXPECT_EQ(plain.fontStyle, 0);
  EXPECT_FALSE(plain.glow);

  EXPECT_EQ(TextLayoutFromStyle(0, true).formatFlags, 2048 | 1024 | 4096);
  EXPECT_EQ(TextLayoutFromStyle(kVerticalText, true).formatFlags, 2048 | 1024 | 4096 | 2);

  // GDI+ counts underline 4 and strikeout 8: the style bits are the other way round.
  EXPECT_EQ(TextLayoutFromStyle(kBold, false).fontStyle, 1);
  EXPECT_EQ(TextLayoutFromStyle(kItalic, false).fontStyle, 2);
  EXPECT_EQ(TextLayoutFromStyle(kStrikeout, false).fontStyle, 8);
  EXPECT_EQ(TextLayoutFromStyle(kUnderline, false).fontStyle, 4);
  EXPECT_EQ(TextLayoutFromStyle(15, false).fontStyle, 15);

  EXPECT_TRUE(TextLayoutFromStyle(kDefault, false).glow);
  EXPECT_FALSE(TextLayoutFromStyle(kDefault & ~kGlow, false).glow);
  // Bit 16 of the default changes nothing.
  EXPECT_EQ(TextLayoutFromStyle(kDefault, false), TextLayoutFromStyle(kDefault & ~16u, false));
}

}  // namespace
