// The remaining window operations: layered mode and shadow size, background images and options,
// icons, the title, blur-behind, the accent colour and the small messages of the table.
#include "toolkit/window/skin_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "tests/toolkit/window/window_test_support.h"
#include "toolkit/window/window_props.h"

namespace {

const Argb kDark = MakeArgb(255, 28, 28, 28);

void Put32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void Put16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}
void PutInfoHeader(std::vector<uint8_t>& bytes, int32_t width, int32_t height) {
  Put32(bytes, 40);
  Put32(bytes, static_cast<uint32_t>(width));
  Put32(bytes, static_cast<uint32_t>(height));
  Put16(bytes, 1);
  Put16(bytes, 32);
  for (int i = 0; i < 6; ++i) Put32(bytes, 0);
}
void PutPixels(std::vector<uint8_t>& bytes, int32_t count, Argb colour) {
  for (int32_t i = 0; i < count; ++i) {
    bytes.push_back(BlueOf(colour));
    bytes.push_back(GreenOf(colour));
    bytes.push_back(RedOf(colour));
    bytes.push_back(255);
  }
}

// A real BMP file of one colour.
std::vector<uint8_t> SolidBmp(int32_t width, int32_t height, Argb colour) {
  std::vector<uint8_t> bytes = {'B', 'M'};
  Put32(bytes, 54 + static_cast<uint32_t>(width * height * 4));
  Put32(bytes, 0);
  Put32(bytes, 54);
  PutInfoHeader(bytes, width, height);
  PutPixels(bytes, width * height, colour);
  return bytes;
}

// A real 16 × 16 icon file of one colour.
std::vector<uint8_t> SolidIcon(Argb colour) {
  std::vector<uint8_t> bytes;
  Put16(bytes, 0);
  Put16(bytes, 1);
  Put16(bytes, 1);
  const uint32_t imageSize = 40 + 16 * 16 * 4 + 16 * 4;
  bytes.insert(bytes.end(), {16, 16, 0, 0});
  Put16(bytes, 1);
  Put16(bytes, 32);
  Put32(bytes, imageSize);
  Put32(bytes, 22);
  PutInfoHeader(bytes, 16, 32);
  PutPixels(bytes, 16 * 16, colour);
  bytes.insert(bytes.end(), 16 * 4, 0);  // the AND mask: everything shown
  return bytes;
}

class OperationsTest : public ToolkitTest {
 protected:
  void TearDown() override { window.Destroy(); }
  void Create(std::optional<std::vector<uint8_t>> image = std::nullopt, std::optional<uint32_t> last = kDark) {
    window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{100, 100, 300, 200}, 0u, false, 0u, 0u, false,
                  std::move(image), last);
  }
  SkinWindow window;
};

