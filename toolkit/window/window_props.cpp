#include "toolkit/window/window_props.h"

#include <array>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "common/critical_section.h"

namespace {

constexpr size_t kSlotCount = std::size(kToolkitWindowProperties);

struct MirroredWindow {
  HWND window;
  std::array<HANDLE, kSlotCount> values;
  bool presentPending;  // this process set the flag and the timer has not taken it yet
};

LPCWSTR PresentPendingName() { return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom)); }

// The managed windows (a handful at most), guarded because a window may be asked about from any
// thread. Never destroyed: a window may still be destroyed while the process exits, after the
// static objects are gone.
struct Mirror {
  CriticalSectionLock lock;
  std::vector<MirroredWindow> windows;
};

Mirror& TheMirror() {
  static Mirror& mirror = *new Mirror;
  return mirror;
}

// The slot of one of the toolkit's names, or -1. The names are single objects, so the pointer
// usually matches; an equal text from elsewhere matches too.
int SlotOf(const char* name) {
  for (size_t i = 0; i < kSlotCount; ++i) {
    if (kToolkitWindowProperties[i] == name || std::strcmp(kToolkitWindowProperties[i], name) == 0) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

MirroredWindow* Find(HWND window) {
  for (MirroredWindow& entry : TheMirror().windows) {
    if (entry.window == window) return &entry;
  }
  return nullptr;
}

}  // namespace

HANDLE ReadWindowProp(HWND window, const char* name) {
  const int slot = SlotOf(name);
  if (slot >= 0) {
    CriticalSectionLock::ScopedLock hold(TheMirror().lock);
    if (const MirroredWindow* entry = Find(window)) return entry->values[slot];
  }
  return GetPropA(window, name);
}

void WriteWindowProp(HWND window, const char* name, HANDLE value) {
  SetPropA(window, name, value);
  const int slot = SlotOf(name);
  if (slot < 0) return;
  CriticalSectionLock::ScopedLock hold(TheMirror().lock);
  if (MirroredWindow* entry = Find(window)) entry->values[slot] = value;
}

void MirrorWindowProps(HWND window) {
  MirroredWindow fresh{window, {}, false};
  for (size_t i = 0; i < kSlotCount; ++i) fresh.values[i] = GetPropA(window, kToolkitWindowProperties[i]);
  CriticalSectionLock::ScopedLock hold(TheMirror().lock);
  if (MirroredWindow* entry = Find(window)) {
    *entry = fresh;
  } else {
    TheMirror().windows.push_back(fresh);
  }
}

void ForgetWindowProps(HWND window) {
  CriticalSectionLock::ScopedLock hold(TheMirror().lock);
  std::erase_if(TheMirror().windows, [window](const MirroredWindow& entry) { return entry.window == window; });
}

void SetPresentPending(HWND window) {
  {
    CriticalSectionLock::ScopedLock hold(TheMirror().lock);
    MirroredWindow* entry = Find(window);
    if (entry && entry->presentPending) return;
    if (entry) entry->presentPending = true;
  }
  SetPropW(window, PresentPendingName(), reinterpret_cast<HANDLE>(1));
}

bool TakePresentPending(HWND window) {
  bool asked = false;
  {
    CriticalSectionLock::ScopedLock hold(TheMirror().lock);
    if (MirroredWindow* entry = Find(window)) asked = std::exchange(entry->presentPending, false);
  }
  if (reinterpret_cast<intptr_t>(GetPropW(window, PresentPendingName())) == 1) {
    SetPropW(window, PresentPendingName(), nullptr);
    asked = true;
  }
  return asked;
}
