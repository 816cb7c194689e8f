// Presentation of a SkinWindow on the virtual display: immediate and deferred, layered and not,
// what a layered window with shadow and frame lines looks like, and the show and close
// transitions.
#include "toolkit/window/skin_window.h"

#include <gtest/gtest.h>

#include "tests/toolkit/window/foreign_sender.h"
#include "tests/toolkit/window/window_test_support.h"
#include "toolkit/draw/shapes.h"
#include "toolkit/window/window_props.h"

namespace {

const Argb kDark = MakeArgb(255, 28, 28, 28);
const LPCWSTR kPresentPending = reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom));

void FillSurface(const WindowSurface& surface, Argb colour) {
  FillRect(surface.graphics(), colour, 0, 0, surface.width(), surface.height());
  Gdiplus::DllExports::GdipFlush(surface.graphics(), Gdiplus::FlushIntentionSync);
}

Argb ScreenPixel(int32_t x, int32_t y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return ArgbFromColorRef(colour);
}

Rect WindowRectOf(HWND window) {
  RECT box{};
  GetWindowRect(window, &box);
  return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

// Runs the window's transition timer by hand until the transition ends; answers the frame count.
int RunTransitionFrames(SkinWindow& window, bool showing, int limit = 200) {
  int frames = 0;
  while (window.TransitionRunning() && frames < limit) {
    window.OnTimer(static_cast<WPARAM>(MAKELONG(kTransitionTimer, showing ? 1 : 0)));
    ++frames;
  }
  return frames;
}

void PumpUntilTransitionEnds(SkinWindow& window) {
  for (int waited = 0; window.TransitionRunning() && waited < 5000; waited += 20) PumpFor(20);
}

class PresentationTest : public ToolkitTest {
 protected:
  void TearDown() override { window.Destroy(); }

  void CreateShown(Rect bounds, bool layered) {
    window.Create(nullptr, InvisibleTitleFont(), std::nullopt, bounds, 0u, false, 0u, 0u, false, std::nullopt, kDark);
    if (layered) window.SetLayered(true, false);
    window.Refresh();
    window.Show(true);
    PumpFor(100);
  }

  SkinWindow window;
};

TEST_F(PresentationTest, PresentingARectangleOfAPlainWindowCopiesExactlyThatRectangle) {
  CreateShown({100, 100, 200, 150}, false);
  FillSurface(window.mainSurface(), MakeArgb(255, 255, 0, 0));
  window.Present();
  PumpFor(50);
  ASSERT_TRUE(ColourNear(ScreenPixel(150, 150), MakeArgb(255, 255, 0, 0)));

  FillSurface(window.mainSurface(), MakeArgb(255, 0, 0, 255));
  window.Present(Rect{10, 10, 20, 20});
  PumpFor(50);
  const Argb red = MakeArgb(255, 255, 0, 0), blue = MakeArgb(255, 0, 0, 255);
  struct Case {
    int x, y;
    Argb colour;
  } cases[] = {{10, 10, blue}, {29, 29, blue}, {15, 20, blue}, {9, 15, red},   {30, 15, red},
               {15, 9, red},   {15, 30, red},  {30, 30, red},  {150, 100, red}};
  for (const Case& c : cases) EXPECT_TRUE(ColourNear(ScreenPixel(100 + c.x, 100 + c.y), c.colour)) << c.x << "," << c.y;
}

TEST_F(PresentationTest, LayeredPresentUpdatesTheWholeWindowWithTheConstantAlpha) {
  CreateShown({100, 100, 200, 150}, true);
  FillSurface(window.mainSurface(), MakeArgb(255, 255, 0, 0));
  window.Present();
  PumpFor(50);
  ASSERT_TRUE(ColourNear(ScreenPixel(250, 200), MakeArgb(255, 255, 0, 0)));

  FillSurface(window.mainSurface(), MakeArgb(255, 255, 255, 255));
  EXPECT_EQ(window.SetConstantAlpha(128), 128);
  window.Present(Rect{10, 10, 20, 20});  // the rectangle does not matter
  PumpFor(50);
  for (auto [x, y] : {std::pair{115, 115}, std::pair{250, 200}, std::pair{295, 245}}) {
    EXPECT_TRUE(ColourNear(ScreenPixel(x, y), MakeArgb(255, 128, 128, 128), 2)) << x << "," << y;
  }
  EXPECT_EQ(window.SetConstantAlpha(0x1FF), 0xFF);  // only the low byte counts
}

TEST_F(PresentationTest, TheUpdateRectMessagePresentsTheRectangleItPointsTo) {
  CreateShown({100, 100, 200, 150}, false);
  FillSurface(window.mainSurface(), MakeArgb(255, 255, 0, 0));
  window.Present();
  FillSurface(window.mainSurface(), MakeArgb(255, 0, 255, 0));
  const int before = window.presentationCount();
  SendUpdateRect(window.WindowHandle(), Rect{40, 40, 10, 10});
  EXPECT_EQ(window.presentationCount(), before + 1);
  PumpFor(50);
  EXPECT_TRUE(ColourNear(ScreenPixel(145, 145), MakeArgb(255, 0, 255, 0)));
  EXPECT_TRUE(ColourNear(ScreenPixel(155, 145), MakeArgb(255, 255, 0, 0)));
}

struct SendFromThread {
  HWND window;
  Rect rect;
};

DWORD WINAPI SendUpdateRectFromThread(void* argument) noexcept {
  auto* job = static_cast<SendFromThread*>(argument);
  SendMessageW(job->window, UpdateRectMessage(), 0, reinterpret_cast<LPARAM>(&job->rect));
  return 0;
}

TEST_F(PresentationTest, UpdateRectFromAnywhereButTheToolkitsOwnSendIsIgnored) {
  CreateShown({100, 100, 200, 150}, false);
  FillSurface(window.mainSurface(), MakeArgb(255, 255, 0, 0));
  window.Present();
  FillSurface(window.mainSurface(), MakeArgb(255, 0, 255, 0));
  const HWND handle = window.WindowHandle();
  const int before = window.presentationCount();
  Rect rect{40, 40, 10, 10};

  // Another program on the desktop, with junk for the pointer: ignored, and nothing crashes.
  EXPECT_EQ(RunForeignSender("update-rect " + std::to_string(reinterpret_cast<uintptr_t>(handle))), 0u);
  EXPECT_EQ(window.presentationCount(), before);
  // Another thread of this process, even with a real rectangle.
  SendFromThread job{handle, rect};
  UniqueHandle thread(CreateThread(nullptr, 0, SendUpdateRectFromThread, &job, 0, nullptr));
  ASSERT_TRUE(thread);
  for (int waited = 0; WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT && waited < 5000; waited += 10) PumpFor(10);
  EXPECT_EQ(window.presentationCount(), before);
  // This thread, posted or sent with an address of its own choosing.
  PostMessageW(handle, UpdateRectMessage(), 0, reinterpret_cast<LPARAM>(&rect));
  PumpFor(20);
  SendMessageW(handle, UpdateRectMessage(), 0, reinterpret_cast<LPARAM>(&rect));
  EXPECT_EQ(window.presentationCount(), before);
  PumpFor(50);
  EXPECT_TRUE(ColourNear(ScreenPixel(145, 145), MakeArgb(255, 255, 0, 0)));

  // The window still presents what the toolkit asks it to.
  SendUpdateRect(handle, rect);
  EXPECT_EQ(window.presentationCount(), before + 1);
}

TEST_F(PresentationTest, TwoPresentPendingMarksWithinOnePeriodGiveOnePresentation) {
  CreateShown({100, 100, 200, 150}, true);
  PumpFor(100);
  int before = window.presentationCount();
  PumpFor(100);
  EXPECT_EQ(window.presentationCount(), before);  // nothing pending: the timer presents nothing

  SetPropW(window.WindowHandle(), kPresentPending, reinterpret_cast<HANDLE>(1));
  SetPropW(window.WindowHandle(), kPresentPending, reinterpret_cast<HANDLE>(1));
  PumpFor(150);
  EXPECT_EQ(window.presentationCount(), before + 1);
  EXPECT_EQ(GetPropW(window.WindowHandle(), kPresentPending), nullptr);  // reset by the timer

  SetPropW(window.WindowHandle(), kPresentPending, reinterpret_cast<HANDLE>(1));
  PumpFor(100);
  SetPropW(window.WindowHandle(), kPresentPending, reinterpret_cast<HANDLE>(1));
  PumpFor(100);
  EXPECT_EQ(window.presentationCount(), before + 3);  // marks in different periods: one each
}

// The toolkit's own marks write the flag once per period and still reach the screen when another
// program takes the window's property away in between.
TEST_F(PresentationTest, TheToolkitsOwnMarksPresentOncePerPeriodWhateverHappensToTheProperty) {
  CreateShown({100, 100, 200, 150}, true);
  PumpFor(100);
  const HWND handle = window.WindowHandle();
  const int before = window.presentationCount();

  SetPresentPending(handle);
  SetPresentPending(handle);
  EXPECT_EQ(GetPropW(handle, kPresentPending), reinterpret_cast<HANDLE>(1));  // others see the flag
  PumpFor(150);
  EXPECT_EQ(window.presentationCount(), before + 1);
  EXPECT_EQ(GetPropW(handle, kPresentPending), nullptr);

  SetPresentPending(handle);
  SetPropW(handle, kPresentPending, nullptr);  // taken away behind the toolkit's back
  PumpFor(150);
  EXPECT_EQ(window.presentationCount(), before + 2);

  SetPresentPending(handle);  // written again once the timer has taken the last one
  EXPECT_EQ(GetPropW(handle, kPresentPending), reinterpret_cast<HANDLE>(1));
  PumpFor(150);
  EXPECT_EQ(window.presentationCount(), before + 3);
}

TEST_F(PresentationTest, EffectSettersStoreWhenGivenAndDefaultTheIntervalTo16) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 200, 100}, 0u);
  EXPECT_EQ(window.SetShowEffect(9, 0), 9);
  EXPECT_EQ(window.showInterval(), 16);
  EXPECT_EQ(window.SetShowEffect(), 9);  // nothing given: the current effect, unchanged
  EXPECT_EQ(window.SetShowEffect(4), 4);
  EXPECT_EQ(window.showInterval(), 16);
  EXPECT_EQ(window.SetShowEffect(1, 1), 1);
  EXPECT_EQ(window.showInterval(), 1);
  EXPECT_EQ(window.SetCloseEffect(9, 0), 9);
  EXPECT_EQ(window.closeInterval(), 16);
  EXPECT_EQ(window.SetCloseEffect(2, 25), 2);
  EXPECT_EQ(window.closeInterval(), 25);
  EXPECT_EQ(window.SetCloseEffect(0, -5), 0);
  EXPECT_EQ(window.closeEffect(), 0);
  EXPECT_EQ(window.closeInterval(), 16);
}