TEST_F(OperationsTest, SetLayeredSetsTheStyleAndAlwaysRecomputesTheShadowSize) {
  Create();
  HWND handle = window.WindowHandle();
  EXPECT_TRUE(window.SetLayered(true, true));
  EXPECT_NE(GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(window.ShadowSize(), 5);
  EXPECT_TRUE(window.SetLayered(std::nullopt, false));  // enable omitted: still layered
  EXPECT_EQ(window.ShadowSize(), 0);
  EXPECT_TRUE(window.SetLayered(std::nullopt, true));
  EXPECT_EQ(window.ShadowSize(), 5);
  EXPECT_FALSE(window.SetLayered(false, true));  // a shadow needs a layered window
  EXPECT_EQ(GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(window.ShadowSize(), 0);
  EXPECT_TRUE(window.shadowEnabled());
}

TEST_F(OperationsTest, TheBackgroundColourFillsInsideTheShadow) {
  Create();
  window.SetLayered(true, true);
  EXPECT_EQ(window.mainSurface().PixelAt(150, 100), 0xFF1C1C1Cu);
  EXPECT_EQ(window.backgroundSurface().PixelAt(150, 100), 0xFF1C1C1Cu);
  EXPECT_EQ(window.mainSurface().PixelAt(5, 100), 0xFF1C1C1Cu);   // the fill starts at shadowSize
  EXPECT_NE(window.mainSurface().PixelAt(4, 100), 0xFF1C1C1Cu);   // shadow and grey outline
  EXPECT_EQ(window.SetBackgroundOption(4), 4u);  // no colour fill
  window.Rebuild();
  EXPECT_EQ(window.mainSurface().PixelAt(150, 100), 0u);
}

TEST_F(OperationsTest, ABackgroundImageGivesItsAverageColourAndIsStretchedOverTheWindow) {
  const Argb blueish = MakeArgb(255, 0x20, 0x60, 0xA0);
  Create(SolidBmp(64, 64, blueish), 0u);
  EXPECT_EQ(window.backgroundColour(), blueish);
  EXPECT_EQ(window.imageLayoutFlags(), 0u);  // the last argument: layout flags now
  EXPECT_EQ(window.mainSurface().PixelAt(150, 100), blueish);
  EXPECT_EQ(window.mainSurface().PixelAt(2, 2), blueish);  // nine-grid: corners too

  const Argb green = MakeArgb(255, 0x10, 0xC0, 0x30);
  window.SetBackgroundImage(SolidBmp(32, 32, green), 1u);
  EXPECT_EQ(window.backgroundColour(), green);
  EXPECT_EQ(window.imageLayoutFlags(), 1u);
  EXPECT_TRUE(ColourNear(window.mainSurface().PixelAt(10, 5), green, 8));  // unscaled, shaded a little
  EXPECT_TRUE(ColourNear(window.mainSurface().PixelAt(150, 100), green));   // outside it: the colour fill

  // Undecodable bytes change nothing.
  window.SetBackgroundImage(std::vector<uint8_t>{1, 2, 3});
  EXPECT_EQ(window.backgroundColour(), green);
}

TEST_F(OperationsTest, ThemeSourceWindowsSetTheAccentColourOnFocus) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 200, 100}, 0u, true, 0u, 0u, false,
                std::nullopt, MakeArgb(1, 0x11, 0x22, 0x33));
  ToolkitAccentColour(0);
  SendMessageW(window.WindowHandle(), WM_SETFOCUS, 0, 0);
  EXPECT_EQ(ToolkitAccentColour(), MakeArgb(255, 0x11, 0x22, 0x33));

  SkinWindow plain;
  plain.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 200, 100}, 0u, false, 0u, 0u, false,
               std::nullopt, MakeArgb(255, 0x44, 0x55, 0x66));
  SendMessageW(plain.WindowHandle(), WM_SETFOCUS, 0, 0);
  EXPECT_EQ(ToolkitAccentColour(), MakeArgb(255, 0x11, 0x22, 0x33));
  plain.Destroy();
  ToolkitAccentColour(0);
}

