// Elements inside a real SkinWindow laid out as the installer's window (generated images): what
// the window's main surface shows before and during an install, presentation through the window,
// the window's own repaint and destruction, and a real mouse on the virtual display.
#include <gtest/gtest.h>

#include "tests/toolkit/elements/element_test_support.h"
#include "tests/toolkit/elements/installer_layout.h"
#include "toolkit/window/toolkit.h"
#include "toolkit/window/window_props.h"

namespace {

#define EXPECT_MAIN_PIXEL(layout, x, y, colour)                                                \
  EXPECT_TRUE(NearColour((layout).window.mainSurface().PixelAt(x, y), colour))                 \
      << "at (" << (x) << ", " << (y) << "): "                                                 \
      << ColourText((layout).window.mainSurface().PixelAt(x, y)) << " expected " << ColourText(colour)

int DifferentPixels(const InstallerLayout& layout, const Rect& area, Argb from) {
  int count = 0;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      if (!NearColour(layout.window.mainSurface().PixelAt(x, y), from, 8)) ++count;
    }
  }
  return count;
}

std::vector<int32_t> gCodes;
std::vector<ObjectId> gSources;
intptr_t RecordEvent(HWND, ObjectId element, int32_t code, intptr_t, intptr_t, intptr_t, intptr_t,
                     intptr_t) {
  gCodes.push_back(code);
  gSources.push_back(element);
  return 0;
}

class ElementWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureToolkit();
    DeferredPresentation(false);
    AnimationsEnabled(true);
    gCodes.clear();
    gSources.clear();
  }
};

TEST_F(ElementWindowTest, ReadyStateShowsLogoButtonAndCloseButton) {
  InstallerLayout layout;
  layout.Build(false);
  ASSERT_NE(layout.window.WindowHandle(), nullptr);
  EXPECT_EQ(layout.closeButton.GetHostWindow(), layout.window.WindowHandle());
  EXPECT_EQ(layout.percentLabel.GetHostWindow(), layout.window.WindowHandle());
  EXPECT_EQ(layout.busyIndicator.GetWidth(), 28);
  EXPECT_EQ(layout.fullTrackWidth, 476);
  EXPECT_EQ(layout.logo.GetAbsoluteRect(), (Rect{56, 20, 398, 63}));
  EXPECT_EQ(layout.installButton.GetAbsoluteRect(), (Rect{143, 110, 233, 54}));

  EXPECT_MAIN_PIXEL(layout, 100, 50, kLogoColour);
  EXPECT_MAIN_PIXEL(layout, 450, 50, kLayoutBackground) << "the logo image is 389 wide";
  EXPECT_MAIN_PIXEL(layout, 250, 137, kInstallNormal);
  EXPECT_MAIN_PIXEL(layout, 474, 25, MakeArgb(255, 255, 255, 255)) << "the close cross";
  // Hidden: progress track, marker, status line and busy indicator.
  EXPECT_EQ(DifferentPixels(layout, {0, 150, 40, 35}, kLayoutBackground), 0);
  EXPECT_EQ(DifferentPixels(layout, {12, 183, 476, 5}, kLayoutBackground), 0);
  // The mouse reaches the install button through the disabled logo's neighbourhood, and the drag
  // area elsewhere.
  EXPECT_EQ(HitTest(layout.window.WindowHandle(), POINT{250, 137}), layout.installButton.GetHandle());
  EXPECT_EQ(HitTest(layout.window.WindowHandle(), POINT{100, 50}), layout.dragArea.GetHandle());
}

TEST_F(ElementWindowTest, InstallingShowsTheProgressAndTheMarkerMovesCleanly) {
  InstallerLayout layout;
  layout.Build(false);
  layout.ShowInstalling();
  EXPECT_EQ(layout.installButton.GetHandle(), 0);
  EXPECT_MAIN_PIXEL(layout, 200, 158, kLayoutBackground) << "the install button is gone";
  EXPECT_MAIN_PIXEL(layout, 474, 25, kLayoutBackground) << "the close button is hidden";
  // The marker shows with its "90%" although the label was created while it was hidden.
  EXPECT_MAIN_PIXEL(layout, 1, 155, kMarkerColour);
  EXPECT_GT(DifferentPixels(layout, {0, 153, 29, 29}, kMarkerColour), 10);
  EXPECT_MAIN_PIXEL(layout, 13, 185, kFillColour);
  EXPECT_MAIN_PIXEL(layout, 100, 185, BlendOver(kLayoutBackground, MakeArgb(50, 0, 0, 0)));

  layout.SetProgress(50);
  EXPECT_EQ(layout.progressFill.GetWidth(), 238);
  EXPECT_EQ(layout.progressMarker.GetLeft(), 231);
  EXPECT_MAIN_PIXEL(layout, 12 + 230, 185, kFillColour);
  EXPECT_MAIN_PIXEL(layout, 12 + 300, 185, BlendOver(kLayoutBackground, MakeArgb(50, 0, 0, 0)));
  EXPECT_MAIN_PIXEL(layout, 233, 155, kMarkerColour);
  // Nothing of the marker or its label is left at the old place.
  EXPECT_EQ(DifferentPixels(layout, {0, 153, 29, 29}, kLayoutBackground), 0);

  layout.SetProgress(100);
  EXPECT_EQ(layout.progressFill.GetWidth(), 476);
  EXPECT_EQ(layout.progressMarker.GetLeft(), 469);
  EXPECT_EQ(layout.percentLabel.text(), "100%");
  EXPECT_MAIN_PIXEL(layout, 487, 185, kFillColour);
}

