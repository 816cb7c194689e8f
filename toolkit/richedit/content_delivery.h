// Hands content that arrived on a service thread to an element on the thread that owns the
// elements. The element model has no locks, so the service threads never touch an element: they
// queue a record to a hidden message-only window, and that window's procedure, running on its own
// thread inside the host's message loop, sends the element message kRichEditContent there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/win_handle.h"
#include "toolkit/window/object_registry.h"

class ContentDelivery {
 public:
  // Creates the message-only window on the calling thread, which must run a message loop (the
  // toolkit's GUI thread). Null when the window cannot be created.
  static std::unique_ptr<ContentDelivery> CreateOnThisThread();
  ContentDelivery(const ContentDelivery&) = delete;
  ContentDelivery& operator=(const ContentDelivery&) = delete;
  ~ContentDelivery();

  // Any thread. Queues (target, kind, text) for delivery as element message kRichEditContent with
  // wParam = kind and lParam = the NUL-terminated text, valid only during the call. On arrival the
  // target must still be a live element standing in the ObjectRegistry, or nothing is delivered.
  // Answers false when the record could not be queued (it is dropped).
  bool Post(ObjectId target, intptr_t kind, std::wstring text);

 private:
  explicit ContentDelivery(HWND window) : window_(window) {}
  UniqueHwnd window_;  // owned; destroyed on the thread that made it
};
