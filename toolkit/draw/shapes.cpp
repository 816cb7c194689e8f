#include "toolkit/draw/shapes.h"

#include "toolkit/draw/geometry.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

UniqueGpPath RoundedRectPath(int32_t x, int32_t y, int32_t width, int32_t height, int32_t radius) {
  UniqueGpPath path;
  if (GdipCreatePath(FillModeAlternate, path.put()) != Ok) return path;
  for (const ArcSpec& arc : RoundedRectArcs(x, y, width, height, radius)) {
    GdipAddPathArc(path.get(), arc.x, arc.y, arc.width, arc.height, arc.startAngle, arc.sweepAngle);
  }
  GdipClosePathFigure(path.get());
  return path;
}

UniqueGpBrush MakeSolidBrush(Argb colour) {
  GpSolidFill* brush = nullptr;
  GdipCreateSolidFill(colour, &brush);
  return UniqueGpBrush(brush);
}

UniqueGpPen MakePen(Argb colour, float penWidth) {
  UniqueGpPen pen;
  GdipCreatePen1(colour, penWidth == 0 ? 1.0f : penWidth, UnitPixel, pen.put());
  return pen;
}

bool FillRect(GpGraphics* graphics, Argb colour, int32_t x, int32_t y, int32_t width,
              int32_t height) {
  UniqueGpBrush brush = MakeSolidBrush(colour);
  if (!graphics || !brush) return false;
  return GdipFillRectangleI(graphics, brush.get(), x, y, width, height) == Ok;
}

bool FillPath(GpGraphics* graphics, GpPath* path, Argb colour) {
  UniqueGpBrush brush = MakeSolidBrush(colour);
  if (!graphics || !path || !brush) return false;
  return GdipFillPath(graphics, brush.get(), path) == Ok;
}

bool FillRoundedRect(GpGraphics* graphics, Argb colour, int32_t x, int32_t y, int32_t width,
                     int32_t height, int32_t radius) {
  if (radius < 1) return FillRect(graphics, colour, x, y, width, height);
  UniqueGpPath path = RoundedRectPath(x, y, width, height, radius);
  return FillPath(graphics, path.get(), colour);
}

bool OutlineRect(GpGraphics* graphics, Argb colour, int32_t x, int32_t y, int32_t width,
                 int32_t height, float penWidth) {
  UniqueGpPen pen = MakePen(colour, penWidth);
  if (!graphics || !pen) return false;
  return GdipDrawRectangleI(graphics, pen.get(), x, y, width, height) == Ok;
}

bool OutlineRoundedRect(GpGraphics* graphics, Argb colour, int32_t x, int32_t y, int32_t width,
                        int32_t height, int32_t radius, float penWidth) {
  if (radius < 1) return OutlineRect(graphics, colour, x, y, width, height, penWidth);
  UniqueGpPen pen = MakePen(colour, penWidth);
  UniqueGpPath path = RoundedRectPath(x, y, width, height, radius);
  if (!graphics || !pen || !path) return false;
  return GdipDrawPath(graphics, pen.get(), path.get()) == Ok;
}

bool GradientFill(GpGraphics* graphics, int32_t x, int32_t y, int32_t width, int32_t height,
                  Argb from, Argb to, bool vertical) {
  if (!graphics || width < 1 || height < 1) return false;
  GpRect box(x, y, width, height);
  GpLineGradient* raw = nullptr;
  GdipCreateLineBrushFromRectI(&box, from, to,
                               vertical ? LinearGradientModeVertical : LinearGradientModeHorizontal,
                               WrapModeTileFlipXY, &raw);
  UniqueGpBrush brush(raw);
  if (!brush) return false;
  return GdipFillRectangleI(graphics, brush.get(), x, y, width, height) == Ok;
}
