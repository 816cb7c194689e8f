#include "installer/progress.h"

#include <windows.h>

#include "common/bench_marks.h"
namespace {

ProgressDisplay* g_display = nullptr;  // not owned

// Takes and dispatches every pending message except WM_QUIT, which stays queued for the main loop.
void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    // Remove exactly the message that was peeked: same window, same message number.
    if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE)) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

void SetProgressDisplay(ProgressDisplay* display) { g_display = display; }
ProgressDisplay* CurrentProgressDisplay() { return g_display; }

void SetStatusText(const std::string& text) {
  if (g_display) g_display->ShowStatusText(text);
}

void SetProgress(int percentage) {
  VM_BENCH_MARK("progress: report");
  if (g_display) g_display->ShowProgress(percentage);
  VM_BENCH_MARK("progress: drawn");
  PumpMessagesFor(10);
  VM_BENCH_MARK("progress: pumped");
}

void AbandonInstall() {
  if (g_display) g_display->ShowAbandoned();
}

void PumpMessagesFor(int milliseconds) {
  if (milliseconds <= 0) return;
  const DWORD start = GetTickCount();
  do {
    ProcessPendingMessages();
    ProcessPendingMessages();
    // Elapsed time rather than start + ms < now, so that the tick counter's wrap after 49.7 days
    // cannot end the wait early or make it endless.
  } while (GetTickCount() - start <= static_cast<DWORD>(milliseconds));
  ProcessPendingMessages();
  ProcessPendingMessages();
}
