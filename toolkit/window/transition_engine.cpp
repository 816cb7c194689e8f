#include "toolkit/window/transition_engine.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/bench_marks.h"
#include "toolkit/draw/blend_dc.h"

namespace {

constexpr int32_t kFadeStep = 10;       // effect 1: progress per frame
constexpr double kFlipTurnIn = 7.0;     // effect 9: degrees per in-frame
constexpr double kFlipTurnOut = 5.0;    // degrees per out-frame
constexpr int32_t kFlipRiseStep = 100;  // progress added per frame while turning
constexpr int32_t kFlipSettleStep = 10; // progress removed per frame after the turn
constexpr int32_t kFlipMaxProgress = 100;

void ClearCanvas(const DcCanvas& canvas) {
  if (!canvas.Bits()) return;
  GdiFlush();
  std::memset(canvas.Bits(), 0, static_cast<size_t>(canvas.Width()) * static_cast<size_t>(canvas.Height()) * 4);
}

uint8_t ScaledAlpha(uint8_t alpha, double factor) {
  return static_cast<uint8_t>(alpha * std::clamp(factor, 0.0, 1.0));
}

}  // namespace

void TransitionEngine::Begin(HWND window, HDC sourceDc, std::optional<uint8_t> alpha, std::optional<Rect> windowRect) {
  Reset();
  window_ = window;
  if (windowRect) {
    windowRect_ = *windowRect;
  } else {
    RECT box{};
    GetWindowRect(window, &box);
    windowRect_ = {box.left, box.top, box.right - box.left, box.bottom - box.top};
  }
  if (snapshot_.CreateCanvas(windowRect_.width, windowRect_.height, 32)) {
    snapshotGraphics_ = GraphicsForDc(snapshot_.Dc());
    snapshot_.CopyFromDc(sourceDc, 0, 0, windowRect_.width, windowRect_.height, 0, 0, SRCCOPY);
  }
  sourceDc_ = sourceDc;
  alpha_ = alpha.value_or(255);
}

void TransitionEngine::Reset() {
  snapshotGraphics_.reset();
  snapshot_.Release();
  work_.Release();
  ReleaseFlipCanvas();
  window_ = nullptr;
  sourceDc_ = nullptr;
  windowRect_ = {};
  alpha_ = 255;
  active_ = false;
}

