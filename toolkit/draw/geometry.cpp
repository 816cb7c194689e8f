#include "toolkit/draw/geometry.h"

#include <algorithm>

std::array<ArcSpec, 4> RoundedRectArcs(int32_t x, int32_t y, int32_t width, int32_t height,
                                       int32_t radius) {
  const float d = 2.0f * static_cast<float>(radius);
  const float left = static_cast<float>(x);
  const float top = static_cast<float>(y);
  const float right = static_cast<float>(x) + static_cast<float>(width) - d;
  const float bottom = static_cast<float>(y) + static_cast<float>(height) - d;
  return {{
      {left, top, d, d, 180, 90},
      {right, top, d, d, 270, 90},
      {right, bottom, d, d, 0, 90},
      {left, bottom, d, d, 90, 90},
  }};
}

namespace {

// One axis of the grid: the three spans (start, middle, end) of the source and of the target.
struct AxisCut {
  int32_t source[3];
  int32_t target[3];
};

AxisCut CutAxis(int32_t sourceLength, int32_t targetLength, int32_t startMargin, int32_t endMargin) {
  sourceLength = std::max(sourceLength, 0);
  targetLength = std::max(targetLength, 0);
  startMargin = std::clamp(startMargin, 0, sourceLength);
  endMargin = std::clamp(endMargin, 0, sourceLength - startMargin);

  AxisCut cut{};
  cut.source[0] = startMargin;
  cut.source[1] = sourceLength - startMargin - endMargin;
  cut.source[2] = endMargin;

  int64_t margins = static_cast<int64_t>(startMargin) + endMargin;
  if (margins <= targetLength) {
    cut.target[0] = startMargin;
    cut.target[1] = targetLength - startMargin - endMargin;
    cut.target[2] = endMargin;
  } else {
    // Too small for both borders: share the target between them in proportion.
    cut.target[0] = static_cast<int32_t>(static_cast<int64_t>(targetLength) * startMargin / margins);
    cut.target[1] = 0;
    cut.target[2] = targetLength - cut.target[0];
  }
  return cut;
}

}  // namespace

std::array<NineGridPiece, 9> NineGridPieces(int32_t sourceWidth, int32_t sourceHeight,
                                            const Rect& target, const GridMargins& margins) {
  const AxisCut across = CutAxis(sourceWidth, target.width, margins.left, margins.right);
  const AxisCut down = CutAxis(sourceHeight, target.height, margins.top, margins.bottom);

  std::array<NineGridPiece, 9> pieces{};
  int32_t sourceY = 0;
  int32_t targetY = target.y;
  for (int row = 0; row < 3; ++row) {
    int32_t sourceX = 0;
    int32_t targetX = target.x;
    for (int column = 0; column < 3; ++column) {
      NineGridPiece& piece = pieces[row * 3 + column];
      piece.source = {sourceX, sourceY, across.source[column], down.source[row]};
      piece.target = {targetX, targetY, across.target[column], down.target[row]};
      sourceX += across.source[column];
      targetX += across.target[column];
    }
    sourceY += down.source[row];
    targetY += down.target[row];
  }
  return pieces;
}
