// Composition by pixels of the window's main surface: hiding, transparency, Move, clipping,
// fades and their frames, presentation requests, the window's full repaint.
#include <gtest/gtest.h>

#include "element_test_support.h"
#include "toolkit/elements/element_timers.h"
#include "toolkit/window/toolkit.h"

namespace {

constexpr Argb kRed = MakeArgb(255, 255, 0, 0);
constexpr Argb kBlue = MakeArgb(255, 0, 0, 255);
constexpr Argb kGreen = MakeArgb(255, 0, 255, 0);

#define EXPECT_PIXEL(host, x, y, colour)                                                     \
  EXPECT_TRUE(NearColour((host).Pixel(x, y), colour))                                        \
      << "at (" << (x) << ", " << (y) << "): " << ColourText((host).Pixel(x, y)) << " expected " \
      << ColourText(colour)

// One tick of a fade timer, delivered as the timer would.
void Tick(Element& element, int32_t key, int32_t step) {
  SendElementMessage(element.GetHandle(), 10, key, step);
}

bool HasTimer(ObjectId element, int32_t key) {
  for (const auto& record : ElementTimerRecords()) {
    if (record.element == element && record.key == key) return true;
  }
  return false;
}

class CompositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeferredPresentation(false);
    AnimationsEnabled(true);
  }
  TestHostWindow host{200, 120};
};

TEST_F(CompositionTest, HidingShowsWhatLiesBeneathAtOnce) {
  ProbeElement below(kBlue), above(kRed);
  below.Create(host.root(), {10, 10, 60, 60});
  above.Create(host.root(), {40, 40, 60, 60});
  EXPECT_PIXEL(host, 50, 50, kRed);
  EXPECT_PIXEL(host, 20, 20, kBlue);

  const int presents = host.presentCount();
  above.Visible(false);
  EXPECT_PIXEL(host, 50, 50, kBlue);          // the element beneath
  EXPECT_PIXEL(host, 90, 90, host.background());  // the window background
  EXPECT_EQ(host.presentCount(), presents + 1) << "presented at once";
  EXPECT_EQ(host.lastPresented(), (Rect{40, 40, 60, 60}));
  EXPECT_EQ(above.hooks.back(), "hidden");

  above.Visible(true);
  EXPECT_PIXEL(host, 50, 50, kRed);
  EXPECT_PIXEL(host, 90, 90, kRed);
}

TEST_F(CompositionTest, HidingAParentHidesItsChildrenToo) {
  ProbeElement parent(kBlue), child(kRed);
  parent.Create(host.root(), {10, 10, 80, 80});
  child.Create(parent.GetHandle(), {10, 10, 20, 20});
  EXPECT_PIXEL(host, 25, 25, kRed);
  parent.Visible(false);
  EXPECT_PIXEL(host, 25, 25, host.background());
  EXPECT_PIXEL(host, 60, 60, host.background());
}

TEST_F(CompositionTest, FullyTransparentElementIsInvisibleButStillHit) {
  ProbeElement below(kBlue), glass(kRed);
  below.Create(host.root(), {10, 10, 100, 100});
  glass.Create(host.root(), {30, 30, 40, 40});
  glass.Transparency(255, true);
  EXPECT_PIXEL(host, 50, 50, kRed) << "the new opacity shows at the next composition";
  glass.Refresh();
  EXPECT_PIXEL(host, 50, 50, kBlue);
  EXPECT_EQ(HitTest(host.handle(), POINT{50, 50}), glass.GetHandle());

  glass.Transparency(128);
  glass.Refresh();
  EXPECT_PIXEL(host, 50, 50, BlendOver(kBlue, kRed, 127));
  EXPECT_EQ(glass.Transparency(900), 255) << "clamped to the opacity range";
}

TEST_F(CompositionTest, MoveWithOnlyTheWidthResizesWithoutMoving) {
  ProbeElement element(kRed);
  element.Create(host.root(), {20, 30, 80, 40});
  element.hooks.clear();
  const int presents = host.presentCount();

  ASSERT_TRUE(element.Move(std::nullopt, std::nullopt, 30));
  EXPECT_EQ(element.GetRect(), (Rect{20, 30, 30, 40}));
  EXPECT_EQ(element.hooks, (std::vector<std::string>{"resized"}));
  EXPECT_PIXEL(host, 45, 50, kRed);
  EXPECT_PIXEL(host, 60, 50, host.background()) << "the old area is erased";
  EXPECT_EQ(host.presentCount(), presents) << "Move does not present";
  EXPECT_EQ(GetObjectType(element.GetSurfaceDc()), static_cast<DWORD>(OBJ_MEMDC));

  element.hooks.clear();
  ASSERT_TRUE(element.Move(70));
  EXPECT_EQ(element.hooks, (std::vector<std::string>{"moved"}));
  EXPECT_PIXEL(host, 25, 50, host.background());
  EXPECT_PIXEL(host, 75, 50, kRed);
}