TEST_F(PresentationTest, NothingIsPresentedWhileATransitionRuns) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{100, 100, 200, 150}, 0u, false, 0u, 0u, false,
                std::nullopt, kDark);
  window.SetLayered(true, false);
  window.Refresh();
  window.SetShowEffect(1, 10);
  const int presentedBefore = window.presentationCount();
  const int framesBefore = window.transitionEngine().framesPresented();
  window.Show(true);
  ASSERT_TRUE(window.TransitionRunning());
  window.Present();
  window.Redraw(true);
  SendUpdateRect(window.WindowHandle(), Rect{0, 0, 10, 10});
  SetPropW(window.WindowHandle(), kPresentPending, reinterpret_cast<HANDLE>(1));
  PumpUntilTransitionEnds(window);
  ASSERT_FALSE(window.TransitionRunning());
  EXPECT_EQ(window.presentationCount(), presentedBefore);
  EXPECT_EQ(window.transitionEngine().framesPresented() - framesBefore, 26);  // 10, 20, ..., 250, 255
  EXPECT_EQ(window.transitionEngine().frameCounter(), 180);
  // The last frame left the whole window on the screen at full opacity.
  EXPECT_TRUE(ColourNear(ScreenPixel(200, 170), kDark));
  window.Present();
  EXPECT_EQ(window.presentationCount(), presentedBefore + 1);
}

