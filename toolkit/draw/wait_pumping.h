// Waiting without freezing the window: a delay during which the thread keeps processing its
// messages (timers, painting, input), used by the install progress and by close transitions.
#pragma once

#include <cstdint>
#include <functional>

// Handles every message waiting in the thread's queue (PeekMessage, TranslateMessage,
// DispatchMessage). Returns false when it met WM_QUIT; the quit is posted again so that the
// message loop it was meant for still sees it.
bool PumpPendingMessages();

// Waits `milliseconds` on a waitable timer while running `pump` (PumpPendingMessages when empty)
// whenever input arrives. Returns false when the pump reported WM_QUIT: the wait then ends early,
// as no message loop would run to deliver the rest.
bool WaitPumping(uint32_t milliseconds, const std::function<bool()>& pump = {});
