// SkinWindow creation, adoption, properties, the message table and its hooks, destruction.
#include "toolkit/window/skin_window.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "tests/toolkit/window/plain_window.h"
#include "tests/toolkit/window/test_elements.h"
#include "tests/toolkit/window/window_test_support.h"
#include "toolkit/window/window_props.h"

namespace {

Rect WindowRectOf(HWND window) {
  RECT box{};
  GetWindowRect(window, &box);
  return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

class SkinWindowTest : public ToolkitTest {
 protected:
  void TearDown() override {
    window.Destroy();
    EXPECT_EQ(RegistryCount(), 0);
  }
  SkinWindow window;
};

TEST_F(SkinWindowTest, OmittedBoundsGive380By250CentredByTheDefaultStyle) {
  ASSERT_TRUE(window.Create(nullptr, InvisibleTitleFont()));
  ASSERT_NE(window.WindowHandle(), nullptr);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  Rect expected{(screenWidth - 380) / 2, (screenHeight - 250) / 2, 380, 250};
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), expected);
  EXPECT_EQ(window.bounds(), expected);
  EXPECT_EQ(window.Width(), 380);
  EXPECT_EQ(window.Right(), expected.x + 380);
  EXPECT_EQ(window.Bottom(), expected.y + 250);
  // The system adds WS_CLIPSIBLINGS to every top-level window.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window.WindowHandle(), GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x800A0000u);
  // Style 47 asks for caption buttons: close, maximise, minimise.
  ASSERT_EQ(window.captionButtons().size(), 3u);
  EXPECT_EQ(window.captionButtons()[0].kind, caption_kind::kClose);
  EXPECT_EQ(window.captionButtons()[1].kind, caption_kind::kMaximise);
  EXPECT_EQ(window.captionButtons()[2].kind, caption_kind::kMinimise);
  EXPECT_EQ(GetWindowLongW(window.WindowHandle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);  // bit 16 is clear
  // The defaults of the stored arguments.
  EXPECT_EQ(window.innerBorderColour(), MakeArgb(96, 255, 255, 255));
  EXPECT_EQ(window.outerBorderColour(), MakeArgb(96, 0, 0, 0));
  EXPECT_EQ(window.backgroundColour(), MakeArgb(1, 255, 255, 255));
  EXPECT_EQ(window.lastCreationArgument(), 1u);
  EXPECT_FALSE(window.dragAnywhere());
  EXPECT_FALSE(window.themeSource());
  EXPECT_EQ(window.captionButtonMargin(), 10);
  EXPECT_TRUE(window.hasTitleArea());
  EXPECT_FALSE(IsWindowVisible(window.WindowHandle()));  // Create does not show
}

TEST_F(SkinWindowTest, CentringUsesIntegerHalvesOfTheGivenSize) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{7, 9, 501, 201}, 1u);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{(screenWidth - 501) / 2, (screenHeight - 201) / 2, 501, 201}));
  EXPECT_TRUE(window.captionButtons().empty());  // style 1: no caption buttons
}

TEST_F(SkinWindowTest, WithoutCentringTheGivenBoundsAreTaken) {
  window.Create(nullptr, InvisibleTitleFont(), "标题", Rect{30, 40, 300, 150}, 16u, true, 0u, 0u, true,
                std::nullopt, MakeArgb(255, 28, 28, 28));
  EXPECT_EQ(WindowRectOf(window.WindowHandle()), (Rect{30, 40, 300, 150}));
  EXPECT_EQ(GetWindowLongW(window.WindowHandle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
  EXPECT_EQ(window.backgroundColour(), MakeArgb(255, 28, 28, 28));
  EXPECT_EQ(window.lastCreationArgument(), MakeArgb(255, 28, 28, 28));
  EXPECT_TRUE(window.dragAnywhere());
  EXPECT_TRUE(window.themeSource());
  EXPECT_EQ(window.innerBorderColour(), 0u);
  wchar_t text[16] = {};
  GetWindowTextW(window.WindowHandle(), text, 16);
  EXPECT_STREQ(text, L"标题");
  EXPECT_EQ(window.SetTitle(), "标题");
  EXPECT_EQ(window.TitleValue(), 2);
}

TEST_F(SkinWindowTest, AnExistingWindowIsAdoptedAndSubclassed) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 50, 60, 320, 200, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  const LONG_PTR originalProcedure = GetWindowLongPtrW(host, GWLP_WNDPROC);
  window.Create(host, InvisibleTitleFont(), std::nullopt, std::nullopt, 0u);
  EXPECT_EQ(window.WindowHandle(), host);
  EXPECT_EQ(window.adoptedWindow(), host);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(host, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x800A0000u);
  EXPECT_EQ(GetWindowLongPtrW(host, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SkinWindow::WindowProcedure));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropA(host, kPropOldProc)), originalProcedure);
  EXPECT_EQ(window.bounds(), (Rect{50, 60, 320, 200}));  // no bounds given: the window's own
  EXPECT_EQ(FindWindowW(kWindowClassName, nullptr), nullptr);  // no window of the toolkit class
  window.Destroy();
  EXPECT_FALSE(IsWindow(host));
}

