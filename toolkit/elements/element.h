// Element: a retained-mode item drawn inside a toolkit window (a panel, an image, a text, a
// button). Elements are not Windows windows. Each one owns an off-screen WindowSurface the size of
// its rectangle, paints itself into it (Paint, supplied by the kind), and is composited into its
// window's main surface ("DoDA_MDC") over the window background ("DoDA_MDC_BKG"), together with
// every element that overlaps it, in registry order. The window then presents the changed
// rectangle.
//
// Contract:
// - Identity. An element is reached through its ObjectId, a positive id handed out by the
//   registry's counter when the element is created (Initialise); 0 before creation and after
//   Destroy. A destroyed element may be created again and then gets a fresh id, so an id kept
//   from its earlier life reaches nothing.
// - Tree and order. The parent is a window root (negative id) or another element. In the
//   ObjectRegistry an element stands in front of its parent; a new element stands in front of all
//   its older siblings and their descendants (front = drawn last, hit first).
// - Coordinates. rect is relative to the parent's top-left corner. absoluteRect and clipRect are
//   window coordinates; clipRect is the part every ancestor leaves visible (empty when the element
//   lies wholly outside its parent). Mouse points delivered to hooks are relative to
//   absoluteRect.
// - Ownership. The element owns its surfaces, font objects, hint and its kind's images and texts.
//   The registry holds ids only. Elements are neither copied nor moved: their id and their place
//   in the registry belong to the one object.
// - Threads. Everything runs on the GUI thread, including precise timer ticks (see
//   element_timers.h).
//
// The virtual operations stand in the order of the element's table of operations; kinds override
// Paint, the input hooks and OnFadeOutFrame, and add their own operations after the base ones.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "toolkit/draw/fonts.h"
#include "toolkit/elements/element_geometry.h"
#include "toolkit/window/element_messages.h"
#include "toolkit/elements/tool_tip.h"
#include "toolkit/window/object_registry.h"
#include "toolkit/window/window_surface.h"

// Timer keys that belong to the element's own transitions.
inline constexpr int32_t kFadeInTimerKey = -1;
inline constexpr int32_t kFadeOutTimerKey = -2;

class Element : public ElementNode {
 public:
  Element() = default;
  // Destroys the element (as Destroy) and stops every timer it still runs.
  ~Element() override;
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  // ==== Messages ==============================================================================
  // The element message handler (codes in element_messages.h). Answers 0 for every message but 23
  // (the parent).
  intptr_t HandleMessage(uint32_t code, intptr_t a, intptr_t b) override;

  // ==== Life cycle and tree ===================================================================
  // Common creation, for kinds' Create: takes a fresh id, the parent's host window and depth,
  // builds a surface of rect's size, inserts the element into the registry (in front of all older
  // siblings) and computes its geometry. False, with nothing changed, when already created. A
  // parent that is not in the registry leaves the element out of it (never drawn or hit).
  virtual bool Initialise(ObjectId parent, const Rect& rect, FontObject font, bool focusable,
                          bool visible, bool disabled, bool handCursor);
  // Stores the hint text (GBK) and, when `apply`, (re)creates the system tooltip over clipRect.
  // Answers the stored text.
  virtual std::string SetHint(const std::string& text, bool apply);
  // The id this object is known by: objectId (0 when not created).
  virtual ObjectId HolderId() const;
  // Removes the element and its descendants from the registry (each receives message 2, which
  // zeroes its state); objectId becomes 0. Harmless on an element that was never created.
  virtual void Destroy();
  // Message 23's answer: the parent's id.
  virtual ObjectId GetParent();
  // Moves the element (with its descendants, in their order) under another parent, which may
  // belong to another window.
  virtual void SetParent(ObjectId parent);
  // Moves the element's block among its siblings (kZOrderFront, kZOrderTopmost, kZOrderBack or a
  // registry position; see ZOrderInsertPosition), then Refresh.
  virtual void SetZOrder(int32_t position);
  // Tab: the focus goes to the element of the same window just in front of this one in the
  // registry, or, from the front-most one, to the back-most one.
  virtual void FocusPrevious();
  // Gives this element the keyboard focus; false when it had it already.
  virtual bool SetFocus();
  virtual bool Focusable(std::optional<bool> value = std::nullopt);

