// Element drawing: painting into the element's surface, composition into the window's main
// surface, presentation requests, visibility, Move and the fade transitions.
//
// Composition is incremental: a change restores only the element's visible rectangle from the
// window background and re-blends the elements that overlap it, back to front, each from the
// surface it currently shows (currentSurfaceDc). Every blend is AlphaBlend source-over with the
// element's constant opacity (255 - transparency) and the surface's premultiplied per-pixel alpha.
#include <windows.h>

#include "toolkit/draw/blend_dc.h"
#include "toolkit/elements/element.h"
#include "toolkit/elements/element_timers.h"
#include "toolkit/window/toolkit.h"
#include "toolkit/window/window_props.h"

namespace {

HDC DcProperty(HWND window, const char* name) {
  return window ? static_cast<HDC>(ReadWindowProp(window, name)) : nullptr;
}

void CopyRect(HDC destination, HDC source, const Rect& area) {
  if (destination && source && !IsEmptyRect(area)) {
    BitBlt(destination, area.x, area.y, area.width, area.height, source, area.x, area.y, SRCCOPY);
  }
}

// Copies a whole surface into another of the same size.
void CopySurface(WindowSurface& destination, const WindowSurface& source) {
  if (!destination || !source) return;
  BitBlt(destination.memoryDc(), 0, 0, destination.width(), destination.height(), source.memoryDc(),
         0, 0, SRCCOPY);
}

uint8_t Opacity(int32_t transparency) { return static_cast<uint8_t>(255 - transparency); }

}  // namespace

HDC Element::MainDc() const { return DcProperty(hostWindow, kPropMainDc); }
HDC Element::BackgroundDc() const { return DcProperty(hostWindow, kPropBackgroundDc); }

void Element::EnsureSurfaceCurrent() {
  if (!state_.surfaceStale || state_.transitionRunning || !surface_ || !IsEffectivelyVisible()) return;
  surface_.Clear();
  Paint(surface_.graphics());
  state_.surfaceStale = false;
  state_.lookCurrent = true;
}

void Element::BlendSelf(HDC mainDc, HDC source) {
  if (!mainDc || !source || IsEmptyRect(clipRect)) return;
  BlendDc(mainDc, clipRect.x, clipRect.y, clipRect.width, clipRect.height, source,
          state_.clipOrigin.x - state_.rect.x, state_.clipOrigin.y - state_.rect.y, clipRect.width, clipRect.height,
          Opacity(state_.transparency), AC_SRC_ALPHA);
}

void Element::BlendOverlapping(HDC mainDc, const Rect& area, std::optional<HDC> self) {
  if (!mainDc || IsEmptyRect(area)) return;
  const int rootPosition = RegistryIndexOf(GetIdProp(hostWindow, kPropObjectId));
  if (rootPosition == 0) return;
  // When this element's look is not part of the picture (Move erasing its old place), its
  // descendants are left out too: they move with it and must not be redrawn where it was.
  const int ownPosition = self ? 0 : RegistryIndexOf(objectId);
  const int ownBlockFront =
      ownPosition > 0 ? ownPosition - BlockSize(ownPosition, [](int at) { return DepthOf(RegistryAt(at)); }) + 1
                      : 0;
  for (int position = rootPosition - 1; position >= 1; --position) {
    const ObjectId id = RegistryAt(position);
    ElementNode* node = ElementFromId(id);
    if (node == nullptr || node->hostWindow != hostWindow) break;
    if (ownPosition > 0 && position >= ownBlockFront && position <= ownPosition) continue;
    if (node == this) {
      if (self && IsEffectivelyVisible()) BlendSelf(mainDc, *self);
      continue;
    }
    auto* other = dynamic_cast<Element*>(node);
    if (other == nullptr || !other->IsEffectivelyVisible()) continue;
    const Rect overlap = IntersectRects(other->clipRect, area);
    if (IsEmptyRect(overlap)) continue;
    if (other->state_.currentSurfaceDc == other->surface_.memoryDc()) other->EnsureSurfaceCurrent();
    BlendDc(mainDc, overlap.x, overlap.y, overlap.width, overlap.height, other->state_.currentSurfaceDc,
            overlap.x - other->absoluteRect.x, overlap.y - other->absoluteRect.y, overlap.width,
            overlap.height, Opacity(other->state_.transparency), AC_SRC_ALPHA);
  }
}

// ==== Painting, composition, presentation ====================================================

