// Test support for the element tests: a real toolkit-style host window on the virtual display
// (the window properties, root entry and surfaces the elements draw into), a probe element that
// records its hooks, generated images, and message pumping.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/elements/element.h"
#include "toolkit/window/window_surface.h"
#include "tests/support/process.h"          // RunUnixCommand
#include "tests/support/virtual_display.h"  // UseUnmanagedWindows

// Starts the toolkit once per test program (GDI+, the presentation message, the defaults).
void EnsureToolkit();

// Pumps the thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);
// Pumps until `done` answers true or `timeoutMs` passes; answers `done`'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A top-level window that carries what elements need from their window: "DoDA_OBJID" with a root
// entry in the registry, the main and background surfaces ("DoDA_MDC", "DoDA_MDC_BKG"), the
// presentation message (counted, and the main surface blitted to the screen) and the
// present-pending flag. Window input goes through the window layer's DispatchInput, like a
// SkinWindow's. The background is one opaque colour.
class TestHostWindow {
 public:
  explicit TestHostWindow(int32_t width = 200, int32_t height = 120,
                          Argb background = MakeArgb(255, 40, 80, 120));
  ~TestHostWindow();
  TestHostWindow(const TestHostWindow&) = delete;
  TestHostWindow& operator=(const TestHostWindow&) = delete;

  HWND handle() const { return window_; }
  ObjectId root() const { return root_; }
  Argb background() const { return background_; }
  // Premultiplied ARGB of the main surface.
  Argb Pixel(int32_t x, int32_t y) const { return main_.PixelAt(x, y); }
  const WindowSurface& mainSurface() const { return main_; }

  int32_t presentCount() const { return presentCount_; }
  const Rect& lastPresented() const { return lastPresented_; }
  bool presentPending() const;
  void ClearPresentPending();
  // Every element of the window composites itself anew over the background (element message 7),
  // as the window's full repaint does.
  void RepaintAll();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  ObjectId root_ = 0;
  Argb background_ = 0;
  WindowSurface main_;
  WindowSurface backgroundSurface_;
  int32_t presentCount_ = 0;
  Rect lastPresented_;
};

// An element that paints one colour and records the hooks it receives.
class ProbeElement : public Element {
 public:
  explicit ProbeElement(Argb colour = MakeArgb(255, 255, 0, 0)) : colour_(colour) {}
  // Initialise (shown, enabled) and Refresh, as a kind's Create does.
  bool Create(ObjectId parent, const Rect& rect, bool focusable = false, bool visible = true);
  void SetColour(Argb colour) { colour_ = colour; }

  std::vector<std::string> hooks;  // hook names in the order received
  int paintCount = 0;
  std::vector<std::pair<int32_t, intptr_t>> timerTicks;
  std::vector<DWORD> timerThreads;
  std::vector<EventRecord> forwarded;
  std::vector<std::array<intptr_t, 3>> otherMessages;
  PackedPoint lastPoint;

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  void OnCreated() override { hooks.push_back("created"); }
  void OnLeftDown(PackedPoint p) override { lastPoint = p; hooks.push_back("leftDown"); }
  void OnLeftUp(PackedPoint p) override { lastPoint = p; hooks.push_back("leftUp"); }
  void OnClick(PackedPoint p) override { hooks.push_back("click"); }
  void OnMouseMove(PackedPoint p) override { lastPoint = p; hooks.push_back("mouseMove"); }
  void OnKeyDown(intptr_t key) override { hooks.push_back("keyDown"); }
  void OnVisibleChanged(bool v) override { hooks.push_back(v ? "shown" : "hidden"); }
  void OnEnabledChanged(bool e) override { hooks.push_back(e ? "enabled" : "disabled"); }
  void OnMoved(intptr_t) override { hooks.push_back("moved"); }
  void OnResized() override { hooks.push_back("resized"); }
  void OnTimer(int32_t key, intptr_t value) override {
    timerTicks.emplace_back(key, value);
    timerThreads.push_back(GetCurrentThreadId());
  }
  void OnOtherMessage(intptr_t message, intptr_t wParam, intptr_t lParam) override {
    otherMessages.push_back({message, wParam, lParam});
  }
  void OnDestroying() override { hooks.push_back("destroying"); }
  void OnFocusGained(ObjectId) override { hooks.push_back("focusGained"); }
  void OnFocusLost(ObjectId) override { hooks.push_back("focusLost"); }
  void OnMouseEnter() override { hooks.push_back("enter"); }
  void OnMouseLeave() override { hooks.push_back("leave"); }
  void OnParentChanged(ObjectId) override { hooks.push_back("parentChanged"); }
  void OnForwardedEvent(ObjectId, const EventRecord& e) override { forwarded.push_back(e); }
  void OnFontChanged() override { hooks.push_back("fontChanged"); }

 private:
  Argb colour_;
};

// A PNG (encoded by GDI+) of width × height whose pixel (x, y) is colourAt(x, y).
std::vector<uint8_t> MakePng(int32_t width, int32_t height,
                             const std::function<Argb(int32_t, int32_t)>& colourAt);
// A decoded 32-bit ARGB image of one colour.
UniqueGpImage MakeSolidImage(int32_t width, int32_t height, Argb colour);

// Channel access and comparison of premultiplied pixels, with a tolerance for rounding.
bool NearColour(Argb actual, Argb expected, int tolerance = 3);
std::string ColourText(Argb colour);
// The premultiplied value of `colour` drawn with `opacity` over the opaque `below`.
Argb BlendOver(Argb below, Argb colour, int opacity = 255);
