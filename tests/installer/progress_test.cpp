#include "installer/progress.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Events of the display and of the test window, in the order they happened.
std::vector<std::string>* g_events = nullptr;

struct RecordingDisplay : ProgressDisplay {
  std::vector<std::string> events;
  RecordingDisplay() { g_events = &events; }
  ~RecordingDisplay() override { g_events = nullptr; }
  void ShowStatusText(const std::string& text) override { events.push_back("status:" + text); }
  void ShowProgress(int percentage) override { events.push_back("progress:" + std::to_string(percentage)); }
  void ShowAbandoned() override { events.push_back("abandoned"); }
};

// A message-only window that counts the messages dispatched to it.
struct CountingWindow {
  static inline int dispatched = 0;
  HWND handle = nullptr;
  CountingWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_APP) {
        ++dispatched;
        if (g_events) g_events->push_back("message");
      }
      return DefWindowProcA(w, m, wp, lp);
    };
    windowClass.lpszClassName = "ProgressTestWindow";
    RegisterClassA(&windowClass);
    handle = CreateWindowExA(0, "ProgressTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    dispatched = 0;
  }
  ~CountingWindow() { DestroyWindow(handle); }
};

void DrainQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

TEST(PumpMessagesFor, ZeroAndNegativeLeaveTheQueueAlone) {
  CountingWindow window;
  DrainQueue();
  PostMessageA(window.handle, WM_APP, 0, 0);
  for (int ms : {0, -1, -1000}) {
    PumpMessagesFor(ms);
    EXPECT_EQ(CountingWindow::dispatched, 0) << ms;
  }
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, window.handle, WM_APP, WM_APP, PM_NOREMOVE));
  DrainQueue();
}

TEST(PumpMessagesFor, DispatchesPendingMessagesAndTakesAtLeastTheTime) {
  CountingWindow window;
  DrainQueue();
  for (int i = 0; i < 5; ++i) PostMessageA(window.handle, WM_APP, 0, 0);
  DWORD start = GetTickCount();
  PumpMessagesFor(30);
  EXPECT_GE(GetTickCount() - start, 30u);
  EXPECT_EQ(CountingWindow::dispatched, 5);
}

TEST(PumpMessagesFor, QuitStaysQueuedForTheMainLoop) {
  CountingWindow window;
  DrainQueue();
  PostMessageA(window.handle, WM_APP, 0, 0);
  PostQuitMessage(7);
  PumpMessagesFor(20);
  EXPECT_EQ(CountingWindow::dispatched, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(ProgressReporting, ForwardsToTheDisplayInOrder) {
  RecordingDisplay display;
  SetProgressDisplay(&display);
  SetStatusText("开始释放文件...！");
  SetProgress(42);
  AbandonInstall();
  SetProgressDisplay(nullptr);
  SetProgress(1);  // no display: nothing to record, still no crash
  EXPECT_EQ(display.events,
            (std::vector<std::string>{"status:开始释放文件...！", "progress:42", "abandoned"}));
}

TEST(ProgressReporting, OnlySetProgressLetsMessagesThroughAndOnlyAfterUpdatingTheDisplay) {
  CountingWindow window;
  DrainQueue();
  RecordingDisplay display;
  SetProgressDisplay(&display);
  PostMessageA(window.handle, WM_APP, 0, 0);
  SetStatusText("注册组件...！");
  AbandonInstall();
  EXPECT_EQ(CountingWindow::dispatched, 0);
  SetProgress(99);
  SetProgressDisplay(nullptr);
  EXPECT_EQ(display.events,
            (std::vector<std::string>{"status:注册组件...！", "abandoned", "progress:99", "message"}));
}

}  // namespace
