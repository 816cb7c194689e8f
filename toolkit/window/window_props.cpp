#include "toolkit/window/window_props.h"

#include <array>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

namespace {

constexpr size_t kSlotCount = std::size(kToolkitWindowProperties);

struct MirroredWindow {
  HWND window;
  std::array<HANDLE, kSlotCount> values;
  bool presentPending;  // this process set the flag and the timer has not taken it yet
};

LPCWSTR PresentPendingName() { return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom)); }

// A handful of windows at most; guarded because a window may be asked about from any thread.
// (A critical section, not a slim lock: the installer still starts on systems that have none.)
class MirrorLock {
 public:
  MirrorLock() { EnterCriticalSection(&Section()); }
  ~MirrorLock() { LeaveCriticalSection(&Section()); }
  MirrorLock(const MirrorLock&) = delete;
  MirrorLock& operator=(const MirrorLock&) = delete;

 private:
  static CRITICAL_SECTION& Section() {
    static CRITICAL_SECTION section = [] {
      CRITICAL_SECTION made;
      InitializeCriticalSection(&made);
      return made;
    }();
    return section;
  }
};

std::vector<MirroredWindow> g_mirrored;

// The slot of one of the toolkit's names, or -1. The names are single objects, so the pointer
// usually matches; an equal text from elsewhere matches too.
int SlotOf(const char* name) {
  for (size_t i = 0; i < kSlotCount; ++i) {
    if (kToolkitWindowProperties[i] == name) return static_cast<int>(i);
  }
  for (size_t i = 0; i < kSlotCount; ++i) {
    if (std::strcmp(kToolkitWindowProperties[i], name) == 0) return static_cast<int>(i);
  }
  return -1;
}

MirroredWindow* Find(HWND window) {
  for (MirroredWindow& entry : g_mirrored) {
    if (entry.window == window) return &entry;
  }
  return nullptr;
}

}  // namespace

HANDLE ReadWindowProp(HWND window, const char* name) {
  const int slot = SlotOf(name);
  if (slot >= 0) {
    MirrorLock lock;
    if (const MirroredWindow* entry = Find(window)) return entry->values[slot];
  }
  return GetPropA(window, name);
}

void WriteWindowProp(HWND window, const char* name, HANDLE value) {
  SetPropA(window, name, value);
  const int slot = SlotOf(name);
  if (slot < 0) return;
  MirrorLock lock;
  if (MirroredWindow* entry = Find(window)) entry->values[slot] = value;
}

void MirrorWindowProps(HWND window) {
  MirroredWindow fresh{window, {}, false};
  for (size_t i = 0; i < kSlotCount; ++i) fresh.values[i] = GetPropA(window, kToolkitWindowProperties[i]);
  MirrorLock lock;
  if (MirroredWindow* entry = Find(window)) {
    *entry = fresh;
  } else {
    g_mirrored.push_back(fresh);
  }
}

void ForgetWindowProps(HWND window) {
  MirrorLock lock;
  for (auto it = g_mirrored.begin(); it != g_mirrored.end(); ++it) {
    if (it->window == window) {
      g_mirrored.erase(it);
      break;
    }
  }
}

void SetPresentPending(HWND window) {
  {
    MirrorLock lock;
    MirroredWindow* entry = Find(window);
    if (entry && entry->presentPending) return;
    if (entry) entry->presentPending = true;
  }
  SetPropW(window, PresentPendingName(), reinterpret_cast<HANDLE>(1));
}

bool TakePresentPending(HWND window) {
  bool asked = false;
  {
    MirrorLock lock;
    if (MirroredWindow* entry = Find(window)) asked = std::exchange(entry->presentPending, false);
  }
  if (reinterpret_cast<intptr_t>(GetPropW(window, PresentPendingName())) == 1) {
    SetPropW(window, PresentPendingName(), nullptr);
    asked = true;
  }
  return asked;
}
