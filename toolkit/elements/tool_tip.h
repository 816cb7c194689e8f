// An element's hint: a system tooltip (common controls, "tooltips_class32") over one rectangle of
// its host window. The object owns the tooltip window.
#pragma once

#include <windows.h>

#include <string>

#include "common/win_handle.h"
#include "toolkit/draw/geometry.h"  // Rect

class ToolTip {
 public:
  ToolTip() = default;
  ToolTip(const ToolTip&) = delete;
  ToolTip& operator=(const ToolTip&) = delete;
  ToolTip(ToolTip&&) noexcept = default;
  ToolTip& operator=(ToolTip&&) noexcept = default;

  // Destroys any tooltip window, stores the rectangle (host window coordinates) and the text (GBK)
  // and, unless the text is empty, creates a topmost tooltip owned by `host` with one tool over the
  // rectangle, white text on COLORREF 0xC06000. A balloon tooltip when `balloon`, a centred tip
  // when `centred`. Answers whether a tooltip window exists afterwards.
  bool Create(HWND host, const std::string& text, const Rect& rect, bool balloon = false,
              bool centred = false);
  // Sets the text again: re-creates the tooltip only when one exists and the text differs.
  void SetText(const std::string& text);
  // Stores the text only; a tooltip window that exists keeps showing the text it was made with.
  void StoreText(const std::string& text) { text_ = text; }
  // Re-creates the tooltip with the stored host, text and rectangle.
  bool Recreate();
  // Destroys the tooltip window; the text becomes empty.
  void Destroy();
  bool Exists() const { return static_cast<bool>(window_); }

  const std::string& Text() const { return text_; }
  HWND Window() const { return window_.get(); }

 private:
  UniqueHwnd window_;
  std::string text_;  // GBK
  Rect rect_;
  HWND host_ = nullptr;
  bool balloon_ = false;
  bool centred_ = false;
};
