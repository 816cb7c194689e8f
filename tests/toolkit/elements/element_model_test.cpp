// The element model on a real window: place in the registry, geometry, tree operations,
// effective state, destruction and identity.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "element_test_support.h"
#include "toolkit/window/window_props.h"

namespace {

class ElementModelTest : public ::testing::Test {
 protected:
  TestHostWindow host{300, 200};
};

TEST_F(ElementModelTest, SiblingsStandNewestFirstInFrontOfTheirParent) {
  ProbeElement parent, a, b, c;
  ASSERT_TRUE(parent.Create(host.root(), {10, 10, 200, 150}));
  a.Create(parent.GetHandle(), {0, 0, 10, 10});
  b.Create(parent.GetHandle(), {0, 0, 10, 10});
  c.Create(parent.GetHandle(), {0, 0, 10, 10});

  const int p = parent.GetRegistryPosition();
  ASSERT_GT(p, 3);
  EXPECT_EQ(RegistryAt(p - 3), c.GetHandle());
  EXPECT_EQ(RegistryAt(p - 2), b.GetHandle());
  EXPECT_EQ(RegistryAt(p - 1), a.GetHandle());
  EXPECT_EQ(RegistryAt(p + 1), host.root());
  EXPECT_EQ(parent.depth, 1);
  EXPECT_EQ(c.depth, 2);
  // C is hit first.
  EXPECT_EQ(HitTest(host.handle(), POINT{15, 15}), c.GetHandle());
}

TEST_F(ElementModelTest, ChildOfAnOlderSiblingStandsDirectlyInFrontOfIt) {
  ProbeElement parent, a, b, c, bChild;
  parent.Create(host.root(), {10, 10, 200, 150});
  a.Create(parent.GetHandle(), {0, 0, 10, 10});
  b.Create(parent.GetHandle(), {0, 0, 10, 10});
  c.Create(parent.GetHandle(), {0, 0, 10, 10});
  bChild.Create(b.GetHandle(), {0, 0, 5, 5});

  EXPECT_EQ(bChild.GetRegistryPosition() + 1, b.GetRegistryPosition());
  EXPECT_EQ(c.GetRegistryPosition() + 1, bChild.GetRegistryPosition());
  EXPECT_EQ(bChild.depth, 3);
}

TEST_F(ElementModelTest, ClipRectIsCutToTheParentAndEmptyWhollyOutside) {
  ProbeElement parent, partly, outside, inner;
  parent.Create(host.root(), {20, 30, 100, 50});
  partly.Create(parent.GetHandle(), {80, -10, 40, 30});
  outside.Create(parent.GetHandle(), {150, 0, 10, 10});
  inner.Create(partly.GetHandle(), {0, 0, 40, 30});

  EXPECT_EQ(partly.GetAbsoluteRect(), (Rect{100, 20, 40, 30}));
  EXPECT_EQ(partly.GetClipRect(), (Rect{100, 30, 20, 20}));
  EXPECT_EQ(partly.clipOrigin(), (Rect{80, 0, 20, 20}));
  EXPECT_EQ(inner.GetClipRect(), (Rect{100, 30, 20, 20}));  // also cut by the grandparent
  EXPECT_TRUE(IsEmptyRect(outside.GetClipRect()));
  // Wholly outside: never hit, never drawn.
  EXPECT_NE(HitTest(host.handle(), POINT{175, 35}), outside.GetHandle());
  EXPECT_EQ(host.Pixel(175, 35), host.background());
}

TEST_F(ElementModelTest, MovingAParentMovesEveryDescendant) {
  ProbeElement parent, child, grandchild;
  parent.Create(host.root(), {10, 10, 100, 100});
  child.Create(parent.GetHandle(), {10, 20, 50, 50});
  grandchild.Create(child.GetHandle(), {5, 5, 10, 10});
  ASSERT_EQ(grandchild.GetAbsoluteRect(), (Rect{25, 35, 10, 10}));

  ASSERT_TRUE(parent.Move(40, 60));
  EXPECT_EQ(child.GetAbsoluteRect(), (Rect{50, 80, 50, 50}));
  EXPECT_EQ(grandchild.GetAbsoluteRect(), (Rect{55, 85, 10, 10}));
  EXPECT_EQ(grandchild.GetClipRect(), (Rect{55, 85, 10, 10}));
  EXPECT_EQ(child.GetRect(), (Rect{10, 20, 50, 50}));  // relative rectangles are unchanged

  // Shrinking the parent cuts the descendants' clip rectangles.
  parent.Move(std::nullopt, std::nullopt, 20, 30);
  EXPECT_EQ(child.GetClipRect(), (Rect{50, 80, 10, 10}));
  EXPECT_EQ(grandchild.GetClipRect(), (Rect{55, 85, 5, 5}));
  parent.Move(std::nullopt, std::nullopt, 10, 10);
  EXPECT_TRUE(IsEmptyRect(child.GetClipRect()));
  EXPECT_TRUE(IsEmptyRect(grandchild.GetClipRect()));
}

TEST_F(ElementModelTest, DestroyRemovesTheBlockAndZeroesTheElement) {
  ProbeElement parent, child, other;
  parent.Create(host.root(), {10, 10, 100, 100});
  child.Create(parent.GetHandle(), {0, 0, 10, 10});
  other.Create(host.root(), {150, 10, 20, 20});
  const ObjectId parentId = parent.GetHandle();
  const ObjectId childId = child.GetHandle();
  SetIdProp(host.handle(), kPropFocus, childId);
  SetIdProp(host.handle(), kPropMouseOn, childId);
  SetIdProp(host.handle(), kPropMouseCapture, parentId);
  const int countBefore = RegistryCount();

  parent.Destroy();

  EXPECT_EQ(parent.GetHandle(), 0);
  EXPECT_EQ(child.GetHandle(), 0);
  EXPECT_EQ(RegistryCount(), countBefore - 2);
  EXPECT_EQ(RegistryIndexOf(parentId), 0);
  EXPECT_EQ(RegistryIndexOf(childId), 0);
  EXPECT_EQ(ElementFromId(childId), nullptr) << "a stale id reaches nothing";
  EXPECT_EQ(child.hooks.back(), "destroying");
  EXPECT_EQ(child.GetWidth(), 0);
  EXPECT_EQ(child.GetHostWindow(), nullptr);
  EXPECT_FALSE(child.created());
  EXPECT_EQ(GetIdProp(host.handle(), kPropFocus), 0);
  EXPECT_EQ(GetIdProp(host.handle(), kPropMouseOn), 0);
  EXPECT_EQ(GetIdProp(host.handle(), kPropMouseCapture), 0);
  EXPECT_NE(other.GetHandle(), 0);

  // Destroyed elements can be created again, with a fresh id.
  ASSERT_TRUE(parent.Create(host.root(), {10, 10, 30, 30}));
  EXPECT_NE(parent.GetHandle(), 0);
  EXPECT_NE(parent.GetHandle(), parentId);
}

intptr_t IgnoreEvent(HWND, ObjectId, int32_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) { return 0; }

// Everything the element lets a program or the window layer read, by name.
std::map<std::string, int64_t> ReadBack(Element& element) {
  const Rect rect = element.GetRect();
  const Rect absolute = element.GetAbsoluteRect();
  const Rect clip = element.GetClipRect();
  return {{"handle", element.GetHandle()}, {"rect.x", rect.x}, {"rect.y", rect.y}, {"rect.width", rect.width},
          {"rect.height", rect.height}, {"absolute.x", absolute.x}, {"absolute.width", absolute.width},
          {"clip.x", clip.x}, {"clip.width", clip.width}, {"clipOrigin.x", element.clipOrigin().x},
          {"host", element.GetHostWindow() != nullptr}, {"parent", element.parent}, {"depth", element.depth},
          {"visible", element.Visible()}, {"disabled", element.Disabled()}, {"focusable", element.Focusable()},
          {"transparency", element.Transparency()}, {"handler", element.SetEventHandler() != nullptr},
          {"forwardTarget", element.forwardTarget()}, {"created", element.created()},
          {"handCursor", element.handCursor()}, {"buttonHeld", element.buttonHeld()},
          {"leftPressed", element.IsLeftPressed()}, {"rightPressed", element.IsRightPressed()},
          {"transitionAlpha", element.transitionAlpha()}, {"transitionRunning", element.transitionRunning()},
          {"currentSurfaceDc", element.currentSurfaceDc() != nullptr},
          {"font", static_cast<bool>(element.GetFont())}};
}

TEST_F(ElementModelTest, DestroyReturnsEveryReadingToThatOfANewElement) {
  ProbeElement fresh;
  const std::map<std::string, int64_t> initial = ReadBack(fresh);
  ProbeElement other;
  ASSERT_TRUE(other.Create(host.root(), {0, 0, 5, 5}));
  ProbeElement element;
  ASSERT_TRUE(element.Initialise(host.root(), {10, 20, 30, 40}, MakeFont(MakeFontDescription()), true, true, true,
                                 true));
  element.Transparency(40);
  element.SetEventHandler(IgnoreEvent);
  element.SetForwardTarget(other.GetHandle());
  SendElementMessage(element.GetHandle(), element_message::kLeftDown, 0, 0);  // button held
  element.leftPressed = element.rightPressed = true;
  const std::map<std::string, int64_t> set = ReadBack(element);
  int changed = 0;
  for (const auto& [name, value] : set) changed += value != initial.at(name) ? 1 : 0;
  ASSERT_GE(changed, 20) << "the settings above change most readings";

  element.Destroy();
  const std::map<std::string, int64_t> after = ReadBack(element);
  for (const auto& [name, value] : initial) EXPECT_EQ(after.at(name), value) << name;
}

TEST_F(ElementModelTest, UncreatedElementsReadZeroAndSurviveDestroy) {
  ProbeElement never;
  EXPECT_EQ(never.GetHandle(), 0);
  EXPECT_EQ(never.GetWidth(), 0);
  EXPECT_EQ(never.GetRegistryPosition(), 0);
  const int count = RegistryCount();
  never.Destroy();
  EXPECT_EQ(RegistryCount(), count);
}

TEST_F(ElementModelTest, SecondInitialiseIsRefused) {
  ProbeElement element;
  ASSERT_TRUE(element.Create(host.root(), {10, 10, 20, 20}));
  const ObjectId id = element.GetHandle();
  EXPECT_FALSE(element.Initialise(host.root(), {50, 50, 5, 5}, FontObject(), false, true, false,
                                  false));
  EXPECT_EQ(element.GetHandle(), id);
  EXPECT_EQ(element.GetRect(), (Rect{10, 10, 20, 20}));
}

TEST_F(ElementModelTest, ParentOutsideTheRegistryLeavesTheElementOut) {
  ProbeElement orphanParent, child;
  child.Create(987654, {0, 0, 10, 10});  // an id that names nothing
  EXPECT_NE(child.GetHandle(), 0);
  EXPECT_EQ(child.GetRegistryPosition(), 0);
  const ObjectId id = child.GetHandle();
  child.Destroy();
  EXPECT_EQ(child.GetHandle(), 0);
  EXPECT_EQ(ElementFromId(id), nullptr);
}

TEST_F(ElementModelTest, MessageTwentyThreeAloneAnswers) {
  ProbeElement parent, child;
  parent.Create(host.root(), {10, 10, 100, 100});
  child.Create(parent.GetHandle(), {0, 0, 10, 10});
  EXPECT_EQ(child.GetParent(), parent.GetHandle());
  EXPECT_EQ(parent.GetParent(), host.root());
  EXPECT_EQ(SendElementMessage(child.GetHandle(), 23, 0, 0), parent.GetHandle());
  // Every other message answers 0 (input, state, timer, geometry, unknown codes).
  for (uint32_t code : {1u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 12u, 13u, 14u, 15u, 16u, 17u, 18u,
                        19u, 20u, 21u, 22u, 24u, 25u, 26u, 27u, 28u, 30u, 34u, 35u, 100u, 999u}) {
    EXPECT_EQ(SendElementMessage(child.GetHandle(), code, 0, 0), 0) << "message " << code;
  }
}

TEST_F(ElementModelTest, EffectiveStateFollowsTheAncestorsAndTheWindow) {
  ProbeElement parent, child;
  parent.Create(host.root(), {10, 10, 100, 100});
  child.Create(parent.GetHandle(), {10, 10, 20, 20});
  EXPECT_TRUE(child.IsEffectivelyVisible());
  parent.Visible(false);
  EXPECT_TRUE(child.Visible());
  EXPECT_FALSE(child.IsEffectivelyVisible());
  parent.Visible(true);

  EXPECT_FALSE(child.IsEffectivelyDisabled());
  parent.Disabled(true);
  EXPECT_TRUE(child.IsEffectivelyDisabled());
  parent.Disabled(false);
  EnableWindow(host.handle(), FALSE);
  EXPECT_TRUE(child.IsEffectivelyDisabled());
  EnableWindow(host.handle(), TRUE);
  EXPECT_FALSE(child.IsEffectivelyDisabled());
}

TEST_F(ElementModelTest, DisabledElementLetsTheMouseThroughToTheOneBehind) {
  ProbeElement below, above;
  below.Create(host.root(), {10, 10, 50, 50});
  above.Create(host.root(), {10, 10, 50, 50});
  EXPECT_EQ(HitTest(host.handle(), POINT{30, 30}), above.GetHandle());
  above.Disabled(true);
  EXPECT_EQ(HitTest(host.handle(), POINT{30, 30}), below.GetHandle());
}

TEST_F(ElementModelTest, SetParentMovesTheBlockUnderTheNewParent) {
  ProbeElement first, second, moved, movedChild;
  first.Create(host.root(), {10, 10, 100, 100});
  second.Create(host.root(), {150, 10, 100, 100});
  moved.Create(first.GetHandle(), {5, 5, 40, 40});
  movedChild.Create(moved.GetHandle(), {1, 1, 10, 10});

  moved.SetParent(second.GetHandle());

  EXPECT_EQ(moved.GetParent(), second.GetHandle());
  EXPECT_EQ(moved.GetRegistryPosition() + 1, second.GetRegistryPosition());
  EXPECT_EQ(movedChild.GetRegistryPosition() + 1, moved.GetRegistryPosition());
  EXPECT_EQ(moved.depth, 2);
  EXPECT_EQ(movedChild.depth, 3);
  EXPECT_EQ(moved.GetAbsoluteRect(), (Rect{155, 15, 40, 40}));
  EXPECT_EQ(movedChild.GetAbsoluteRect(), (Rect{156, 16, 10, 10}));
  EXPECT_EQ(moved.hooks.back(), "parentChanged");

  // To the window root: depth 1, in front of every top-level sibling.
  moved.SetParent(host.root());
  EXPECT_EQ(moved.depth, 1);
  EXPECT_EQ(movedChild.depth, 2);
  EXPECT_EQ(RegistryAt(moved.GetRegistryPosition() - 1), movedChild.GetHandle());
  EXPECT_LT(moved.GetRegistryPosition(), second.GetRegistryPosition());
  EXPECT_EQ(moved.GetAbsoluteRect(), (Rect{5, 5, 40, 40}));

  // A descendant cannot become the parent.
  moved.SetParent(movedChild.GetHandle());
  EXPECT_EQ(moved.GetParent(), host.root());
}

TEST_F(ElementModelTest, SetZOrderMovesTheBlockAmongItsSiblings) {
  ProbeElement a, b, c, aChild;
  a.Create(host.root(), {10, 10, 50, 50});
  aChild.Create(a.GetHandle(), {0, 0, 5, 5});
  b.Create(host.root(), {10, 10, 50, 50});
  c.Create(host.root(), {10, 10, 50, 50});
  // [c, b, aChild, a, root]
  a.SetZOrder(kZOrderFront);
  EXPECT_EQ(aChild.GetRegistryPosition() + 1, a.GetRegistryPosition());
  EXPECT_LT(a.GetRegistryPosition(), c.GetRegistryPosition());
  EXPECT_EQ(HitTest(host.handle(), POINT{30, 30}), a.GetHandle());
  EXPECT_TRUE(NearColour(host.Pixel(30, 30), MakeArgb(255, 255, 0, 0)));

  a.SetZOrder(kZOrderBack);
  EXPECT_EQ(a.GetRegistryPosition() + 1, RegistryIndexOf(host.root()));
  EXPECT_EQ(HitTest(host.handle(), POINT{30, 30}), c.GetHandle());

  // A registry position (counted once c's block is out: [b, aChild, a, root]) goes in front of
  // the sibling block holding it: position 3 is a, so c lands in front of a's block.
  ASSERT_EQ(c.GetRegistryPosition(), 1);
  c.SetZOrder(3);
  EXPECT_EQ(RegistryAt(c.GetRegistryPosition() + 1), aChild.GetHandle());
  EXPECT_LT(b.GetRegistryPosition(), c.GetRegistryPosition());
}

}  // namespace
