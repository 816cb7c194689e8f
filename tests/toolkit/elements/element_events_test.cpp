// Element messages on a real window: events and forwarding, clicks through the window's input
// dispatch, keyboard focus and Tab, capture, the cursor rule on leaving, keyed and precise timers,
// hints.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "element_test_support.h"
#include "toolkit/elements/element_timers.h"
#include "toolkit/window/window_props.h"

namespace {

struct EventCall {
  HWND host;
  ObjectId element;
  int32_t code;
  intptr_t p[5];
  size_t hooksSoFar;  // how many hooks the element had received when the event arrived
};
std::vector<EventCall> gEvents;
ObjectId gDestroyOnLeftUp = 0;

intptr_t RecordEvent(HWND host, ObjectId element, int32_t code, intptr_t p1, intptr_t p2,
                     intptr_t p3, intptr_t p4, intptr_t p5) {
  auto* probe = dynamic_cast<ProbeElement*>(ElementObjectFromId(element));
  gEvents.push_back({host, element, code, {p1, p2, p3, p4, p5}, probe ? probe->hooks.size() : 0});
  if (code == static_cast<int32_t>(ElementEvent::kLeftUp) && element == gDestroyOnLeftUp && probe) {
    probe->Visible(false);
    probe->Destroy();
  }
  return 1000 + code;
}

std::vector<int32_t> EventCodes() {
  std::vector<int32_t> codes;
  for (const auto& call : gEvents) codes.push_back(call.code);
  return codes;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ElementEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gEvents.clear();
    gDestroyOnLeftUp = 0;
  }
  TestHostWindow host{300, 200};
};

TEST_F(ElementEventsTest, FireEventCallsTheHandlerWithEightArguments) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 50, 50});
  EXPECT_EQ(element.FireEvent(9, 65), 0) << "no handler: 0";
  EXPECT_TRUE(gEvents.empty());

  EXPECT_EQ(element.SetEventHandler(RecordEvent), nullptr);
  EXPECT_EQ(element.SetEventHandler(), RecordEvent);
  EXPECT_EQ(element.FireEvent(7, 1, 2, 3, 4, 5), 1007);
  ASSERT_EQ(gEvents.size(), 1u);
  EXPECT_EQ(gEvents[0].host, host.handle());
  EXPECT_EQ(gEvents[0].element, element.GetHandle());
  EXPECT_EQ(gEvents[0].code, 7);
  EXPECT_EQ(gEvents[0].p[0], 1);
  EXPECT_EQ(gEvents[0].p[4], 5);
}

TEST_F(ElementEventsTest, ForwardTargetReceivesACopyEvenWithoutAHandler) {
  ProbeElement source, target;
  source.Create(host.root(), {10, 10, 50, 50});
  target.Create(host.root(), {100, 10, 50, 50});
  source.SetForwardTarget(target.GetHandle());

  EXPECT_EQ(source.FireEvent(11, 0x41, 0, 0, 0, 9), 0);
  ASSERT_EQ(target.forwarded.size(), 1u);
  EXPECT_EQ(target.forwarded[0].code, 11);
  EXPECT_EQ(target.forwarded[0].p1, 0x41);
  EXPECT_EQ(target.forwarded[0].p5, 9);

  // Input on the source is forwarded too, and the forward comes before the source's handler.
  source.SetEventHandler(RecordEvent);
  SendElementMessage(source.GetHandle(), 13, 'Q', 0);
  ASSERT_EQ(target.forwarded.size(), 2u);
  EXPECT_EQ(target.forwarded[1].code, static_cast<int32_t>(ElementEvent::kKeyUp));
  EXPECT_EQ(target.forwarded[1].p1, 'Q');
}

