#include "toolkit/elements/hover_image_button.h"

#include "toolkit/draw/images.h"
#include "toolkit/draw/shapes.h"

namespace {
UniqueGpImage Decode(std::span<const uint8_t> bytes) {
  return UniqueGpImage(LoadImageFromBytes(bytes).release());
}
}  // namespace

void HoverImageButton::Create(ObjectId parent, const Rect& rect,
                              std::span<const uint8_t> imageBytes) {
  image_ = Decode(imageBytes);
  Initialise(parent, rect, FontObject(), false, true, false, false);
  Refresh();
}

void HoverImageButton::Redraw() { FadeIn(5, 10, 0); }

void HoverImageButton::SetImage(std::span<const uint8_t> imageBytes) {
  image_ = Decode(imageBytes);
  Redraw();
}

void HoverImageButton::Paint(Gdiplus::GpGraphics* graphics) {
  if (hot_) FillRect(graphics, MakeArgb(255, 0, 0, 0), 0, 0, GetWidth(), GetHeight());
  if (image_) DrawImage(image_.get(), graphics, 0, 0);
}

void HoverImageButton::OnMouseEnter() {
  hot_ = true;
  Redraw();
}

void HoverImageButton::OnMouseLeave() {
  hot_ = false;
  Redraw();
}
