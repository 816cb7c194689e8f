// SpriteAnimation: an image strip of equal frames side by side, played on a window-thread timer
// (key 15600) from creation on, shown or not; while hidden it counts frames without painting or
// presenting. The frames shown in turn are cells 1 to frameCount - 1; cell 0 is never shown.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/draw/gdi_owners.h"
#include "toolkit/elements/element.h"

inline constexpr int32_t kSpriteTimerKey = 15600;

class SpriteAnimation : public Element {
 public:
  // `rect` is given with the whole strip's width and comes back one frame wide (width /
  // frameCount, truncated); the element is that wide. A frameCount below 1 counts as 1. Strip
  // bytes that do not decode leave the animation drawing nothing.
  void Create(ObjectId parent, Rect& rect, std::span<const uint8_t> stripBytes,
              int32_t frameCount, int32_t intervalMs);
  // Refresh.
  virtual void Redraw();

  int32_t frame() const { return frame_; }
  int32_t frameCount() const { return frameCount_; }
  int32_t interval() const { return interval_; }
  const Rect& frameRect() const { return frameRect_; }

 protected:
  void Paint(Gdiplus::GpGraphics* graphics) override;
  void OnTimer(int32_t key, intptr_t value) override;

 private:
  UniqueGpImage strip_;
  int32_t interval_ = 0;
  Rect frameRect_;
  int32_t frame_ = 0;
  int32_t frameCount_ = 0;
};
