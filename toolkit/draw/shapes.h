// Shapes: rectangle records, rounded-rectangle paths, fills, outlines and gradients over the
// GDI+ flat API. Each helper creates its brush or pen, draws, and deletes it again; each returns
// whether GDI+ reported success.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/geometry.h"  // Rect

inline Rect MakeRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  return Rect{x, y, width, height};
}

// A closed figure of four corner arcs (see RoundedRectArcs): boxes of d × d with d = 2·radius at
// the four corners, joined by the straight edges. A radius below 1 still yields a path (of
// degenerate arcs, i.e. a rectangle); the fill and outline helpers use plain rectangles there.
UniqueGpPath RoundedRectPath(int32_t x, int32_t y, int32_t width, int32_t height, int32_t radius);

UniqueGpBrush MakeSolidBrush(Argb colour);
// A pen of the given width in pixels; width 0 means 1.
UniqueGpPen MakePen(Argb colour, float penWidth);

bool FillRect(Gdiplus::GpGraphics* graphics, Argb colour, int32_t x, int32_t y, int32_t width,
              int32_t height);
bool FillPath(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, Argb colour);
// FillRect when radius < 1, else the rounded path.
bool FillRoundedRect(Gdiplus::GpGraphics* graphics, Argb colour, int32_t x, int32_t y,
                     int32_t width, int32_t height, int32_t radius);
// The rectangle's outline with a pen of penWidth pixels (1 when 0), as GdipDrawRectangleI draws
// it: the pen is centred on the edges x..x+width, y..y+height.
bool OutlineRect(Gdiplus::GpGraphics* graphics, Argb colour, int32_t x, int32_t y, int32_t width,
                 int32_t height, float penWidth = 0);
// OutlineRect when radius < 1, else the rounded path stroked with the pen.
bool OutlineRoundedRect(Gdiplus::GpGraphics* graphics, Argb colour, int32_t x, int32_t y,
                        int32_t width, int32_t height, int32_t radius, float penWidth = 0);

// Fills (x, y, width, height) with a linear gradient from `from` (top or left edge) to `to`
// (bottom or right edge); vertical runs top to bottom. The brush tiles flipped, so the last row or
// column is exactly `to` instead of wrapping back to `from`.
bool GradientFill(Gdiplus::GpGraphics* graphics, int32_t x, int32_t y, int32_t width,
                  int32_t height, Argb from, Argb to, bool vertical = true);
