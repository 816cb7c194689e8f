#include "toolkit/elements/sprite_animation.h"

#include <algorithm>

#include "toolkit/draw/images.h"

void SpriteAnimation::Create(ObjectId parent, Rect& rect, std::span<const uint8_t> stripBytes,
                             int32_t frameCount, int32_t intervalMs) {
  frameCount = std::max<int32_t>(frameCount, 1);
  rect.width /= frameCount;
  strip_ = UniqueGpImage(LoadImageFromBytes(stripBytes).release());
  frame_ = 1;
  frameCount_ = frameCount;
  frameRect_ = rect;
  Initialise(parent, rect, FontObject(), false, true, false, false);
  interval_ = intervalMs;
  SetTimer(kSpriteTimerKey, intervalMs, 0);
  Redraw();
}

void SpriteAnimation::Redraw() { Refresh(); }

void SpriteAnimation::Paint(Gdiplus::GpGraphics* graphics) {
  if (strip_) DrawImage(strip_.get(), graphics, -(frameRect_.width * frame_), 0);
}

void SpriteAnimation::OnTimer(int32_t key, intptr_t) {
  if (key != kSpriteTimerKey) return;
  ++frame_;
  // ">=" rather than "==": a strip of one frame would otherwise count up past its end for ever.
  if (frame_ >= frameCount_) frame_ = 1;
  // Hidden, nothing is painted or presented: the tick only leaves the surface stale, and showing
  // the animation (Visible) paints the frame it has reached. An idle window with the indicator
  // hidden then wakes for the timer and nothing else.
  if (IsEffectivelyVisible()) {
    Redraw();
  } else {
    Repaint(false, true);
  }
}