TEST_F(ElementEventsTest, ClickNeedsPressAndReleaseOnTheSameElement) {
  ProbeElement a, b;
  a.Create(host.root(), {10, 10, 50, 50});
  b.Create(host.root(), {100, 10, 50, 50});
  a.SetEventHandler(RecordEvent);
  b.SetEventHandler(RecordEvent);

  // Press on A, release over B: A gets the down, B the up, nobody a click.
  SendMessageW(host.handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(20, 30));
  SendMessageW(host.handle(), WM_LBUTTONUP, 0, At(120, 30));
  ASSERT_EQ(gEvents.size(), 2u);
  EXPECT_EQ(gEvents[0].element, a.GetHandle());
  EXPECT_EQ(gEvents[0].code, 2);
  EXPECT_EQ(gEvents[0].p[0], MAKELONG(10, 20)) << "events receive the packed local point";
  EXPECT_EQ(gEvents[1].element, b.GetHandle());
  EXPECT_EQ(gEvents[1].code, 3);

  gEvents.clear();
  SendMessageW(host.handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(130, 40));
  SendMessageW(host.handle(), WM_LBUTTONUP, 0, At(131, 41));
  EXPECT_EQ(EventCodes(), (std::vector<int32_t>{2, 3, 1}));
  EXPECT_EQ(b.lastPoint, (PackedPoint{31, 31}));
  EXPECT_EQ(b.hooks.back(), "click");
}

TEST_F(ElementEventsTest, TheProgramHearsOfAnEventBeforeTheElementsHook) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 50, 50});
  element.SetEventHandler(RecordEvent);
  const size_t before = element.hooks.size();
  SendElementMessage(element.GetHandle(), 14, MAKELONG(3, 4), 0);
  ASSERT_EQ(gEvents.size(), 1u);
  EXPECT_EQ(gEvents[0].hooksSoFar, before);
  EXPECT_EQ(element.hooks.back(), "leftDown");
  EXPECT_TRUE(element.buttonHeld());
  SendElementMessage(element.GetHandle(), 15, MAKELONG(3, 4), 0);
  EXPECT_FALSE(element.buttonHeld());
}

TEST_F(ElementEventsTest, AHandlerMayDestroyTheElementItWasCalledFor) {
  ProbeElement button, behind;
  behind.Create(host.root(), {0, 0, 300, 200});
  button.Create(host.root(), {10, 10, 50, 50});
  button.SetEventHandler(RecordEvent);
  gDestroyOnLeftUp = button.GetHandle();

  SendMessageW(host.handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(20, 20));
  SendMessageW(host.handle(), WM_LBUTTONUP, 0, At(20, 20));
  EXPECT_EQ(button.GetHandle(), 0);
  EXPECT_EQ(button.hooks.back(), "destroying") << "no hook runs after the handler destroyed it";
  EXPECT_EQ(EventCodes(), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(HitTest(host.handle(), POINT{20, 20}), behind.GetHandle());
}

TEST_F(ElementEventsTest, TabOnTheFrontMostElementWrapsToTheBackMost) {
  ProbeElement first, second, third;  // created in this order: third is front-most
  first.Create(host.root(), {10, 10, 20, 20}, true);
  second.Create(host.root(), {40, 10, 20, 20}, true);
  third.Create(host.root(), {70, 10, 20, 20}, true);
  third.SetEventHandler(RecordEvent);
  ASSERT_TRUE(third.SetFocus());
  EXPECT_FALSE(third.SetFocus()) << "already focused";
  ASSERT_EQ(GetIdProp(host.handle(), kPropFocus), third.GetHandle());

  SendElementMessage(third.GetHandle(), 12, VK_TAB, 0);
  EXPECT_EQ(GetIdProp(host.handle(), kPropFocus), first.GetHandle());
  EXPECT_EQ(first.hooks.back(), "focusGained");
  EXPECT_EQ(third.hooks.back(), "focusLost");
  ASSERT_EQ(gEvents.size(), 1u);
  EXPECT_EQ(gEvents[0].code, 9);
  EXPECT_EQ(gEvents[0].p[0], VK_TAB);
  EXPECT_EQ(std::count(third.hooks.begin(), third.hooks.end(), "keyDown"), 0)
      << "Tab does not reach OnKeyDown";

  // From the back-most, Tab goes to the element just in front of it.
  SendElementMessage(first.GetHandle(), 12, VK_TAB, 0);
  EXPECT_EQ(GetIdProp(host.handle(), kPropFocus), second.GetHandle());
  // Other keys do reach the hook.
  SendElementMessage(second.GetHandle(), 12, 'A', 0);
  EXPECT_EQ(second.hooks.back(), "keyDown");
}

TEST_F(ElementEventsTest, SetFocusTellsBothElements) {
  ProbeElement a, b;
  a.Create(host.root(), {10, 10, 20, 20}, true);
  b.Create(host.root(), {40, 10, 20, 20}, true);
  a.SetFocus();
  b.hooks.clear();
  a.hooks.clear();
  EXPECT_TRUE(b.SetFocus());
  EXPECT_EQ(b.hooks, (std::vector<std::string>{"focusGained"}));
  EXPECT_EQ(a.hooks, (std::vector<std::string>{"focusLost"}));
  EXPECT_EQ(GetIdProp(host.handle(), kPropFocus), b.GetHandle());
}

TEST_F(ElementEventsTest, OtherWindowMessagesReachTheFocusedElement) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 20, 20}, true);
  element.SetFocus();
  SendMessageW(host.handle(), WM_USER + 7, 0x1234, 0x5678);
  ASSERT_FALSE(element.otherMessages.empty());
  const auto& last = element.otherMessages.back();
  EXPECT_EQ(last[0], WM_USER + 7);
  EXPECT_EQ(last[1], 0x1234);
  EXPECT_EQ(last[2], 0x5678);
}