TEST_F(SkinWindowTest, PropertiesAreSetAtCreationAndClearedByDestroy) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 200, 100}, 0u);
  HWND handle = window.WindowHandle();
  ObjectId id = window.Id();
  EXPECT_LT(id, 0);
  EXPECT_EQ(WindowFromId(id), &window);
  EXPECT_EQ(RegistryAt(1), id);
  EXPECT_EQ(GetPropA(handle, kPropThis), &window);
  EXPECT_EQ(GetIdProp(handle, kPropObjectId), id);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(GetPropA(handle, kPropOldProc)), reinterpret_cast<LONG_PTR>(&DefWindowProcW));
  EXPECT_EQ(GetPropA(handle, kPropMainDc), window.mainSurface().memoryDc());
  EXPECT_EQ(GetPropA(handle, kPropMainGraphics), window.mainSurface().graphics());
  EXPECT_EQ(GetPropA(handle, kPropBackgroundDc), window.backgroundSurface().memoryDc());
  EXPECT_EQ(GetPropA(handle, kPropBackgroundGraphics), window.backgroundSurface().graphics());
  EXPECT_NE(window.mainSurface().memoryDc(), nullptr);
  EXPECT_EQ(window.mainSurface().width(), 200);
  EXPECT_NE(window.WindowDc(), nullptr);
  window.Destroy();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.WindowHandle(), nullptr);
  EXPECT_EQ(window.Id(), 0);
  EXPECT_EQ(WindowFromId(id), nullptr);
  EXPECT_EQ(RegistryIndexOf(id), 0);
  EXPECT_EQ(window.WindowDc(), nullptr);
  EXPECT_FALSE(window.mainSurface());
}

// The toolkit answers its own reads from a copy in the process; the copy must start from what the
// window holds, follow every write, and die with the window.
TEST_F(SkinWindowTest, ThePropertiesReadBackAreTheWindowsOwnFromAdoptionToDestroy) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  SetPropA(host, kPropMouseCapture, reinterpret_cast<HANDLE>(7));  // left there before the adoption
  window.Create(host, InvisibleTitleFont(), std::nullopt, std::nullopt, 0u);
  EXPECT_EQ(GetIdProp(host, kPropMouseCapture), 7);
  EXPECT_EQ(ReadWindowProp(host, kPropThis), &window);

  SetIdProp(host, kPropMouseOn, 42);
  EXPECT_EQ(GetIdProp(host, kPropMouseOn), 42);
  EXPECT_EQ(GetPropA(host, kPropMouseOn), reinterpret_cast<HANDLE>(42));  // other readers see it too

  window.Destroy();
  EXPECT_FALSE(IsWindow(host));
  EXPECT_EQ(ReadWindowProp(host, kPropThis), nullptr);
  EXPECT_EQ(GetIdProp(host, kPropMouseOn), 0);
}

TEST_F(SkinWindowTest, DestroyClearsThePropertiesOfAnAdoptedWindowBeforeItGoes) {
  // An adopted window outlives nothing, but its procedure sees WM_DESTROY after Destroy ran: the
  // properties must be gone by then.
  static std::vector<std::string> seenAtDestroy;
  seenAtDestroy.clear();
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  description.lpszClassName = L"VelmoraWindowTestWatcher";
  description.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_DESTROY) {
      for (const char* name : {kPropThis, kPropOldProc, kPropObjectId, kPropFocus, kPropMainDc, kPropMainGraphics,
                               kPropBackgroundDc, kPropBackgroundGraphics}) {
        if (GetPropA(w, name)) seenAtDestroy.push_back(name);
      }
    }
    return DefWindowProcW(w, m, wp, lp);
  };
  RegisterClassExW(&description);
  HWND host = CreateWindowExW(0, description.lpszClassName, L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
  window.Create(host, InvisibleTitleFont(), std::nullopt, std::nullopt, 0u);
  SetIdProp(host, kPropFocus, 5);
  ASSERT_NE(GetPropA(host, kPropThis), nullptr);
  window.Destroy();
  EXPECT_FALSE(IsWindow(host));
  EXPECT_TRUE(seenAtDestroy.empty()) << seenAtDestroy.front();
}

