// The pictures of the window transitions, as plain geometry: which part of the window's snapshot
// goes where in a frame, and how opaque the frame is. The transition engine only carries these
// blits out and presents the result. No Windows API is needed here.
//
// Progress runs from 0 (nothing of the window shown) to 255 (the window as it is); a show runs it
// up, a close or hide runs it down.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/draw/geometry.h"  // Rect

// One stretch of a snapshot rectangle onto the frame canvas.
struct FrameBlit {
  Rect source;
  Rect target;
  friend bool operator==(const FrameBlit&, const FrameBlit&) = default;
};

struct FramePlan {
  std::vector<FrameBlit> blits;  // onto a cleared canvas of the window's size
  double opacity = 1.0;          // multiplies the engine alpha
};

// Progress step per frame of the plan-based effects (2 to 8 and 10): 17 frames each way.
inline constexpr int32_t kPlannedEffectStep = 15;

// Effects 2 to 8 and 10 (an unknown effect shows the whole snapshot):
//   2 drop: slides down from a quarter height above while fading in
//   3 zoom: grows from 80 % about the centre while fading in
//   4 wipe from the left edge     5 wipe from the top edge
//   6 slide in from the left while fading in
//   7 iris: a centred rectangle opens to the edges
//   8 blinds: ten horizontal bands open downwards
//  10 unfold: widens from the vertical centre line while fading in
FramePlan PlanEffectFrame(int32_t effect, int32_t progress, int32_t width, int32_t height);

// ---- Effect 9: the perspective flip about the vertical centre axis ------------------------------

// The canvas of the flip is this much wider and higher than the window, centred on it, so the near
// edge of the turning picture has room to grow.
inline constexpr int32_t kFlipCanvasMargin = 200;
// Source columns per slice.
inline constexpr int32_t kFlipSliceWidth = 2;

// Up to 90° the angle itself; above 90° the angle + 180°, so the picture turns edge-on and comes
// back facing the viewer instead of showing its back.
double FlipDrawingAngle(double angle);

// Viewer distance of the projection: 1.2 × (width + height).
double FlipViewerDistance(int32_t width, int32_t height);

// The quad of the window's size centred on the origin, rotated about the vertical axis by
// `drawingAngle` degrees and projected, cut into vertical slices of `sliceWidth` source columns.
// Each slice is stretched to its projected height at its projected place on a canvas of
// canvasWidth × canvasHeight whose centre is the quad's centre. Slices narrower than one pixel are
// left out (the picture edge-on draws nothing).
std::vector<FrameBlit> FlipSlices(int32_t width, int32_t height, double drawingAngle,
                                  int32_t canvasWidth, int32_t canvasHeight, int32_t sliceWidth);
