#include "toolkit/window/window_geometry.h"

#include <algorithm>

bool PointStrictlyInside(const Rect& rect, Point32 point) {
  // In 64 bits: x + width must not wrap for rectangles near the 32-bit limits.
  int64_t right = int64_t{rect.x} + rect.width;
  int64_t bottom = int64_t{rect.y} + rect.height;
  return rect.x < point.x && point.x < right && rect.y < point.y && point.y < bottom;
}

Point32 MousePointFromLParam(intptr_t lParam) {
  auto low32 = static_cast<int32_t>(static_cast<uint32_t>(lParam));
  return {static_cast<int32_t>(static_cast<uint32_t>(low32) & 0xFFFF), low32 >> 16};
}

int32_t PackPoint(int32_t x, int32_t y) {
  uint32_t packed = (static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16);
  return static_cast<int32_t>(packed);
}

int32_t WheelSteps(uintptr_t wParam) {
  auto delta = static_cast<int16_t>(static_cast<uint16_t>(wParam >> 16));
  return delta / 120;
}

Point32 CentredPosition(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height) {
  return {(screenWidth - width) / 2, (screenHeight - height) / 2};
}

Rect MaximisedPlacement(const Rect& target, const Rect& workArea, int32_t shadowSize) {
  int32_t left = std::max(target.x, workArea.x);
  int32_t top = std::max(target.y, workArea.y);
  int32_t right = std::min(target.x + target.width, workArea.x + workArea.width);
  int32_t bottom = std::min(target.y + target.height, workArea.y + workArea.height);
  if (right <= left || bottom <= top) {  // no overlap: the work area is all we know
    left = workArea.x;
    top = workArea.y;
    right = workArea.x + workArea.width;
    bottom = workArea.y + workArea.height;
  }
  return {left - shadowSize, top - shadowSize, right - left + 2 * shadowSize + 1,
          bottom - top + 2 * shadowSize + 1};
}

BorderZone BorderZoneAt(Point32 point, int32_t width, int32_t height, int32_t shadowSize) {
  const int32_t x = point.x;
  const int32_t y = point.y;
  if (x < 0 || y < 0 || x >= width || y >= height) return kNoBorder;
  constexpr int32_t kCorner = 6;
  const int32_t band = shadowSize + 3;
  const bool nearLeft = x < kCorner, nearRight = x >= width - kCorner;
  const bool nearTop = y < kCorner, nearBottom = y >= height - kCorner;
  if (nearTop && nearLeft) return kBorderTopLeft;
  if (nearTop && nearRight) return kBorderTopRight;
  if (nearBottom && nearLeft) return kBorderBottomLeft;
  if (nearBottom && nearRight) return kBorderBottomRight;
  if (y < band) return kBorderTop;
  if (y >= height - band) return kBorderBottom;
  if (x < band) return kBorderLeft;
  if (x >= width - band) return kBorderRight;
  return kNoBorder;
}

std::vector<Rect> LayoutCaptionRow(int32_t windowWidth, int32_t shadowSize, int32_t margin,
                                   const std::vector<Size32>& sizes) {
  std::vector<Rect> placed;
  placed.reserve(sizes.size());
  int32_t right = windowWidth - shadowSize - 1 - margin;
  for (const Size32& size : sizes) {
    right -= size.width;
    placed.push_back({right, shadowSize, size.width, size.height});
  }
  return placed;
}

Rect UnionOfRects(const std::vector<Rect>& rects) {
  if (rects.empty()) return {};
  int32_t left = rects.front().x, top = rects.front().y;
  int32_t right = left + rects.front().width, bottom = top + rects.front().height;
  for (const Rect& r : rects) {
    left = std::min(left, r.x);
    top = std::min(top, r.y);
    right = std::max(right, r.x + r.width);
    bottom = std::max(bottom, r.y + r.height);
  }
  return {left, top, right - left, bottom - top};
}

Rect TitleAreaRect(int32_t windowWidth, int32_t stripWidth, int32_t margin, int32_t shadowSize,
                   int32_t textHeight) {
  return {0, 0, windowWidth - stripWidth - margin - 2 * shadowSize, textHeight};
}

Rect TitleDragRect(const Rect& titleArea, int32_t windowWidth, int32_t stripWidth, int32_t margin,
                   int32_t shadowSize) {
  return {titleArea.x - 2 * shadowSize, 0, windowWidth - stripWidth - margin, shadowSize + 23};
}
