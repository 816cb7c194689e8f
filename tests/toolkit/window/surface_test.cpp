#include "toolkit/window/window_surface.h"

#include <gtest/gtest.h>

#include "toolkit/draw/gdi_owners.h"

namespace {

class SurfaceTest : public ::testing::Test {
 protected:
  UniqueGdiplusToken gdiplus = StartGdiplus();
};

TEST_F(SurfaceTest, TooSmallGivesAnEmptySurfaceThatReleasesHarmlessly) {
  for (auto [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-3, 5}}) {
    WindowSurface surface = WindowSurface::Create(w, h);
    EXPECT_FALSE(surface);
    EXPECT_EQ(surface.memoryDc(), nullptr);
    EXPECT_EQ(surface.graphics(), nullptr);
    EXPECT_EQ(surface.PixelAt(0, 0), 0u);
    surface.Release();
    surface.Release();
  }
}

TEST_F(SurfaceTest, IsA32BitBottomUpDibStartingTransparent) {
  WindowSurface surface = WindowSurface::Create(40, 30);
  ASSERT_TRUE(surface);
  ASSERT_NE(surface.graphics(), nullptr);
  EXPECT_EQ(GetCurrentObject(surface.memoryDc(), OBJ_BITMAP), surface.bitmap());
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectW(surface.bitmap(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
  EXPECT_EQ(dib.dsBmih.biWidth, 40);
  EXPECT_EQ(dib.dsBmih.biHeight, 30);  // positive: bottom-up
  EXPECT_EQ(dib.dsBmih.biBitCount, 32);
  EXPECT_EQ(surface.PixelAt(0, 0), 0u);
  EXPECT_EQ(surface.PixelAt(39, 29), 0u);
}

TEST_F(SurfaceTest, GdiplusDrawsPremultipliedAlphaIntoTheDib) {
  WindowSurface surface = WindowSurface::Create(40, 30);
  Gdiplus::GpSolidFill* brush = nullptr;
  Gdiplus::DllExports::GdipCreateSolidFill(0x80FF0000, &brush);  // half-transparent red
  Gdiplus::DllExports::GdipFillRectangleI(surface.graphics(), brush, 0, 0, 10, 5);
  Gdiplus::DllExports::GdipDeleteBrush(brush);
  Argb inside = surface.PixelAt(2, 2);
  EXPECT_EQ(AlphaOf(inside), 0x80);
  EXPECT_NEAR(RedOf(inside), 0x80, 1);  // premultiplied
  EXPECT_EQ(GreenOf(inside), 0);
  EXPECT_EQ(surface.PixelAt(2, 6), 0u);   // below the fill: untouched
  EXPECT_EQ(surface.PixelAt(12, 2), 0u);  // right of it
}

TEST_F(SurfaceTest, ClearMakesEveryPixelTransparentAfterGdiAndGdiplusDrawing) {
  WindowSurface surface = WindowSurface::Create(40, 30);
  Gdiplus::GpSolidFill* brush = nullptr;
  Gdiplus::DllExports::GdipCreateSolidFill(0xFF00FF00, &brush);
  Gdiplus::DllExports::GdipFillRectangleI(surface.graphics(), brush, 0, 0, 40, 30);
  Gdiplus::DllExports::GdipDeleteBrush(brush);
  RECT corner{30, 20, 40, 30};
  FillRect(surface.memoryDc(), &corner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));  // GDI, maybe batched
  ASSERT_NE(surface.PixelAt(0, 0), 0u);
  surface.Clear();
  for (auto [x, y] : {std::pair{0, 0}, std::pair{39, 0}, std::pair{0, 29}, std::pair{39, 29}, std::pair{35, 25}}) {
    EXPECT_EQ(surface.PixelAt(x, y), 0u) << x << "," << y;
  }
  WindowSurface().Clear();  // an empty surface: nothing to clear
}

TEST_F(SurfaceTest, MovingHandsTheResourcesOver) {
  WindowSurface first = WindowSurface::Create(8, 8);
  HDC dc = first.memoryDc();
  WindowSurface second = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_EQ(second.memoryDc(), dc);
  second = WindowSurface::Create(4, 4);
  EXPECT_NE(second.memoryDc(), nullptr);
  EXPECT_EQ(second.width(), 4);
  EXPECT_EQ(GetObjectType(dc), 0u);  // the replaced surface's DC is gone
}

}  // namespace
