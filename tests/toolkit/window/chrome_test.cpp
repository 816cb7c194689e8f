// What stands in for a system frame: caption buttons, the title area, moving, resizing by the
// borders, maximising; and the window operations that act on the system window.
#include "toolkit/window/skin_window.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/toolkit/window/test_elements.h"
#include "tests/toolkit/window/window_test_support.h"
#include "toolkit/draw/images.h"
#include "toolkit/skin/skin_images.h"
#include "toolkit/window/element_messages.h"
#include "toolkit/window/window_props.h"

namespace {

const Argb kDark = MakeArgb(255, 28, 28, 28);

// Solid-colour caption-button images: normal, hot and pressed of every kind, in sizes that tell
// the kinds apart.
const Argb kNormalColour = MakeArgb(255, 200, 0, 0);
const Argb kHotColour = MakeArgb(255, 0, 200, 0);
const Argb kPressedColour = MakeArgb(255, 0, 0, 200);

Size32 ButtonSizeOf(int32_t kind) { return {32 - 2 * kind, 20}; }

Gdiplus::GpImage* SolidImage(Size32 size, Argb colour) {
  UniqueGpBitmap bitmap = CreateArgbBitmap(size.width, size.height);
  UniqueGpGraphics graphics = GraphicsForImage(bitmap.get());
  Gdiplus::DllExports::GdipGraphicsClear(graphics.get(), colour);
  graphics.reset();
  return bitmap.release();
}

void InstallCaptionImages() {
  for (int32_t kind = 1; kind <= 7; ++kind) {
    CaptionImageNames names = CaptionImagesFor(kind);
    SetSkinImage(names.normal, SolidImage(ButtonSizeOf(kind), kNormalColour));
    SetSkinImage(names.hot, SolidImage(ButtonSizeOf(kind), kHotColour));
    SetSkinImage(names.pressed, SolidImage(ButtonSizeOf(kind), kPressedColour));
  }
}

Rect WindowRectOf(HWND window) {
  RECT box{};
  GetWindowRect(window, &box);
  return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

LPARAM At(int32_t x, int32_t y) { return MAKELPARAM(x, y); }
LPARAM CentreOf(const Rect& r) { return At(r.x + r.width / 2, r.y + r.height / 2); }

// Records the system move and size requests the window makes, and keeps them from starting the
// system's modal loops (which would wait for a real mouse).
struct SystemLoopRecorder {
  int moves = 0;
  std::vector<int> resizes;
  SkinWindow::MessageHook Hook() {
    return [this](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
      if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        ++moves;
      } else if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SIZE) {
        resizes.push_back(static_cast<int>(wParam & 0xF));
      } else {
        return false;
      }
      *result = 0;
      return true;
    };
  }
};

class ChromeTest : public ToolkitTest {
 protected:
  void SetUp() override { ClearSkinImages(); }
  void TearDown() override {
    elements.clear();
    window.Destroy();
    ClearSkinImages();
  }

  void Create(uint32_t style, Rect bounds = {100, 100, 400, 200}, bool dragAnywhere = false) {
    window.Create(nullptr, InvisibleTitleFont(), "Chrome", bounds, style, false, 0u, 0u, dragAnywhere, std::nullopt,
                  kDark);
  }
  void Send(UINT message, LPARAM lParam, WPARAM wParam = 0) { SendMessageW(window.WindowHandle(), message, wParam, lParam); }
  RecordingElement& AddElement(Rect rect) {
    elements.push_back(std::make_unique<RecordingElement>(window.Id(), window.WindowHandle(), rect));
    return *elements.back();
  }

  SkinWindow window;
  std::vector<std::unique_ptr<RecordingElement>> elements;
};

// ---- Caption buttons ----------------------------------------------------------------------------

TEST_F(ChromeTest, WithAnEmptySkinTableButtonsExistButDrawAndDoNothing) {
  Create(2 | 4 | 8);
  ASSERT_EQ(window.captionButtons().size(), 3u);
  for (const CaptionButton& button : window.captionButtons()) {
    EXPECT_EQ(button.bounds.width, 0);
    EXPECT_EQ(button.bounds.height, 0);
  }
  EXPECT_EQ(window.CaptionStripWidth(), 0);
  EXPECT_EQ(window.mainSurface().PixelAt(380, 5), window.backgroundSurface().PixelAt(380, 5));
  int commands = 0;
  window.SetMessageHooks(SkinWindow::CaptionButtonHandler([&](HWND, int32_t) { return ++commands, true; }));
  Send(WM_LBUTTONDOWN, At(385, 2));
  Send(WM_LBUTTONUP, At(385, 2));
  EXPECT_EQ(commands, 0);
}