TEST_F(CompositionTest, MoveToTheSameRectangleAnswersFalseAndDrawsNothing) {
  ProbeElement element(kRed);
  element.Create(host.root(), {20, 30, 80, 40});
  element.hooks.clear();
  const int paints = element.paintCount;
  element.SetColour(kGreen);  // would show if anything were drawn
  EXPECT_FALSE(element.Move(20, 30, 80, 40));
  EXPECT_FALSE(element.Move());
  EXPECT_TRUE(element.hooks.empty());
  EXPECT_EQ(element.paintCount, paints);
  EXPECT_PIXEL(host, 50, 50, kRed);
}

TEST_F(CompositionTest, MovingAParentLeavesNothingOfItsChildBehind) {
  ProbeElement neighbour(kBlue), parent(MakeArgb(255, 200, 200, 200)), child(kRed);
  neighbour.Create(host.root(), {0, 0, 200, 120});
  parent.Create(host.root(), {10, 10, 40, 40});
  child.Create(parent.GetHandle(), {5, 5, 20, 20});
  EXPECT_PIXEL(host, 20, 20, kRed);

  parent.Move(120, 60);
  EXPECT_PIXEL(host, 20, 20, kBlue) << "no ghost of the child at the old place";
  EXPECT_PIXEL(host, 130, 70, kRed);
  EXPECT_PIXEL(host, 150, 95, MakeArgb(255, 200, 200, 200));
}

TEST_F(CompositionTest, PartlyOutsideItsParentIsDrawnOnlyInsideIt) {
  ProbeElement parent(kBlue), child(kRed), overlapping(MakeArgb(128, 0, 255, 0));
  parent.Create(host.root(), {20, 20, 60, 60});
  child.Create(parent.GetHandle(), {40, 40, 60, 60});
  EXPECT_PIXEL(host, 70, 70, kRed);
  EXPECT_PIXEL(host, 90, 90, host.background());
  EXPECT_PIXEL(host, 79, 50, kBlue);

  // A neighbour recompositing the same area draws the same pixels for the child.
  std::vector<Argb> before;
  for (int x = 55; x < 100; x += 3) before.push_back(host.Pixel(x, 75));
  overlapping.Create(host.root(), {50, 72, 50, 2});
  overlapping.Visible(false);
  std::vector<Argb> after;
  for (int x = 55; x < 100; x += 3) after.push_back(host.Pixel(x, 75));
  EXPECT_EQ(before, after);
}

TEST_F(CompositionTest, FadeInWithStepHundredEndsOnItsFirstTick) {
  ProbeElement element(kRed);
  element.Create(host.root(), {10, 10, 50, 50});
  element.SetColour(kBlue);
  element.FadeIn(10, 100);
  EXPECT_TRUE(element.transitionRunning());
  EXPECT_PIXEL(host, 30, 30, kRed) << "nothing changes before the first tick";
  Tick(element, kFadeInTimerKey, 100);
  EXPECT_EQ(element.transitionAlpha(), 255);
  EXPECT_FALSE(element.transitionRunning());
  EXPECT_FALSE(HasTimer(element.GetHandle(), kFadeInTimerKey));
  EXPECT_PIXEL(host, 30, 30, kBlue);
  EXPECT_EQ(element.currentSurfaceDc(), element.GetSurfaceDc());
}

TEST_F(CompositionTest, DefaultFadeInTakesElevenTicksAndCrossFades) {
  ProbeElement element(kRed);
  element.Create(host.root(), {10, 10, 50, 50});
  element.SetColour(kBlue);
  element.FadeIn();
  std::vector<int32_t> alphas;
  bool mixedOnce = false;
  while (element.transitionRunning() && alphas.size() < 20) {
    Tick(element, kFadeInTimerKey, 10);
    alphas.push_back(element.transitionAlpha());
    const Argb p = host.Pixel(30, 30);
    if (element.transitionAlpha() > 100 && element.transitionAlpha() < 150) {
      mixedOnce = RedOf(p) > 40 && BlueOf(p) > 40;
      EXPECT_NE(element.currentSurfaceDc(), element.GetSurfaceDc()) << "a frame is shown";
    }
  }
  EXPECT_EQ(alphas, (std::vector<int32_t>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}));
  EXPECT_TRUE(mixedOnce) << "midway the old and the new look both show";
  EXPECT_PIXEL(host, 30, 30, kBlue);
}

