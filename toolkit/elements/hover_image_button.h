// HoverImageButton: an image that gets an opaque black backdrop while the mouse is over it. Each
// change of the hover state cross-fades (5 ms ticks, 10 % a tick: 11 ticks).
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/draw/gdi_owners.h"
#include "toolkit/elements/element.h"

class HoverImageButton : public Element {
 public:
  // Decodes the image bytes (any format GDI+ reads) at the image's own size; bytes that do not
  // decode leave the button without an image (the hot backdrop still shows). Then creates and
  // shows the element.
  void Create(ObjectId parent, const Rect& rect, std::span<const uint8_t> imageBytes);
  // Redraws with a fade.
  virtual void Redraw();
  // Decodes and keeps a new image, then Redraw.
  virtual void SetImage(std::span<const uint8_t> imageBytes);

  bool hot() const { return hot_; }
  Gdiplus::GpImage* image() const { return image_.get(); }

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  void OnMouseEnter() override;
  void OnMouseLeave() override;

 private:
  bool hot_ = false;
  UniqueGpImage image_;
};