TEST_F(PresentationTest, CloseWithACloseEffectReturnsOnlyAfterTheLastFrame) {
  CreateShown({100, 100, 200, 150}, true);
  window.SetCloseEffect(1, 5);
  HWND handle = window.WindowHandle();
  const int framesBefore = window.transitionEngine().framesPresented();
  int postedSeen = 0;
  window.SetMessageHooks(std::nullopt, SkinWindow::MessageHook([&](HWND, UINT message, WPARAM, LPARAM, LRESULT*) {
                           if (message == WM_USER + 7) ++postedSeen;
                           return false;
                         }));
  PostMessageW(handle, WM_USER + 7, 0, 0);  // the close's pump delivers it
  SendMessageW(handle, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.transitionEngine().framesPresented() - framesBefore, 26);  // 245, 235, ..., 5, 0
  EXPECT_EQ(window.transitionEngine().frameCounter(), 0);
  EXPECT_EQ(postedSeen, 1);
  EXPECT_EQ(window.WindowHandle(), nullptr);
}

TEST_F(PresentationTest, TheFlipShowsAroundTheWindowAndPutsItBack) {
  CreateShown({200, 150, 300, 120}, true);
  window.Show(false);
  window.SetShowEffect(9, 1);
  const Rect home{200, 150, 300, 120};
  ASSERT_EQ(WindowRectOf(window.WindowHandle()), home);
  window.Show(true);
  ASSERT_TRUE(window.TransitionRunning());
  window.OnTimer(static_cast<WPARAM>(MAKELONG(kTransitionTimer, 1)));
  EXPECT_EQ(window.transitionEngine().angle(), 7.0);
  EXPECT_EQ(window.transitionProgress(), 100);  // half opacity while turning
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{100, 50, 500, 320}));  // the larger canvas
  EXPECT_EQ(window.bounds(), home);
  int frames = 1 + RunTransitionFrames(window, true);
  EXPECT_EQ(frames, 36);  // 26 turning (7° each up to 180°), 10 settling (progress 90 .. 0)
  EXPECT_EQ(window.transitionEngine().angle(), 180.0);
  EXPECT_EQ(window.transitionProgress(), 0);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), home);
  EXPECT_EQ(window.bounds(), home);
  PumpFor(50);
  EXPECT_TRUE(ColourNear(ScreenPixel(350, 210), kDark));

  // A second show does not turn again: the angle stays at 180° and only the opacity settles.
  window.Show(false);
  window.StopTransition();
  window.Show(true);
  EXPECT_EQ(RunTransitionFrames(window, true), 11);

  // Closing runs the out-frames of the show effect: from 180° back to 90°, 5° a frame.
  HWND handle = window.WindowHandle();
  const int framesBefore = window.transitionEngine().framesPresented();
  window.Close();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.transitionEngine().framesPresented() - framesBefore, 18 + 1);  // + putting it back
  EXPECT_EQ(window.transitionEngine().angle(), 0.0);
}

