// Hands content that arrived on a service thread to an element on the thread that owns the
// elements. The element model has no locks, so the service threads never touch an element: they
// leave a record in a table this object owns and post its number to a hidden message-only window;
// that window's procedure, running on its own thread inside the host's message loop, takes the
// record out of the table and sends element message 301 there.
//
// The window can be found by its class name, so any program on the desktop can send it messages:
// nothing posted to it is a pointer, and a number the table does not hold is ignored.
//
// The table is bounded in records and in bytes of text. While the GUI thread is busy (an install
// pumps its messages for only 10 ms at a time) a flood of posts fills the table up to the bounds
// and everything beyond is refused, so memory stays bounded and returns to its base once the
// thread has caught up.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/critical_section.h"
#include "common/win_handle.h"
#include "toolkit/richedit/delivery_limits.h"
#include "toolkit/window/object_registry.h"

// The delivery window's class and the message it is posted: wParam the number of a record in the
// table, lParam unused.
inline constexpr wchar_t kContentDeliveryWindowClass[] = L"Velmora.RichEditDelivery";
inline constexpr UINT kContentDeliveryMessage = WM_APP + 0x301;

struct DeliveryWindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle window) { ::DestroyWindow(window); }
};

class ContentDelivery {
 public:
  // Creates the message-only window on the calling thread, which must run a message loop (the
  // toolkit's GUI thread). Null when the window cannot be created.
  static std::unique_ptr<ContentDelivery> CreateOnThisThread(const DeliveryLimits& limits = {});
  ContentDelivery(const ContentDelivery&) = delete;
  ContentDelivery& operator=(const ContentDelivery&) = delete;
  ~ContentDelivery();  // on the thread that created it; records still waiting are dropped

  // Any thread. Whether a text of `textBytes` bytes (UTF-16) would be taken now; lets a caller
  // refuse before it converts anything. Post decides for good.
  bool HasRoomFor(size_t textBytes) const;
  // Any thread. Queues (target, kind, text) for delivery as element message 301 with
  // wParam = kind and lParam = the NUL-terminated text, valid only during the call. On arrival the
  // target must still be a live element standing in the ObjectRegistry, or nothing is delivered.
  // Answers false when the record was refused (the table is at a bound) or could not be posted;
  // it is then dropped.
  bool Post(ObjectId target, intptr_t kind, std::wstring text);

 private:
  struct Record {
    ObjectId target;
    intptr_t kind;
    std::wstring text;
  };

  ContentDelivery(HWND window, const DeliveryLimits& limits);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // GUI thread: the record posted under `number`, taken out of the table; nothing when the table
  // does not hold it (already taken, dropped, or a number some other program made up).
  std::optional<Record> Take(uintptr_t number);

  const DeliveryLimits limits_;
  // The table is the one thing the service threads and the GUI thread share.
  mutable CriticalSectionLock lock_;
  std::map<uintptr_t, Record> pending_;  // guarded by lock_; owned
  size_t pendingBytes_ = 0;             // guarded by lock_: text bytes in pending_
  uintptr_t lastNumber_ = 0;            // guarded by lock_
  UniqueResource<DeliveryWindowTraits> window_;  // owned; destroyed on the thread that made it
};