TEST_F(ChromeTest, ButtonsAreLaidOutRightToLeftFromTheMargin) {
  InstallCaptionImages();
  Create(2 | 4 | 8 | 64 | 128 | 256);
  const std::vector<int32_t> kinds = {1, 2, 4, 5, 6, 7};
  ASSERT_EQ(window.captionButtons().size(), kinds.size());
  int32_t right = 400 - 0 - 1 - 10;  // not layered: no shadow
  for (size_t i = 0; i < kinds.size(); ++i) {
    const CaptionButton& button = window.captionButtons()[i];
    Size32 size = ButtonSizeOf(kinds[i]);
    EXPECT_EQ(button.kind, kinds[i]);
    EXPECT_EQ(button.bounds, (Rect{right - size.width, 0, size.width, size.height})) << i;
    right -= size.width;
  }
  EXPECT_EQ(window.captionButtonStrip(), (Rect{right, 0, 389 - right, 20}));
  EXPECT_EQ(window.CaptionStripWidth(), 389 - right);
  EXPECT_EQ(window.titleArea().width, 400 - window.CaptionStripWidth() - 10);

  window.SetLayered(true, true);  // the shadow moves everything in by 5
  EXPECT_EQ(window.captionButtons()[0].bounds, (Rect{400 - 5 - 1 - 10 - 30, 5, 30, 20}));
  EXPECT_EQ(window.titleArea().width, 400 - window.CaptionStripWidth() - 10 - 10);
  EXPECT_EQ(window.SetCaptionButtonMargin(20), 20);
  window.LayoutCaptionButtons();
  EXPECT_EQ(window.captionButtons()[0].bounds.x, 400 - 5 - 1 - 20 - 30);
}

TEST_F(ChromeTest, ButtonsShowTheirFacesAndTheHoverFadesIn) {
  InstallCaptionImages();
  Create(2);
  const Rect close = window.captionButtons()[0].bounds;
  auto pixel = [&] { return window.mainSurface().PixelAt(close.x + 3, close.y + 3); };
  EXPECT_EQ(pixel(), kNormalColour);
  Send(WM_MOUSEMOVE, CentreOf(close));
  EXPECT_TRUE(window.captionButtons()[0].hot);
  EXPECT_EQ(window.captionButtons()[0].fadeLevel, 100);
  EXPECT_EQ(pixel(), kNormalColour);  // level 100: the hot face not yet showing
  PumpFor(300);  // 13 ticks of 8 bring the level to 0
  EXPECT_EQ(window.captionButtons()[0].fadeLevel, 0);
  EXPECT_EQ(pixel(), kHotColour);
  Send(WM_LBUTTONDOWN, CentreOf(close));
  EXPECT_EQ(pixel(), kPressedColour);
  EXPECT_EQ(GetCapture(), window.WindowHandle());
  Send(WM_MOUSELEAVE, 0);
  EXPECT_FALSE(window.captionButtons()[0].hot);
  EXPECT_FALSE(window.captionButtons()[0].pressed);
  EXPECT_EQ(pixel(), kNormalColour);
  ReleaseCapture();
}

TEST_F(ChromeTest, PressingAButtonAndReleasingOutsideRunsNothing) {
  InstallCaptionImages();
  Create(2 | 4);
  std::vector<int32_t> commands;
  window.SetMessageHooks(SkinWindow::CaptionButtonHandler([&](HWND, int32_t kind) {
    commands.push_back(kind);
    return true;
  }));
  const Rect close = window.captionButtons()[0].bounds, maximise = window.captionButtons()[1].bounds;
  Send(WM_LBUTTONDOWN, CentreOf(close));
  EXPECT_EQ(window.pressedCaptionButton(), 1);
  EXPECT_TRUE(window.captionButtons()[0].pressed);
  Send(WM_LBUTTONUP, At(100, 100));  // off the buttons
  EXPECT_TRUE(commands.empty());
  EXPECT_EQ(window.pressedCaptionButton(), 0);
  EXPECT_FALSE(window.captionButtons()[0].pressed);
  EXPECT_EQ(GetCapture(), nullptr);

  Send(WM_LBUTTONDOWN, CentreOf(close));
  Send(WM_LBUTTONUP, CentreOf(maximise));  // onto another button: still nothing
  EXPECT_TRUE(commands.empty());

  Send(WM_LBUTTONDOWN, CentreOf(maximise));
  Send(WM_LBUTTONUP, CentreOf(maximise));
  EXPECT_EQ(commands, std::vector<int32_t>{caption_kind::kMaximise});
}

