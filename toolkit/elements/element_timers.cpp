#include "toolkit/elements/element_timers.h"

#include <mmsystem.h>

#include <algorithm>
#include <optional>

#include "common/win_handle.h"
#include "toolkit/window/element_messages.h"

namespace {

std::vector<ElementTimerRecord>& Records() {
  static auto* records = new std::vector<ElementTimerRecord>();  // read by timers until exit
  return *records;
}

std::optional<size_t> FindByKey(ObjectId element, int32_t key, bool precise) {
  auto& records = Records();
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].precise == precise && records[i].element == element && records[i].key == key)
      return i;
  }
  return std::nullopt;
}

std::optional<size_t> FindBySystemId(UINT_PTR systemId, bool precise) {
  auto& records = Records();
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].precise == precise && records[i].systemId == systemId) return i;
  }
  return std::nullopt;
}

void KillSystemTimer(UINT_PTR systemId, bool precise) {
  if (precise) {
    timeKillEvent(static_cast<UINT>(systemId));
  } else {
    KillTimer(nullptr, systemId);
  }
}

bool StoreRecord(ObjectId element, int32_t key, intptr_t value, UINT_PTR systemId, bool precise) {
  if (systemId == 0) return false;
  ElementTimerRecord record{systemId, element, key, value, 0, precise};
  if (auto found = FindByKey(element, key, precise)) {
    Records()[*found] = record;
  } else {
    Records().push_back(record);
  }
  return true;
}

// One tick of the timer `systemId`: deliver it to the record's element, or end the timer when no
// record (or no element) is left for it.
void DeliverTick(UINT_PTR systemId, bool precise) {
  auto found = FindBySystemId(systemId, precise);
  if (!found) {
    KillSystemTimer(systemId, precise);
    return;
  }
  const ElementTimerRecord record = Records()[*found];
  if (ElementFromId(record.element) == nullptr) {
    KillSystemTimer(systemId, precise);
    Records().erase(Records().begin() + static_cast<std::ptrdiff_t>(*found));
    return;
  }
  // The element may start or stop timers while it handles the tick: nothing is held across this.
  SendElementMessage(record.element, element_message::kTimer, record.key, record.value);
}

void CALLBACK WindowThreadTimerProc(HWND, UINT, UINT_PTR systemId, DWORD) {
  try {
    DeliverTick(systemId, false);
  } catch (...) {
  }
}

// ---- Precise timers ---------------------------------------------------------------------------

constexpr UINT kPreciseTickMessage = WM_APP + 0x131;
constexpr wchar_t kSinkClassName[] = L"ToolkitPreciseTimerSink";

// Runs on the multimedia-timer thread: posting is the only thing done here.
void CALLBACK PreciseTimerProc(UINT timerId, UINT, DWORD_PTR sinkWindow, DWORD_PTR, DWORD_PTR) {
  PostMessageW(reinterpret_cast<HWND>(sinkWindow), kPreciseTickMessage, timerId, 0);
}

LRESULT CALLBACK SinkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kPreciseTickMessage) return DefWindowProcW(window, message, wParam, lParam);
  try {
    // Merge the backlog: every tick already queued is taken now and each timer ticks once.
    std::vector<UINT_PTR> ids{static_cast<UINT_PTR>(wParam)};
    MSG queued;
    while (PeekMessageW(&queued, window, kPreciseTickMessage, kPreciseTickMessage, PM_REMOVE)) {
      if (std::find(ids.begin(), ids.end(), queued.wParam) == ids.end()) ids.push_back(queued.wParam);
    }
    for (UINT_PTR id : ids) DeliverTick(id, true);
  } catch (...) {
  }
  return 0;
}

// The hidden window of the GUI thread that receives precise ticks; made on first use.
HWND SinkWindow() {
  static UniqueHwnd sink = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = SinkWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSinkClassName;
    RegisterClassExW(&windowClass);
    return UniqueHwnd(CreateWindowExW(0, kSinkClassName, L"", 0, 0, 0, 0, 0,
                                                            HWND_MESSAGE, nullptr,
                                                            GetModuleHandleW(nullptr), nullptr));
  }();
  return sink.get();
}

UINT ClampInterval(int32_t intervalMs) { return static_cast<UINT>(std::max<int32_t>(intervalMs, 0)); }

}  // namespace

bool StartElementTimer(ObjectId element, int32_t key, int32_t intervalMs, intptr_t value) {
  const UINT_PTR id = SetTimer(nullptr, 0, ClampInterval(intervalMs), WindowThreadTimerProc);
  return StoreRecord(element, key, value, id, false);
}

bool StartPreciseElementTimer(ObjectId element, int32_t key, int32_t intervalMs, intptr_t value) {
  HWND sink = SinkWindow();
  if (sink == nullptr) return false;
  const MMRESULT id =
      timeSetEvent(std::max<UINT>(ClampInterval(intervalMs), 1), 0, PreciseTimerProc,
                   reinterpret_cast<DWORD_PTR>(sink), TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
  return StoreRecord(element, key, value, id, true);
}

namespace {
bool StopTimer(ObjectId element, int32_t key, bool precise) {
  auto found = FindByKey(element, key, precise);
  if (!found) return false;
  KillSystemTimer(Records()[*found].systemId, precise);
  Records().erase(Records().begin() + static_cast<std::ptrdiff_t>(*found));
  return true;
}
}  // namespace

bool StopElementTimer(ObjectId element, int32_t key) { return StopTimer(element, key, false); }

bool StopPreciseElementTimer(ObjectId element, int32_t key) { return StopTimer(element, key, true); }

void StopAllElementTimers(ObjectId element) {
  auto& records = Records();
  for (auto it = records.begin(); it != records.end();) {
    if (it->element == element) {
      KillSystemTimer(it->systemId, it->precise);
      it = records.erase(it);
    } else {
      ++it;
    }
  }
}

const std::vector<ElementTimerRecord>& ElementTimerRecords() { return Records(); }
