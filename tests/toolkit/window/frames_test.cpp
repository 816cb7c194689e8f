#include "toolkit/window/transition_frames.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kWidth = 500, kHeight = 200;
const Rect kWhole{0, 0, kWidth, kHeight};

TEST(PlanEffectFrame, EveryEffectEndsOnTheWholeWindowFullyOpaque) {
  for (int32_t effect : {2, 3, 4, 5, 6, 7, 10}) {
    FramePlan plan = PlanEffectFrame(effect, 255, kWidth, kHeight);
    ASSERT_EQ(plan.blits.size(), 1u) << effect;
    EXPECT_EQ(plan.blits[0], (FrameBlit{kWhole, kWhole})) << effect;
    EXPECT_DOUBLE_EQ(plan.opacity, 1.0) << effect;
  }
  FramePlan blinds = PlanEffectFrame(8, 255, kWidth, kHeight);
  int32_t covered = 0;
  for (const FrameBlit& blit : blinds.blits) {
    EXPECT_EQ(blit.source, blit.target);
    EXPECT_EQ(blit.target.y, covered);  // the bands tile the window top to bottom
    covered += blit.target.height;
  }
  EXPECT_EQ(covered, kHeight);
  EXPECT_EQ(PlanEffectFrame(42, 0, kWidth, kHeight).blits[0], (FrameBlit{kWhole, kWhole}));  // unknown: as is
}

TEST(PlanEffectFrame, EveryEffectStartsWithNothingVisible) {
  for (int32_t effect : {4, 5, 7, 8, 10}) {
    EXPECT_TRUE(PlanEffectFrame(effect, 0, kWidth, kHeight).blits.empty()) << effect;
  }
  for (int32_t effect : {2, 3, 6, 10}) EXPECT_DOUBLE_EQ(PlanEffectFrame(effect, 0, kWidth, kHeight).opacity, 0.0);
  EXPECT_EQ(PlanEffectFrame(2, 0, kWidth, kHeight).blits[0].target, (Rect{0, -50, kWidth, kHeight}));
  EXPECT_EQ(PlanEffectFrame(3, 0, kWidth, kHeight).blits[0].target, (Rect{50, 20, 400, 160}));
  EXPECT_EQ(PlanEffectFrame(6, 0, kWidth, kHeight).blits[0].target, (Rect{-125, 0, kWidth, kHeight}));
}

TEST(PlanEffectFrame, HalfWay) {
  const int32_t half = 128;  // t = 0.502
  EXPECT_EQ(PlanEffectFrame(4, half, kWidth, kHeight).blits[0].target, (Rect{0, 0, 250, kHeight}));
  EXPECT_EQ(PlanEffectFrame(5, half, kWidth, kHeight).blits[0].source, (Rect{0, 0, kWidth, 100}));
  EXPECT_EQ(PlanEffectFrame(7, half, kWidth, kHeight).blits[0].target, (Rect{125, 50, 250, 100}));
  for (const FrameBlit& band : PlanEffectFrame(8, half, kWidth, kHeight).blits) EXPECT_EQ(band.target.height, 10);
  EXPECT_EQ(PlanEffectFrame(10, half, kWidth, kHeight).blits[0].target, (Rect{125, 0, 250, kHeight}));
  EXPECT_NEAR(PlanEffectFrame(2, half, kWidth, kHeight).opacity, 0.502, 0.001);
  EXPECT_EQ(PlanEffectFrame(4, 300, kWidth, kHeight).blits[0].target.width, kWidth);  // clamped
}

TEST(Flip, DrawingAngleSkipsTheBackOfThePicture) {
  EXPECT_EQ(FlipDrawingAngle(0), 0);
  EXPECT_EQ(FlipDrawingAngle(45), 45);
  EXPECT_EQ(FlipDrawingAngle(90), 90);
  EXPECT_EQ(FlipDrawingAngle(91), 271);
  EXPECT_EQ(FlipDrawingAngle(180), 360);
  EXPECT_DOUBLE_EQ(FlipViewerDistance(500, 200), 840.0);
}

TEST(Flip, FacingTheViewerTheSlicesTileTheWindowInTheCanvasCentre) {
  for (double angle : {0.0, 360.0}) {
    std::vector<FrameBlit> slices = FlipSlices(kWidth, kHeight, angle, kWidth + 200, kHeight + 200, 2);
    ASSERT_EQ(slices.size(), 250u) << angle;
    int32_t x = 100;
    for (const FrameBlit& slice : slices) {
      EXPECT_EQ(slice.source.width, 2);
      EXPECT_EQ(slice.source.height, kHeight);
      EXPECT_NEAR(slice.target.x, x, 1);
      EXPECT_NEAR(slice.target.height, kHeight, 1);
      EXPECT_NEAR(slice.target.y, 100, 1);
      x = slice.target.x + slice.target.width;
    }
    EXPECT_NEAR(x, 600, 1);
  }
}

TEST(Flip, EdgeOnThereIsNothingToDraw) {
  EXPECT_TRUE(FlipSlices(kWidth, kHeight, 90, kWidth + 200, kHeight + 200, 2).empty());
  EXPECT_TRUE(FlipSlices(kWidth, kHeight, 270, kWidth + 200, kHeight + 200, 2).empty());
  EXPECT_TRUE(FlipSlices(0, kHeight, 0, 200, 400, 2).empty());
}

TEST(Flip, TurnedThePerspectiveMakesTheNearSideTallerAndTheWholeNarrower) {
  std::vector<FrameBlit> slices = FlipSlices(kWidth, kHeight, 30, kWidth + 200, kHeight + 200, 2);
  ASSERT_FALSE(slices.empty());
  // At 30° the left half comes towards the viewer: x·sin is negative there.
  EXPECT_GT(slices.front().target.height, kHeight);
  EXPECT_LT(slices.back().target.height, kHeight);
  EXPECT_LT(slices.back().target.x + slices.back().target.width - slices.front().target.x, kWidth);
  // Everything stays on the canvas, which is 200 pixels larger for exactly this.
  for (const FrameBlit& slice : slices) {
    EXPECT_GE(slice.target.x, 0);
    EXPECT_GE(slice.target.y, 0);
    EXPECT_LE(slice.target.x + slice.target.width, kWidth + 200);
    EXPECT_LE(slice.target.y + slice.target.height, kHeight + 200);
  }
  for (size_t i = 1; i < slices.size(); ++i) EXPECT_GE(slices[i].target.x, slices[i - 1].target.x);
}

}  // namespace