TEST_F(ChromeTest, AHandlerAnsweringTruthForCloseKeepsTheWindowOpen) {
  InstallCaptionImages();
  Create(2);
  HWND handle = window.WindowHandle();
  bool keepOpen = true;
  window.SetMessageHooks(SkinWindow::CaptionButtonHandler([&](HWND, int32_t) { return keepOpen; }));
  const LPARAM close = CentreOf(window.captionButtons()[0].bounds);
  Send(WM_LBUTTONDOWN, close);
  Send(WM_LBUTTONUP, close);
  EXPECT_TRUE(IsWindow(handle));
  keepOpen = false;
  Send(WM_LBUTTONDOWN, close);
  Send(WM_LBUTTONUP, close);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.WindowHandle(), nullptr);
}

TEST_F(ChromeTest, MaximiseTurnsTheButtonIntoRestoreAndBack) {
  InstallCaptionImages();
  Create(2 | 4, {120, 90, 400, 200});
  window.SetLayered(true, true);
  const Rect before = WindowRectOf(window.WindowHandle());
  const LPARAM maximise = CentreOf(window.captionButtons()[1].bounds);
  Send(WM_LBUTTONDOWN, maximise);
  Send(WM_LBUTTONUP, maximise);
  EXPECT_TRUE(window.maximised());
  EXPECT_EQ(window.captionButtons()[1].kind, caption_kind::kRestore);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const Rect expected{work.left - 5, work.top - 5, work.right - work.left + 11, work.bottom - work.top + 11};
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), expected);  // the shadow lies outside the work area
  EXPECT_EQ(window.bounds(), expected);
  EXPECT_EQ(window.mainSurface().width(), expected.width);
  EXPECT_EQ(window.BeginBorderResize(2, 100), 0);  // no resizing while maximised

  const LPARAM restore = CentreOf(window.captionButtons()[1].bounds);
  Send(WM_LBUTTONDOWN, restore);
  Send(WM_LBUTTONUP, restore);
  EXPECT_FALSE(window.maximised());
  EXPECT_EQ(window.captionButtons()[1].kind, caption_kind::kMaximise);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), before);
  EXPECT_EQ(window.bounds(), before);
}

TEST_F(ChromeTest, DoubleClickInTheTitleTogglesOnlyWhenResizableAndAskedFor) {
  Create(0);
  struct Case {
    bool resizable, onDoubleClick, maximises;
  } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {true, true, true}};
  for (const Case& c : cases) {
    window.SetResizable(c.resizable);
    window.SetMaximiseOnDoubleClick(c.onDoubleClick);
    Send(WM_LBUTTONDBLCLK, At(40, 5));
    EXPECT_EQ(window.maximised(), c.maximises) << c.resizable << c.onDoubleClick;
  }
  Send(WM_LBUTTONDBLCLK, At(40, 5));  // again: restores
  EXPECT_FALSE(window.maximised());
  window.SetTitleAreaEnabled(false);
  Send(WM_LBUTTONDBLCLK, At(40, 5));
  EXPECT_FALSE(window.maximised());
  window.SetTitleAreaEnabled(true);
  Send(WM_LBUTTONDBLCLK, At(40, window.titleArea().height + 1));  // below the title row
  EXPECT_FALSE(window.maximised());
}

// ---- Moving and resizing ---------------------------------------------------------------------------

