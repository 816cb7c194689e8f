// Geometry, ordering and fade arithmetic of elements: the parts of the element model that need no
// window, so they are tested without Wine state.
//
// Coordinates: an element's rect is relative to its parent's top-left corner; absoluteRect and
// clipRect are window coordinates; clipOrigin is clipRect relative to the parent's absolute
// position. Rectangles are (x, y, width, height) records; an empty rectangle has width or height 0.
#pragma once

#include <cstdint>
#include <functional>

#include "toolkit/draw/geometry.h"  // Rect

// The overlap of two rectangles: the larger left and top edges, the smaller right and bottom edges.
// Rectangles that only touch (or do not meet) give the empty rectangle {0, 0, 0, 0}.
Rect IntersectRects(const Rect& a, const Rect& b);
bool IsEmptyRect(const Rect& r);

struct ElementGeometry {
  Rect absoluteRect;
  Rect clipRect;
  Rect clipOrigin;
};

// Where the parent stands, as far as a child's geometry is concerned. A window root has no
// position of its own: its children's absolute rectangles are their rects, unclipped.
struct ParentGeometry {
  bool isWindowRoot = true;
  Rect absoluteRect;
  Rect clipRect;
};

// absoluteRect = rect moved by the parent's absolute position; clipRect = that cut to the parent's
// clipRect; clipOrigin = clipRect relative to the parent's absolute position.
ElementGeometry ComputeGeometry(const Rect& rect, const ParentGeometry& parent);

// Offset of the visible part inside the element's own surface: where composition copies from.
inline int32_t SurfaceOffsetX(const ElementGeometry& g, const Rect& rect) {
  return g.clipOrigin.x - rect.x;
}
inline int32_t SurfaceOffsetY(const ElementGeometry& g, const Rect& rect) {
  return g.clipOrigin.y - rect.y;
}

// A mouse position as the window layer packs it: x in the low 16 bits, y in the high 16 bits.
struct PackedPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const PackedPoint&, const PackedPoint&) = default;
};
// x is the low 16 bits taken unsigned, y the value shifted right by 16 (so a negative y survives).
PackedPoint UnpackPoint(intptr_t packed);

// ---- Registry placement -----------------------------------------------------------------------
// The registry seen as a sequence of depths: depthAt(position) for 1 <= position <= count. A
// window root has depth 0.
using DepthAt = std::function<int32_t(int position)>;

// The position a new child takes when its parent stands at parentPosition (1-based): at the front
// of the parent's block of descendants when the parent has children, else directly in front of
// the parent. Answers 0 when parentPosition is 0 (the parent is not in the registry).
int ChildInsertPosition(int parentPosition, const DepthAt& depthAt);

// Number of entries in the block that starts at `position`: the entry itself and the entries just
// in front of it that are deeper (its descendants).
int BlockSize(int position, const DepthAt& depthAt);

// Where SetZOrder puts an element's block, in the registry as it stands once the block has been
// cut out. `parentPosition` is the parent's position in that registry. The block always stays
// contiguous, in front of its parent and inside the parent's block of descendants, and never
// splits a sibling's block:
//   kZOrderFront (1) and kZOrderTopmost (3641977): in front of every sibling;
//   kZOrderBack (0): behind every sibling, directly in front of the parent;
//   any other value: a registry position; the block goes in front of the sibling whose block
//   holds that position (clamped to the parent's descendants).
inline constexpr int32_t kZOrderBack = 0;
inline constexpr int32_t kZOrderFront = 1;
inline constexpr int32_t kZOrderTopmost = 3641977;
int ZOrderInsertPosition(int32_t request, int parentPosition, const DepthAt& depthAt);

// ---- Fades ------------------------------------------------------------------------------------
// One fade tick: alpha + step × 2.55, truncated after the addition, at most 255.
int32_t NextFadeAlpha(int32_t alpha, int32_t step);
// Defaults for a fade argument omitted or not positive.
inline constexpr int32_t kDefaultFadeInterval = 10;
inline constexpr int32_t kDefaultFadeStep = 10;
