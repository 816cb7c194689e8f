// DcCanvas over real memory DCs and a real window on the virtual display, BlendDc, and the
// pumping wait.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/clock.h"
#include "tests/toolkit/draw/draw_test_support.h"
#include "toolkit/draw/blend_dc.h"
#include "toolkit/draw/dc_canvas.h"
#include "toolkit/draw/wait_pumping.h"

namespace {

// The 32-bit canvas pixel at (x, y) as stored: 0xAARRGGBB (premultiplied for AlphaBlend).
uint32_t RawPixel(const DcCanvas& canvas, int32_t x, int32_t y) {
  GdiFlush();
  return static_cast<const uint32_t*>(canvas.Bits())[y * canvas.Width() + x];
}

void FillCanvas(DcCanvas& canvas, uint32_t raw) {
  GdiFlush();
  auto* pixels = static_cast<uint32_t*>(canvas.Bits());
  for (int32_t i = 0; i < canvas.Width() * canvas.Height(); ++i) pixels[i] = raw;
}

TEST(DcCanvas, CreateCanvasMakesAnOwnedTransparentSurface) {
  DcCanvas canvas;
  ASSERT_TRUE(canvas.CreateCanvas(40, 30));
  EXPECT_NE(canvas.Dc(), nullptr);
  EXPECT_EQ(canvas.MemoryDc(), canvas.Dc());
  EXPECT_EQ(canvas.Width(), 40);
  EXPECT_EQ(canvas.Height(), 30);
  EXPECT_EQ(canvas.BitmapWidth(), 40);
  EXPECT_EQ(canvas.BitmapHeight(), 30);
  EXPECT_EQ(canvas.BitmapBits(), 32);
  ASSERT_NE(canvas.Bits(), nullptr);
  EXPECT_EQ(RawPixel(canvas, 0, 0), 0u);
  EXPECT_EQ(RawPixel(canvas, 39, 29), 0u);
  EXPECT_NE(canvas.CurrentBitmap(), nullptr);

  EXPECT_FALSE(canvas.CreateCanvas(0, 10));
  EXPECT_EQ(canvas.Dc(), nullptr);
}

TEST(DcCanvas, PixelsAndShapes) {
  DcCanvas canvas;
  ASSERT_TRUE(canvas.CreateCanvas(50, 40, 32));
  canvas.SetPixel(3, 4, RGB(10, 20, 30));
  EXPECT_EQ(canvas.GetPixel(3, 4), RGB(10, 20, 30));
  // Row 0 is the top: the DIB section is top-down.
  EXPECT_EQ(RawPixel(canvas, 3, 4) & 0xFFFFFFu, 0x0A141Eu);

  UniqueHBrush brush(CreateSolidBrush(RGB(0, 255, 0)));
  SelectObjectGuard selected(canvas.Dc(), brush.get());
  UniqueHPen pen(CreatePen(PS_NULL, 0, 0));
  SelectObjectGuard noPen(canvas.Dc(), pen.get());
  EXPECT_TRUE(canvas.Rectangle());  // defaults to the whole canvas
  EXPECT_EQ(canvas.GetPixel(25, 20), RGB(0, 255, 0));
  EXPECT_EQ(canvas.GetPixel(48, 38), RGB(0, 255, 0));

  const int32_t triangle[] = {0, 0, 20, 0, 0, 20};
  UniqueHBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  SelectObjectGuard selectedRed(canvas.Dc(), red.get());
  EXPECT_TRUE(canvas.Polygon(triangle));
  EXPECT_EQ(canvas.GetPixel(3, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.GetPixel(18, 18), RGB(0, 255, 0));
  EXPECT_FALSE(canvas.Polygon({}));

  EXPECT_TRUE(canvas.MoveTo(7, 9));
  POINT position = canvas.CurrentPosition();
  EXPECT_EQ(position.x, 7);
  EXPECT_EQ(position.y, 9);
}

TEST(DcCanvas, GdiShapeOperationsDrawOnTheCanvas) {
  // Each operation draws with a white pen and brush on a black canvas; the probe pixel must turn.
  struct Case {
    const char* name;
    std::function<bool(DcCanvas&)> draw;
    int32_t probeX, probeY;
  };
  UniqueHRgn region(CreateRectRgn(4, 4, 16, 16));
  UniqueHBrush white(CreateSolidBrush(RGB(255, 255, 255)));
  const Case cases[] = {
      {"Ellipse", [](DcCanvas& c) { return c.Ellipse(); }, 20, 15},
      {"RoundRect", [](DcCanvas& c) { return c.RoundRect(2, 2, std::nullopt, 28, 6, 6); }, 20, 15},
      {"Rectangle", [](DcCanvas& c) { return c.Rectangle(5, 5, 10, 10); }, 7, 7},
      {"Arc", [](DcCanvas& c) { return c.Arc(0, 0, 40, 30, 40, 15, 0, 15); }, 20, 0},
      {"Chord", [](DcCanvas& c) { return c.Chord(0, 0, 40, 30, 40, 15, 0, 15); }, 20, 5},
      {"InvertRect", [](DcCanvas& c) { return c.InvertRect(); }, 39, 29},
      {"LineTo", [](DcCanvas& c) { return c.MoveTo(0, 10) && c.LineTo(40, 10); }, 20, 10},
      {"FillRgn", [&](DcCanvas& c) { return c.FillRgn(region.get(), white.get()); }, 10, 10},
      {"FrameRgn", [&](DcCanvas& c) { return c.FrameRgn(region.get(), white.get(), 1, 1); }, 4, 10},
      {"InvertRgn", [&](DcCanvas& c) { return c.InvertRgn(region.get()); }, 15, 15},
  };
  for (const Case& c : cases) {
    DcCanvas canvas;
    ASSERT_TRUE(canvas.CreateCanvas(40, 30));
    UniqueHPen pen(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    SelectObjectGuard penGuard(canvas.Dc(), pen.get());
    SelectObjectGuard brushGuard(canvas.Dc(), white.get());
    EXPECT_EQ(canvas.GetCurrentObject(OBJ_PEN), pen.get());
    EXPECT_EQ(canvas.GetPixel(c.probeX, c.probeY), RGB(0, 0, 0)) << c.name;
    EXPECT_TRUE(c.draw(canvas)) << c.name;
    EXPECT_EQ(canvas.GetPixel(c.probeX, c.probeY), RGB(255, 255, 255)) << c.name;
  }
}

TEST(DcCanvas, SelectObjectAnswersThePreviousObject) {
  DcCanvas canvas;
  ASSERT_TRUE(canvas.CreateCanvas(4, 4));
  UniqueHBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  HGDIOBJ previous = canvas.SelectObject(brush.get());
  EXPECT_NE(previous, nullptr);
  EXPECT_EQ(canvas.GetCurrentObject(OBJ_BRUSH), brush.get());
  EXPECT_EQ(canvas.SelectObject(previous), brush.get());
  EXPECT_EQ(canvas.GetNearestColor(RGB(10, 20, 30)), RGB(10, 20, 30));  // 32-bit: every colour
}

TEST(DcCanvas, ModesAndTextSettings) {
  DcCanvas canvas;
  ASSERT_TRUE(canvas.CreateCanvas(10, 10));
  canvas.SetBkMode(TRANSPARENT);
  EXPECT_EQ(canvas.GetBkMode(), TRANSPARENT);
  canvas.SetTextAlign(TA_CENTER);
  EXPECT_EQ(canvas.GetTextAlign() & TA_CENTER, static_cast<UINT>(TA_CENTER));
  canvas.SetTextCharacterExtra(3);
  EXPECT_EQ(canvas.GetTextCharacterExtra(), 3);
  canvas.SetGraphicsMode(GM_ADVANCED);
  EXPECT_EQ(canvas.GetGraphicsMode(), GM_ADVANCED);
  EXPECT_EQ(canvas.SetTextColor(RGB(1, 2, 3)), RGB(0, 0, 0));
  EXPECT_EQ(canvas.SetTextColor(RGB(4, 5, 6)), RGB(1, 2, 3));
  EXPECT_TRUE(canvas.GdiFlush());
  EXPECT_GE(canvas.GdiGetBatchLimit(), 1u);
}

TEST(DcCanvas, TextExtentAndTextOut) {
  DcCanvas canvas;
  ASSERT_TRUE(canvas.CreateCanvas(200, 40));
  SIZE one = canvas.TextExtentA("使用");
  SIZE two = canvas.TextExtentA("使用说明");
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(two.cx, one.cx);
  EXPECT_GT(one.cy, 0);
  WideText wide;
  wide.SetText("使用说明");
  EXPECT_EQ(canvas.TextExtentW(wide).cx, two.cx);
  canvas.SetTextColor(RGB(255, 255, 255));
  canvas.SetBkMode(TRANSPARENT);
  EXPECT_TRUE(canvas.TextOutA(2, 2, "Velmora"));
  EXPECT_TRUE(canvas.TextOutW(2, 20, wide));
  int lit = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 200; ++x) lit += (canvas.GetPixel(x, y) & 0xFFFFFF) ? 1 : 0;
  }
  EXPECT_GT(lit, 20);
}

TEST(DcCanvas, BlitsBetweenCanvases) {
  DcCanvas source, target;
  ASSERT_TRUE(source.CreateCanvas(20, 10));
  ASSERT_TRUE(target.CreateCanvas(40, 20));
  FillCanvas(source, 0xFF336699u);

  EXPECT_TRUE(source.BitBltTo(target, 5, 5));
  EXPECT_EQ(RawPixel(target, 5, 5), 0xFF336699u);
  EXPECT_EQ(RawPixel(target, 24, 14), 0xFF336699u);
  EXPECT_EQ(RawPixel(target, 25, 5), 0u);
  EXPECT_EQ(RawPixel(target, 4, 5), 0u);

  FillCanvas(target, 0);
  EXPECT_TRUE(target.StretchBltFrom(source));  // whole source over the whole target
  EXPECT_EQ(RawPixel(target, 0, 0), 0xFF336699u);
  EXPECT_EQ(RawPixel(target, 39, 19), 0xFF336699u);

  FillCanvas(target, 0);
  EXPECT_TRUE(target.BitBltFrom(source, 1, 2, 3, 4));
  EXPECT_EQ(RawPixel(target, 1, 2), 0xFF336699u);
  EXPECT_EQ(RawPixel(target, 3, 5), 0xFF336699u);
  EXPECT_EQ(RawPixel(target, 4, 2), 0u);

  FillCanvas(target, 0);
  EXPECT_TRUE(source.StretchBltTo(target, 0, 0, 10, 10, 0, 0, 5, 5));
  EXPECT_EQ(RawPixel(target, 9, 9), 0xFF336699u);
  EXPECT_EQ(RawPixel(target, 10, 10), 0u);
}

TEST(DcCanvas, TransparentBltSkipsTheKeyColour) {
  DcCanvas source, target;
  ASSERT_TRUE(source.CreateCanvas(10, 10));
  ASSERT_TRUE(target.CreateCanvas(10, 10));
  FillCanvas(source, 0x00FF00FFu);  // magenta: the key
  source.SetPixel(5, 5, RGB(0, 0, 255));
  FillCanvas(target, 0x00102030u);
  EXPECT_TRUE(target.TransparentBltFrom(source, RGB(255, 0, 255)));
  EXPECT_EQ(target.GetPixel(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(target.GetPixel(1, 1), RGB(0x10, 0x20, 0x30));

  FillCanvas(target, 0x00102030u);
  EXPECT_TRUE(target.TransparentFromDc(source.Dc(), 0, 0, 10, 10, 0, 0, 10, 10, RGB(255, 0, 255)));
  EXPECT_EQ(target.GetPixel(5, 5), RGB(0, 0, 255));
  EXPECT_EQ(target.GetPixel(9, 9), RGB(0x10, 0x20, 0x30));
}

TEST(DcCanvas, AlphaBlendConstantAndPerPixel) {
  DcCanvas source, target;
  ASSERT_TRUE(source.CreateCanvas(4, 4));
  ASSERT_TRUE(target.CreateCanvas(4, 4));
  FillCanvas(source, 0xFFFFFFFFu);
  FillCanvas(target, 0xFF000000u);
  EXPECT_TRUE(target.AlphaBlendFrom(source, 0, 0, {}, {}, 0, 0, {}, {}, 128));
  EXPECT_NEAR(RawPixel(target, 2, 2) & 0xFF, 128, 2);

  // Per-pixel: a half-transparent premultiplied white over black gives half grey.
  FillCanvas(source, 0x80808080u);
  FillCanvas(target, 0xFF000000u);
  EXPECT_TRUE(source.AlphaBlendTo(target, 0, 0, {}, {}, 0, 0, {}, {}, {}, true));
  EXPECT_NEAR(RawPixel(target, 1, 1) & 0xFF, 128, 2);

  FillCanvas(target, 0xFF000000u);
  EXPECT_TRUE(target.AlphaFromDc(source.Dc(), 0, 0, 4, 4, 0, 0, 4, 4, 255, true));
  EXPECT_NEAR(RawPixel(target, 3, 3) & 0xFF, 128, 2);
}

TEST(DcCanvas, CopyFromDcAndStretchFromDc) {
  DcCanvas source, target;
  ASSERT_TRUE(source.CreateCanvas(8, 8));
  ASSERT_TRUE(target.CreateCanvas(16, 16));
  FillCanvas(source, 0xFF00AA00u);
  EXPECT_TRUE(target.CopyFromDc(source.Dc()));  // a bare DC: its bitmap's size
  EXPECT_EQ(RawPixel(target, 7, 7), 0xFF00AA00u);
  EXPECT_EQ(RawPixel(target, 8, 8), 0u);
  EXPECT_TRUE(target.StretchFromDc(source.Dc(), 0, 0, 16, 16, 0, 0, 8, 8));
  EXPECT_EQ(RawPixel(target, 15, 15), 0xFF00AA00u);
}

TEST(DcCanvas, GradientFillFromAnIntegerList) {
  DcCanvas canvas;
  ASSERT_TRUE(canvas.CreateCanvas(101, 4));
  const int32_t vertices[] = {0, 0, static_cast<int32_t>(0xFF000000u),
                              101, 4, static_cast<int32_t>(0xFFFFFFFFu)};
  EXPECT_TRUE(canvas.GradientFill(vertices, GRADIENT_FILL_RECT_H));
  EXPECT_LE(GetRValue(canvas.GetPixel(0, 1)), 4);
  EXPECT_GE(GetRValue(canvas.GetPixel(100, 1)), 250);
  EXPECT_NEAR(GetRValue(canvas.GetPixel(50, 1)), 128, 6);
  const int32_t incomplete[] = {0, 0, 0, 5};
  EXPECT_FALSE(canvas.GradientFill(incomplete, GRADIENT_FILL_RECT_H));
}

TEST(DcCanvas, CreateFromCanvasDrawsOnTheSamePixels) {
  DcCanvas().CreateCanvas(1, 1);  // the first memory DC of the process costs GDI a few objects
  const size_t before = LiveGdiObjects();
  {
    DcCanvas owner;
    ASSERT_TRUE(owner.CreateCanvas(12, 12));
    FillCanvas(owner, 0xFF112233u);
    DcCanvas borrower;
    ASSERT_TRUE(borrower.CreateFromCanvas(owner));
    EXPECT_EQ(borrower.Width(), 12);
    EXPECT_EQ(borrower.GetPixel(4, 4), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(borrower.SetPixel(4, 4, RGB(0xAA, 0xBB, 0xCC)), RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(borrower.GetPixel(4, 4), RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(borrower.Bits(), owner.Bits());
    GdiFlush();
    EXPECT_EQ(static_cast<const uint32_t*>(owner.Bits())[4 * 12 + 4] & 0xFFFFFFu, 0xAABBCCu);
    // The bitmap left the owner's DC, which now holds the 1 × 1 default bitmap.
    EXPECT_EQ(owner.Width(), 1);
    // The owner goes first; the borrower keeps the bitmap alive and still draws.
    owner.Release();
    borrower.SetPixel(5, 5, RGB(1, 2, 3));
    EXPECT_EQ(borrower.GetPixel(5, 5), RGB(1, 2, 3));
  }
  EXPECT_EQ(LiveGdiObjects(), before);
  DcCanvas empty, other;
  EXPECT_FALSE(other.CreateFromCanvas(empty));
  EXPECT_FALSE(other.CreateFromCanvas(other));
}

TEST(DcCanvas, MoveAndReleaseGiveEverythingBack) {
  DcCanvas().CreateCanvas(1, 1);
  const size_t before = LiveGdiObjects();
  {
    DcCanvas first;
    ASSERT_TRUE(first.CreateCanvas(30, 30));
    EXPECT_GT(LiveGdiObjects(), before);
    DcCanvas second(std::move(first));
    EXPECT_EQ(first.Dc(), nullptr);
    EXPECT_EQ(second.Width(), 30);
    DcCanvas third;
    ASSERT_TRUE(third.CreateCanvas(5, 5));
    third = std::move(second);  // third's own canvas is released
    EXPECT_EQ(third.Width(), 30);
    third.Release();
    third.Release();
    EXPECT_EQ(third.Dc(), nullptr);
  }
  EXPECT_EQ(LiveGdiObjects(), before);
}

TEST(DcCanvas, SetDcWrapsWithoutOwning) {
  DcCanvas owner;
  ASSERT_TRUE(owner.CreateCanvas(6, 6));
  {
    DcCanvas wrapper;
    wrapper.SetDc(owner.Dc());
    EXPECT_EQ(wrapper.Dc(), owner.Dc());
    EXPECT_EQ(wrapper.MemoryDc(), nullptr);
    EXPECT_EQ(wrapper.Width(), 6);
  }
  // The wrapped DC survives the wrapper.
  EXPECT_EQ(GetObjectType(owner.Dc()), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(owner.SetPixel(1, 1, RGB(9, 9, 9)), RGB(9, 9, 9));
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 120, 80, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }
  HWND window_ = nullptr;
};

TEST_F(WindowTest, AttachWindowAndSizeToWindow) {
  const size_t before = LiveGdiObjects();
  {
    DcCanvas canvas;
    ASSERT_TRUE(canvas.AttachWindow(window_));
    EXPECT_EQ(canvas.Width(), 120);
    EXPECT_EQ(canvas.Height(), 80);
    EXPECT_EQ(canvas.MemoryDc(), nullptr);
    EXPECT_EQ(WindowFromDC(canvas.Dc()), window_);
    ASSERT_TRUE(canvas.AttachWindow(window_, true));
    EXPECT_EQ(canvas.Width(), 120);

    DcCanvas sized;
    ASSERT_TRUE(sized.SizeToWindow(window_));
    EXPECT_EQ(sized.Width(), 120);
    EXPECT_EQ(sized.Height(), 80);
    EXPECT_EQ(sized.BitmapBits(), 32);
    EXPECT_FALSE(sized.SizeToWindow(nullptr));
  }
  EXPECT_EQ(LiveGdiObjects(), before);
}

TEST(BlendDc, PerPixelAlphaOverAnOpaqueBackground) {
  DcCanvas source, target;
  ASSERT_TRUE(source.CreateCanvas(8, 8));
  ASSERT_TRUE(target.CreateCanvas(8, 8));
  FillCanvas(source, 0x40400000u);  // red at quarter opacity, premultiplied
  FillCanvas(target, 0xFF0000FFu);
  ASSERT_TRUE(BlendDc(target.Dc(), 0, 0, 8, 8, source.Dc(), 0, 0, 8, 8, 255, AC_SRC_ALPHA));
  uint32_t pixel = RawPixel(target, 4, 4);
  EXPECT_NEAR((pixel >> 16) & 0xFF, 0x40, 2);
  EXPECT_NEAR(pixel & 0xFF, 0xBF, 2);
  // Constant alpha only.
  FillCanvas(source, 0xFFFFFFFFu);
  FillCanvas(target, 0xFF000000u);
  ASSERT_TRUE(BlendDc(target.Dc(), 0, 0, 8, 8, source.Dc(), 0, 0, 8, 8, 64, 0));
  EXPECT_NEAR(RawPixel(target, 0, 0) & 0xFF, 64, 2);
}

// ---- WaitPumping -------------------------------------------------------------------------------

int g_delivered = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP + 7) {
    ++g_delivered;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WaitPumping, DeliversMessagesWhileWaiting) {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.lpszClassName = L"DrawTestPumpWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"DrawTestPumpWindow", L"", 0, 0, 0, 1, 1, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  g_delivered = 0;
  PostMessageW(window, WM_APP + 7, 0, 0);
  PostMessageW(window, WM_APP + 7, 0, 0);

  const double start = MillisecondsNow();
  EXPECT_TRUE(WaitPumping(60));
  const double elapsedMs = MillisecondsNow() - start;
  EXPECT_EQ(g_delivered, 2);
  EXPECT_GE(elapsedMs, 50.0) << "the wait ended before its timer";

  // A custom pump is called instead of the default one.
  int pumped = 0;
  PostMessageW(window, WM_APP + 7, 0, 0);
  EXPECT_TRUE(WaitPumping(20, [&] {
    ++pumped;
    return PumpPendingMessages();
  }));
  EXPECT_GE(pumped, 1);
  EXPECT_EQ(g_delivered, 3);
  DestroyWindow(window);
}

TEST(WaitPumping, QuitEndsTheWaitAndStaysQueued) {
  PostQuitMessage(5);
  EXPECT_FALSE(WaitPumping(1000));
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 5u);
}

}  // namespace