TEST_F(PresentationTest, EveryEffectShowsAndHidesOnTheSameFrameContract) {
  CreateShown({100, 100, 240, 160}, true);
  window.Show(false);
  const Rect home = window.bounds();
  struct Case {
    int effect, inFrames, outFrames;
  } cases[] = {{1, 26, 26}, {2, 17, 17}, {3, 17, 17},  {4, 17, 17}, {5, 17, 17},
               {6, 17, 17}, {7, 17, 17}, {8, 17, 17}, {10, 17, 17}};
  for (const Case& c : cases) {
    window.SetShowEffect(c.effect, 10);
    window.Show(true);
    EXPECT_EQ(RunTransitionFrames(window, true), c.inFrames) << c.effect;
    EXPECT_EQ(window.transitionEngine().frameCounter(), 180) << c.effect;
    EXPECT_EQ(WindowRectOf(window.WindowHandle()), home) << c.effect;
    window.Show(false);
    EXPECT_EQ(RunTransitionFrames(window, false), c.outFrames) << c.effect;
    EXPECT_EQ(window.transitionEngine().frameCounter(), 0) << c.effect;
  }
}

TEST_F(PresentationTest, StopTransitionEndsItAtOnce) {
  CreateShown({100, 100, 200, 150}, true);
  window.Show(false);
  window.SetShowEffect(1, 10);
  window.Show(true);
  ASSERT_TRUE(window.TransitionRunning());
  window.OnTimer(static_cast<WPARAM>(MAKELONG(kTransitionTimer, 1)));
  const int before = window.presentationCount();
  window.StopTransition(true);
  EXPECT_FALSE(window.TransitionRunning());
  EXPECT_EQ(window.transitionProgress(), 0);
  EXPECT_EQ(window.presentationCount(), before + 1);
  PumpFor(100);
  EXPECT_EQ(window.transitionEngine().framesPresented(), 1);  // the timer is gone too
}