TEST_F(ChromeTest, TheInstallersStyleMovesByTheTopStripAwayFromElements) {
  Create(1, {0, 0, 500, 200});
  window.SetLayered(true, true);
  SystemLoopRecorder recorder;
  window.SetMessageHooks(std::nullopt, recorder.Hook());
  EXPECT_TRUE(window.captionButtons().empty());
  EXPECT_FALSE(window.resizable());
  AddElement({200, 0, 100, 60});

  struct Case {
    int32_t x, y;
    int moves;
  } cases[] = {
      {100, 10, 1},   // top strip, no element
      {100, 27, 1},   // the strip is shadowSize + 23 = 28 high
      {100, 28, 0},   // just below it
      {250, 10, 0},   // an element lies there
      {100, 100, 0},  // the body: only with dragAnywhere
      {2, 100, 0},    // the left border: not resizable, so nothing
  };
  for (const Case& c : cases) {
    recorder.moves = 0;
    Send(WM_LBUTTONDOWN, At(c.x, c.y));
    Send(WM_LBUTTONUP, At(c.x, c.y));
    EXPECT_EQ(recorder.moves, c.moves) << c.x << "," << c.y;
  }
  EXPECT_TRUE(recorder.resizes.empty());

  window.SetMoveLocked(true);
  recorder.moves = 0;
  Send(WM_LBUTTONDOWN, At(100, 10));
  EXPECT_EQ(recorder.moves, 0);
  window.SetMoveLocked(false);

  window.SetDragAnywhere(true);
  recorder.moves = 0;
  Send(WM_LBUTTONDOWN, At(100, 100));
  Send(WM_LBUTTONDOWN, At(250, 50));  // on the element: no
  EXPECT_EQ(recorder.moves, 1);
}

TEST_F(ChromeTest, BordersResizeAResizableWindowWithTheMatchingSide) {
  Create(0, {100, 100, 300, 200});
  window.SetLayered(true, true);  // bands of 5 + 3 pixels
  SystemLoopRecorder recorder;
  window.SetMessageHooks(std::nullopt, recorder.Hook());
  Send(WM_LBUTTONDOWN, At(2, 100));
  EXPECT_TRUE(recorder.resizes.empty());  // not resizable yet
  window.SetResizable(true);
  const std::vector<std::pair<LPARAM, int>> presses = {
      {At(2, 100), 1}, {At(297, 100), 2}, {At(150, 30), 0}, {At(1, 1), 4},
      {At(298, 198), 8}, {At(150, 196), 6}, {At(297, 2), 5}, {At(2, 198), 7}};
  for (auto [point, side] : presses) {
    recorder.resizes.clear();
    Send(WM_LBUTTONDOWN, point);
    if (side == 0) {
      EXPECT_TRUE(recorder.resizes.empty());
    } else {
      EXPECT_EQ(recorder.resizes, std::vector<int>{side});
    }
  }
  EXPECT_TRUE(window.BorderCursor(2, 100));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));  // IDC_SIZEWE
  EXPECT_TRUE(window.BorderCursor(1, 1));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32642)));  // IDC_SIZENWSE
  EXPECT_FALSE(window.BorderCursor(150, 100));
}

// A program that moves the window from an element's handler (the installer's drag area) uses the
// window's own move: the system's loop swallows the button-up, so the elements are told that
// nothing is held or pressed any more, as they are after the title area's moves.
TEST_F(ChromeTest, AMoveStartedFromAnElementsHandlerReleasesTheElementsButtons) {
  Create(1, {0, 0, 500, 200});
  SystemLoopRecorder recorder;
  window.SetMessageHooks(std::nullopt, recorder.Hook());
  RecordingElement& dragged = AddElement({100, 60, 100, 60});
  RecordingElement& other = AddElement({300, 60, 100, 60});
  dragged.onMessage = [&](uint32_t code) {
    if (code == element_message::kMouseMove) window.StartSystemMove();
  };
  RecordingElement::Log().clear();
  Send(WM_LBUTTONDOWN, At(150, 90));
  Send(WM_MOUSEMOVE, At(155, 92), MK_LBUTTON);
  EXPECT_EQ(recorder.moves, 1);
  int released = 0;
  for (const ReceivedMessage& m : RecordingElement::Log()) {
    if (m.code == element_message::kButtonsReleased) {
      EXPECT_TRUE(m.id == dragged.objectId || m.id == other.objectId);
      ++released;
    }
  }
  EXPECT_EQ(released, 2);  // every element of the window, once
  EXPECT_FALSE(ToolkitMouseButtonHeld());
}

