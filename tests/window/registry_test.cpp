#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "common/win_handle.h"
#include "tests/window/plain_window.h"
#include "tests/window/test_elements.h"
#include "toolkit/window/object_registry.h"
#include "toolkit/window/window_geometry.h"
#include "toolkit/window/window_props.h"

namespace {

LPARAM PointParam(int x, int y) { return MAKELPARAM(x, y); }

// Stands in for a window object: the registry and dispatch only compare window pointers with null.
SkinWindow* FakeWindowObject() {
  static int storage;
  return reinterpret_cast<SkinWindow*>(&storage);
}

// One window entry with a plain window to hold the properties. Every test leaves the registry
// empty: tear-down retires the window id and sweeps, as SkinWindow::Destroy and WM_DESTROY do.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegistryCount(), 0);
    ASSERT_NE(window.get(), nullptr);
    windowId = RegisterWindowObject(FakeWindowObject());
    RegistryInsertFront(windowId);
    RecordingElement::Log().clear();
  }
  void TearDown() override {
    UnregisterObject(windowId);
    DispatchInput(window.get(), WM_DESTROY, 0, 0);
    EXPECT_EQ(RegistryCount(), 0);
  }

  std::unique_ptr<RecordingElement> Add(ObjectId parent, Rect rect, bool focusable = false) {
    return std::make_unique<RecordingElement>(parent, window.get(), rect, focusable);
  }
  void Send(UINT message, int x, int y) { DispatchInput(window.get(), message, 0, PointParam(x, y)); }

  PlainWindow window;
  ObjectId windowId = 0;
};

TEST(ObjectIdentity, IdsAreSignedByKindAndNeverReused) {
  ObjectId w1 = RegisterWindowObject(FakeWindowObject());
  ObjectId w2 = RegisterWindowObject(FakeWindowObject());
  EXPECT_LT(w1, 0);
  EXPECT_LT(w2, 0);
  EXPECT_NE(w1, w2);

  RecordingElement::Log().clear();
  ObjectId first;
  {
    RecordingElement element(w1, nullptr, {});
    first = element.objectId;
    EXPECT_GT(first, 0);
    EXPECT_EQ(ElementFromId(first), &element);
    EXPECT_EQ(WindowFromId(first), nullptr);
    EXPECT_EQ(WindowFromId(w1), FakeWindowObject());
    EXPECT_EQ(ElementFromId(w1), nullptr);
    RegistryRemoveWithChildren(RegistryIndexOf(first));
  }
  EXPECT_EQ(ElementFromId(first), nullptr);  // stale id: null, not freed memory
  RecordingElement again(w1, nullptr, {});
  EXPECT_NE(again.objectId, first);
  EXPECT_EQ(SendElementMessage(first, 7, 0, 0), 0);
  RegistryRemoveWithChildren(RegistryIndexOf(again.objectId));
  UnregisterObject(w1);
  UnregisterObject(w2);
  EXPECT_EQ(WindowFromId(w1), nullptr);
  EXPECT_EQ(RegistryCount(), 0);
}

TEST_F(RegistryTest, ChildrenStandInFrontOfParentsAndNewerSiblingsInFront) {
  auto a = Add(windowId, {0, 0, 10, 10});
  auto b = Add(windowId, {0, 0, 10, 10});
  auto c = Add(windowId, {0, 0, 10, 10});
  auto childOfB = Add(b->objectId, {0, 0, 5, 5});
  // C, child of B, B, A, window
  EXPECT_EQ(RegistryCount(), 5);
  EXPECT_EQ(RegistryAt(1), c->objectId);
  EXPECT_EQ(RegistryAt(2), childOfB->objectId);
  EXPECT_EQ(RegistryAt(3), b->objectId);
  EXPECT_EQ(RegistryAt(4), a->objectId);
  EXPECT_EQ(RegistryAt(5), windowId);
  EXPECT_EQ(RegistryIndexOf(a->objectId), 4);
  EXPECT_EQ(RegistryAt(0), 0);
  EXPECT_EQ(RegistryAt(6), 0);
  EXPECT_EQ(RegistryIndexOf(12345678), 0);
  EXPECT_EQ(DepthOf(childOfB->objectId), 2);
  EXPECT_EQ(DepthOf(windowId), 0);
}

