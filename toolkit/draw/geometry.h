// The toolkit's drawing geometry: its rectangle record, and the pure geometry behind the shape and
// image helpers (the arcs of a rounded rectangle, the nine pieces of a nine-grid stretch). No
// Windows header is needed here, so geometry code is tested without Wine state; the GDI+ call
// sites only feed these numbers to the flat API.
#pragma once

#include <array>
#include <cstdint>

// The toolkit's rectangle record: position and size, never right/bottom. Windows' own RECTs are
// converted on arrival. Windows, elements and the drawing helpers all speak it.
struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// One elliptic arc of a rounded-rectangle figure: the bounding box of its ellipse and the angles in
// degrees (clockwise from the positive x axis, as GDI+ measures them).
struct ArcSpec {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
  float startAngle = 0;
  float sweepAngle = 0;
  friend bool operator==(const ArcSpec&, const ArcSpec&) = default;
};

// The four corner arcs of a rounded rectangle with corner radius `radius`, in drawing order:
// top-left from 180°, top-right from 270°, bottom-right from 0°, bottom-left from 90°, each sweeping
// 90° inside a d × d box with d = 2·radius. Joined and closed they make the figure.
std::array<ArcSpec, 4> RoundedRectArcs(int32_t x, int32_t y, int32_t width, int32_t height,
                                       int32_t radius);

struct GridMargins {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// One piece of a nine-grid stretch: where it comes from in the source image and where it goes.
struct NineGridPiece {
  Rect source;
  Rect target;
};

// Cuts a source image of sourceWidth × sourceHeight and the target rectangle each into nine pieces
// by the margins, row by row from the top-left. Margins are first clamped to the source size
// (negative ones count as 0). Where the target is smaller than the two opposite margins together
// the target's edge pieces shrink in proportion to their margins and the middle piece gets no
// size, so the corners never overlap or spill outside the target. Pieces with no area in source
// or target are still listed, with their zero size; callers skip them.
std::array<NineGridPiece, 9> NineGridPieces(int32_t sourceWidth, int32_t sourceHeight,
                                            const Rect& target, const GridMargins& margins);
