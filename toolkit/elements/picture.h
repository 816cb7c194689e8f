// Picture: one decoded image drawn at its own size at the element's top-left corner, or nothing.
#pragma once

#include "toolkit/draw/gdi_owners.h"
#include "toolkit/elements/element.h"

class Picture : public Element {
 public:
  // Takes the image (may be empty), creates and shows the element.
  void Create(ObjectId parent, const Rect& rect, UniqueGpImage image);
  // Replaces the image (the old one is released) and Refresh.
  virtual void SetImage(UniqueGpImage image);
  // Releases the image; the picture then draws nothing (until the next refresh shows it so).
  virtual void ReleaseImage();

  Gdiplus::GpImage* image() const { return image_.get(); }

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  bool TracksLook() const override { return true; }

 private:
  UniqueGpImage image_;
};