TEST_F(RegistryTest, RemovalTakesDescendantsFrontMostFirstAndCounts) {
  auto a = Add(windowId, {});
  auto b = Add(windowId, {});
  auto b1 = Add(b->objectId, {});
  auto b2 = Add(b->objectId, {});
  auto b2x = Add(b2->objectId, {});
  // b2x, b2, b1, b, a, window
  EXPECT_EQ(RegistryRemoveWithChildren(0), 0);
  EXPECT_EQ(RegistryRemoveWithChildren(RegistryCount() + 1), 0);
  EXPECT_TRUE(RecordingElement::Log().empty());

  ObjectId ids[] = {b2x->objectId, b2->objectId, b1->objectId, b->objectId};
  EXPECT_EQ(RegistryRemoveWithChildren(RegistryIndexOf(b->objectId)), 4);
  std::vector<ReceivedMessage> expected;
  for (ObjectId id : ids) expected.push_back({id, 2, 0, 0});
  EXPECT_EQ(RecordingElement::Log(), expected);
  EXPECT_EQ(RegistryCount(), 2);
  EXPECT_EQ(RegistryAt(1), a->objectId);
  for (ObjectId id : ids) EXPECT_EQ(ElementFromId(id), nullptr);
}

TEST_F(RegistryTest, RemovalToleratesAnElementRemovingOthersDuringItsMessage) {
  auto a = Add(windowId, {});
  auto b = Add(windowId, {});
  auto b1 = Add(b->objectId, {});
  ObjectId aId = a->objectId, b1Id = b1->objectId;
  // b1, b, a, window. While b1 is told it dies, it removes a as well.
  b1->onMessage = [aId](uint32_t code) {
    if (code == 2) RegistryRemoveWithChildren(RegistryIndexOf(aId));
  };
  EXPECT_EQ(RegistryRemoveWithChildren(RegistryIndexOf(b->objectId)), 3);
  EXPECT_EQ(RegistryCount(), 1);
  EXPECT_EQ(RegistryAt(1), windowId);
  EXPECT_EQ(CodesFor(b1Id), std::vector<uint32_t>{2});
  EXPECT_EQ(CodesFor(aId), std::vector<uint32_t>{2});
}

TEST_F(RegistryTest, BlocksCanBeCutAndPutBack) {
  auto a = Add(windowId, {});
  auto b = Add(windowId, {});
  auto b1 = Add(b->objectId, {});
  // b1, b, a, window -> a, b1, b, window
  std::vector<ObjectId> block = RegistryCutBlock(1, 2);
  EXPECT_EQ(block, (std::vector<ObjectId>{b1->objectId, b->objectId}));
  EXPECT_EQ(RegistryCount(), 2);
  RegistryInsertBlock(2, block);
  EXPECT_EQ(RegistryAt(1), a->objectId);
  EXPECT_EQ(RegistryAt(2), b1->objectId);
  EXPECT_EQ(RegistryAt(3), b->objectId);
  EXPECT_TRUE(RecordingElement::Log().empty());  // moving sends nothing
  EXPECT_TRUE(RegistryCutBlock(9, 1).empty());
}