TEST_F(CompositionTest, FadeInRunsOnItsTimer) {
  ProbeElement element(kRed);
  element.Create(host.root(), {10, 10, 50, 50});
  element.SetColour(kGreen);
  const int presents = host.presentCount();
  element.FadeIn(5, 20, 1);
  ASSERT_TRUE(PumpUntil([&] { return !element.transitionRunning(); }, 3000));
  EXPECT_PIXEL(host, 30, 30, kGreen);
  EXPECT_EQ(host.presentCount(), presents + 5) << "51, 102, 153, 204, 255: every frame presented";
  EXPECT_FALSE(HasTimer(element.GetHandle(), kFadeInTimerKey));
}

TEST_F(CompositionTest, BaseFadeOutShowsTheElementEmptyAndEndsAtFull) {
  ProbeElement below(kBlue), element(kRed);
  below.Create(host.root(), {0, 0, 200, 120});
  element.Create(host.root(), {10, 10, 50, 50});
  element.FadeOut();
  int ticks = 0;
  while (element.transitionRunning() && ticks < 30) {
    Tick(element, kFadeOutTimerKey, 10);
    ++ticks;
    EXPECT_PIXEL(host, 30, 30, kBlue);
  }
  EXPECT_EQ(ticks, 12) << "frames at 0, 25, ..., 250 and the last at 255";
  EXPECT_FALSE(HasTimer(element.GetHandle(), kFadeOutTimerKey));
}

TEST_F(CompositionTest, FadesFallBackToRefreshWithoutAnimations) {
  ProbeElement element(kRed);
  element.Create(host.root(), {10, 10, 50, 50});
  AnimationsEnabled(false);
  element.SetColour(kBlue);
  element.FadeIn();
  EXPECT_FALSE(element.transitionRunning());
  EXPECT_FALSE(HasTimer(element.GetHandle(), kFadeInTimerKey));
  EXPECT_PIXEL(host, 30, 30, kBlue);
  AnimationsEnabled(true);
}

TEST_F(CompositionTest, GrowingDuringAFadeCutsItAndItsTimerRunsOut) {
  ProbeElement element(kRed);
  element.Create(host.root(), {10, 10, 50, 50});
  element.SetColour(kBlue);
  element.FadeIn();
  Tick(element, kFadeInTimerKey, 10);
  element.Move(std::nullopt, std::nullopt, 80, 60);
  EXPECT_PIXEL(host, 80, 60, kBlue) << "repainted at the new size";
  for (int i = 0; i < 10; ++i) Tick(element, kFadeInTimerKey, 10);
  EXPECT_FALSE(element.transitionRunning());
  EXPECT_PIXEL(host, 80, 60, kBlue);
  EXPECT_PIXEL(host, 20, 20, kBlue);
}

TEST_F(CompositionTest, RefreshPresentsAtOnceOrMarksThePresentationPending) {
  ProbeElement element(kRed);
  element.Create(host.root(), {10, 20, 30, 40});
  host.ClearPresentPending();
  int presents = host.presentCount();
  element.Refresh();
  EXPECT_EQ(host.presentCount(), presents + 1);
  EXPECT_EQ(host.lastPresented(), (Rect{10, 20, 30, 40}));
  EXPECT_FALSE(host.presentPending());

  DeferredPresentation(true);
  presents = host.presentCount();
  element.Refresh();
  EXPECT_EQ(host.presentCount(), presents);
  EXPECT_TRUE(host.presentPending());
  element.RefreshNow();
  EXPECT_EQ(host.presentCount(), presents + 1) << "RefreshNow always presents";
  DeferredPresentation(false);
}

TEST_F(CompositionTest, FullRepaintCompositesEveryElementOldestFirst) {
  ProbeElement first(kBlue), second(kRed), hidden(kGreen);
  first.Create(host.root(), {10, 10, 60, 60});
  second.Create(host.root(), {40, 40, 60, 60});
  hidden.Create(host.root(), {0, 0, 200, 120});
  hidden.Visible(false);
  host.RepaintAll();
  EXPECT_PIXEL(host, 20, 20, kBlue);
  EXPECT_PIXEL(host, 50, 50, kRed);
  EXPECT_PIXEL(host, 150, 100, host.background());
}

TEST_F(CompositionTest, ElementChangedWhileHiddenShowsItsNewLookWhenShown) {
  ProbeElement parent(kBlue), child(kRed);
  parent.Create(host.root(), {10, 10, 100, 80});
  parent.Visible(false);
  // Created under a hidden parent: its first paint is skipped.
  child.Create(parent.GetHandle(), {10, 10, 30, 30});
  parent.Visible(true);
  EXPECT_PIXEL(host, 30, 30, kRed);

  parent.Visible(false);
  child.SetColour(kGreen);
  child.Refresh();
  parent.Visible(true);
  EXPECT_PIXEL(host, 30, 30, kGreen);
}

}  // namespace