TEST_F(ElementEventsTest, CapturedElementGetsTheMouseEverywhere) {
  ProbeElement catcher, other;
  catcher.Create(host.root(), {10, 10, 20, 20});
  other.Create(host.root(), {100, 100, 50, 50});
  catcher.CaptureMouse();
  EXPECT_EQ(GetIdProp(host.handle(), kPropMouseCapture), catcher.GetHandle());
  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, At(120, 120));
  EXPECT_EQ(catcher.hooks.back(), "mouseMove");
  EXPECT_EQ(catcher.lastPoint, (PackedPoint{110, 110}));
  EXPECT_EQ(std::count(other.hooks.begin(), other.hooks.end(), "enter"), 0);
  catcher.ReleaseMouse();
  EXPECT_EQ(GetIdProp(host.handle(), kPropMouseCapture), 0);
  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, At(120, 120));
  EXPECT_EQ(other.hooks.back(), "mouseMove");
  EXPECT_TRUE(other.IsHovered());
}

TEST_F(ElementEventsTest, LeavingAnElementMakesTheArrowTheClassCursor) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 20, 20});
  element.SetEventHandler(RecordEvent);
  CustomCursorSet(false);
  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, At(15, 15));
  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, At(150, 150));
  EXPECT_EQ(EventCodes(), (std::vector<int32_t>{13, 12, 14}));
  EXPECT_TRUE(CustomCursorSet());
  EXPECT_EQ(GetClassLongPtrW(host.handle(), GCLP_HCURSOR),
            reinterpret_cast<ULONG_PTR>(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))));
  EXPECT_EQ(gEvents[0].p[0], 0) << "enter and leave carry no point";
}

// ---- Timers -------------------------------------------------------------------------------------

size_t RecordsOf(ObjectId element, int32_t key, bool precise) {
  size_t count = 0;
  for (const auto& record : ElementTimerRecords()) {
    if (record.element == element && record.key == key && record.precise == precise) ++count;
  }
  return count;
}

UINT_PTR SystemIdOf(ObjectId element, int32_t key, bool precise) {
  for (const auto& record : ElementTimerRecords()) {
    if (record.element == element && record.key == key && record.precise == precise)
      return record.systemId;
  }
  return 0;
}

TEST_F(ElementEventsTest, TimerTicksArriveAsMessageTenWithKeyAndValue) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 20, 20});
  ASSERT_TRUE(element.SetTimer(77, 10, 1234));
  ASSERT_TRUE(PumpUntil([&] { return element.timerTicks.size() >= 3; }, 2000));
  EXPECT_EQ(element.timerTicks[0], (std::pair<int32_t, intptr_t>{77, 1234}));
  EXPECT_TRUE(element.KillTimer(77));
  EXPECT_FALSE(element.KillTimer(77)) << "not running any more";
  EXPECT_FALSE(element.KillTimer(5));
  const size_t ticks = element.timerTicks.size();
  PumpFor(60);
  EXPECT_EQ(element.timerTicks.size(), ticks);
}