TEST_F(ChromeTest, ARealDragMovesTheWindowByItsTopStripAndAnywhereWithDragAnywhere) {
  Create(1, {0, 0, 500, 200}, true);
  window.SetLayered(true, true);
  window.Refresh();
  window.Show(true);
  PumpFor(100);
  AddElement({300, 60, 100, 100});
  const Rect start = WindowRectOf(window.WindowHandle());
  auto drag = [&](int32_t x, int32_t y, int32_t dx, int32_t dy) {
    const Rect at = WindowRectOf(window.WindowHandle());
    const int32_t sx = at.x + x, sy = at.y + y;
    ASSERT_TRUE(XdoTool("mousemove " + std::to_string(sx) + " " + std::to_string(sy) + " sleep 0.1 mousedown 1 sleep 0.1 "
                        "mousemove " + std::to_string(sx + dx / 2) + " " + std::to_string(sy + dy / 2) + " sleep 0.1 "
                        "mousemove " + std::to_string(sx + dx) + " " + std::to_string(sy + dy) + " sleep 0.1 "
                        "mouseup 1 sleep 0.1"));
    PumpFor(100);
  };
  drag(100, 10, 40, 30);  // the top strip
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{start.x + 40, start.y + 30, 500, 200}));
  EXPECT_EQ(window.bounds(), (Rect{start.x + 40, start.y + 30, 500, 200}));
  drag(100, 120, -20, 25);  // the body, empty: dragAnywhere
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{start.x + 20, start.y + 55, 500, 200}));
  drag(350, 100, 30, 30);  // the element: no move
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{start.x + 20, start.y + 55, 500, 200}));
  EXPECT_FALSE(ToolkitMouseButtonHeld());
}

TEST_F(ChromeTest, ARealDragOnTheRightBorderResizesAResizableWindow) {
  Create(0, {100, 100, 300, 200});
  window.SetResizable(true);
  window.Refresh();
  window.Show(true);
  PumpFor(100);
  ASSERT_TRUE(XdoTool("mousemove 398 200 sleep 0.1 mousedown 1 sleep 0.1 mousemove 420 200 sleep 0.1 "
                      "mousemove 448 205 sleep 0.1 mouseup 1 sleep 0.1"));
  PumpFor(100);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{100, 100, 350, 200}));
  EXPECT_EQ(window.mainSurface().width(), 350);  // surfaces follow the size
  // Not below the minimum tracking size.
  ASSERT_TRUE(XdoTool("mousemove 448 200 sleep 0.1 mousedown 1 sleep 0.1 mousemove 300 200 sleep 0.1 "
                      "mousemove 150 200 sleep 0.1 mouseup 1 sleep 0.1"));
  PumpFor(100);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()).width, 200);
}

// ---- Window operations on the system window ----------------------------------------------------

TEST_F(ChromeTest, ShowWithoutArgumentShows) {
  Create(0);
  EXPECT_TRUE(window.Show());
  EXPECT_TRUE(IsWindowVisible(window.WindowHandle()));
  EXPECT_FALSE(window.Show(false));
  EXPECT_FALSE(IsWindowVisible(window.WindowHandle()));
  EXPECT_TRUE(window.Show(true));
}

TEST_F(ChromeTest, DisablingTheWindowDisablesEveryElementForHitTesting) {
  Create(0);
  RecordingElement& element = AddElement({10, 10, 50, 50});
  EXPECT_EQ(HitTest(window.WindowHandle(), POINT{20, 20}), element.objectId);
  EXPECT_TRUE(window.SetDisabled(true));
  EXPECT_TRUE(window.SetDisabled());
  EXPECT_EQ(HitTest(window.WindowHandle(), POINT{20, 20}), 0);
  EXPECT_FALSE(window.SetDisabled(false));
  EXPECT_EQ(HitTest(window.WindowHandle(), POINT{20, 20}), element.objectId);
}

