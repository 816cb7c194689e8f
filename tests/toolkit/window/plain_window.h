// A bare top-level window (not a SkinWindow) that holds the toolkit's window properties in the
// registry and dispatch tests.
#pragma once

#include <windows.h>

#include "common/win_handle.h"

class PlainWindow {
 public:
  PlainWindow() {
    static const ATOM windowClass = [] {
      WNDCLASSEXW description{};
      description.cbSize = sizeof(description);
      description.lpfnWndProc = DefWindowProcW;
      description.lpszClassName = L"VelmoraWindowTestPlain";
      return RegisterClassExW(&description);
    }();
    handle_.reset(CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(windowClass)), L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                              nullptr, nullptr, nullptr));
  }

  HWND get() const { return handle_.get(); }

 private:
  UniqueHwnd handle_;
};