  // ==== Fonts and auxiliary data ==============================================================
  // Replaces the font object, then message 35.
  virtual void SetFont(FontObject font);
  // A font of the toolkit defaults with this family (GBK name).
  virtual void SetFontFromFamily(const std::string& family);
  virtual void SetFontFromDescription(const FontDescription& description);
  // A new font object made from the element font's description (empty when there is none).
  virtual FontObject GetFont() const;
  virtual FontDescription GetFontDescription() const;
  virtual float GetFontSize() const;
  virtual Argb GetFontColour() const;
  // Storage for the program; the toolkit never reads it.
  virtual void SetAux(std::optional<FontObject> object, std::optional<int32_t> value);
  // A copy of the aux font (empty when none) and the aux value.
  virtual std::pair<FontObject, int32_t> GetAux() const;

  // ==== Queries ===============================================================================
  virtual HWND GetHostWindow() const;
  virtual Rect GetAbsoluteRect() const;
  virtual Rect GetClipRect() const;
  // 1-based position of the element in the registry, 0 when absent.
  virtual int GetRegistryPosition() const;

  // ==== Timers (element_timers.h) =============================================================
  // Keyed timers: a tick becomes message 10 (key, value). Keys -1 and -2 are the fades'.
  virtual bool SetTimer(int32_t key, int32_t intervalMs, intptr_t value);
  virtual bool SetPreciseTimer(int32_t key, int32_t intervalMs, intptr_t value);
  virtual bool KillTimer(int32_t key);
  virtual bool KillPreciseTimer(int32_t key);

  // ==== Drawing and composition ===============================================================
  // Clears the surface, Paint, and (unless surfaceOnly, or when compositeAlways) Composite. False,
  // with nothing painted, when the element is not effectively visible.
  virtual bool Repaint(bool compositeAlways, bool surfaceOnly);
  // Recomposites the element's clipRect in the main surface: background, then every effectively
  // visible element overlapping it, from the window's root towards the front. `surfaceDc` is this
  // element's look (its surface when omitted) and becomes currentSurfaceDc.
  virtual void Composite(std::optional<HDC> surfaceDc = std::nullopt);
  // Repaint (only Composite for a kind that tracks its look and has not changed: TracksLook),
  // then present at once or mark the window present-pending (DeferredPresentation).
  virtual void Refresh();
  // Repaint, then present at once.
  virtual void RefreshNow();
  // Asks the window to present clipRect now ("Kv_Msg_WM_UPDATERECT").
  virtual void PresentRect();
  // Sets the window's present-pending flag (property atom 0x131).
  virtual void MarkPresentPending();
  virtual Gdiplus::GpGraphics* GetSurfaceGraphics() const;

  // ==== Geometry ==============================================================================
  virtual Rect GetRect() const;
  virtual int32_t GetLeft() const;
  virtual int32_t GetTop() const;
  virtual int32_t GetWidth() const;
  virtual int32_t GetHeight() const;

  // ==== State =================================================================================
  // Reads visible; when a value is given: stores it, message 5, composites and presents at once.
  virtual bool Visible(std::optional<bool> value = std::nullopt);
  // Reads disabled; when a value is given: stores it, message 6 (enabled), Refresh.
  virtual bool Disabled(std::optional<bool> value = std::nullopt);
  // Visible and every ancestor visible (a window root counts as visible).
  bool IsEffectivelyVisible() const override;
  // Disabled, or an ancestor disabled, or the host window disabled.
  bool IsEffectivelyDisabled() const override;

