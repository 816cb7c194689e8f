#include "toolkit/elements/image_button.h"

#include "toolkit/draw/images.h"

void ImageButton::Create(ObjectId parent, const Rect& rect, UniqueGpImage normal,
                         UniqueGpImage hot, UniqueGpImage pressed) {
  images_ = {std::move(normal), std::move(hot), std::move(pressed)};
  state_ = kNormal;
  Initialise(parent, rect, FontObject(), false, true, false, false);
  Refresh();
}

void ImageButton::SetImages(UniqueGpImage normal, UniqueGpImage hot, UniqueGpImage pressed) {
  images_ = {std::move(normal), std::move(hot), std::move(pressed)};
  Refresh();
}

void ImageButton::ReleaseImages() {
  for (auto& image : images_) image.reset();
  state_ = kReleased;
}

void ImageButton::Redraw() { FadeIn(10, 10, 0); }

void ImageButton::Paint(Gdiplus::GpGraphics* graphics) {
  if (state_ < kNormal || state_ > kPressed) return;
  if (Gdiplus::GpImage* image = images_[static_cast<size_t>(state_ - 1)].get()) {
    DrawImage(image, graphics, 0, 0);
  }
}

void ImageButton::OnLeftDown(PackedPoint) {
  state_ = kPressed;
  Redraw();
}

void ImageButton::OnMouseEnter() {
  state_ = kHot;
  Redraw();
}

void ImageButton::OnMouseLeave() {
  state_ = kNormal;
  Redraw();
}
