#include "toolkit/draw/wait_pumping.h"

#include <windows.h>

#include "common/win_handle.h"

bool PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

bool WaitPumping(uint32_t milliseconds, const std::function<bool()>& pump) {
  UniqueHandle timer(CreateWaitableTimerA(nullptr, TRUE, nullptr));
  if (!timer) return true;
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(milliseconds) * 10000;  // relative, in 100 ns units
  if (!SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) return true;

  HANDLE handles[] = {timer.get()};
  for (;;) {
    // MWMO_INPUTAVAILABLE also wakes for messages that were already queued before the wait began.
    DWORD woken =
        MsgWaitForMultipleObjectsEx(1, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return true;  // failed: do not spin
    if (!(pump ? pump() : PumpPendingMessages())) return false;
  }
}