TEST_F(ElementEventsTest, SettingATimerAgainKeepsOneRecordAndEndsTheOldTimerOnItsTick) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 20, 20});
  ASSERT_TRUE(element.SetTimer(5, 10, 1));
  const UINT_PTR first = SystemIdOf(element.GetHandle(), 5, false);
  ASSERT_TRUE(element.SetTimer(5, 10, 2));
  const UINT_PTR second = SystemIdOf(element.GetHandle(), 5, false);
  EXPECT_EQ(RecordsOf(element.GetHandle(), 5, false), 1u);
  EXPECT_NE(first, second);

  ASSERT_TRUE(PumpUntil([&] { return element.timerTicks.size() >= 4; }, 2000));
  for (const auto& tick : element.timerTicks) EXPECT_EQ(tick.second, 2);
  // The replaced timer has been killed by its own tick: there is nothing left to kill.
  EXPECT_FALSE(::KillTimer(nullptr, first));
  EXPECT_TRUE(element.KillTimer(5));
}

TEST_F(ElementEventsTest, PreciseTicksAreDeliveredOnTheWindowThread) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 20, 20});
  ASSERT_TRUE(element.SetPreciseTimer(3, 5, 99));
  ASSERT_TRUE(element.SetPreciseTimer(3, 5, 100));
  EXPECT_EQ(RecordsOf(element.GetHandle(), 3, true), 1u);
  ASSERT_TRUE(PumpUntil([&] { return element.timerTicks.size() >= 5; }, 3000));
  for (DWORD thread : element.timerThreads) EXPECT_EQ(thread, GetCurrentThreadId());
  for (const auto& tick : element.timerTicks) EXPECT_EQ(tick, (std::pair<int32_t, intptr_t>{3, 100}));
  EXPECT_FALSE(element.KillTimer(3)) << "a precise timer is not a window-thread timer";
  EXPECT_TRUE(element.KillPreciseTimer(3));
  PumpFor(30);  // ticks already posted are dropped: no record names them
  const size_t ticks = element.timerTicks.size();
  PumpFor(50);
  EXPECT_EQ(element.timerTicks.size(), ticks);
}

TEST_F(ElementEventsTest, TimersOfADestroyedElementEndOnTheirNextTick) {
  ProbeElement element;
  element.Create(host.root(), {10, 10, 20, 20});
  const ObjectId id = element.GetHandle();
  ASSERT_TRUE(element.SetTimer(1, 10, 0));
  ASSERT_TRUE(element.SetPreciseTimer(2, 5, 0));
  element.Destroy();
  EXPECT_EQ(RecordsOf(id, 1, false), 1u) << "destroying does not stop the timers itself";
  ASSERT_TRUE(PumpUntil([&] { return RecordsOf(id, 1, false) + RecordsOf(id, 2, true) == 0; }, 2000));
  EXPECT_TRUE(element.timerTicks.empty()) << "nothing reaches an element after its destruction";
}

// ---- Hints --------------------------------------------------------------------------------------

TEST_F(ElementEventsTest, HintMakesATooltipOverTheClipRect) {
  ProbeElement element;
  element.Create(host.root(), {10, 20, 30, 40});
  EXPECT_EQ(element.SetHint("提示", false), "提示");
  EXPECT_FALSE(element.hint().Exists()) << "stored only";

  element.SetHint("提示", true);
  ASSERT_TRUE(element.hint().Exists());
  HWND tip = element.hint().Window();
  char className[64] = {};
  GetClassNameA(tip, className, sizeof(className));
  EXPECT_STREQ(className, TOOLTIPS_CLASSA);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), host.handle());
  EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0), 0xC06000);
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  char text[32] = {};
  tool.lpszText = text;
  ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(tool.rect.left, 10);
  EXPECT_EQ(tool.rect.top, 20);
  EXPECT_EQ(tool.rect.right, 40);
  EXPECT_EQ(tool.rect.bottom, 60);
  EXPECT_STREQ(text, "提示");

  element.SetHint("", true);
  EXPECT_FALSE(element.hint().Exists()) << "an empty hint has no tooltip";
  EXPECT_FALSE(IsWindow(tip));
}

}  // namespace
