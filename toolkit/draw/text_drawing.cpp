#include "toolkit/draw/text_drawing.h"

#include "toolkit/draw/images.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

RectF MeasureOn(GpGraphics* graphics, const FontObject& font, const std::wstring& text,
                std::optional<float> width) {
  RectF box(0, 0, 0, 0);
  if (!graphics || !font || text.empty()) return box;
  // A zero width or height of the layout box means "unbounded" to GDI+.
  RectF layout(0, 0, width.value_or(0), 0);
  GdipSetTextRenderingHint(graphics, static_cast<TextRenderingHint>(DefaultTextRenderingHint()));
  GdipMeasureString(graphics, text.c_str(), static_cast<INT>(text.size()), font.font(), &layout,
                    font.format(), &box, nullptr, nullptr);
  return box;
}

RectF MeasureOnDesktop(const FontObject& font, const std::wstring& text,
                       std::optional<float> width) {
  UniqueGpGraphics desktop;
  GdipCreateFromHWND(nullptr, desktop.put());
  return MeasureOn(desktop.get(), font, text, width);
}

// The blurred halo: the text in the glow colour at full size, shrunk to a third and stretched
// back over the layout. A layout under 3 × 3 pixels has no third to shrink to.
void DrawGlow(GpGraphics* graphics, const FontObject& font, const std::wstring& text,
              const RectF& layout) {
  const INT width = static_cast<INT>(layout.Width);
  const INT height = static_cast<INT>(layout.Height);
  UniqueGpBitmap full = CreateArgbBitmap(width, height);
  UniqueGpGraphics fullGraphics = GraphicsForImage(full.get());
  if (!fullGraphics) return;
  GdipSetTextRenderingHint(fullGraphics.get(),
                           static_cast<TextRenderingHint>(DefaultTextRenderingHint()));
  RectF fullBox(0, 0, static_cast<REAL>(width), static_cast<REAL>(height));
  GdipDrawString(fullGraphics.get(), text.c_str(), static_cast<INT>(text.size()), font.font(),
                 &fullBox, font.format(), font.glowBrush());
  fullGraphics.reset();

  UniqueGpBitmap small = CreateArgbBitmap(width / 3, height / 3);
  UniqueGpGraphics smallGraphics = GraphicsForImage(small.get());
  if (!smallGraphics) return;
  GdipSetInterpolationMode(smallGraphics.get(), InterpolationModeHighQualityBicubic);
  GdipSetCompositingQuality(smallGraphics.get(), CompositingQualityHighQuality);
  GdipSetSmoothingMode(smallGraphics.get(), SmoothingModeHighQuality);
  GdipDrawImageRectI(smallGraphics.get(), full.get(), 0, 0, width / 3, height / 3);
  smallGraphics.reset();

  GdipDrawImageRect(graphics, small.get(), layout.X, layout.Y, layout.Width, layout.Height);
}

}  // namespace

SizeF MeasureText(const FontObject& font, const WideText& text, std::optional<float> width) {
  RectF box = MeasureOnDesktop(font, text.WString(), width);
  return SizeF(box.Width, box.Height);
}

SizeF MeasureText(const FontObject& font, const std::string& text, std::optional<float> width) {
  WideText wide;
  wide.SetText(text);
  return MeasureText(font, wide, width);
}

SizeF MeasureText(const FontDescription& description, const std::string& text,
                  std::optional<float> width) {
  return MeasureText(MakeFont(description), text, width);
}

bool DrawText(GpGraphics* graphics, const FontObject& font, const WideText& text,
              std::optional<RectF> layout) {
  if (!graphics || !font) return false;
  const std::wstring wide = text.WString();
  if (wide.empty()) return true;
  const RectF box = layout ? *layout : MeasureOn(graphics, font, wide, std::nullopt);

  if (font.hasGlow() && font.glowBrush()) DrawGlow(graphics, font, wide, box);

  GdipSetTextRenderingHint(graphics, static_cast<TextRenderingHint>(DefaultTextRenderingHint()));
  return GdipDrawString(graphics, wide.c_str(), static_cast<INT>(wide.size()), font.font(), &box,
                        font.format(), font.textBrush()) == Ok;
}

bool DrawText(GpGraphics* graphics, const FontObject& font, const std::string& text,
              std::optional<RectF> layout) {
  WideText wide;
  wide.SetText(text);
  return DrawText(graphics, font, wide, layout);
}