TEST_F(ChromeTest, TopmostFollowsTheExtendedStyle) {
  Create(0);
  EXPECT_FALSE(window.SetTopmost());
  EXPECT_TRUE(window.SetTopmost(true));
  EXPECT_NE(GetWindowLongW(window.WindowHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(window.SetTopmost());
  window.ClearTopmost();
  EXPECT_FALSE(window.SetTopmost());
  window.SetTopmost(true);
  EXPECT_FALSE(window.SetTopmost(false));
}

TEST_F(ChromeTest, CornerRadiusSetsARoundedRegionAndZeroRemovesIt) {
  Create(0, {100, 100, 300, 200});
  HWND handle = window.WindowHandle();
  UniqueHRgn region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(handle, region.get()), ERROR);  // rectangular: no region
  EXPECT_EQ(window.SetCornerRadius(20), 20);
  ASSERT_NE(GetWindowRgn(handle, region.get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(region.get(), 150, 100));
  EXPECT_TRUE(PtInRegion(region.get(), 150, 1));
  RECT box{};
  GetRgnBox(region.get(), &box);
  EXPECT_EQ(box.right, 299);  // GDI's rounded-rectangle regions leave out the right and bottom edge

  window.Move(std::nullopt, std::nullopt, 360);  // a resize makes the region anew
  GetWindowRgn(handle, region.get());
  GetRgnBox(region.get(), &box);
  EXPECT_EQ(box.right, 359);

  EXPECT_EQ(window.SetCornerRadius(0), 0);
  EXPECT_EQ(GetWindowRgn(handle, region.get()), ERROR);
  window.Move(std::nullopt, std::nullopt, 320);  // and stays rectangular after resizing
  EXPECT_EQ(GetWindowRgn(handle, region.get()), ERROR);
  EXPECT_EQ(window.SetCornerRadius(), 0);
}

TEST_F(ChromeTest, MoveTakesOmittedValuesFromTheBoundsAndTitleSetsTheWindowText) {
  Create(0, {100, 100, 300, 200});
  window.Move(150);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{150, 100, 300, 200}));
  window.Move(std::nullopt, 50, std::nullopt, 220);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{150, 50, 300, 220}));
  EXPECT_EQ(window.bounds(), (Rect{150, 50, 300, 220}));
  EXPECT_EQ(window.Left(), 150);
  EXPECT_EQ(window.Top(), 50);
  EXPECT_EQ(window.Height(), 220);
  EXPECT_EQ(window.mainSurface().height(), 220);

  EXPECT_EQ(window.SetTitle("Velmora - 在线安装"), "Velmora - 在线安装");
  wchar_t text[64] = {};
  GetWindowTextW(window.WindowHandle(), text, 64);
  EXPECT_STREQ(text, L"Velmora - 在线安装");
  EXPECT_EQ(window.TitleValue(), 14);
  EXPECT_EQ(window.SetTitle(), "Velmora - 在线安装");
}

TEST_F(ChromeTest, FlagSettersStoreWhenGivenAndAnswerTheCurrentValue) {
  Create(0);
  struct Flag {
    const char* name;
    bool (SkinWindow::*set)(std::optional<bool>);
  } flags[] = {{"moveLocked", &SkinWindow::SetMoveLocked},
               {"titleArea", &SkinWindow::SetTitleAreaEnabled},
               {"resizable", &SkinWindow::SetResizable},
               {"maximiseOnDoubleClick", &SkinWindow::SetMaximiseOnDoubleClick},
               {"dragAnywhere", &SkinWindow::SetDragAnywhere}};
  for (const Flag& flag : flags) {
    bool initial = (window.*flag.set)(std::nullopt);
    EXPECT_EQ((window.*flag.set)(!initial), !initial) << flag.name;
    EXPECT_EQ((window.*flag.set)(std::nullopt), !initial) << flag.name;
    EXPECT_EQ((window.*flag.set)(initial), initial) << flag.name;
  }
  EXPECT_EQ(window.SetBackgroundOption(4), 4u);
  EXPECT_EQ(window.SetBackgroundOption(), 4u);
  EXPECT_EQ(window.SetShadowColour(0xC06000), 0xC06000u);
  EXPECT_EQ(window.SetExtraText("v1.6.3.5", 4), "v1.6.3.5");
  EXPECT_EQ(window.SetExtraText(), "v1.6.3.5");
  EXPECT_EQ(window.Self(42), 42);
  EXPECT_EQ(window.KindCode1() + window.KindCode5() + window.KindCode6() + window.KindCode7(), 19);
}

TEST_F(ChromeTest, MouseMovesCopyTheDeferredPresentationSetting) {
  Create(0);
  Send(WM_MOUSEMOVE, At(50, 50));
  EXPECT_FALSE(DeferredPresentation());
  window.SetLayered(true, true);
  Send(WM_MOUSEMOVE, At(50, 50));
  EXPECT_TRUE(DeferredPresentation());
  window.SetLayered(true, false);
  Send(WM_MOUSEMOVE, At(50, 50));
  EXPECT_FALSE(DeferredPresentation());
}

}  // namespace