TEST_F(PresentationTest, ALayeredWindowWithShadowAndFrameLinesOnTheScreen) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{100, 100, 300, 200}, 0u, false,
                MakeArgb(255, 255, 0, 0), MakeArgb(255, 0, 255, 0), false, std::nullopt, kDark);
  window.SetShadowColour(0xC06000);
  EXPECT_TRUE(window.SetLayered(true, true));
  EXPECT_EQ(window.ShadowSize(), 5);
  window.Refresh();
  window.Show(true);
  PumpFor(200);
  Screenshot shot;
  ASSERT_TRUE(shot.Take());
  // Left edge of the window, 100 pixels down: shadow (blue-green, fading outwards), the grey
  // outline, the outer frame line, the inner frame line, then the background.
  EXPECT_TRUE(ColourNear(shot.Pixel(99, 200), 0));  // outside the window: the bare screen
  Argb outerShadow = shot.Pixel(100, 200), innerShadow = shot.Pixel(103, 200);
  EXPECT_GT(BlueOf(outerShadow), 0);
  EXPECT_GT(BlueOf(innerShadow), BlueOf(outerShadow));  // denser towards the window
  EXPECT_EQ(RedOf(innerShadow), 0);
  EXPECT_GT(BlueOf(innerShadow), GreenOf(innerShadow));  // the shadow's colour: green 0x60, blue 0xC0
  EXPECT_TRUE(ColourNear(shot.Pixel(105, 200), MakeArgb(255, 0, 255, 0)));   // outer line at x = 5
  EXPECT_TRUE(ColourNear(shot.Pixel(106, 200), MakeArgb(255, 255, 0, 0)));   // inner line at x = 6
  EXPECT_TRUE(ColourNear(shot.Pixel(107, 200), kDark));
  EXPECT_TRUE(ColourNear(shot.Pixel(250, 200), kDark));
  // The outer line's right edge is at x = 5 + (300 − 11) = 294, the inner one's at 293.
  EXPECT_TRUE(ColourNear(shot.Pixel(100 + 294, 200), MakeArgb(255, 0, 255, 0)));
  EXPECT_TRUE(ColourNear(shot.Pixel(100 + 293, 200), MakeArgb(255, 255, 0, 0)));
  EXPECT_TRUE(ColourNear(shot.Pixel(250, 105), MakeArgb(255, 0, 255, 0)));   // top outer line
  EXPECT_TRUE(ColourNear(shot.Pixel(250, 106), MakeArgb(255, 255, 0, 0)));
  // The same picture is in the main surface, with its alpha.
  EXPECT_EQ(window.mainSurface().PixelAt(150, 100), 0xFF1C1C1Cu);
  EXPECT_EQ(AlphaOf(window.mainSurface().PixelAt(0, 100)), 0x14);  // 5 + 15 = 20 at the outer edge
}

}  // namespace
