#include "toolkit/window/window_surface.h"

#include <cstring>
#include <utility>

WindowSurface::WindowSurface(WindowSurface&& other) noexcept { *this = std::move(other); }

WindowSurface& WindowSurface::operator=(WindowSurface&& other) noexcept {
  if (this != &other) {
    Release();
    graphics_ = std::exchange(other.graphics_, nullptr);
    memoryDc_ = std::exchange(other.memoryDc_, nullptr);
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    previousBitmap_ = std::exchange(other.previousBitmap_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pixels_ = std::exchange(other.pixels_, nullptr);
  }
  return *this;
}

WindowSurface WindowSurface::Create(int32_t width, int32_t height) {
  WindowSurface surface;
  if (width < 1 || height < 1) return surface;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return surface;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) {
    DeleteObject(bitmap);
    return surface;
  }
  surface.memoryDc_ = dc;
  surface.bitmap_ = bitmap;
  surface.previousBitmap_ = SelectObject(dc, bitmap);
  surface.width_ = width;
  surface.height_ = height;
  surface.pixels_ = static_cast<uint32_t*>(bits);
  Gdiplus::DllExports::GdipCreateFromHDC(dc, &surface.graphics_);
  return surface;
}

void WindowSurface::Release() {
  if (graphics_) Gdiplus::DllExports::GdipDeleteGraphics(std::exchange(graphics_, nullptr));
  if (memoryDc_) {
    if (previousBitmap_) SelectObject(memoryDc_, previousBitmap_);
    DeleteDC(std::exchange(memoryDc_, nullptr));
  }
  if (bitmap_) DeleteObject(std::exchange(bitmap_, nullptr));
  previousBitmap_ = nullptr;
  width_ = 0;
  height_ = 0;
  pixels_ = nullptr;
}

void WindowSurface::Clear() {
  if (!pixels_) return;
  GdiFlush();
  if (graphics_) Gdiplus::DllExports::GdipFlush(graphics_, Gdiplus::FlushIntentionSync);
  std::memset(pixels_, 0, static_cast<size_t>(width_) * static_cast<size_t>(height_) * sizeof(uint32_t));
}

Argb WindowSurface::PixelAt(int32_t x, int32_t y) const {
  if (!pixels_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  if (graphics_) Gdiplus::DllExports::GdipFlush(graphics_, Gdiplus::FlushIntentionSync);
  return pixels_[static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}
