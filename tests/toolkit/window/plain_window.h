// A bare top-level window (not a SkinWindow) that holds the toolkit's window properties in the
// registry and dispatch tests.
#pragma once

#include <windows.h>

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
    handle_ = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(windowClass)), L"", WS_POPUP, 0, 0, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
  }
  ~PlainWindow() {
    if (handle_) DestroyWindow(handle_);
  }
  PlainWindow(const PlainWindow&) = delete;
  PlainWindow& operator=(const PlainWindow&) = delete;

  HWND get() const { return handle_; }

 private:
  HWND handle_ = nullptr;
};
