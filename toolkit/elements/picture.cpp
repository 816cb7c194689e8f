#include "toolkit/elements/picture.h"

#include "toolkit/draw/images.h"

void Picture::Create(ObjectId parent, const Rect& rect, UniqueGpImage image) {
  image_ = std::move(image);
  Initialise(parent, rect, FontObject(), false, true, false, false);
  Refresh();
}

void Picture::SetImage(UniqueGpImage image) {
  image_ = std::move(image);
  LookChanged();
  Refresh();
}

void Picture::ReleaseImage() {
  image_.reset();
  LookChanged();
}

void Picture::Paint(Gdiplus::GpGraphics* graphics) {
  if (image_) DrawImage(image_.get(), graphics, 0, 0);
}