TEST_F(SkinWindowTest, MinimumTrackingSizeIs200By80) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  MINMAXINFO info{};
  SendMessageW(window.WindowHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 200);
  EXPECT_EQ(info.ptMinTrackSize.y, 80);
  window.SetMinTrackSize(250, 90);
  SendMessageW(window.WindowHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 250);
  EXPECT_EQ(info.ptMinTrackSize.y, 90);
}

TEST_F(SkinWindowTest, ABeforeHookAnsweringTruthSuppressesAllHandlingIncludingPaint) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  HWND handle = window.WindowHandle();
  window.Show(true);
  PumpFor(50);

  int hooked = 0;
  window.SetMessageHooks(std::nullopt, SkinWindow::MessageHook([&](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
                           if (message != WM_PAINT && message != WM_GETMINMAXINFO) return false;
                           ++hooked;
                           *result = 1234;
                           return true;
                         }));
  MINMAXINFO info{};
  EXPECT_EQ(SendMessageW(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 1234);
  EXPECT_EQ(info.ptMinTrackSize.x, 0);  // untouched

  InvalidateRect(handle, nullptr, FALSE);
  UpdateWindow(handle);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(handle, &update, FALSE));  // nobody painted: still invalid
  EXPECT_GE(hooked, 2);

  window.SetMessageHooks(std::nullopt, SkinWindow::MessageHook());  // given, but empty: no hook
  UpdateWindow(handle);
  EXPECT_FALSE(GetUpdateRect(handle, &update, FALSE));  // the toolkit's WM_PAINT validated it
}

TEST_F(SkinWindowTest, AnAfterHookAnsweringTruthReplacesTheReplacedProcedure) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  std::vector<UINT> seen;
  window.SetMessageHooks(std::nullopt, std::nullopt,
                         SkinWindow::MessageHook([&](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
                           seen.push_back(message);
                           if (message != WM_USER + 1) return false;
                           *result = 99;
                           return true;
                         }));
  EXPECT_EQ(SendMessageW(window.WindowHandle(), WM_USER + 1, 0, 0), 99);
  MINMAXINFO info{};
  SendMessageW(window.WindowHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 200);  // the toolkit handled it before the after hook saw it
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_GETMINMAXINFO)), seen.end());
}

TEST_F(SkinWindowTest, DestroyingTheWindowTellsEachElementOnce) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  HWND handle = window.WindowHandle();
  RecordingElement::Log().clear();
  auto a = std::make_unique<RecordingElement>(window.Id(), handle, Rect{10, 10, 50, 50});
  auto b = std::make_unique<RecordingElement>(window.Id(), handle, Rect{70, 10, 50, 50});
  auto child = std::make_unique<RecordingElement>(b->objectId, handle, Rect{75, 15, 20, 20});
  ObjectId ids[] = {a->objectId, b->objectId, child->objectId};

  // A second window in front keeps its own entries.
  SkinWindow other;
  other.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 200, 100}, 0u);
  auto theirs = std::make_unique<RecordingElement>(other.Id(), other.WindowHandle(), Rect{1, 1, 5, 5});
  EXPECT_EQ(RegistryCount(), 6);

  DestroyWindow(handle);  // the system's way: WM_DESTROY reaches the toolkit procedure
  for (ObjectId id : ids) EXPECT_EQ(CodesFor(id), std::vector<uint32_t>{2}) << id;
  EXPECT_EQ(CodesFor(theirs->objectId), std::vector<uint32_t>{});
  EXPECT_EQ(RegistryCount(), 2);
  EXPECT_EQ(window.WindowHandle(), nullptr);
  other.Destroy();  // the operation's way
  EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(SkinWindowTest, RebuildPaintsTheWindowsElementsOldestFirst) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  HWND handle = window.WindowHandle();
  auto a = std::make_unique<RecordingElement>(window.Id(), handle, Rect{10, 10, 50, 50});
  auto b = std::make_unique<RecordingElement>(window.Id(), handle, Rect{70, 10, 50, 50});
  RecordingElement::Log().clear();
  window.RebuildSurfaces();
  std::vector<ReceivedMessage> expected = {{a->objectId, 7, 0, 0}, {b->objectId, 7, 0, 0}};
  EXPECT_EQ(RecordingElement::Log(), expected);

  RecordingElement::Log().clear();
  window.Refresh();  // message 34 from just in front of the window forwards, then the repaint's 7s
  std::vector<ReceivedMessage> refreshed = {
      {a->objectId, 34, 0, 0}, {b->objectId, 34, 0, 0}, {a->objectId, 7, 0, 0}, {b->objectId, 7, 0, 0}};
  EXPECT_EQ(RecordingElement::Log(), refreshed);

  SetIdProp(handle, kPropFocus, b->objectId);
  RecordingElement::Log().clear();
  window.DropFocusAll();
  EXPECT_EQ(CodesFor(a->objectId), std::vector<uint32_t>{4});
  EXPECT_EQ(CodesFor(b->objectId), std::vector<uint32_t>{4});
  EXPECT_EQ(GetIdProp(handle, kPropFocus), 0);
}

