// The installer's window as the installer builds it (installer_elements.h, from the layout table),
// with generated images: the elements where the table puts them, what the window's main surface
// shows before and during an install, the progress display at every percentage, presentation
// through the window, the window's own repaint and destruction, and a real mouse on the virtual
// display.
#include "installer/installer_elements.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/elements/element_test_support.h"
#include "tests/installer/installer_test_images.h"
#include "toolkit/window/toolkit.h"
#include "toolkit/window/window_props.h"

namespace layout = installer_layout;

namespace {

constexpr Argb kBackground = layout::kBackgroundColour;
constexpr Argb kFillColour = layout::kElements[layout::kProgressFill].colour;
constexpr Argb kTrackColour = layout::kElements[layout::kProgressTrack].colour;
// The busy indicator's frame between the logo's bottom (y 83) and the install button's top (110).
constexpr Rect kBusyArea{230, 83, 28, 27};

#define EXPECT_MAIN_PIXEL(installer, x, y, colour)                                                \
  EXPECT_TRUE(NearColour((installer).window.mainSurface().PixelAt(x, y), colour))                 \
      << "at (" << (x) << ", " << (y) << "): "                                                 \
      << ColourText((installer).window.mainSurface().PixelAt(x, y)) << " expected " << ColourText(colour)

int DifferentPixels(const InstallerElements& installer, const Rect& area, Argb from) {
  int count = 0;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      if (!NearColour(installer.window.mainSurface().PixelAt(x, y), from, 8)) ++count;
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

class InstallerElementsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureToolkit();
    DeferredPresentation(false);
    AnimationsEnabled(true);
    gCodes.clear();
    gSources.clear();
  }
  // The installer's build with the test images and without the show transition. Layered with its
  // shadow as the installer shows it, or plain, where a check needs the background up to the
  // window's edge.
  void Build(InstallerElements& installer, bool layered, ElementEventHandler handler = nullptr) {
    installer.Build(images_.Images(), {.transitionEffects = false, .layered = layered, .eventHandler = handler});
  }
  TestInstallerImages images_;
};

// The window's elements in the layout table's order.
std::vector<Element*> InTableOrder(InstallerElements& installer) {
  return {&installer.progressTrack, &installer.progressFill,   &installer.dragArea,      &installer.closeButton,
          &installer.logo,          &installer.progressMarker, &installer.percentLabel,  &installer.statusLabel,
          &installer.installButton, &installer.busyIndicator,  &installer.blankPicture};
}

TEST_F(InstallerElementsTest, EveryElementIsBuiltAsItsRowOfTheLayoutTable) {
  InstallerElements installer;
  Build(installer, true, RecordEvent);
  const layout::ElementTable& table = layout::kElements;
  const std::vector<Element*> elements = InTableOrder(installer);
  ASSERT_EQ(elements.size(), table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    const layout::ElementSpec& row = table[i];
    Element& element = *elements[i];
    SCOPED_TRACE(std::string(row.name));
    Rect expected = layout::WindowRectOf(table, static_cast<int>(i));
    if (row.kind == layout::ElementKind::kSpriteAnimation) expected.width /= layout::kBusyFrames;
    EXPECT_EQ(element.GetAbsoluteRect(), expected);
    const ObjectId parent = row.parent == layout::kWindowRoot ? installer.window.Id()
                                                              : elements[static_cast<size_t>(row.parent)]->GetHandle();
    EXPECT_EQ(element.GetParent(), parent);
    EXPECT_EQ(element.Visible(), !row.hidden);
    EXPECT_EQ(element.Disabled(), row.disabled);
    EXPECT_EQ(element.SetEventHandler() == &RecordEvent, row.handlesEvents);
    EXPECT_EQ(element.GetHostWindow(), installer.window.WindowHandle());
  }
  EXPECT_EQ(installer.window.Width(), layout::kWindowBounds.width);
  EXPECT_EQ(installer.window.Height(), layout::kWindowBounds.height);
  EXPECT_EQ(installer.window.backgroundColour(), layout::kBackgroundColour);
  EXPECT_EQ(installer.window.shadowColour(), layout::kShadowColorRef);
  EXPECT_TRUE(installer.window.layered());
  EXPECT_TRUE(installer.window.shadowEnabled());
  EXPECT_TRUE(installer.window.dragAnywhere());
  EXPECT_EQ(installer.window.showEffect(), 0) << "built without the transitions";
  EXPECT_EQ(installer.percentLabel.text(), "90%");
  EXPECT_EQ(installer.statusLabel.text(), layout::kInitialStatus);
}