TEST_F(ElementWindowTest, RefreshPresentsThroughTheWindowAtOnceOrWithinItsTimer) {
  InstallerLayout layout;
  layout.Build(true);
  layout.ShowInstalling();
  int presentations = layout.window.presentationCount();
  layout.progressFill.Refresh();
  EXPECT_EQ(layout.window.presentationCount(), presentations + 1);

  DeferredPresentation(true);
  presentations = layout.window.presentationCount();
  for (int percentage = 1; percentage <= 5; ++percentage) layout.SetProgress(percentage);
  EXPECT_EQ(layout.window.presentationCount(), presentations) << "only marked";
  ASSERT_TRUE(PumpUntil([&] { return layout.window.presentationCount() > presentations; }, 1000));
  PumpFor(100);
  // Five progress steps and the busy indicator's frames, all within a few 30 ms periods.
  EXPECT_LE(layout.window.presentationCount(), presentations + 5);
  DeferredPresentation(false);
}

TEST_F(ElementWindowTest, WindowRepaintRecompositesEveryElement) {
  InstallerLayout layout;
  layout.Build(false);
  layout.ShowInstalling();
  layout.SetProgress(30);
  std::vector<Argb> before;
  for (int y = 0; y < 200; y += 7) {
    for (int x = 0; x < 500; x += 11) before.push_back(layout.window.mainSurface().PixelAt(x, y));
  }
  layout.window.Refresh();  // re-layout, rebuild the surfaces, every element composites itself
  std::vector<Argb> after;
  for (int y = 0; y < 200; y += 7) {
    for (int x = 0; x < 500; x += 11) after.push_back(layout.window.mainSurface().PixelAt(x, y));
  }
  int differing = 0;
  for (size_t i = 0; i < before.size(); ++i) differing += NearColour(before[i], after[i], 4) ? 0 : 1;
  EXPECT_EQ(differing, 0);
}

TEST_F(ElementWindowTest, DestroyingTheWindowDestroysItsElements) {
  InstallerLayout layout;
  layout.Build(false);
  const ObjectId logoId = layout.logo.GetHandle();
  const int count = RegistryCount();
  layout.window.Destroy();
  EXPECT_EQ(layout.logo.GetHandle(), 0);
  EXPECT_EQ(layout.percentLabel.GetHandle(), 0);
  EXPECT_EQ(ElementFromId(logoId), nullptr);
  EXPECT_EQ(RegistryCount(), count - 12) << "eleven elements and the window's own entry";
}

TEST_F(ElementWindowTest, RealMouseClicksTheInstallButton) {
  InstallerLayout layout;
  layout.Build(true);
  layout.installButton.SetEventHandler(RecordEvent);
  layout.dragArea.SetEventHandler(RecordEvent);
  PumpFor(100);
  const Rect bounds = layout.window.bounds();
  const int x = bounds.x + 250;
  const int y = bounds.y + 137;
  ASSERT_TRUE(RunUnixCommand("/usr/bin/xdotool mousemove " + std::to_string(x) + " " +
                             std::to_string(y)));
  PumpUntil([&] { return layout.installButton.IsHovered(); }, 2000);
  EXPECT_EQ(layout.installButton.state(), ImageButton::kHot);
  ASSERT_TRUE(RunUnixCommand("/usr/bin/xdotool mousedown 1 sleep 0.1 mouseup 1"));
  PumpUntil([&] { return gCodes.size() >= 3; }, 2000);
  std::vector<int32_t> buttonCodes;
  for (size_t i = 0; i < gCodes.size(); ++i) {
    const bool buttonEvent = gCodes[i] != 12 && gCodes[i] != 13;  // moves and entering vary
    if (gSources[i] == layout.installButton.GetHandle() && buttonEvent) buttonCodes.push_back(gCodes[i]);
  }
  EXPECT_EQ(buttonCodes, (std::vector<int32_t>{2, 3, 1}));
  EXPECT_EQ(layout.installButton.state(), ImageButton::kPressed);
  PumpUntil([&] { return !layout.installButton.transitionRunning(); }, 2000);
  EXPECT_MAIN_PIXEL(layout, 250, 137, kInstallPressed);
  RunUnixCommand("/usr/bin/xdotool mousemove 5 5");
}

}  // namespace