TEST_F(RegistryTest, HitTestIsStrictOnEveryEdge) {
  auto element = Add(windowId, {10, 20, 50, 30});
  struct Case {
    int x, y;
    bool hit;
  } cases[] = {{10, 30, false}, {11, 30, true},  {59, 30, true},  {60, 30, false},
               {30, 20, false}, {30, 21, true},  {30, 49, true},  {30, 50, false},
               {11, 21, true},  {9, 30, false},  {61, 30, false}, {59, 49, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(HitTest(window.get(), POINT{c.x, c.y}), c.hit ? element->objectId : 0) << c.x << "," << c.y;
  }
}

TEST_F(RegistryTest, HitTestTakesTheFrontMostShownEnabledElement) {
  auto below = Add(windowId, {0, 0, 100, 100});
  auto above = Add(windowId, {0, 0, 100, 100});
  auto child = Add(below->objectId, {10, 10, 20, 20});  // in front of below, behind above
  POINT p{15, 15};
  EXPECT_EQ(HitTest(window.get(), p), above->objectId);

  above->disabled = true;  // a disabled element passes the mouse to what lies beneath
  EXPECT_EQ(HitTest(window.get(), p), child->objectId);
  above->disabled = false;
  above->visible = false;
  EXPECT_EQ(HitTest(window.get(), p), child->objectId);
  below->visible = false;  // hides its child as well
  EXPECT_EQ(HitTest(window.get(), p), 0);
  below->visible = true;
  below->disabled = true;  // disables its child as well
  EXPECT_EQ(HitTest(window.get(), p), 0);
  below->disabled = false;

  EnableWindow(window.get(), FALSE);  // every element of a disabled window counts as disabled
  EXPECT_EQ(HitTest(window.get(), p), 0);
  EnableWindow(window.get(), TRUE);
  EXPECT_EQ(HitTest(window.get(), p), child->objectId);
}

TEST_F(RegistryTest, HitTestSeesOnlyTheTargetWindowsElements) {
  PlainWindow other;
  ObjectId otherId = RegisterWindowObject(FakeWindowObject());
  auto mine = Add(windowId, {0, 0, 50, 50});
  RegistryInsertFront(otherId);
  auto theirs = std::make_unique<RecordingElement>(otherId, other.get(), Rect{0, 0, 50, 50});
  ObjectId theirsId = theirs->objectId;
  // theirs, other window, mine, my window
  EXPECT_EQ(RegistryAt(1), theirsId);
  EXPECT_EQ(RegistryAt(2), otherId);
  EXPECT_EQ(HitTest(window.get(), POINT{5, 5}), mine->objectId);
  EXPECT_EQ(HitTest(other.get(), POINT{5, 5}), theirsId);

  UnregisterObject(otherId);
  DispatchInput(other.get(), WM_DESTROY, 0, 0);
  EXPECT_EQ(CodesFor(theirsId), std::vector<uint32_t>{2});
  EXPECT_EQ(CodesFor(mine->objectId), std::vector<uint32_t>{});
  EXPECT_EQ(RegistryCount(), 2);
  EXPECT_EQ(RegistryAt(1), mine->objectId);
}

TEST_F(RegistryTest, PressOnOneReleaseOnAnotherIsNoClick) {
  auto a = Add(windowId, {0, 0, 50, 50});
  auto b = Add(windowId, {100, 0, 50, 50});
  Send(WM_LBUTTONDOWN, 10, 10);
  Send(WM_LBUTTONUP, 110, 10);
  EXPECT_EQ(CodesFor(a->objectId), std::vector<uint32_t>{14});
  EXPECT_EQ(CodesFor(b->objectId), std::vector<uint32_t>{15});
  EXPECT_TRUE(a->leftPressed);  // stays set: the up went elsewhere
  EXPECT_FALSE(b->leftPressed);
}

TEST_F(RegistryTest, PressAndReleaseOnOneElementClicksWithLocalPoints) {
  auto a = Add(windowId, {20, 30, 50, 50});
  Send(WM_LBUTTONDOWN, 25, 40);
  Send(WM_LBUTTONUP, 26, 41);
  std::vector<ReceivedMessage> expected = {
      {a->objectId, 14, MAKELONG(5, 10), 0}, {a->objectId, 15, MAKELONG(6, 11), 0}, {a->objectId, 16, MAKELONG(6, 11), 0}};
  EXPECT_EQ(RecordingElement::Log(), expected);
  EXPECT_FALSE(a->leftPressed);

  RecordingElement::Log().clear();
  Send(WM_RBUTTONDOWN, 25, 40);
  Send(WM_RBUTTONUP, 25, 40);
  Send(WM_LBUTTONDBLCLK, 25, 40);
  Send(WM_RBUTTONDBLCLK, 25, 40);
  EXPECT_EQ(CodesFor(a->objectId), (std::vector<uint32_t>{18, 19, 20, 17, 21}));
}

TEST_F(RegistryTest, CapturedElementGetsEveryMoveWithoutEnterOrLeave) {
  auto a = Add(windowId, {20, 20, 30, 30});
  auto b = Add(windowId, {100, 100, 30, 30});
  SetIdProp(window.get(), kPropMouseCapture, a->objectId);
  Send(WM_MOUSEMOVE, 110, 110);  // over b
  DispatchInput(window.get(), WM_MOUSEMOVE, 0, MAKELPARAM(5, -7));  // above the window
  Send(WM_LBUTTONUP, 110, 110);
  EXPECT_EQ(CodesFor(b->objectId), std::vector<uint32_t>{});
  std::vector<ReceivedMessage> expected = {{a->objectId, 26, MAKELONG(90, 90), 0},
                                           {a->objectId, 26, PackPoint(5 - 20, -7 - 20), 0},
                                           {a->objectId, 15, MAKELONG(90, 90), 0}};
  EXPECT_EQ(RecordingElement::Log(), expected);
  EXPECT_EQ(GetIdProp(window.get(), kPropMouseOn), 0);
  SetIdProp(window.get(), kPropMouseCapture, 0);
}

TEST_F(RegistryTest, HoverEntersAndLeaves) {
  auto a = Add(windowId, {0, 0, 50, 50});
  auto b = Add(windowId, {100, 0, 50, 50});
  Send(WM_MOUSEMOVE, 10, 10);
  Send(WM_MOUSEMOVE, 11, 10);
  Send(WM_MOUSEMOVE, 110, 10);
  EXPECT_EQ(GetIdProp(window.get(), kPropMouseOn), b->objectId);
  Send(WM_MOUSEMOVE, 80, 10);  // empty spot
  EXPECT_EQ(GetIdProp(window.get(), kPropMouseOn), 0);
  Send(WM_MOUSEMOVE, 10, 10);
  DispatchInput(window.get(), WM_MOUSELEAVE, 0, 0);
  std::vector<std::pair<ObjectId, uint32_t>> seen;
  for (auto& m : RecordingElement::Log()) seen.push_back({m.id, m.code});
  std::vector<std::pair<ObjectId, uint32_t>> expected = {
      {a->objectId, 27}, {a->objectId, 26}, {a->objectId, 26}, {b->objectId, 27}, {a->objectId, 28},
      {b->objectId, 26}, {b->objectId, 28}, {a->objectId, 27}, {a->objectId, 26}, {a->objectId, 28}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(GetIdProp(window.get(), kPropMouseOn), 0);
}

TEST_F(RegistryTest, FocusMovesOnlyToFocusableElements) {
  auto plain = Add(windowId, {0, 0, 50, 50});
  auto first = Add(windowId, {100, 0, 50, 50}, true);
  auto second = Add(windowId, {200, 0, 50, 50}, true);
  Send(WM_LBUTTONDOWN, 10, 10);
  EXPECT_EQ(GetIdProp(window.get(), kPropFocus), 0);
  Send(WM_LBUTTONDOWN, 110, 10);
  EXPECT_EQ(GetIdProp(window.get(), kPropFocus), first->objectId);
  Send(WM_LBUTTONDOWN, 10, 10);  // the non-focusable element leaves the focus where it was
  EXPECT_EQ(GetIdProp(window.get(), kPropFocus), first->objectId);
  RecordingElement::Log().clear();
  Send(WM_RBUTTONDOWN, 210, 10);
  EXPECT_EQ(GetIdProp(window.get(), kPropFocus), second->objectId);
  std::vector<ReceivedMessage> expected = {{second->objectId, 18, MAKELONG(10, 10), 0},
                                           {second->objectId, 3, first->objectId, 0},
                                           {first->objectId, 4, second->objectId, 0}};
  EXPECT_EQ(RecordingElement::Log(), expected);
  RecordingElement::Log().clear();
  Send(WM_LBUTTONDOWN, 210, 10);  // already focused: no focus messages
  EXPECT_EQ(CodesFor(second->objectId), std::vector<uint32_t>{14});
  EXPECT_EQ(CodesFor(plain->objectId), std::vector<uint32_t>{});
}

TEST_F(RegistryTest, KeyboardAndOtherMessagesGoToTheFocusedElementOnly) {
  auto other = Add(windowId, {0, 0, 50, 50}, true);
  auto focused = Add(windowId, {100, 0, 50, 50}, true);
  DispatchInput(window.get(), WM_KEYDOWN, 'A', 0);  // nobody has the focus yet
  EXPECT_TRUE(RecordingElement::Log().empty());

  SetIdProp(window.get(), kPropFocus, focused->objectId);
  DispatchInput(window.get(), WM_KEYDOWN, VK_RETURN, 0x1C0001);
  DispatchInput(window.get(), WM_KEYUP, VK_RETURN, 0);
  DispatchInput(window.get(), WM_CHAR, 'x', 0x2D0001);
  DispatchInput(window.get(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), 0);
  DispatchInput(window.get(), WM_MOUSEWHEEL, MAKEWPARAM(0, 100), 0);
  DispatchInput(window.get(), WM_SETFOCUS, 0, 0);
  DispatchInput(window.get(), WM_KILLFOCUS, 0, 0);
  DispatchInput(window.get(), WM_USER + 5, 77, 0x12345);
  std::vector<ReceivedMessage> expected = {
      {focused->objectId, 12, VK_RETURN, 0}, {focused->objectId, 13, VK_RETURN, 0},
      {focused->objectId, 11, 'x', 0x2D0001}, {focused->objectId, 22, -2, 0},
      {focused->objectId, 22, 0, 0},          {focused->objectId, 3, 0, 0},
      {focused->objectId, 4, 0, 0}};
  ASSERT_EQ(RecordingElement::Log().size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(RecordingElement::Log()[i], expected[i]) << i;
  const ReceivedMessage& last = RecordingElement::Log().back();
  EXPECT_EQ(last.code, 32u);
  EXPECT_EQ(last.a, WM_USER + 5);
  EXPECT_EQ(focused->lastOtherLParam, 0x12345);
  EXPECT_EQ(focused->lastOtherWParam, 77);
  EXPECT_EQ(CodesFor(other->objectId), std::vector<uint32_t>{});
}

TEST_F(RegistryTest, DestroySweepTellsEachElementOnceAndEmptiesTheWindowsBlock) {
  auto a = Add(windowId, {});
  auto b = Add(windowId, {});
  auto b1 = Add(b->objectId, {});
  auto b1x = Add(b1->objectId, {});
  ObjectId ids[] = {a->objectId, b->objectId, b1->objectId, b1x->objectId};
  SetIdProp(window.get(), kPropFocus, b1->objectId);
  UnregisterObject(windowId);
  DispatchInput(window.get(), WM_DESTROY, 0, 0);
  EXPECT_EQ(RegistryCount(), 0);
  for (ObjectId id : ids) EXPECT_EQ(CodesFor(id), std::vector<uint32_t>{2}) << id;
  EXPECT_EQ(GetIdProp(window.get(), kPropFocus), 0);
}

// Ends the test program with a message when the code under test has not come back in time: a
// walk that never ends would otherwise only show as the test runner's timeout.
class Watchdog {
 public:
  Watchdog(DWORD ms, const char* what) : ms_(ms), what_(what), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_.reset(CreateThread(nullptr, 0, &Watch, this, 0, nullptr));
  }
  ~Watchdog() {
    SetEvent(done_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  static DWORD WINAPI Watch(void* self) noexcept {
    auto* dog = static_cast<Watchdog*>(self);
    if (WaitForSingleObject(dog->done_.get(), dog->ms_) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "FAILED: %s did not end within %lu ms\n", dog->what_, static_cast<unsigned long>(dog->ms_));
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
  }
  DWORD ms_;
  const char* what_;
  UniqueHandle done_;
  UniqueHandle thread_;
};

TEST_F(RegistryTest, DestroySweepEndsWhenAnElementRemovesAnEntryOutsideItsBlock) {
  PlainWindow other;
  ObjectId otherId = RegisterWindowObject(FakeWindowObject());
  auto mine = Add(windowId, {});
  RegistryInsertFront(otherId);
  auto theirs = std::make_unique<RecordingElement>(otherId, other.get(), Rect{});
  ObjectId theirsId = theirs->objectId, mineId = mine->objectId;
  // theirs, other window, mine, my window. Told it dies, theirs takes mine with it: two entries
  // go while the sweep stands at position 1.
  theirs->onMessage = [mineId](uint32_t code) {
    if (code == 2) RegistryRemoveWithChildren(RegistryIndexOf(mineId));
  };
  UnregisterObject(otherId);
  {
    Watchdog watchdog(10000, "the destroy sweep");
    DispatchInput(other.get(), WM_DESTROY, 0, 0);
  }
  EXPECT_EQ(CodesFor(theirsId), std::vector<uint32_t>{2});
  EXPECT_EQ(CodesFor(mineId), std::vector<uint32_t>{2});
  ASSERT_EQ(RegistryCount(), 1);
  EXPECT_EQ(RegistryAt(1), windowId);
}

}  // namespace