// Every setting a program can read back, by name, for comparing a destroyed window with a new one.
std::map<std::string, int64_t> ReadBack(SkinWindow& window) {
  const Rect bounds = window.bounds();
  const Rect title = window.titleArea();
  const Rect strip = window.captionButtonStrip();
  const Size32 minimum = window.minTrackSize();
  return {
      {"bounds.x", bounds.x}, {"bounds.y", bounds.y}, {"bounds.width", bounds.width}, {"bounds.height", bounds.height},
      {"titleArea.width", title.width}, {"titleArea.height", title.height}, {"hasTitleArea", window.hasTitleArea()},
      {"title length", window.TitleValue()}, {"captionButtonStrip.width", strip.width},
      {"captionButtons", static_cast<int64_t>(window.captionButtons().size())},
      {"pressedCaptionButton", window.pressedCaptionButton()}, {"layered", window.layered()},
      {"shadowEnabled", window.shadowEnabled()}, {"ShadowSize", window.ShadowSize()},
      {"shadowColour", window.shadowColour()}, {"constantAlpha", window.constantAlpha()},
      {"backgroundColour", window.backgroundColour()}, {"innerBorderColour", window.innerBorderColour()},
      {"outerBorderColour", window.outerBorderColour()}, {"imageLayoutFlags", window.imageLayoutFlags()},
      {"cornerRadius", window.cornerRadius()}, {"themeSource", window.themeSource()},
      {"captionButtonMargin", window.captionButtonMargin()}, {"extra text length",
      static_cast<int64_t>(window.SetExtraText().size())}, {"resizable", window.resizable()},
      {"dragAnywhere", window.dragAnywhere()}, {"maximiseOnDoubleClick", window.SetMaximiseOnDoubleClick()},
      {"moveLocked", window.SetMoveLocked()}, {"minTrack.width", minimum.width}, {"minTrack.height", minimum.height},
      {"showEffect", window.showEffect()}, {"showInterval", window.showInterval()},
      {"closeEffect", window.closeEffect()}, {"closeInterval", window.closeInterval()},
      {"lastCreationArgument", window.lastCreationArgument()}, {"maximised", window.maximised()},
      {"transitionProgress", window.transitionProgress()}, {"TransitionRunning", window.TransitionRunning()},
      {"adoptedWindow", window.adoptedWindow() != nullptr}};
}

TEST_F(SkinWindowTest, DestroyReturnsEverySettingToThatOfANewObject) {
  SkinWindow fresh;
  const std::map<std::string, int64_t> initial = ReadBack(fresh);
  ASSERT_TRUE(window.Create(nullptr, InvisibleTitleFont(), std::string("Settings"), Rect{20, 30, 300, 200}, 7u, true,
                            MakeArgb(255, 1, 2, 3), MakeArgb(255, 4, 5, 6), true, std::nullopt,
                            MakeArgb(255, 40, 50, 60)));
  window.SetLayered(true, true);
  window.SetShadowColour(0x123456);
  window.SetConstantAlpha(200);
  window.SetShowEffect(3, 5);
  window.SetCloseEffect(4, 6);
  window.SetResizable(true);
  window.SetCornerRadius(6);
  window.SetMinTrackSize(300, 150);
  window.SetCaptionButtonMargin(4);
  window.SetExtraText(std::string("extra"), 3);
  window.SetMoveLocked(true);
  window.SetMaximiseOnDoubleClick(true);
  window.SetBackgroundOption(8);
  const std::map<std::string, int64_t> set = ReadBack(window);
  int changed = 0;
  for (const auto& [name, value] : set) changed += value != initial.at(name) ? 1 : 0;
  ASSERT_GE(changed, 25) << "the settings above change most readings";

  window.Destroy();
  const std::map<std::string, int64_t> after = ReadBack(window);
  for (const auto& [name, value] : initial) EXPECT_EQ(after.at(name), value) << name;
}

TEST_F(SkinWindowTest, TheObjectCanBeCreatedAgainAfterDestroy) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  window.SetLayered(true, true);
  window.SetShowEffect(3, 0);
  ObjectId first = window.Id();
  window.Destroy();
  EXPECT_FALSE(window.layered());
  EXPECT_EQ(window.showEffect(), 0);
  EXPECT_EQ(window.ShadowSize(), 0);
  EXPECT_EQ(window.constantAlpha(), 255);
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 300, 200}, 0u);
  EXPECT_NE(window.Id(), first);
  EXPECT_NE(window.WindowHandle(), nullptr);
}

}  // namespace
