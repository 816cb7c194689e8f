// Geometry, placement and fade arithmetic of elements: pure logic, no window.
#include <gtest/gtest.h>

#include <vector>

#include "toolkit/elements/element_geometry.h"

namespace {

// A registry seen as depths, position 1 first.
DepthAt Depths(const std::vector<int32_t>& depths) {
  return [depths](int position) { return depths.at(static_cast<size_t>(position - 1)); };
}

TEST(IntersectRects, KeepsTheInnerEdges) {
  EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {5, 3, 10, 10}), (Rect{5, 3, 5, 7}));
  EXPECT_EQ(IntersectRects({5, 3, 10, 10}, {0, 0, 10, 10}), (Rect{5, 3, 5, 7}));
  EXPECT_EQ(IntersectRects({0, 0, 100, 100}, {10, 20, 5, 6}), (Rect{10, 20, 5, 6}));
}

TEST(IntersectRects, TouchingOrApartIsEmpty) {
  EXPECT_TRUE(IsEmptyRect(IntersectRects({0, 0, 10, 10}, {10, 0, 5, 5})));  // touch on the right
  EXPECT_TRUE(IsEmptyRect(IntersectRects({0, 0, 10, 10}, {0, 10, 5, 5})));  // touch at the bottom
  EXPECT_TRUE(IsEmptyRect(IntersectRects({0, 0, 10, 10}, {50, 50, 5, 5})));
  EXPECT_TRUE(IsEmptyRect(IntersectRects({0, 0, 0, 10}, {0, 0, 5, 5})));
}

TEST(ComputeGeometry, ChildOfTheWindowRootIsItsRect) {
  const ElementGeometry g = ComputeGeometry({12, 183, 476, 5}, ParentGeometry{});
  EXPECT_EQ(g.absoluteRect, (Rect{12, 183, 476, 5}));
  EXPECT_EQ(g.clipRect, (Rect{12, 183, 476, 5}));
  EXPECT_EQ(g.clipOrigin, (Rect{12, 183, 476, 5}));
}

TEST(ComputeGeometry, ChildIsMovedByItsParentAndCutToIt) {
  const ParentGeometry parent{false, {10, 10, 100, 50}, {10, 10, 100, 50}};
  const ElementGeometry inside = ComputeGeometry({5, 5, 20, 20}, parent);
  EXPECT_EQ(inside.absoluteRect, (Rect{15, 15, 20, 20}));
  EXPECT_EQ(inside.clipRect, (Rect{15, 15, 20, 20}));
  EXPECT_EQ(inside.clipOrigin, (Rect{5, 5, 20, 20}));

  const ElementGeometry partly = ComputeGeometry({-5, 40, 20, 20}, parent);
  EXPECT_EQ(partly.absoluteRect, (Rect{5, 50, 20, 20}));
  EXPECT_EQ(partly.clipRect, (Rect{10, 50, 15, 10}));
  EXPECT_EQ(partly.clipOrigin, (Rect{0, 40, 15, 10}));
  // Composition copies the visible part from this offset inside the element's surface.
  EXPECT_EQ(SurfaceOffsetX(partly, {-5, 40, 20, 20}), 5);
  EXPECT_EQ(SurfaceOffsetY(partly, {-5, 40, 20, 20}), 0);

  EXPECT_TRUE(IsEmptyRect(ComputeGeometry({200, 0, 20, 20}, parent).clipRect));
}

TEST(ComputeGeometry, ClipsToTheParentsClipNotItsRect) {
  // The parent itself is cut by its own parent: the grandchild inherits that cut.
  const ParentGeometry parent{false, {50, 50, 100, 100}, {50, 50, 30, 100}};
  EXPECT_EQ(ComputeGeometry({10, 10, 40, 10}, parent).clipRect, (Rect{60, 60, 20, 10}));
}

TEST(UnpackPoint, LowWordUnsignedHighWordSigned) {
  EXPECT_EQ(UnpackPoint(0x00140030), (PackedPoint{0x30, 0x14}));
  EXPECT_EQ(UnpackPoint(static_cast<int32_t>(0xFFFB0005)), (PackedPoint{5, -5}));
  EXPECT_EQ(UnpackPoint(0x0000FFFF), (PackedPoint{0xFFFF, 0}));  // x never turns negative
}

