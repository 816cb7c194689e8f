#include "toolkit/window/transition_frames.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

Rect Whole(int32_t width, int32_t height) { return {0, 0, width, height}; }

int32_t Scale(int32_t value, double t) { return static_cast<int32_t>(value * t); }

}  // namespace

FramePlan PlanEffectFrame(int32_t effect, int32_t progress, int32_t width, int32_t height) {
  const double t = std::clamp(progress, 0, 255) / 255.0;
  const Rect whole = Whole(width, height);
  FramePlan plan;
  switch (effect) {
    case 2: {  // drop
      int32_t offset = Scale(height / 4, 1.0 - t);
      plan.blits.push_back({whole, {0, -offset, width, height}});
      plan.opacity = t;
      break;
    }
    case 3: {  // zoom
      double scale = 0.8 + 0.2 * t;
      int32_t w = Scale(width, scale), h = Scale(height, scale);
      plan.blits.push_back({whole, {(width - w) / 2, (height - h) / 2, w, h}});
      plan.opacity = t;
      break;
    }
    case 4: {  // wipe from the left
      int32_t w = Scale(width, t);
      if (w > 0) plan.blits.push_back({{0, 0, w, height}, {0, 0, w, height}});
      break;
    }
    case 5: {  // wipe from the top
      int32_t h = Scale(height, t);
      if (h > 0) plan.blits.push_back({{0, 0, width, h}, {0, 0, width, h}});
      break;
    }
    case 6: {  // slide from the left
      int32_t offset = Scale(width / 4, 1.0 - t);
      plan.blits.push_back({whole, {-offset, 0, width, height}});
      plan.opacity = t;
      break;
    }
    case 7: {  // iris
      int32_t w = Scale(width, t), h = Scale(height, t);
      Rect open{(width - w) / 2, (height - h) / 2, w, h};
      if (w > 0 && h > 0) plan.blits.push_back({open, open});
      break;
    }
    case 8: {  // blinds
      constexpr int32_t kBands = 10;
      for (int32_t band = 0; band < kBands; ++band) {
        int32_t top = height * band / kBands;
        int32_t bandHeight = height * (band + 1) / kBands - top;
        int32_t open = Scale(bandHeight, t);
        if (open > 0) plan.blits.push_back({{0, top, width, open}, {0, top, width, open}});
      }
      break;
    }
    case 10: {  // unfold from the centre line
      int32_t w = Scale(width, t);
      if (w > 0) plan.blits.push_back({whole, {(width - w) / 2, 0, w, height}});
      plan.opacity = t;
      break;
    }
    default:
      plan.blits.push_back({whole, whole});
      break;
  }
  return plan;
}

double FlipDrawingAngle(double angle) { return angle <= 90.0 ? angle : angle + 180.0; }

double FlipViewerDistance(int32_t width, int32_t height) { return 1.2 * (width + height); }

std::vector<FrameBlit> FlipSlices(int32_t width, int32_t height, double drawingAngle,
                                  int32_t canvasWidth, int32_t canvasHeight, int32_t sliceWidth) {
  std::vector<FrameBlit> slices;
  if (width < 1 || height < 1 || sliceWidth < 1) return slices;
  const double radians = drawingAngle * std::numbers::pi / 180.0;
  const double cosine = std::cos(radians), sine = std::sin(radians);
  const double distance = FlipViewerDistance(width, height);
  const double centreX = canvasWidth / 2.0, centreY = canvasHeight / 2.0;
  const double halfWidth = width / 2.0;

  // A point x of the flat quad (its y does not change the depth) lands at x·cos·D / (D + z) with
  // depth z = x·sin; its column is stretched by D / (D + z).
  auto projectedX = [&](double x) {
    double z = x * sine;
    return x * cosine * distance / (distance + z);
  };
  slices.reserve(static_cast<size_t>(width / sliceWidth + 1));
  for (int32_t sourceX = 0; sourceX < width; sourceX += sliceWidth) {
    int32_t sourceWidth = std::min(sliceWidth, width - sourceX);
    double left = sourceX - halfWidth, right = sourceX + sourceWidth - halfWidth;
    auto targetLeft = static_cast<int32_t>(centreX + projectedX(left));
    auto targetRight = static_cast<int32_t>(centreX + projectedX(right));
    if (targetRight <= targetLeft) continue;
    double middle = (left + right) / 2.0;
    double scale = distance / (distance + middle * sine);
    auto targetHeight = static_cast<int32_t>(height * scale);
    auto targetTop = static_cast<int32_t>(centreY - targetHeight / 2.0);
    slices.push_back({{sourceX, 0, sourceWidth, height},
                      {targetLeft, targetTop, targetRight - targetLeft, targetHeight}});
  }
  return slices;
}
