// ImageButton: three images for normal, hot and pressed. The state follows the mouse: 1 normal
// (after leaving), 2 hot (entering), 3 pressed (left button down); it stays pressed after the
// button comes up until the mouse leaves or enters again. Each change cross-fades from the old
// look (10 ms ticks, 10 % a tick).
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/draw/gdi_owners.h"
#include "toolkit/elements/element.h"

class ImageButton : public Element {
 public:
  enum State : int32_t { kReleased = 0, kNormal = 1, kHot = 2, kPressed = 3 };

  // Takes the three images (any may be empty), creates and shows the element in state normal.
  void Create(ObjectId parent, const Rect& rect, UniqueGpImage normal, UniqueGpImage hot,
              UniqueGpImage pressed);
  // Replaces the three images (the old ones are released) and Refresh.
  virtual void SetImages(UniqueGpImage normal, UniqueGpImage hot, UniqueGpImage pressed);
  // Releases the three images; state becomes released (0), which draws nothing.
  virtual void ReleaseImages();
  // Redraws with a fade.
  virtual void Redraw();

  int32_t state() const { return state_; }

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  void OnLeftDown(PackedPoint point) override;
  void OnMouseEnter() override;
  void OnMouseLeave() override;

 private:
  std::array<UniqueGpImage, 3> images_;  // normal, hot, pressed
  int32_t state_ = kNormal;
};
