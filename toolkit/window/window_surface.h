// WindowSurface: one memory drawing surface of a window (or element): a 32-bit bottom-up DIB
// section selected into its own memory DC, with a GDI+ graphics on that DC. The alpha byte of each
// pixel is premultiplied and is what UpdateLayeredWindow uses with AC_SRC_ALPHA.
//
// Move-only. Releasing deletes the graphics, selects the previous bitmap back, deletes the DC and
// then the bitmap; releasing an empty surface does nothing.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>

#include "toolkit/draw/colour.h"

class WindowSurface {
 public:
  WindowSurface() = default;
  ~WindowSurface() { Release(); }
  WindowSurface(const WindowSurface&) = delete;
  WindowSurface& operator=(const WindowSurface&) = delete;
  WindowSurface(WindowSurface&& other) noexcept;
  WindowSurface& operator=(WindowSurface&& other) noexcept;

  // A new surface of width × height, every pixel 0 (transparent). Width or height below 1 gives an
  // empty surface, on which drawing and presenting do nothing.
  static WindowSurface Create(int32_t width, int32_t height);
  void Release();

  Gdiplus::GpGraphics* graphics() const { return graphics_; }
  HDC memoryDc() const { return memoryDc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  explicit operator bool() const { return memoryDc_ != nullptr; }

  // Every pixel back to 0 (transparent), what GdipGraphicsClear with 0 does on the unclipped
  // graphics, written straight into the DIB: clearing through GDI+ costs far more than the
  // drawing that follows on some systems. GDI and GDI+ drawing is flushed first.
  void Clear();

  // The premultiplied ARGB value at (x, y) (top-left origin); 0 outside the surface. GDI drawing
  // is flushed first.
  Argb PixelAt(int32_t x, int32_t y) const;

 private:
  Gdiplus::GpGraphics* graphics_ = nullptr;  // owned
  HDC memoryDc_ = nullptr;                   // owned
  HBITMAP bitmap_ = nullptr;                 // owned, selected into memoryDc_
  HGDIOBJ previousBitmap_ = nullptr;         // memoryDc_'s own bitmap, selected back on release
  int32_t width_ = 0;
  int32_t height_ = 0;
  uint32_t* pixels_ = nullptr;  // the DIB's rows, bottom row first
};