TEST_F(InstallerElementsTest, TheTransitionsAreSetOnlyWhenAsked) {
  InstallerElements installer;
  installer.Build(images_.Images(), {.transitionEffects = true, .layered = false});
  EXPECT_EQ(installer.window.showEffect(), layout::kTransitionEffect);
  EXPECT_EQ(installer.window.showInterval(), layout::kTransitionIntervalMs);
  EXPECT_EQ(installer.window.closeEffect(), layout::kTransitionEffect);
  EXPECT_EQ(installer.window.closeInterval(), layout::kTransitionIntervalMs);
}

// The progress display at every percentage: the fill's width and its drawn end, the marker's place
// and the percentage text.
TEST_F(InstallerElementsTest, ProgressAtEveryPercentageFrom0To100) {
  InstallerElements installer;
  Build(installer, false);
  installer.ShowInstalling();
  const Rect track = layout::WindowRectOf(layout::kElements, layout::kProgressTrack);
  const int y = track.y + track.height / 2;
  for (int percentage = 0; percentage <= 100; ++percentage) {
    SCOPED_TRACE(percentage);
    installer.ShowProgress(percentage);
    const int32_t fill = layout::FillWidthForPercentage(installer.fullTrackWidth, percentage);
    EXPECT_EQ(installer.progressFill.GetWidth(), fill);
    EXPECT_EQ(installer.progressMarker.GetLeft(), layout::MarkerLeftForFill(fill));
    EXPECT_EQ(installer.percentLabel.text(), std::to_string(percentage) + "%");
    if (fill > 0) EXPECT_MAIN_PIXEL(installer, track.x + fill - 1, y, kFillColour);
    if (fill < track.width) EXPECT_MAIN_PIXEL(installer, track.x + fill, y, BlendOver(kBackground, kTrackColour));
  }
}

TEST_F(InstallerElementsTest, AbandonedShowsTheCloseButtonAgain) {
  InstallerElements installer;
  Build(installer, false);
  installer.ShowInstalling();
  installer.ShowProgress(1);
  EXPECT_MAIN_PIXEL(installer, 474, 25, kBackground) << "hidden while installing";
  installer.ShowAbandoned();
  EXPECT_TRUE(installer.closeButton.Visible());
  EXPECT_MAIN_PIXEL(installer, 474, 25, MakeArgb(255, 255, 255, 255)) << "the close cross";
  EXPECT_EQ(installer.progressFill.GetWidth(), 4) << "the bar stays where it was";
  EXPECT_EQ(installer.installButton.GetHandle(), 0);
}

