// Move-only owners of GDI and GDI+ objects, in the style of common/win_handle.h: one traits
// struct per kind of object saying what "none" is and how the object is given back. Every GDI
// handle and every GDI+ object the toolkit creates lives in one of these, so no early return can
// leak one.
//
// GDI+ objects are created through the flat API into a bare pointer and then adopted:
//   Gdiplus::GpPath* raw = nullptr;
//   Gdiplus::DllExports::GdipCreatePath(Gdiplus::FillModeAlternate, &raw);
//   UniqueGpPath path(raw);
// or directly with put(): GdipCreatePath(Gdiplus::FillModeAlternate, path.put()). A put() on an
// owner of a base type (UniqueGpBrush, UniqueGpImage) needs the derived pointer: adopt those.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <utility>

#include "common/win_handle.h"

// ---- GDI+ ---------------------------------------------------------------------------------------
namespace gdip_traits {
using namespace Gdiplus;
using namespace Gdiplus::DllExports;

template <typename T, GpStatus(WINGDIPAPI* Delete)(T*)>
struct Traits {
  using Handle = T*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { Delete(h); }
};

struct FontCollectionTraits {
  using Handle = GpFontCollection*;
  static Handle Invalid() { return nullptr; }
  // A private collection is deleted through a pointer to the pointer.
  static void Close(Handle h) { GdipDeletePrivateFontCollection(&h); }
};
}  // namespace gdip_traits

using UniqueGpGraphics =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics>>;
using UniqueGpImage =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpImage, Gdiplus::DllExports::GdipDisposeImage>>;
struct GpBitmapTraits {
  using Handle = Gdiplus::GpBitmap*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { Gdiplus::DllExports::GdipDisposeImage(h); }
};
using UniqueGpBitmap = UniqueResource<GpBitmapTraits>;  // release() into a UniqueGpImage when needed
using UniqueGpBrush =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush>>;
using UniqueGpPen =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen>>;
using UniqueGpPath =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath>>;
using UniqueGpRegion =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpRegion, Gdiplus::DllExports::GdipDeleteRegion>>;
using UniqueGpFontFamily = UniqueResource<
    gdip_traits::Traits<Gdiplus::GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily>>;
using UniqueGpFont =
    UniqueResource<gdip_traits::Traits<Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont>>;
using UniqueGpStringFormat = UniqueResource<
    gdip_traits::Traits<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat>>;
using UniqueGpImageAttributes = UniqueResource<gdip_traits::Traits<
    Gdiplus::GpImageAttributes, Gdiplus::DllExports::GdipDisposeImageAttributes>>;
using UniqueGpPrivateFontCollection = UniqueResource<gdip_traits::FontCollectionTraits>;

// The GDI+ session: GdiplusStartup's token, shut down when the owner goes.
struct GdiplusTokenTraits {
  using Handle = ULONG_PTR;
  static Handle Invalid() { return 0; }
  static void Close(Handle h) { Gdiplus::GdiplusShutdown(h); }
};
using UniqueGdiplusToken = UniqueResource<GdiplusTokenTraits>;

// Starts GDI+ version 1; an empty owner when it could not be started.
inline UniqueGdiplusToken StartGdiplus() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, background thread on
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return UniqueGdiplusToken();
  return UniqueGdiplusToken(token);
}

// ---- GDI ----------------------------------------------------------------------------------------
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;  // CreateCompatibleDC, CreateDC

template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
using UniqueGdiObject = UniqueResource<GdiObjectTraits<HGDIOBJ>>;
using UniqueHBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueHRgn = UniqueResource<GdiObjectTraits<HRGN>>;
using UniqueHFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueHBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueHPen = UniqueResource<GdiObjectTraits<HPEN>>;

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DestroyIcon(h); }
};
using UniqueHIcon = UniqueResource<IconTraits>;

// A window's DC from GetDC or GetWindowDC, given back with ReleaseDC for the same window.
class UniqueWindowDc {
 public:
  UniqueWindowDc() = default;
  UniqueWindowDc(HWND window, HDC dc) : window_(window), dc_(dc) {}
  UniqueWindowDc(const UniqueWindowDc&) = delete;
  UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;
  UniqueWindowDc(UniqueWindowDc&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  UniqueWindowDc& operator=(UniqueWindowDc&& other) noexcept {
    if (this != &other) {
      reset();
      window_ = std::exchange(other.window_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  ~UniqueWindowDc() { reset(); }

  // GetDC (client area) or, with wholeWindow, GetWindowDC. Window 0 is the screen.
  static UniqueWindowDc Get(HWND window, bool wholeWindow = false) {
    return UniqueWindowDc(window, wholeWindow ? ::GetWindowDC(window) : ::GetDC(window));
  }

  HDC get() const { return dc_; }
  HWND window() const { return window_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void reset() {
    if (dc_) ::ReleaseDC(window_, dc_);
    dc_ = nullptr;
    window_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// Selects an object into a DC and selects the previous one back when it goes, so the object can
// then be deleted safely. The guard does not own the selected object.
class SelectObjectGuard {
 public:
  SelectObjectGuard() = default;
  SelectObjectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  SelectObjectGuard(const SelectObjectGuard&) = delete;
  SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;
  SelectObjectGuard(SelectObjectGuard&& other) noexcept
      : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr)) {}
  SelectObjectGuard& operator=(SelectObjectGuard&& other) noexcept {
    if (this != &other) {
      reset();
      dc_ = std::exchange(other.dc_, nullptr);
      previous_ = std::exchange(other.previous_, nullptr);
    }
    return *this;
  }
  ~SelectObjectGuard() { reset(); }

  HGDIOBJ previous() const { return previous_; }
  void reset() {
    if (dc_ && previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// A GDI+ graphics over a DC or an image, for the common case of drawing somewhere once.
inline UniqueGpGraphics GraphicsForDc(HDC dc) {
  UniqueGpGraphics graphics;
  Gdiplus::DllExports::GdipCreateFromHDC(dc, graphics.put());
  return graphics;
}
inline UniqueGpGraphics GraphicsForImage(Gdiplus::GpImage* image) {
  UniqueGpGraphics graphics;
  if (image) Gdiplus::DllExports::GdipGetImageGraphicsContext(image, graphics.put());
  return graphics;
}