  // ==== Events ================================================================================
  // With a value: stores it and answers the previous handler; without: answers the current one.
  virtual ElementEventHandler SetEventHandler(
      std::optional<ElementEventHandler> handler = std::nullopt);
  // Sends a copy to the forward target (message 999), then calls the handler; 0 without one.
  virtual intptr_t FireEvent(int32_t code, intptr_t p1 = 0, intptr_t p2 = 0, intptr_t p3 = 0,
                             intptr_t p4 = 0, intptr_t p5 = 0);
  virtual ObjectId GetHandle() const;
  // Reads transparency (0 opaque .. 255 invisible); when a value is given stores it (clamped to
  // 0..255) and, when `present`, PresentRect. The new opacity shows at the next composition.
  virtual int32_t Transparency(std::optional<int32_t> value = std::nullopt, bool present = false);
  virtual bool IsHovered() const;
  virtual bool IsLeftPressed() const;
  virtual bool IsRightPressed() const;
  virtual void CaptureMouse();
  virtual void ReleaseMouse();
  // Moves and/or resizes (omitted values keep the current ones): erases the old area, replaces the
  // surfaces when the size changes, messages 9 (resized) and 8 (moved), geometry, and repaints at
  // the new place without presenting. False, with nothing drawn, when nothing changes.
  virtual bool Move(std::optional<int32_t> x = std::nullopt, std::optional<int32_t> y = std::nullopt,
                    std::optional<int32_t> width = std::nullopt,
                    std::optional<int32_t> height = std::nullopt);
  virtual bool HasFocus() const;
  virtual HDC GetSurfaceDc() const;
  // Every event this element fires is also sent to `target` as message 999 (0: none).
  virtual void SetForwardTarget(ObjectId target);
  // Cross-fades from the current look to a freshly painted one; interval in ms and step in percent
  // per tick (10 each when omitted or not positive). Mode 0 fades the old look out while the new
  // one fades in; any other mode keeps the old look whole beneath the new one.
  virtual void FadeIn(std::optional<int32_t> intervalMs = std::nullopt,
                      std::optional<int32_t> step = std::nullopt, int32_t mode = 0);
  // Fades out through frames drawn by OnFadeOutFrame (the base element shows nothing).
  virtual void FadeOut(std::optional<int32_t> intervalMs = std::nullopt,
                       std::optional<int32_t> step = std::nullopt, int32_t mode = 0);
  // Draws one fade-out frame into `frame` at progress `alpha` (0..255).
  virtual void OnFadeOutFrame(WindowSurface& frame, int32_t alpha, int32_t mode) {}

  // ---- Reading state (for the window layer, kinds and tests) ---------------------------------
  const Rect& rect() const { return state_.rect; }
  const Rect& clipOrigin() const { return state_.clipOrigin; }
  HDC currentSurfaceDc() const { return state_.currentSurfaceDc; }
  int32_t transitionAlpha() const { return state_.transitionAlpha; }
  bool transitionRunning() const { return state_.transitionRunning; }
  bool created() const { return state_.created; }
  bool handCursor() const { return state_.handCursor; }
  bool buttonHeld() const { return state_.buttonHeld; }
  ObjectId forwardTarget() const { return state_.forwardTarget; }
  const ToolTip& hint() const { return hint_; }

 protected:
  // ==== Hooks called by HandleMessage; all do nothing here ====================================
  // Points are relative to absoluteRect.
  virtual void OnCreated() {}
  virtual void OnLeftDown(PackedPoint point) {}
  virtual void OnLeftUp(PackedPoint point) {}
  virtual void OnClick(PackedPoint point) {}
  virtual void OnLeftDoubleClick(PackedPoint point) {}
  virtual void OnRightDown(PackedPoint point) {}
  virtual void OnRightUp(PackedPoint point) {}
  virtual void OnRightClick(PackedPoint point) {}
  virtual void OnRightDoubleClick(PackedPoint point) {}
  virtual void OnMouseMove(PackedPoint point) {}
  virtual void OnKeyDown(intptr_t virtualKey) {}
  virtual void OnKeyUp(intptr_t virtualKey) {}
  virtual void OnChar(intptr_t character) {}
  virtual void OnVisibleChanged(bool visible) {}
  virtual void OnEnabledChanged(bool enabled) {}
  // Draws the element's look into `graphics` (its own surface, already cleared to transparent,
  // or a transition buffer), origin at the element's top-left corner.
  virtual void Paint(Gdiplus::GpGraphics* graphics) {}
  virtual void OnParentChanged(ObjectId parent) {}
  virtual void OnMoved(intptr_t sizeKind) {}
  virtual void OnResized() {}
  virtual void OnTimer(int32_t key, intptr_t value) {}
  virtual void OnDestroying() {}
  virtual void OnFocusGained(ObjectId previous) {}
  virtual void OnFocusLost(ObjectId next) {}
  virtual void OnWheel(intptr_t steps) {}
  virtual void OnMouseEnter() {}
  virtual void OnMouseLeave() {}
  // (Three table entries follow here that no message calls.)
  // Any other window message while the element has the focus.
  virtual void OnOtherMessage(intptr_t message, intptr_t wParam, intptr_t lParam) {}
  // Content posted by the rich-edit service: kind 1 HTML, 2 plain text; `text` is valid during the
  // call only.
  virtual void OnRichEditContent(intptr_t kind, intptr_t text) {}
  virtual void OnForwardedEvent(ObjectId source, const EventRecord& event) {}
  // (Two table entries follow here that no message calls.)
  virtual void OnFontChanged() {}
  virtual void OnCharMessage(intptr_t character, intptr_t lParam) {}