TEST_F(InstallerElementsTest, ReadyStateShowsLogoButtonAndCloseButton) {
  InstallerElements installer;
  Build(installer, false);
  ASSERT_NE(installer.window.WindowHandle(), nullptr);
  EXPECT_EQ(installer.closeButton.GetHostWindow(), installer.window.WindowHandle());
  EXPECT_EQ(installer.percentLabel.GetHostWindow(), installer.window.WindowHandle());
  EXPECT_EQ(installer.busyIndicator.GetWidth(), 28);
  EXPECT_EQ(installer.fullTrackWidth, 476);
  EXPECT_EQ(installer.logo.GetAbsoluteRect(), (Rect{56, 20, 398, 63}));
  EXPECT_EQ(installer.installButton.GetAbsoluteRect(), (Rect{143, 110, 233, 54}));

  EXPECT_MAIN_PIXEL(installer, 100, 50, kTestLogoColour);
  EXPECT_MAIN_PIXEL(installer, 450, 50, kBackground) << "the logo image is 389 wide";
  EXPECT_MAIN_PIXEL(installer, 250, 137, kTestInstallNormal);
  EXPECT_MAIN_PIXEL(installer, 474, 25, MakeArgb(255, 255, 255, 255)) << "the close cross";
  // Hidden: progress track, marker, status line and busy indicator.
  EXPECT_EQ(DifferentPixels(installer, {0, 150, 40, 35}, kBackground), 0);
  EXPECT_EQ(DifferentPixels(installer, {12, 183, 476, 5}, kBackground), 0);
  EXPECT_EQ(DifferentPixels(installer, kBusyArea, kBackground), 0) << "the busy indicator";
  // The mouse reaches the install button through the disabled logo's neighbourhood, and the drag
  // area elsewhere.
  EXPECT_EQ(HitTest(installer.window.WindowHandle(), POINT{250, 137}), installer.installButton.GetHandle());
  EXPECT_EQ(HitTest(installer.window.WindowHandle(), POINT{100, 50}), installer.dragArea.GetHandle());
}

TEST_F(InstallerElementsTest, InstallingShowsTheProgressAndTheMarkerMovesCleanly) {
  InstallerElements installer;
  Build(installer, false);
  installer.ShowInstalling();
  EXPECT_EQ(installer.statusLabel.text(), "正在为您开启Velmora之旅");
  EXPECT_EQ(installer.installButton.GetHandle(), 0);
  EXPECT_MAIN_PIXEL(installer, 200, 158, kBackground) << "the install button is gone";
  EXPECT_MAIN_PIXEL(installer, 474, 25, kBackground) << "the close button is hidden";
  // The marker shows with its "90%" although the label was created while it was hidden.
  EXPECT_MAIN_PIXEL(installer, 1, 155, kTestMarkerColour);
  EXPECT_GT(DifferentPixels(installer, {0, 153, 29, 29}, kTestMarkerColour), 10);
  EXPECT_MAIN_PIXEL(installer, 13, 185, kFillColour);
  EXPECT_MAIN_PIXEL(installer, 100, 185, BlendOver(kBackground, kTrackColour));
  EXPECT_GT(DifferentPixels(installer, kBusyArea, kBackground), 10) << "the busy indicator runs";

  installer.ShowProgress(50);
  EXPECT_EQ(installer.progressFill.GetWidth(), 238);
  EXPECT_EQ(installer.progressMarker.GetLeft(), 231);
  EXPECT_MAIN_PIXEL(installer, 12 + 230, 185, kFillColour);
  EXPECT_MAIN_PIXEL(installer, 12 + 300, 185, BlendOver(kBackground, kTrackColour));
  EXPECT_MAIN_PIXEL(installer, 233, 155, kTestMarkerColour);
  // Nothing of the marker or its label is left at the old place.
  EXPECT_EQ(DifferentPixels(installer, {0, 153, 29, 29}, kBackground), 0);

  installer.ShowProgress(100);
  EXPECT_EQ(installer.progressFill.GetWidth(), 476);
  EXPECT_EQ(installer.progressMarker.GetLeft(), 469);
  EXPECT_EQ(installer.percentLabel.text(), "100%");
  EXPECT_MAIN_PIXEL(installer, 487, 185, kFillColour);
}

