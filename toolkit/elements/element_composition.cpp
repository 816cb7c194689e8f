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
  return window ? static_cast<HDC>(GetPropA(window, name)) : nullptr;
}

void ClearSurface(WindowSurface& surface) {
  if (surface.graphics()) Gdiplus::DllExports::GdipGraphicsClear(surface.graphics(), 0);
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
  if (!surfaceStale_ || transitionRunning_ || !surface_ || !IsEffectivelyVisible()) return;
  ClearSurface(surface_);
  Paint(surface_.graphics());
  surfaceStale_ = false;
}

void Element::BlendSelf(HDC mainDc, HDC source) {
  if (!mainDc || !source || IsEmptyRect(clipRect)) return;
  BlendDc(mainDc, clipRect.x, clipRect.y, clipRect.width, clipRect.height, source,
          clipOrigin_.x - rect_.x, clipOrigin_.y - rect_.y, clipRect.width, clipRect.height,
          Opacity(transparency_), AC_SRC_ALPHA);
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
    if (other->currentSurfaceDc_ == other->surface_.memoryDc()) other->EnsureSurfaceCurrent();
    BlendDc(mainDc, overlap.x, overlap.y, overlap.width, overlap.height, other->currentSurfaceDc_,
            overlap.x - other->absoluteRect.x, overlap.y - other->absoluteRect.y, overlap.width,
            overlap.height, Opacity(other->transparency_), AC_SRC_ALPHA);
  }
}

// ==== Painting, composition, presentation ====================================================

bool Element::Repaint(bool compositeAlways, bool surfaceOnly) {
  if (!IsEffectivelyVisible()) {
    surfaceStale_ = true;
    return false;
  }
  ClearSurface(surface_);
  Paint(surface_.graphics());
  surfaceStale_ = false;
  if (compositeAlways || !surfaceOnly) Composite();
  return true;
}

void Element::Composite(std::optional<HDC> surfaceDc) {
  const HDC source = surfaceDc.value_or(surface_.memoryDc());
  if (source == surface_.memoryDc()) EnsureSurfaceCurrent();
  const HDC mainDc = MainDc();
  CopyRect(mainDc, BackgroundDc(), clipRect);
  currentSurfaceDc_ = source;
  BlendOverlapping(mainDc, clipRect, source);
}

void Element::Refresh() {
  Repaint(false, false);
  presentNow_ = false;
  if (DeferredPresentation()) {
    MarkPresentPending();
  } else {
    PresentRect();
  }
}

void Element::RefreshNow() {
  Repaint(false, false);
  presentNow_ = true;
  PresentRect();
}

void Element::PresentRect() {
  if (hostWindow == nullptr) return;
  const Rect area = clipRect;  // the window copies it before answering
  SendUpdateRect(hostWindow, area);
}

void Element::MarkPresentPending() {
  if (hostWindow == nullptr) return;
  // The flag is an integer-atom property: the atom stands in place of a name.
  SetPropW(hostWindow, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(kPresentPendingAtom)),
           reinterpret_cast<HANDLE>(1));
}

void Element::PresentFrame(bool honourPresentNow) {
  if (!DeferredPresentation() || (honourPresentNow && presentNow_)) {
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
  const Rect next{x.value_or(rect_.x), y.value_or(rect_.y), width.value_or(rect_.width),
                  height.value_or(rect_.height)};
  const bool sizeChanged = next.width != rect_.width || next.height != rect_.height;
  const bool moved = next.x != rect_.x || next.y != rect_.y;
  if (!sizeChanged && !moved) return false;

  // Erase the old place: background, then everything else that overlapped it.
  const HDC mainDc = MainDc();
  CopyRect(mainDc, BackgroundDc(), clipRect);
  BlendOverlapping(mainDc, clipRect, std::nullopt);

  if (sizeChanged) {
    surface_.Release();
    transitionNew_.Release();
    transitionMix_.Release();
    surface_ = WindowSurface::Create(next.width, next.height);
    currentSurfaceDc_ = surface_.memoryDc();
    surfaceStale_ = true;
  }
  rect_ = next;
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
    if (!transitionNew_) transitionNew_ = WindowSurface::Create(rect_.width, rect_.height);
    if (!transitionMix_) transitionMix_ = WindowSurface::Create(rect_.width, rect_.height);
  } else {
    if (transitionRunning_) {
      // The frame on screen becomes the old look.
      CopySurface(surface_, transitionMix_);
      currentSurfaceDc_ = surface_.memoryDc();
    }
    ClearSurface(transitionNew_);
  }
  Paint(transitionNew_.graphics());
  transitionAlpha_ = 0;
  fadeInMode_ = mode;
  transitionRunning_ = true;
  SetTimer(kFadeInTimerKey, interval, percent);
}

