// TransitionEngine: animates a window's show, hide and close. Begin takes a snapshot of the
// window's composed picture; each tick of the window's transition timer then runs one frame
// operation, which draws a frame from the snapshot and presents it with UpdateLayeredWindow.
//
// Frame contract: a frame operation takes the window's progress and direction, advances them and
// answers true when the effect has finished. In-frames show the window (progress rising), out-frames
// hide it (progress falling). Effect 1 (fade) and effect 9 (perspective flip) follow the toolkit's
// fixed design; 2 to 8 and 10 are the plans of transition_frames.h.
//
// The window keeps its own position and size (the rectangle read at Begin) while the engine runs;
// only the flip presents a larger picture around it, and its last frame puts the window back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "toolkit/draw/dc_canvas.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/geometry.h"  // Rect
#include "toolkit/window/transition_frames.h"

class TransitionEngine {
 public:
  TransitionEngine() = default;
  virtual ~TransitionEngine() = default;
  TransitionEngine(const TransitionEngine&) = delete;
  TransitionEngine& operator=(const TransitionEngine&) = delete;

  // Resets, remembers the window and its rectangle, snapshots `sourceDc` (the window's size) into
  // a canvas of its own, and keeps `alpha` (255 when not given) as the engine alpha. The rectangle
  // (screen coordinates) is `windowRect` when given, else the system's (GetWindowRect). A window
  // gives its own stored bounds: while a flip runs the system's rectangle is the flip's larger one.
  virtual void Begin(HWND window, HDC sourceDc, std::optional<uint8_t> alpha,
                     std::optional<Rect> windowRect = std::nullopt);
  // Drops the snapshot and the work canvases. The flip angle is kept: it persists between
  // transitions (0 at first, 180 after a completed show).
  virtual void Reset();

  // ---- Internal operations --------------------------------------------------------------------
  // Presents `canvas` (from its top-left) as the window's picture at `place` on the screen.
  virtual bool PresentCanvas(const DcCanvas& canvas, const Rect& place, uint8_t constantAlpha);
  // Draws a plan onto the work canvas (of the window's size), creating it when missing.
  virtual bool DrawPlan(const FramePlan& plan);
  // Draws the flip at `drawingAngle` onto the flip canvas, creating it when missing.
  virtual bool DrawFlip(double drawingAngle);

  // ---- Frame operations, in-frame then out-frame for effects 1 to 10 ---------------------------
  virtual bool FadeIn(int32_t& progress, int32_t& direction);         // effect 1
  virtual bool FadeOut(int32_t& progress, int32_t& direction);
  virtual bool DropIn(int32_t& progress, int32_t& direction);         // effect 2
  virtual bool DropOut(int32_t& progress, int32_t& direction);
  virtual bool ZoomIn(int32_t& progress, int32_t& direction);         // effect 3
  virtual bool ZoomOut(int32_t& progress, int32_t& direction);
  virtual bool WipeRightIn(int32_t& progress, int32_t& direction);    // effect 4
  virtual bool WipeRightOut(int32_t& progress, int32_t& direction);
  virtual bool WipeDownIn(int32_t& progress, int32_t& direction);     // effect 5
  virtual bool WipeDownOut(int32_t& progress, int32_t& direction);
  virtual bool SlideIn(int32_t& progress, int32_t& direction);        // effect 6
  virtual bool SlideOut(int32_t& progress, int32_t& direction);
  virtual bool IrisIn(int32_t& progress, int32_t& direction);         // effect 7
  virtual bool IrisOut(int32_t& progress, int32_t& direction);
  virtual bool BlindsIn(int32_t& progress, int32_t& direction);       // effect 8
  virtual bool BlindsOut(int32_t& progress, int32_t& direction);
  virtual bool FlipIn(int32_t& progress, int32_t& direction);         // effect 9
  virtual bool FlipOut(int32_t& progress, int32_t& direction);
  virtual bool UnfoldIn(int32_t& progress, int32_t& direction);       // effect 10
  virtual bool UnfoldOut(int32_t& progress, int32_t& direction);

  // Runs effect k's in-frame (show) or out-frame: the (2k − 1)-th or 2k-th frame operation above.
  // An effect outside 1..10 has no frames and reports finished at once.
  bool RunFrame(int32_t effect, bool in, int32_t& progress, int32_t& direction);

  // ---- State, for the window and for tests ----------------------------------------------------
  int32_t frameCounter() const { return frameCounter_; }
  double angle() const { return angle_; }
  bool active() const { return active_; }
  uint8_t alpha() const { return alpha_; }
  HWND window() const { return window_; }
  const Rect& windowRect() const { return windowRect_; }
  const DcCanvas& snapshot() const { return snapshot_; }
  const DcCanvas& workCanvas() const { return work_; }
  const DcCanvas& flipCanvas() const { return flip_; }
  int32_t framesPresented() const { return framesPresented_; }

 private:
  bool PlannedIn(int32_t effect, int32_t& progress);
  bool PlannedOut(int32_t effect, int32_t& progress);
  bool PresentFlip(uint8_t constantAlpha);
  void ReleaseFlipCanvas();

  HWND window_ = nullptr;  // not owned
  Rect windowRect_;        // screen rectangle of the window at Begin
  DcCanvas snapshot_;      // the window's picture at Begin
  UniqueGpGraphics snapshotGraphics_;
  HDC sourceDc_ = nullptr;  // not owned
  uint8_t alpha_ = 255;
  int32_t frameCounter_ = 0;  // 180 after an in-effect finished, 0 after an out-effect
  DcCanvas work_;             // frames of the planned effects
  DcCanvas flip_;             // frames of the flip, kFlipCanvasMargin larger than the window
  UniqueGpGraphics flipGraphics_;
  double angle_ = 0;          // flip angle in degrees, kept between transitions
  bool active_ = false;       // the flip is turning in (true) or out (false)
  int32_t framesPresented_ = 0;
};
