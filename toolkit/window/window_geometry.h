// Geometry of the window layer that needs no Windows API: the strict inside test, mouse point
// packing, border zones, caption-button and title layout, the maximised placement, centring.
// Everything is in window coordinates unless stated; real values truncate toward zero.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/draw/geometry.h"  // Rect

struct Point32 {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point32&, const Point32&) = default;
};

struct Size32 {
  int32_t width = 0;
  int32_t height = 0;
};

// ---- Points -----------------------------------------------------------------------------------

// x < px < x + width and y < py < y + height: a point on any edge is outside.
bool PointStrictlyInside(const Rect& rect, Point32 point);

// The mouse position of a window message's lParam: x is the low word taken unsigned, y the 32-bit
// value shifted right by 16 (arithmetic, so a negative y survives).
Point32 MousePointFromLParam(intptr_t lParam);

// MAKELONG(x, y) with each coordinate cut to 16 bits, as a signed 32-bit value (so a reader that
// shifts right by 16 gets a negative y back).
int32_t PackPoint(int32_t x, int32_t y);

// Wheel notches of WM_MOUSEWHEEL's wParam: the signed high word / 120, truncated toward zero.
int32_t WheelSteps(uintptr_t wParam);

// ---- Placement --------------------------------------------------------------------------------

// Top-left corner that centres a width × height window on a screen (integer halves).
Point32 CentredPosition(int32_t screenWidth, int32_t screenHeight, int32_t width, int32_t height);

// Where a maximised window goes: the part of `target` inside `workArea` (the taskbar stays
// visible), enlarged by shadowSize on every side and by one more pixel in width and height, so that
// only the shadow lies outside the visible area.
Rect MaximisedPlacement(const Rect& target, const Rect& workArea, int32_t shadowSize);

// ---- Border zones -----------------------------------------------------------------------------

// The sides of the system resize (SC_SIZE + side); 0 = not on a border.
enum BorderZone : int32_t {
  kNoBorder = 0,
  kBorderLeft = 1,
  kBorderRight = 2,
  kBorderTop = 3,
  kBorderTopLeft = 4,
  kBorderTopRight = 5,
  kBorderBottom = 6,
  kBorderBottomLeft = 7,
  kBorderBottomRight = 8,
};

// Corners (within 6 pixels of both adjacent edges) win over the bands; the top and bottom bands
// (within shadowSize + 3 of the edge) win over the left and right bands. Points outside the window
// are on no border.
BorderZone BorderZoneAt(Point32 point, int32_t width, int32_t height, int32_t shadowSize);

// ---- Caption buttons and title --------------------------------------------------------------

// Places buttons of the given sizes right to left: the first one's right edge at
// windowWidth − shadowSize − 1 − margin, each further one immediately left of the previous, all at
// y = shadowSize.
std::vector<Rect> LayoutCaptionRow(int32_t windowWidth, int32_t shadowSize, int32_t margin,
                                   const std::vector<Size32>& sizes);

// Smallest rectangle holding all of `rects`; (0, 0, 0, 0) for none.
Rect UnionOfRects(const std::vector<Rect>& rects);

// The title (caption) area: (0, 0, windowWidth − stripWidth − margin − 2·shadowSize, textHeight).
Rect TitleAreaRect(int32_t windowWidth, int32_t stripWidth, int32_t margin, int32_t shadowSize,
                   int32_t textHeight);

// Where a left press starts a window move: x from titleArea.x − 2·shadowSize, y from 0,
// width windowWidth − stripWidth − margin, height shadowSize + 23.
Rect TitleDragRect(const Rect& titleArea, int32_t windowWidth, int32_t stripWidth, int32_t margin,
                   int32_t shadowSize);