bool Element::Repaint(bool compositeAlways, bool surfaceOnly) {
  if (!IsEffectivelyVisible()) {
    state_.surfaceStale = true;
    return false;
  }
  surface_.Clear();
  Paint(surface_.graphics());
  state_.surfaceStale = false;
  state_.lookCurrent = true;
  if (compositeAlways || !surfaceOnly) Composite();
  return true;
}

void Element::Composite(std::optional<HDC> surfaceDc) {
  const HDC source = surfaceDc.value_or(surface_.memoryDc());
  if (source == surface_.memoryDc()) EnsureSurfaceCurrent();
  const HDC mainDc = MainDc();
  CopyRect(mainDc, BackgroundDc(), clipRect);
  state_.currentSurfaceDc = source;
  BlendOverlapping(mainDc, clipRect, source);
}

void Element::Refresh() {
  if (TracksLook() && state_.lookCurrent && SurfaceReusable()) {
    Composite();
  } else {
    Repaint(false, false);
  }
  state_.presentNow = false;
  PresentFrame(false);
}

bool Element::SurfaceReusable() const {
  return !state_.transitionRunning && !state_.surfaceStale && surface_ && IsEffectivelyVisible();
}

void Element::RefreshNow() {
  Repaint(false, false);
  state_.presentNow = true;
  PresentRect();
}

void Element::PresentRect() {
  if (hostWindow == nullptr) return;
  const Rect area = clipRect;  // the window copies it before answering
  SendUpdateRect(hostWindow, area);
}

void Element::MarkPresentPending() {
  if (hostWindow != nullptr) SetPresentPending(hostWindow);
}

void Element::PresentFrame(bool honourPresentNow) {
  if (!DeferredPresentation() || (honourPresentNow && state_.presentNow)) {
    PresentRect();
  } else {
    MarkPresentPending();
  }
}

// ==== Visibility, disablement, Move ==========================================================

bool Element::Visible(std::optional<bool> value) {
  if (value) {
    visible = *value;
    HandleMessage(element_message::kVisibleChanged, visible ? 1 : 0, 0);
    Composite(surface_.memoryDc());
    PresentRect();
  }
  return visible;
}

bool Element::Disabled(std::optional<bool> value) {
  if (value) {
    disabled = *value;
    HandleMessage(element_message::kEnabledChanged, disabled ? 0 : 1, 0);
    Refresh();
  }
  return disabled;
}

bool Element::Move(std::optional<int32_t> x, std::optional<int32_t> y,
                   std::optional<int32_t> width, std::optional<int32_t> height) {
  const Rect next{x.value_or(state_.rect.x), y.value_or(state_.rect.y), width.value_or(state_.rect.width),
                  height.value_or(state_.rect.height)};
  const bool sizeChanged = next.width != state_.rect.width || next.height != state_.rect.height;
  const bool moved = next.x != state_.rect.x || next.y != state_.rect.y;
  if (!sizeChanged && !moved) return false;

  // Erase the old place: background, then everything else that overlapped it.
  const HDC mainDc = MainDc();
  CopyRect(mainDc, BackgroundDc(), clipRect);
  BlendOverlapping(mainDc, clipRect, std::nullopt);

  if (sizeChanged) {
    state_.lookCurrent = false;
    surface_.Release();
    transitionNew_.Release();
    transitionMix_.Release();
    surface_ = WindowSurface::Create(next.width, next.height);
    state_.currentSurfaceDc = surface_.memoryDc();
    state_.surfaceStale = true;
  }
  state_.rect = next;
  if (sizeChanged) HandleMessage(element_message::kResized, 0, 0);
  if (moved) HandleMessage(element_message::kMoved, 0, 0);
  HandleMessage(element_message::kGeometry, 0, 0);
  Repaint(false, false);
  return true;
}

// ==== Fades ===================================================================================

void Element::FadeIn(std::optional<int32_t> intervalMs, std::optional<int32_t> step,
                     int32_t mode) {
  if (!AnimationsEnabled()) {
    Refresh();
    return;
  }
  const int32_t interval = intervalMs && *intervalMs > 0 ? *intervalMs : kDefaultFadeInterval;
  const int32_t percent = step && *step > 0 ? *step : kDefaultFadeStep;
  // One transition at a time: a fade-out still running would draw over this one's frames.
  KillTimer(kFadeOutTimerKey);
  if (!transitionNew_ || !transitionMix_) {
    if (!transitionNew_) transitionNew_ = WindowSurface::Create(state_.rect.width, state_.rect.height);
    if (!transitionMix_) transitionMix_ = WindowSurface::Create(state_.rect.width, state_.rect.height);
  } else {
    if (state_.transitionRunning) {
      // The frame on screen becomes the old look.
      CopySurface(surface_, transitionMix_);
      state_.lookCurrent = false;  // a fade's frame, not the kind's look
      state_.currentSurfaceDc = surface_.memoryDc();
    }
    transitionNew_.Clear();
  }
  Paint(transitionNew_.graphics());
  state_.transitionAlpha = 0;
  state_.fadeInMode = mode;
  state_.transitionRunning = true;
  SetTimer(kFadeInTimerKey, interval, percent);
}

