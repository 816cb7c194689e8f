// Fills, outlines, rounded-rectangle paths and gradients, drawn into real GDI+ bitmaps and read
// back pixel by pixel.
#include <gtest/gtest.h>

#include "tests/toolkit/draw/draw_test_support.h"
#include "toolkit/draw/shapes.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr Argb kRed = 0xFFFF0000u;
constexpr Argb kGreen = 0xFF00FF00u;

TEST(Shapes, MakeRectKeepsPositionAndSize) {
  ::Rect rect = MakeRect(-3, 4, 500, 200);
  EXPECT_EQ(rect.x, -3);
  EXPECT_EQ(rect.y, 4);
  EXPECT_EQ(rect.width, 500);
  EXPECT_EQ(rect.height, 200);
}

TEST(Shapes, FillRectCoversExactlyTheRectangle) {
  TestCanvas canvas = MakeTestCanvas(40, 30);
  ASSERT_TRUE(FillRect(canvas.graphics.get(), kRed, 5, 6, 10, 8));
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 5, 6), kRed);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 14, 13), kRed);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 4, 6), 0u);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 15, 6), 0u);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 5, 14), 0u);
  EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p == kRed; }), 80);
  EXPECT_FALSE(FillRect(nullptr, kRed, 0, 0, 1, 1));
}

TEST(Shapes, FillRoundedRectWithRadiusBelowOneIsAPlainFill) {
  for (int32_t radius : {0, -4}) {
    TestCanvas plain = MakeTestCanvas(60, 40);
    TestCanvas rounded = MakeTestCanvas(60, 40);
    GdipSetSmoothingMode(plain.graphics.get(), SmoothingModeAntiAlias);
    GdipSetSmoothingMode(rounded.graphics.get(), SmoothingModeAntiAlias);
    ASSERT_TRUE(FillRect(plain.graphics.get(), kGreen, 7, 5, 41, 27));
    ASSERT_TRUE(FillRoundedRect(rounded.graphics.get(), kGreen, 7, 5, 41, 27, radius));
    EXPECT_EQ(AllPixels(plain.bitmap.get()), AllPixels(rounded.bitmap.get())) << radius;
    // The corners are filled too.
    EXPECT_EQ(PixelAt(rounded.bitmap.get(), 7, 5), kGreen);
    EXPECT_EQ(PixelAt(rounded.bitmap.get(), 47, 31), kGreen);
  }
}

TEST(Shapes, FillRoundedRectCutsCornersOfTheRadius) {
  TestCanvas canvas = MakeTestCanvas(120, 80);
  ASSERT_TRUE(FillRoundedRect(canvas.graphics.get(), kRed, 10, 10, 100, 60, 10));
  GpBitmap* b = canvas.bitmap.get();
  // Corners of the bounding box stay empty, the inside of each corner circle is filled.
  for (auto [x, y] : {std::pair{10, 10}, {12, 12}, {109, 10}, {107, 12}, {10, 69}, {109, 69}}) {
    EXPECT_EQ(PixelAt(b, x, y), 0u) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{16, 16}, {103, 16}, {16, 63}, {103, 63}, {60, 40}}) {
    EXPECT_EQ(PixelAt(b, x, y), kRed) << x << "," << y;
  }
  // The straight edges start one radius from the corner: d = 2·radius boxes, not radius boxes.
  EXPECT_EQ(PixelAt(b, 21, 10), kRed);
  EXPECT_EQ(PixelAt(b, 98, 10), kRed);
  EXPECT_EQ(PixelAt(b, 10, 21), kRed);
  EXPECT_EQ(PixelAt(b, 14, 10), 0u);
  EXPECT_EQ(PixelAt(b, 10, 14), 0u);
}

TEST(Shapes, RoundedRectPathIsAClosedFigureInTheRectangle) {
  UniqueGpPath path = RoundedRectPath(10, 20, 100, 50, 8);
  ASSERT_TRUE(path);
  GpRectF bounds;
  ASSERT_EQ(GdipGetPathWorldBounds(path.get(), &bounds, nullptr, nullptr), Ok);
  EXPECT_FLOAT_EQ(bounds.X, 10);
  EXPECT_FLOAT_EQ(bounds.Y, 20);
  EXPECT_FLOAT_EQ(bounds.Width, 100);
  EXPECT_FLOAT_EQ(bounds.Height, 50);

  INT count = 0;
  ASSERT_EQ(GdipGetPointCount(path.get(), &count), Ok);
  ASSERT_GE(count, 8);
  std::vector<BYTE> types(static_cast<size_t>(count));
  std::vector<GpPointF> points(static_cast<size_t>(count));
  GdipGetPathTypes(path.get(), types.data(), count);
  GdipGetPathPoints(path.get(), points.data(), count);
  EXPECT_TRUE(types.back() & PathPointTypeCloseSubpath);
  // The figure starts where the top-left arc starts, at 180°: the left edge, one radius down.
  EXPECT_NEAR(points.front().X, 10, 0.01);
  EXPECT_NEAR(points.front().Y, 28, 0.01);
  // Every point lies on the rectangle's edges or inside a corner box.
  for (const GpPointF& p : points) {
    EXPECT_GE(p.X, 10 - 0.01);
    EXPECT_LE(p.X, 110 + 0.01);
    EXPECT_GE(p.Y, 20 - 0.01);
    EXPECT_LE(p.Y, 70 + 0.01);
  }
  // Hit tests at the corner: outside the arc, inside the figure.
  BOOL inside = TRUE;
  GdipIsVisiblePathPoint(path.get(), 11, 21, nullptr, &inside);
  EXPECT_FALSE(inside);
  GdipIsVisiblePathPoint(path.get(), 14, 24, nullptr, &inside);
  EXPECT_TRUE(inside);
  GdipIsVisiblePathPoint(path.get(), 60, 21, nullptr, &inside);
  EXPECT_TRUE(inside);
}

