// A long run of drawing must give back every GDI object it takes. Counts the process's GDI
// objects before and after thousands of calls of every drawing helper (see LiveGdiObjects for how
// they are counted under Wine) and prints the figures.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/toolkit/draw/draw_test_support.h"
#include "toolkit/draw/blend_dc.h"
#include "toolkit/draw/dc_canvas.h"
#include "toolkit/draw/fonts.h"
#include "toolkit/draw/images.h"
#include "toolkit/draw/shapes.h"
#include "toolkit/draw/text_drawing.h"
#include "toolkit/draw/wait_pumping.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// One round of everything the window layer and the elements draw with.
void DrawEverything(const std::vector<uint8_t>& png, HWND window, int round) {
  DcCanvas surface;
  surface.CreateCanvas(160, 90);
  UniqueGpGraphics graphics = GraphicsForDc(surface.Dc());
  GpGraphics* g = graphics.get();

  FillRect(g, 0xFF1C1C1Cu, 0, 0, 160, 90);
  FillRoundedRect(g, 0x80FFFFFFu, 5, 5, 150, 80, 6);
  OutlineRoundedRect(g, 0x60000000u, 5, 5, 150, 80, 6, 2);
  OutlineRect(g, 0xFF00FF00u, 1, 1, 20, 20);
  GradientFill(g, 0, 0, 160, 10, 0xFF000000u, 0xFFFFFFFFu);
  UniqueGpPath path = RoundedRectPath(0, 0, 40, 40, 8);
  FillPath(g, path.get(), 0xFF123456u);

  UniqueGpBitmap image = LoadImageFromBytes(png, 24 + round % 5, 24);
  DrawImage(image.get(), g, 10, 10, {}, {}, 0, 0, {}, {}, round % 101);
  NineGridImage(g, image.get(), 0, 0, 100, 60, GridMargins{4, 4, 4, 4}, 30);
  AverageColour(image.get());
  DrawIcon(g, LoadIconW(nullptr, MAKEINTRESOURCEW(32512)), 2, 2);

  FontObject font = MakeFont(MakeFontDescription(std::nullopt, std::nullopt, 13.0f, 0xFFFFFFFFu,
                                                 0xFF00A0FFu));
  DrawText(g, font, std::string("正在为您开启Velmora之旅"), RectF(0, 0, 160, 90));
  DrawText(g, font, std::string("90%"));
  MeasureText(font, std::string("使用说明"), 60.0f);

  DcCanvas snapshot;
  snapshot.CreateCanvas(160, 90);
  snapshot.BitBltFrom(surface);
  BlendDc(snapshot.Dc(), 0, 0, 160, 90, surface.Dc(), 0, 0, 160, 90, 128, AC_SRC_ALPHA);
  DcCanvas borrowed;
  borrowed.CreateFromCanvas(snapshot);
  borrowed.TextOutA(0, 0, "使用说明");
  DcCanvas windowCanvas;
  windowCanvas.AttachWindow(window);
  windowCanvas.CopyFromDc(surface.Dc(), 0, 0, 40, 40);
  WaitPumping(0);
}

TEST(DrawingLeaks, ThousandsOfDrawCallsLeaveNoGdiObjectBehind) {
  InitialiseFontDefaults();
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 160, 90, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  UniqueGpBitmap source = MakeBlockBitmap({0xFFFF0000u, 0x800000FFu}, 2, 2, 16);
  const std::vector<uint8_t> png = EncodePng(source.get());
  ASSERT_FALSE(png.empty());

  // The first rounds fill GDI's and GDI+'s caches (stock objects, font cache, desktop DC).
  for (int round = 0; round < 5; ++round) DrawEverything(png, window, round);
  const size_t before = LiveGdiObjects();
  ASSERT_GT(before, 0u) << "no way to count GDI objects here";

  constexpr int kRounds = 1000;  // about 30 drawing calls each
  for (int round = 0; round < kRounds; ++round) DrawEverything(png, window, round);
  const size_t after = LiveGdiObjects();
  std::printf("GDI objects before %zu, after %d rounds %zu\n", before, kRounds, after);
  // One leaked object per round would show as a thousand.
  EXPECT_LE(after, before + 2);
  DestroyWindow(window);
}

TEST(DrawingLeaks, TheCountSeesALeak) {
  // The measurement itself must notice objects that are not given back.
  const size_t before = LiveGdiObjects();
  std::vector<UniqueHBitmap> kept;
  for (int i = 0; i < 50; ++i) kept.emplace_back(CreateBitmap(1, 1, 1, 32, nullptr));
  EXPECT_GE(LiveGdiObjects(), before + 50);
  kept.clear();
  EXPECT_EQ(LiveGdiObjects(), before);
}

}  // namespace