void Element::FadeInFrame(intptr_t step) {
  state_.transitionAlpha = NextFadeAlpha(state_.transitionAlpha, static_cast<int32_t>(step));
  // A size change replaces the surfaces and drops the transition buffers; the timer then runs out
  // showing the plain surface.
  const bool buffers = transitionNew_ && transitionMix_ && surface_ &&
                       transitionMix_.width() == surface_.width() &&
                       transitionMix_.height() == surface_.height();
  if (buffers) {
    const int32_t w = surface_.width();
    const int32_t h = surface_.height();
    const HDC mix = transitionMix_.memoryDc();
    if (state_.fadeInMode != 0) {
      BlendDc(mix, 0, 0, w, h, surface_.memoryDc(), 0, 0, w, h, 255, 0);  // old look stays whole
    } else {
      transitionMix_.Clear();
      GdiFlush();
      BlendDc(mix, 0, 0, w, h, surface_.memoryDc(), 0, 0, w, h, Opacity(state_.transitionAlpha),
              AC_SRC_ALPHA);
    }
    BlendDc(mix, 0, 0, w, h, transitionNew_.memoryDc(), 0, 0, w, h,
            static_cast<uint8_t>(state_.transitionAlpha), AC_SRC_ALPHA);
    Composite(mix);
  } else {
    Composite(surface_.memoryDc());
  }
  PresentFrame(true);
  if (state_.transitionAlpha == 255) {
    KillTimer(kFadeInTimerKey);
    if (buffers) CopySurface(surface_, transitionNew_);
    state_.lookCurrent = false;
    state_.currentSurfaceDc = surface_.memoryDc();
    state_.transitionRunning = false;
    state_.surfaceStale = false;
  }
}

void Element::FadeOut(std::optional<int32_t> intervalMs, std::optional<int32_t> step,
                      int32_t mode) {
  if (!AnimationsEnabled()) {
    Refresh();
    return;
  }
  const int32_t interval = intervalMs && *intervalMs > 0 ? *intervalMs : kDefaultFadeInterval;
  const int32_t percent = step && *step > 0 ? *step : kDefaultFadeStep;
  KillTimer(kFadeInTimerKey);
  if (transitionNew_) {
    if (state_.transitionRunning && transitionMix_) {
      CopySurface(surface_, transitionMix_);
      state_.lookCurrent = false;  // a fade's frame, not the kind's look
      state_.currentSurfaceDc = surface_.memoryDc();
    }
    transitionNew_.Clear();
  } else {
    transitionNew_ = WindowSurface::Create(state_.rect.width, state_.rect.height);
  }
  state_.transitionRunning = true;
  state_.transitionAlpha = 0;
  state_.fadeOutMode = mode;
  SetTimer(kFadeOutTimerKey, interval, percent);
}

void Element::FadeOutFrame(intptr_t step) {
  state_.transitionAlpha = std::min<int32_t>(state_.transitionAlpha, 255);
  const bool buffer = transitionNew_ && surface_ && transitionNew_.width() == surface_.width() &&
                      transitionNew_.height() == surface_.height();
  if (buffer) {
    OnFadeOutFrame(transitionNew_, state_.transitionAlpha, state_.fadeOutMode);
    Composite(transitionNew_.memoryDc());
  } else {
    Composite(surface_.memoryDc());
  }
  PresentFrame(false);
  if (state_.transitionAlpha == 255) {
    KillTimer(kFadeOutTimerKey);
    if (buffer) CopySurface(surface_, transitionNew_);
    state_.lookCurrent = false;
    state_.currentSurfaceDc = surface_.memoryDc();
    state_.transitionRunning = false;
    state_.surfaceStale = false;
  }
  state_.transitionAlpha = NextFadeAlpha(state_.transitionAlpha, static_cast<int32_t>(step));
}
