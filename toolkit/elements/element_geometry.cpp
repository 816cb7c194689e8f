#include "toolkit/elements/element_geometry.h"

#include <algorithm>

Rect IntersectRects(const Rect& a, const Rect& b) {
  const int64_t left = std::max<int64_t>(a.x, b.x);
  const int64_t top = std::max<int64_t>(a.y, b.y);
  const int64_t right = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
  const int64_t bottom = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
  if (right <= left || bottom <= top) return Rect{};
  return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
              static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

bool IsEmptyRect(const Rect& r) { return r.width <= 0 || r.height <= 0; }

ElementGeometry ComputeGeometry(const Rect& rect, const ParentGeometry& parent) {
  ElementGeometry g;
  if (parent.isWindowRoot) {
    g.absoluteRect = rect;
    g.clipRect = rect;
  } else {
    g.absoluteRect = Rect{parent.absoluteRect.x + rect.x, parent.absoluteRect.y + rect.y,
                          rect.width, rect.height};
    g.clipRect = IntersectRects(g.absoluteRect, parent.clipRect);
  }
  const int32_t originX = parent.isWindowRoot ? 0 : parent.absoluteRect.x;
  const int32_t originY = parent.isWindowRoot ? 0 : parent.absoluteRect.y;
  g.clipOrigin = Rect{g.clipRect.x - originX, g.clipRect.y - originY, g.clipRect.width,
                      g.clipRect.height};
  return g;
}

PackedPoint UnpackPoint(intptr_t packed) {
  const auto value = static_cast<int32_t>(packed);
  return PackedPoint{static_cast<int32_t>(static_cast<uint32_t>(value) & 0xFFFFu), value >> 16};
}

int ChildInsertPosition(int parentPosition, const DepthAt& depthAt) {
  if (parentPosition < 1) return 0;
  const int32_t parentDepth = depthAt(parentPosition);
  if (parentPosition > 1 && depthAt(parentPosition - 1) == parentDepth + 1) {
    for (int position = parentPosition - 1; position >= 1; --position) {
      if (depthAt(position) <= parentDepth) return position + 1;
    }
    return 1;
  }
  return parentPosition;
}

int BlockSize(int position, const DepthAt& depthAt) {
  if (position < 1) return 0;
  const int32_t depth = depthAt(position);
  int size = 1;
  while (position - size >= 1 && depthAt(position - size) > depth) ++size;
  return size;
}

int ZOrderInsertPosition(int32_t request, int parentPosition, const DepthAt& depthAt) {
  if (parentPosition < 1) return 0;
  if (request == kZOrderBack) return parentPosition;
  const int32_t parentDepth = depthAt(parentPosition);
  const bool toFront = request == kZOrderFront || request == kZOrderTopmost;
  // Walk the parent's children from the back-most towards the front, one sibling block at a time.
  int sibling = parentPosition - 1;
  while (sibling >= 1 && depthAt(sibling) > parentDepth) {
    const int top = sibling - BlockSize(sibling, depthAt) + 1;
    if (!toFront && request >= top && request <= sibling) return top;
    sibling = top - 1;
  }
  const int frontOfSiblings = sibling + 1;
  if (toFront || request < frontOfSiblings) return frontOfSiblings;
  return parentPosition;
}

int32_t NextFadeAlpha(int32_t alpha, int32_t step) {
  // alpha + step × 2.55 in hundredths, so the truncation happens after the addition exactly.
  const int64_t next = (int64_t{alpha} * 100 + int64_t{step} * 255) / 100;
  return static_cast<int32_t>(std::clamp<int64_t>(next, 0, 255));
}