void Element::FadeInFrame(intptr_t step) {
  transitionAlpha_ = NextFadeAlpha(transitionAlpha_, static_cast<int32_t>(step));
  // A size change replaces the surfaces and drops the transition buffers; the timer then runs out
  // showing the plain surface.
  const bool buffers = transitionNew_ && transitionMix_ && surface_ &&
                       transitionMix_.width() == surface_.width() &&
                       transitionMix_.height() == surface_.height();
  if (buffers) {
    const int32_t w = surface_.width();
    const int32_t h = surface_.height();
    const HDC mix = transitionMix_.memoryDc();
    if (fadeInMode_ != 0) {
      BlendDc(mix, 0, 0, w, h, surface_.memoryDc(), 0, 0, w, h, 255, 0);  // old look stays whole
    } else {
      ClearSurface(transitionMix_);
      GdiFlush();
      BlendDc(mix, 0, 0, w, h, surface_.memoryDc(), 0, 0, w, h, Opacity(transitionAlpha_),
              AC_SRC_ALPHA);
    }
    BlendDc(mix, 0, 0, w, h, transitionNew_.memoryDc(), 0, 0, w, h,
            static_cast<uint8_t>(transitionAlpha_), AC_SRC_ALPHA);
    Composite(mix);
  } else {
    Composite(surface_.memoryDc());
  }
  PresentFrame(true);
  if (transitionAlpha_ == 255) {
    KillTimer(kFadeInTimerKey);
    if (buffers) CopySurface(surface_, transitionNew_);
    currentSurfaceDc_ = surface_.memoryDc();
    transitionRunning_ = false;
    surfaceStale_ = false;
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
    if (transitionRunning_ && transitionMix_) {
      CopySurface(surface_, transitionMix_);
      currentSurfaceDc_ = surface_.memoryDc();
    }
    ClearSurface(transitionNew_);
  } else {
    transitionNew_ = WindowSurface::Create(rect_.width, rect_.height);
  }
  transitionRunning_ = true;
  transitionAlpha_ = 0;
  fadeOutMode_ = mode;
  SetTimer(kFadeOutTimerKey, interval, percent);
}

void Element::FadeOutFrame(intptr_t step) {
  transitionAlpha_ = std::min<int32_t>(transitionAlpha_, 255);
  const bool buffer = transitionNew_ && surface_ && transitionNew_.width() == surface_.width() &&
                      transitionNew_.height() == surface_.height();
  if (buffer) {
    OnFadeOutFrame(transitionNew_, transitionAlpha_, fadeOutMode_);
    Composite(transitionNew_.memoryDc());
  } else {
    Composite(surface_.memoryDc());
  }
  PresentFrame(false);
  if (transitionAlpha_ == 255) {
    KillTimer(kFadeOutTimerKey);
    if (buffer) CopySurface(surface_, transitionNew_);
    currentSurfaceDc_ = surface_.memoryDc();
    transitionRunning_ = false;
    surfaceStale_ = false;
  }
  transitionAlpha_ = NextFadeAlpha(transitionAlpha_, static_cast<int32_t>(step));
}