bool TransitionEngine::PresentCanvas(const DcCanvas& canvas, const Rect& place, uint8_t constantAlpha) {
  if (!window_ || !canvas.Dc()) return false;
  POINT position{place.x, place.y};
  SIZE size{place.width, place.height};
  POINT origin{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
  ++framesPresented_;
  const bool presented =
      UpdateLayeredWindow(window_, nullptr, &position, &size, canvas.Dc(), &origin, 0, &blend, ULW_ALPHA) != FALSE;
  VM_BENCH_MARK("present: transition frame");
  return presented;
}

bool TransitionEngine::DrawPlan(const FramePlan& plan) {
  if (!snapshot_.Dc()) return false;
  if (!work_.Dc() && !work_.CreateCanvas(windowRect_.width, windowRect_.height, 32)) return false;
  ClearCanvas(work_);
  bool drawn = true;
  for (const FrameBlit& blit : plan.blits) {
    if (blit.target.width < 1 || blit.target.height < 1) continue;
    drawn &= BlendDc(work_.Dc(), blit.target.x, blit.target.y, blit.target.width, blit.target.height,
                     snapshot_.Dc(), blit.source.x, blit.source.y, blit.source.width, blit.source.height,
                     255, AC_SRC_ALPHA);
  }
  return drawn;
}

bool TransitionEngine::DrawFlip(double drawingAngle) {
  if (!snapshot_.Dc()) return false;
  const int32_t canvasWidth = windowRect_.width + kFlipCanvasMargin;
  const int32_t canvasHeight = windowRect_.height + kFlipCanvasMargin;
  if (!flip_.Dc()) {
    if (!flip_.CreateCanvas(canvasWidth, canvasHeight, 32)) return false;
    flipGraphics_ = GraphicsForDc(flip_.Dc());
  }
  ClearCanvas(flip_);
  bool drawn = true;
  for (const FrameBlit& slice : FlipSlices(windowRect_.width, windowRect_.height, drawingAngle, canvasWidth,
                                           canvasHeight, kFlipSliceWidth)) {
    drawn &= BlendDc(flip_.Dc(), slice.target.x, slice.target.y, slice.target.width, slice.target.height,
                     snapshot_.Dc(), slice.source.x, slice.source.y, slice.source.width, slice.source.height,
                     255, AC_SRC_ALPHA);
  }
  return drawn;
}

bool TransitionEngine::PresentFlip(uint8_t constantAlpha) {
  Rect place{windowRect_.x - kFlipCanvasMargin / 2, windowRect_.y - kFlipCanvasMargin / 2,
             windowRect_.width + kFlipCanvasMargin, windowRect_.height + kFlipCanvasMargin};
  return PresentCanvas(flip_, place, constantAlpha);
}

void TransitionEngine::ReleaseFlipCanvas() {
  flipGraphics_.reset();
  flip_.Release();
}

// ---- Effect 1: fade ------------------------------------------------------------------------------

bool TransitionEngine::FadeIn(int32_t& progress, int32_t&) {
  progress = std::min(progress + kFadeStep, 255);
  PresentCanvas(snapshot_, windowRect_, static_cast<uint8_t>(alpha_ * progress / 255));
  if (progress < 255) return false;
  frameCounter_ = 180;
  progress = 0;
  return true;
}

bool TransitionEngine::FadeOut(int32_t& progress, int32_t&) {
  if (progress < 1) progress = 255;
  progress = std::max(progress - kFadeStep, 0);
  PresentCanvas(snapshot_, windowRect_, static_cast<uint8_t>(alpha_ * progress / 255));
  if (progress > 0) return false;
  frameCounter_ = 0;
  return true;
}

// ---- Effects 2 to 8 and 10: planned frames ---------------------------------------------------

bool TransitionEngine::PlannedIn(int32_t effect, int32_t& progress) {
  progress = std::min(progress + kPlannedEffectStep, 255);
  FramePlan plan = PlanEffectFrame(effect, progress, windowRect_.width, windowRect_.height);
  DrawPlan(plan);
  PresentCanvas(work_, windowRect_, ScaledAlpha(alpha_, plan.opacity));
  if (progress < 255) return false;
  frameCounter_ = 180;
  progress = 0;
  return true;
}

bool TransitionEngine::PlannedOut(int32_t effect, int32_t& progress) {
  if (progress < 1) progress = 255;
  progress = std::max(progress - kPlannedEffectStep, 0);
  FramePlan plan = PlanEffectFrame(effect, progress, windowRect_.width, windowRect_.height);
  DrawPlan(plan);
  PresentCanvas(work_, windowRect_, ScaledAlpha(alpha_, plan.opacity));
  if (progress > 0) return false;
  frameCounter_ = 0;
  return true;
}

bool TransitionEngine::DropIn(int32_t& progress, int32_t&) { return PlannedIn(2, progress); }
bool TransitionEngine::DropOut(int32_t& progress, int32_t&) { return PlannedOut(2, progress); }
bool TransitionEngine::ZoomIn(int32_t& progress, int32_t&) { return PlannedIn(3, progress); }
bool TransitionEngine::ZoomOut(int32_t& progress, int32_t&) { return PlannedOut(3, progress); }
bool TransitionEngine::WipeRightIn(int32_t& progress, int32_t&) { return PlannedIn(4, progress); }
bool TransitionEngine::WipeRightOut(int32_t& progress, int32_t&) { return PlannedOut(4, progress); }
bool TransitionEngine::WipeDownIn(int32_t& progress, int32_t&) { return PlannedIn(5, progress); }
bool TransitionEngine::WipeDownOut(int32_t& progress, int32_t&) { return PlannedOut(5, progress); }
bool TransitionEngine::SlideIn(int32_t& progress, int32_t&) { return PlannedIn(6, progress); }
bool TransitionEngine::SlideOut(int32_t& progress, int32_t&) { return PlannedOut(6, progress); }
bool TransitionEngine::IrisIn(int32_t& progress, int32_t&) { return PlannedIn(7, progress); }
bool TransitionEngine::IrisOut(int32_t& progress, int32_t&) { return PlannedOut(7, progress); }
bool TransitionEngine::BlindsIn(int32_t& progress, int32_t&) { return PlannedIn(8, progress); }
bool TransitionEngine::BlindsOut(int32_t& progress, int32_t&) { return PlannedOut(8, progress); }
bool TransitionEngine::UnfoldIn(int32_t& progress, int32_t&) { return PlannedIn(10, progress); }
bool TransitionEngine::UnfoldOut(int32_t& progress, int32_t&) { return PlannedOut(10, progress); }

// ---- Effect 9: perspective flip --------------------------------------------------------------

bool TransitionEngine::FlipIn(int32_t& progress, int32_t& direction) {
  active_ = true;
  if (angle_ < 180.0) angle_ = std::min(angle_ + kFlipTurnIn, 180.0);
  if (progress <= 0 || direction <= 0) {
    direction = 1;
    progress = 0;
    ReleaseFlipCanvas();  // DrawFlip makes it anew at the window's size
  }
  progress = direction == 1 ? progress + kFlipRiseStep : progress - kFlipSettleStep;
  progress = std::clamp(progress, 0, kFlipMaxProgress);

  DrawFlip(FlipDrawingAngle(angle_));
  PresentFlip(static_cast<uint8_t>(alpha_ * (200 - progress) / 200));

  if (angle_ < 180.0) return false;
  if (direction == 1 && progress == kFlipMaxProgress) {
    direction = 2;
    return false;
  }
  if (direction == 2 && progress == 0) {
    ReleaseFlipCanvas();
    progress = 0;
    direction = 0;
    frameCounter_ = 180;
    // The flip drew around the window; its last picture goes back onto the window's own place.
    PresentCanvas(snapshot_, windowRect_, alpha_);
    return true;
  }
  return false;
}

bool TransitionEngine::FlipOut(int32_t&, int32_t&) {
  active_ = false;
  if (angle_ >= 90.0) {
    angle_ -= kFlipTurnOut;
    DrawFlip(FlipDrawingAngle(angle_));
    PresentFlip(ScaledAlpha(alpha_, (angle_ - 90.0) / 90.0));
  }
  if (angle_ > 90.0) return false;
  angle_ = 0;
  ReleaseFlipCanvas();
  frameCounter_ = 0;
  // Back to the window's own place, invisibly: the window is closing or being hidden.
  PresentCanvas(snapshot_, windowRect_, 0);
  return true;
}

bool TransitionEngine::RunFrame(int32_t effect, bool in, int32_t& progress, int32_t& direction) {
  using FrameOperation = bool (TransitionEngine::*)(int32_t&, int32_t&);
  static constexpr std::array<FrameOperation, 20> kFrames = {
      &TransitionEngine::FadeIn,      &TransitionEngine::FadeOut,      &TransitionEngine::DropIn,
      &TransitionEngine::DropOut,     &TransitionEngine::ZoomIn,       &TransitionEngine::ZoomOut,
      &TransitionEngine::WipeRightIn, &TransitionEngine::WipeRightOut, &TransitionEngine::WipeDownIn,
      &TransitionEngine::WipeDownOut, &TransitionEngine::SlideIn,      &TransitionEngine::SlideOut,
      &TransitionEngine::IrisIn,      &TransitionEngine::IrisOut,      &TransitionEngine::BlindsIn,
      &TransitionEngine::BlindsOut,   &TransitionEngine::FlipIn,       &TransitionEngine::FlipOut,
      &TransitionEngine::UnfoldIn,    &TransitionEngine::UnfoldOut};
  if (effect < 1 || effect > 10) return true;
  FrameOperation frame = kFrames[static_cast<size_t>(2 * effect - (in ? 2 : 1))];
  return (this->*frame)(progress, direction);
}