TEST(Shapes, FillPathUsesTheColour) {
  TestCanvas canvas = MakeTestCanvas(50, 50);
  UniqueGpPath path = RoundedRectPath(0, 0, 50, 50, 25);  // a circle
  ASSERT_TRUE(FillPath(canvas.graphics.get(), path.get(), 0x80102030u));
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 25, 25), 0x80102030u);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 2, 2), 0u);
  EXPECT_FALSE(FillPath(canvas.graphics.get(), nullptr, kRed));
}

TEST(Shapes, OutlineRectPenWidthZeroDrawsOnePixel) {
  TestCanvas canvas = MakeTestCanvas(40, 40);
  ASSERT_TRUE(OutlineRect(canvas.graphics.get(), kRed, 5, 5, 20, 10, 0));
  GpBitmap* b = canvas.bitmap.get();
  EXPECT_EQ(PixelAt(b, 5, 9), kRed);    // left edge
  EXPECT_EQ(PixelAt(b, 25, 9), kRed);   // right edge at x + width
  EXPECT_EQ(PixelAt(b, 12, 5), kRed);   // top edge
  EXPECT_EQ(PixelAt(b, 12, 15), kRed);  // bottom edge at y + height
  EXPECT_EQ(PixelAt(b, 12, 9), 0u);     // inside stays empty
  EXPECT_EQ(PixelAt(b, 4, 9), 0u);
  EXPECT_EQ(PixelAt(b, 6, 9), 0u);
}

TEST(Shapes, OutlineRectPenWidthIsInPixels) {
  TestCanvas canvas = MakeTestCanvas(60, 60);
  GdipSetPageUnit(canvas.graphics.get(), UnitPixel);
  ASSERT_TRUE(OutlineRect(canvas.graphics.get(), kRed, 10, 10, 40, 40, 6));
  GpBitmap* b = canvas.bitmap.get();
  EXPECT_EQ(PixelAt(b, 8, 30), kRed);
  EXPECT_EQ(PixelAt(b, 12, 30), kRed);
  EXPECT_EQ(PixelAt(b, 15, 30), 0u);
}

TEST(Shapes, OutlineRoundedRectRadiusZeroEqualsOutlineRect) {
  TestCanvas plain = MakeTestCanvas(50, 40);
  TestCanvas rounded = MakeTestCanvas(50, 40);
  ASSERT_TRUE(OutlineRect(plain.graphics.get(), kGreen, 3, 4, 30, 20, 2));
  ASSERT_TRUE(OutlineRoundedRect(rounded.graphics.get(), kGreen, 3, 4, 30, 20, 0, 2));
  EXPECT_EQ(AllPixels(plain.bitmap.get()), AllPixels(rounded.bitmap.get()));
}

TEST(Shapes, OutlineRoundedRectLeavesTheCornerOpen) {
  TestCanvas canvas = MakeTestCanvas(80, 80);
  ASSERT_TRUE(OutlineRoundedRect(canvas.graphics.get(), kRed, 10, 10, 60, 60, 12, 1));
  GpBitmap* b = canvas.bitmap.get();
  EXPECT_EQ(PixelAt(b, 10, 10), 0u);
  EXPECT_EQ(PixelAt(b, 40, 10), kRed);
  EXPECT_EQ(PixelAt(b, 10, 40), kRed);
  EXPECT_EQ(PixelAt(b, 40, 40), 0u);
}

TEST(Shapes, GradientFillRunsFromOneColourToTheOther) {
  TestCanvas canvas = MakeTestCanvas(20, 101);
  ASSERT_TRUE(GradientFill(canvas.graphics.get(), 0, 0, 20, 101, 0xFF000000u, 0xFFFFFFFFu, true));
  GpBitmap* b = canvas.bitmap.get();
  EXPECT_LE(ChannelDistance(PixelAt(b, 10, 0), 0xFF000000u), 4);
  EXPECT_LE(ChannelDistance(PixelAt(b, 10, 100), 0xFFFFFFFFu), 4);
  EXPECT_LE(ChannelDistance(PixelAt(b, 10, 50), 0xFF808080u), 8);
  // Rows grow steadily brighter.
  for (int y = 1; y <= 100; ++y) EXPECT_GE(RedOf(PixelAt(b, 10, y)), RedOf(PixelAt(b, 10, y - 1)));

  TestCanvas across = MakeTestCanvas(101, 5);
  ASSERT_TRUE(GradientFill(across.graphics.get(), 0, 0, 101, 5, kRed, 0xFF0000FFu, false));
  EXPECT_LE(ChannelDistance(PixelAt(across.bitmap.get(), 0, 2), kRed), 4);
  EXPECT_LE(ChannelDistance(PixelAt(across.bitmap.get(), 100, 2), 0xFF0000FFu), 4);
  EXPECT_FALSE(GradientFill(across.graphics.get(), 0, 0, 0, 5, kRed, kRed));
}

}  // namespace