TEST_F(InstallerElementsTest, RefreshPresentsThroughTheWindowAtOnceOrWithinItsTimer) {
  InstallerElements installer;
  Build(installer, true);
  installer.ShowInstalling();
  int presentations = installer.window.presentationCount();
  installer.progressFill.Refresh();
  EXPECT_EQ(installer.window.presentationCount(), presentations + 1);

  DeferredPresentation(true);
  presentations = installer.window.presentationCount();
  for (int percentage = 1; percentage <= 5; ++percentage) installer.ShowProgress(percentage);
  EXPECT_EQ(installer.window.presentationCount(), presentations) << "only marked";
  ASSERT_TRUE(PumpUntil([&] { return installer.window.presentationCount() > presentations; }, 1000));
  PumpFor(100);
  // Five progress steps and the busy indicator's frames, all within a few 30 ms periods.
  EXPECT_LE(installer.window.presentationCount(), presentations + 5);
  DeferredPresentation(false);
}

TEST_F(InstallerElementsTest, WindowRepaintRecompositesEveryElement) {
  InstallerElements installer;
  Build(installer, false);
  installer.ShowInstalling();
  installer.ShowProgress(30);
  std::vector<Argb> before;
  for (int y = 0; y < 200; y += 7) {
    for (int x = 0; x < 500; x += 11) before.push_back(installer.window.mainSurface().PixelAt(x, y));
  }
  installer.window.Refresh();  // re-installer, rebuild the surfaces, every element composites itself
  std::vector<Argb> after;
  for (int y = 0; y < 200; y += 7) {
    for (int x = 0; x < 500; x += 11) after.push_back(installer.window.mainSurface().PixelAt(x, y));
  }
  int differing = 0;
  for (size_t i = 0; i < before.size(); ++i) differing += NearColour(before[i], after[i], 4) ? 0 : 1;
  EXPECT_EQ(differing, 0);
}

TEST_F(InstallerElementsTest, DestroyingTheWindowDestroysItsElements) {
  InstallerElements installer;
  Build(installer, false);
  const ObjectId logoId = installer.logo.GetHandle();
  const int count = RegistryCount();
  installer.window.Destroy();
  EXPECT_EQ(installer.logo.GetHandle(), 0);
  EXPECT_EQ(installer.percentLabel.GetHandle(), 0);
  EXPECT_EQ(ElementFromId(logoId), nullptr);
  EXPECT_EQ(RegistryCount(), count - 12) << "eleven elements and the window's own entry";
}

TEST_F(InstallerElementsTest, RealMouseClicksTheInstallButton) {
  InstallerElements installer;
  Build(installer, true);
  installer.installButton.SetEventHandler(RecordEvent);
  installer.dragArea.SetEventHandler(RecordEvent);
  PumpFor(100);
  const Rect bounds = installer.window.bounds();
  const int x = bounds.x + 250;
  const int y = bounds.y + 137;
  ASSERT_TRUE(RunUnixCommand("/usr/bin/xdotool mousemove " + std::to_string(x) + " " +
                             std::to_string(y)));
  PumpUntil([&] { return installer.installButton.IsHovered(); }, 2000);
  EXPECT_EQ(installer.installButton.state(), ImageButton::kHot);
  ASSERT_TRUE(RunUnixCommand("/usr/bin/xdotool mousedown 1 sleep 0.1 mouseup 1"));
  PumpUntil([&] { return gCodes.size() >= 3; }, 2000);
  std::vector<int32_t> buttonCodes;
  for (size_t i = 0; i < gCodes.size(); ++i) {
    const bool buttonEvent = gCodes[i] != 12 && gCodes[i] != 13;  // moves and entering vary
    if (gSources[i] == installer.installButton.GetHandle() && buttonEvent) buttonCodes.push_back(gCodes[i]);
  }
  EXPECT_EQ(buttonCodes, (std::vector<int32_t>{2, 3, 1}));
  EXPECT_EQ(installer.installButton.state(), ImageButton::kPressed);
  PumpUntil([&] { return !installer.installButton.transitionRunning(); }, 2000);
  EXPECT_MAIN_PIXEL(installer, 250, 137, kTestInstallPressed);
  RunUnixCommand("/usr/bin/xdotool mousemove 5 5");
}

}  // namespace
