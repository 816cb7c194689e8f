#include "toolkit/window/window_geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PointStrictlyInside, EdgesAreOutside) {
  const Rect r{10, 20, 5, 4};  // inside: x 11..14, y 21..23
  struct Case {
    Point32 p;
    bool inside;
  } cases[] = {{{10, 22}, false}, {{11, 22}, true},  {{14, 22}, true},  {{15, 22}, false},
               {{12, 20}, false}, {{12, 21}, true},  {{12, 23}, true},  {{12, 24}, false},
               {{11, 21}, true},  {{14, 23}, true},  {{-5, -5}, false}};
  for (const Case& c : cases) EXPECT_EQ(PointStrictlyInside(r, c.p), c.inside) << c.p.x << "," << c.p.y;
  EXPECT_FALSE(PointStrictlyInside({0, 0, 1, 1}, {0, 0}));  // a 1-pixel rectangle holds nothing
  EXPECT_FALSE(PointStrictlyInside({0, 0, 0, 0}, {0, 0}));
}

TEST(MousePoint, XIsUnsignedAndYKeepsItsSign) {
  EXPECT_EQ(MousePointFromLParam(0x00140030), (Point32{0x30, 0x14}));
  EXPECT_EQ(MousePointFromLParam(static_cast<intptr_t>(static_cast<int32_t>(0xFFF9FFFBu))),
            (Point32{0xFFFB, -7}));
  // Only the low 32 bits count, whatever the upper half of a 64-bit lParam holds.
  EXPECT_EQ(MousePointFromLParam(static_cast<intptr_t>(0x1234567800050006LL)), (Point32{6, 5}));
}

TEST(PackPoint, CutsEachCoordinateTo16BitsAndKeepsANegativeY) {
  EXPECT_EQ(PackPoint(5, 10), 0x000A0005);
  int32_t packed = PackPoint(-3, -7);
  EXPECT_EQ(packed & 0xFFFF, 0xFFFD);
  EXPECT_EQ(packed >> 16, -7);
  EXPECT_EQ(PackPoint(0x12345, 1), 0x00012345);
}

TEST(WheelSteps, SignedHighWordOver120TruncatedTowardZero) {
  struct Case {
    int16_t delta;
    int32_t steps;
  } cases[] = {{120, 1}, {240, 2}, {-120, -1}, {-240, -2}, {119, 0}, {-119, 0}, {-250, -2}, {0, 0}};
  for (const Case& c : cases) {
    uintptr_t wParam = (static_cast<uintptr_t>(static_cast<uint16_t>(c.delta)) << 16) | 0x0008;
    EXPECT_EQ(WheelSteps(wParam), c.steps) << c.delta;
  }
}

TEST(CentredPosition, UsesIntegerHalves) {
  EXPECT_EQ(CentredPosition(1024, 768, 380, 250), (Point32{322, 259}));
  EXPECT_EQ(CentredPosition(1024, 768, 501, 201), (Point32{261, 283}));
  EXPECT_EQ(CentredPosition(1024, 768, 1100, 800), (Point32{-38, -16}));
}

TEST(MaximisedPlacement, KeepsTheShadowOutsideTheWorkArea) {
  // Whole screen given, taskbar at the bottom: the window fills the work area plus its shadow.
  EXPECT_EQ(MaximisedPlacement({0, 0, 1024, 768}, {0, 0, 1024, 738}, 5), (Rect{-5, -5, 1035, 749}));
  // Taskbar on the left.
  EXPECT_EQ(MaximisedPlacement({0, 0, 1024, 768}, {60, 0, 964, 768}, 0), (Rect{60, 0, 965, 769}));
  // No overlap at all: the work area decides.
  EXPECT_EQ(MaximisedPlacement({2000, 0, 100, 100}, {0, 0, 800, 600}, 5), (Rect{-5, -5, 811, 611}));
}

TEST(BorderZoneAt, CornersThenHorizontalBandsThenVerticalBands) {
  // 200 × 100 window with a 5-pixel shadow: bands of 8, corners of 6.
  struct Case {
    Point32 p;
    BorderZone zone;
  } cases[] = {
      {{0, 0}, kBorderTopLeft},        {{5, 5}, kBorderTopLeft},         {{6, 5}, kBorderTop},
      {{5, 6}, kBorderTop},            {{199, 0}, kBorderTopRight},      {{194, 5}, kBorderTopRight},
      {{193, 5}, kBorderTop},          {{0, 99}, kBorderBottomLeft},     {{199, 99}, kBorderBottomRight},
      {{100, 7}, kBorderTop},          {{100, 8}, kNoBorder},            {{100, 92}, kBorderBottom},
      {{100, 91}, kNoBorder},          {{7, 50}, kBorderLeft},           {{8, 50}, kNoBorder},
      {{192, 50}, kBorderRight},       {{191, 50}, kNoBorder},           {{5, 9}, kBorderLeft},           {{-1, 50}, kNoBorder},
      {{200, 50}, kNoBorder},          {{100, 100}, kNoBorder},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BorderZoneAt(c.p, 200, 100, 5), c.zone) << c.p.x << "," << c.p.y;
  }
  EXPECT_EQ(BorderZoneAt({2, 50}, 200, 100, 0), kBorderLeft);
  EXPECT_EQ(BorderZoneAt({3, 50}, 200, 100, 0), kNoBorder);
}

TEST(LayoutCaptionRow, RightToLeftFromTheMargin) {
  std::vector<Rect> placed = LayoutCaptionRow(500, 5, 10, {{30, 20}, {28, 22}, {26, 18}});
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0], (Rect{454, 5, 30, 20}));  // right edge 484 = 500 - 5 - 1 - 10
  EXPECT_EQ(placed[1], (Rect{426, 5, 28, 22}));
  EXPECT_EQ(placed[2], (Rect{400, 5, 26, 18}));
  EXPECT_EQ(UnionOfRects(placed), (Rect{400, 5, 84, 22}));
  EXPECT_EQ(UnionOfRects({}), (Rect{}));
  EXPECT_TRUE(LayoutCaptionRow(500, 0, 10, {}).empty());
}

TEST(TitleArea, LeavesRoomForTheCaptionStrip) {
  Rect title = TitleAreaRect(500, 84, 10, 5, 17);
  EXPECT_EQ(title, (Rect{0, 0, 396, 17}));
  EXPECT_EQ(TitleDragRect(title, 500, 84, 10, 5), (Rect{-10, 0, 406, 28}));
  EXPECT_EQ(TitleDragRect(TitleAreaRect(500, 0, 10, 0, 17), 500, 0, 10, 0), (Rect{0, 0, 490, 23}));
}

}  // namespace