  // ---- For kinds -------------------------------------------------------------------------------
  // A kind whose look follows from its own state and its size alone (a panel's colour, a
  // picture's image, a label's text) answers true and calls LookChanged whenever that state
  // changes; Refresh then does not paint again a surface that already shows the look (a progress
  // bar is moved and refreshed some hundreds of times an install). Handing out the surface's
  // graphics (GetSurfaceGraphics) makes the look unknown until the next paint.
  virtual bool TracksLook() const { return false; }
  void LookChanged() { state_.lookCurrent = false; }
  const FontObject& font() const { return state_.font; }
  WindowSurface& surface() { return surface_; }

 private:
  // Message handling pieces.
  void HandleDestroyed();
  void RecomputeGeometry();
  void SetCursorForButton();
  void FadeInFrame(intptr_t step);
  void FadeOutFrame(intptr_t step);

  // Composition pieces.
  HDC MainDc() const;
  HDC BackgroundDc() const;
  // Blends every other effectively visible element of the window that overlaps `area`, back to
  // front; `self` (this element's look) is blended in its place when given.
  void BlendOverlapping(HDC mainDc, const Rect& area, std::optional<HDC> self);
  void BlendSelf(HDC mainDc, HDC source);
  // Brings a surface whose paint was skipped while hidden up to date; see surfaceStale_.
  void EnsureSurfaceCurrent();
  void PresentFrame(bool deferredAllowed);
  // The surface can be composited as it is: shown, painted, no fade running.
  bool SurfaceReusable() const;

  // The element's own settings and state, with the values of an element that is not created: the
  // destroyed message returns them (and ElementNode's) to these by assignment. The surfaces, the
  // hint and the program's aux storage are not part of it.
  struct State {
    Rect rect;
    int32_t transparency = 0;
    HDC currentSurfaceDc = nullptr;  // not owned: surface_, or a transition buffer
    FontObject font;
    ElementEventHandler eventHandler = nullptr;
    bool created = false;
    Rect clipOrigin;
    ObjectId forwardTarget = 0;
    int32_t transitionAlpha = 0;
    bool transitionRunning = false;
    int32_t fadeOutMode = 0;
    int32_t fadeInMode = 0;
    bool buttonHeld = false;
    bool handCursor = false;
    bool presentNow = false;
    // A repaint was skipped because the element was hidden, so the surface may show an old look.
    // The element paints it before it is next composited while shown (an element changed or
    // created while hidden would otherwise appear with its old look, or empty, when shown).
    bool surfaceStale = false;
    // The surface shows what Paint draws for the kind's present state (see TracksLook).
    mutable bool lookCurrent = false;
  };

  State state_;
  WindowSurface surface_;
  WindowSurface transitionNew_;
  WindowSurface transitionMix_;
  ToolTip hint_;
  FontObject auxObject_;
  int32_t auxValue_ = 0;
};

// The process-wide cursor switch of the element cursor rules: false until the mouse first leaves
// an element, which then makes the arrow its window's class cursor. Set when given; answers the
// current value.
bool CustomCursorSet(std::optional<bool> value = std::nullopt);

// The element behind an id, or null (a window, a stale id, or an element of another class).
Element* ElementObjectFromId(ObjectId id);