TEST_F(OperationsTest, IconsAreDrawnBeforeTheTitleAndCanBeRemoved) {
  Create();
  const Argb red = MakeArgb(255, 255, 0, 0);
  const Rect titleWithoutIcon = window.titleArea();
  window.SetIconImage(SolidBmp(32, 32, red));  // scaled to 16 × 16 at (7, 6)
  EXPECT_EQ(window.mainSurface().PixelAt(7, 6), red);
  EXPECT_EQ(window.mainSurface().PixelAt(22, 21), red);
  EXPECT_EQ(window.mainSurface().PixelAt(23, 21), 0xFF1C1C1Cu);
  EXPECT_EQ(window.titleArea(), titleWithoutIcon);
  window.RemoveIcon();
  EXPECT_EQ(window.mainSurface().PixelAt(10, 10), 0xFF1C1C1Cu);

  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + "velmora-window-test.ico";
  std::vector<uint8_t> icon = SolidIcon(MakeArgb(255, 0, 0, 255));
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(icon.data()),
                                              static_cast<std::streamsize>(icon.size()));
  ASSERT_TRUE(window.SetIconFile(path));
  EXPECT_NE(SendMessageW(window.WindowHandle(), WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_NE(SendMessageW(window.WindowHandle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_EQ(window.mainSurface().PixelAt(14, 12), MakeArgb(255, 0, 0, 255));
  EXPECT_FALSE(window.SetIconFile(path + ".missing"));
  DeleteFileA(path.c_str());
  window.RemoveIcon();  // the window's own icon is not shown either
  EXPECT_EQ(window.mainSurface().PixelAt(14, 12), 0xFF1C1C1Cu);
}

TEST_F(OperationsTest, AVisibleTitleIsDrawnInTheTitleRow) {
  FontDescription font = MakeFontDescription(32 | 256, WideTextFromWString(L"WenQuanYi Micro Hei"), 14.0f,
                                             MakeArgb(255, 255, 255, 255), 0u);
  window.Create(nullptr, font, "Hi there", Rect{0, 0, 300, 100}, 0u, false, 0u, 0u, false, std::nullopt, kDark);
  ASSERT_GT(window.titleArea().height, 10);
  int bright = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 120; ++x) bright += RedOf(window.mainSurface().PixelAt(x, y)) > 128;
  }
  EXPECT_GT(bright, 20);
  int belowTitle = 0;
  for (int x = 0; x < 300; ++x) belowTitle += window.mainSurface().PixelAt(x, 60) != 0xFF1C1C1Cu;
  EXPECT_EQ(belowTitle, 0);
}

TEST_F(OperationsTest, BlurBehindActsOnlyOnSystemVersion6) {
  Create();
  const int32_t real = SystemMajorVersion();
  SystemMajorVersion(5);
  EXPECT_FALSE(window.SetBlurBehind(true, 8));
  SystemMajorVersion(10);
  EXPECT_FALSE(window.SetBlurBehind(true, 8));
  SystemMajorVersion(6);
  EXPECT_TRUE(window.SetBlurBehind(true, 8));
  EXPECT_TRUE(window.SetBlurBehind(false, 0));
  SystemMajorVersion(real);
}

TEST_F(OperationsTest, KeysRedrawAndFocusLossClosesTheOpenPopup) {
  Create();
  window.SetLayered(true, false);
  int before = window.presentationCount();
  SendMessageW(window.WindowHandle(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(window.presentationCount(), before + 1);

  HWND popup = reinterpret_cast<HWND>(static_cast<intptr_t>(0x1234));
  OpenPopupMarker(popup);
  SendMessageW(window.WindowHandle(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(OpenPopupMarker(), nullptr);
  OpenPopupMarker(popup);
  PopupMenuTracking(true);
  SendMessageW(window.WindowHandle(), WM_KILLFOCUS, 0, 0);
  SendMessageW(window.WindowHandle(), WM_LBUTTONDOWN, 0, MAKELPARAM(150, 150));
  EXPECT_EQ(OpenPopupMarker(), popup);  // a menu being tracked keeps its popup
  PopupMenuTracking(false);
  SendMessageW(window.WindowHandle(), WM_LBUTTONDOWN, 0, MAKELPARAM(150, 150));
  EXPECT_EQ(OpenPopupMarker(), nullptr);
  SendMessageW(window.WindowHandle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
}

TEST_F(OperationsTest, ImeCharactersGoStraightToTheDefaultProcedure) {
  Create();
  int afterHookCalls = 0;
  window.SetMessageHooks(std::nullopt, std::nullopt,
                         SkinWindow::MessageHook([&](HWND, UINT message, WPARAM, LPARAM, LRESULT*) {
                           if (message == WM_IME_CHAR) ++afterHookCalls;
                           return false;
                         }));
  SendMessageW(window.WindowHandle(), WM_IME_CHAR, L'x', 0);
  EXPECT_EQ(afterHookCalls, 0);
}

TEST_F(OperationsTest, AZeroSizedWindowHasEmptySurfacesAndPresentsNothing) {
  window.Create(nullptr, InvisibleTitleFont(), std::nullopt, Rect{0, 0, 0, 0}, 0u);
  ASSERT_NE(window.WindowHandle(), nullptr);
  EXPECT_FALSE(window.mainSurface());
  window.SetLayered(true, true);
  const int before = window.presentationCount();
  window.Present();
  window.Redraw(true);
  EXPECT_EQ(window.presentationCount(), before);
}

}  // namespace