TEST(ChildInsertPosition, FirstChildStandsDirectlyInFrontOfItsParent) {
  // [root of window W (0)]: a child of the root goes to position 1.
  EXPECT_EQ(ChildInsertPosition(1, Depths({0})), 1);
  // [A(1), root(0)] and a child of A: in front of A, at A's position.
  EXPECT_EQ(ChildInsertPosition(1, Depths({1, 0})), 1);
}

TEST(ChildInsertPosition, NewSiblingGoesInFrontOfTheOlderSiblingsBlocks) {
  // Registry: [C(1), B(1), A(1), root(0)] - a fourth child of the root goes to position 1.
  EXPECT_EQ(ChildInsertPosition(4, Depths({1, 1, 1, 0})), 1);
  // Another window in front: [V's child(1), V(0), C(1), B(1), A(1), W(0)]: behind V's root.
  EXPECT_EQ(ChildInsertPosition(6, Depths({1, 0, 1, 1, 1, 0})), 3);
  // [C(1), Bchild(2), B(1), A(1), root(0)] and a second child of B (at 3): in front of B's
  // block, behind C.
  EXPECT_EQ(ChildInsertPosition(3, Depths({1, 2, 1, 1, 0})), 2);
  EXPECT_EQ(ChildInsertPosition(0, Depths({1, 0})), 0);  // parent not in the registry
}

TEST(BlockSize, CountsTheEntryAndItsDeeperFrontNeighbours) {
  const auto depths = Depths({1, 3, 2, 2, 1, 0});
  EXPECT_EQ(BlockSize(5, depths), 4);  // the depth-1 entry at 5 with 2, 2, 3 in front of it
  EXPECT_EQ(BlockSize(4, depths), 1);
  EXPECT_EQ(BlockSize(3, depths), 2);
  EXPECT_EQ(BlockSize(6, depths), 6);  // a window root: its whole block
  EXPECT_EQ(BlockSize(0, depths), 0);
}

TEST(ZOrderInsertPosition, StaysAmongTheSiblingsOfItsParent) {
  // After cutting the moved block: [V(0), S3(1), S2c(2), S2(1), S1(1), W(0)]; the parent W is at
  // 6 and its children's blocks are S3 at 2, S2 at 3..4, S1 at 5.
  const auto depths = Depths({0, 1, 2, 1, 1, 0});
  EXPECT_EQ(ZOrderInsertPosition(kZOrderFront, 6, depths), 2);
  EXPECT_EQ(ZOrderInsertPosition(kZOrderTopmost, 6, depths), 2);
  EXPECT_EQ(ZOrderInsertPosition(kZOrderBack, 6, depths), 6);
  EXPECT_EQ(ZOrderInsertPosition(4, 6, depths), 3);   // inside S2's block: in front of all of it
  EXPECT_EQ(ZOrderInsertPosition(5, 6, depths), 5);   // in front of S1
  EXPECT_EQ(ZOrderInsertPosition(99, 6, depths), 6);  // past the parent: behind every sibling
  // Position 2 is S3: in front of S3. Positions outside the window's block clamp to the front.
  EXPECT_EQ(ZOrderInsertPosition(2, 6, depths), 2);
  EXPECT_EQ(ZOrderInsertPosition(-7, 6, Depths({0, 1, 2, 1, 1, 0})), 2);
}

TEST(NextFadeAlpha, DefaultStepTakesElevenTicks) {
  std::vector<int32_t> alphas;
  for (int32_t alpha = 0; alpha < 255;) alphas.push_back(alpha = NextFadeAlpha(alpha, 10));
  // 25.5 is added to a whole number and the sum truncated, so every tick gains exactly 25.
  EXPECT_EQ(alphas, (std::vector<int32_t>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}));
}

TEST(NextFadeAlpha, StepFiveTakesTwentyTwoTicks) {
  std::vector<int32_t> alphas;
  for (int32_t alpha = 0; alpha < 255;) alphas.push_back(alpha = NextFadeAlpha(alpha, 5));
  ASSERT_EQ(alphas.size(), 22u);
  EXPECT_EQ(alphas[1], 24);
  EXPECT_EQ(alphas[20], 252);
  EXPECT_EQ(alphas[21], 255);
}

TEST(NextFadeAlpha, StepsAndLimits) {
  EXPECT_EQ(NextFadeAlpha(0, 100), 255);
  EXPECT_EQ(NextFadeAlpha(250, 10), 255);
  EXPECT_EQ(NextFadeAlpha(0, 5), 12);
  EXPECT_EQ(NextFadeAlpha(12, 5), 24);
}

}  // namespace
