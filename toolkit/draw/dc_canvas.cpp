#include "toolkit/draw/dc_canvas.h"

#include <vector>

#include "toolkit/draw/colour.h"

namespace {

BITMAP BitmapInfoOf(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap) ::GetObjectA(bitmap, sizeof(info), &info);
  return info;
}

}  // namespace

DcCanvas::~DcCanvas() { Release(); }

DcCanvas::DcCanvas(DcCanvas&& other) noexcept { *this = std::move(other); }

DcCanvas& DcCanvas::operator=(DcCanvas&& other) noexcept {
  if (this == &other) return *this;
  Release();
  dc_ = std::exchange(other.dc_, nullptr);
  memoryDc_ = std::move(other.memoryDc_);
  windowDc_ = std::move(other.windowDc_);
  wholeWindow_ = std::exchange(other.wholeWindow_, false);
  bitmap_ = std::move(other.bitmap_);
  previousBitmap_ = std::exchange(other.previousBitmap_, nullptr);
  bits_ = std::exchange(other.bits_, nullptr);
  return *this;
}

void DcCanvas::Release() {
  if (memoryDc_ && bitmap_ && previousBitmap_ &&
      ::GetCurrentObject(memoryDc_.get(), OBJ_BITMAP) == bitmap_->get()) {
    ::SelectObject(memoryDc_.get(), previousBitmap_);
  }
  previousBitmap_ = nullptr;
  bitmap_.reset();  // deletes the bitmap unless another canvas still shares it
  memoryDc_.reset();
  windowDc_.reset();
  wholeWindow_ = false;
  dc_ = nullptr;
  bits_ = nullptr;
}

bool DcCanvas::AttachWindow(HWND window, bool wholeWindow) {
  Release();
  windowDc_ = UniqueWindowDc::Get(window, wholeWindow);
  wholeWindow_ = wholeWindow;
  dc_ = windowDc_.get();
  return dc_ != nullptr;
}

void DcCanvas::SetDc(HDC dc) {
  Release();
  dc_ = dc;
}

HGDIOBJ DcCanvas::SelectObject(HGDIOBJ object) { return ::SelectObject(dc_, object); }

HGDIOBJ DcCanvas::GetCurrentObject(UINT objectType) const {
  return ::GetCurrentObject(dc_, objectType);
}

COLORREF DcCanvas::GetPixel(int32_t x, int32_t y) const { return ::GetPixel(dc_, x, y); }

COLORREF DcCanvas::SetPixel(int32_t x, int32_t y, COLORREF colour) {
  return ::SetPixel(dc_, x, y, colour);
}

bool DcCanvas::Polygon(std::span<const int32_t> coordinates) {
  std::vector<POINT> points;
  for (size_t i = 0; i + 1 < coordinates.size(); i += 2) {
    points.push_back({coordinates[i], coordinates[i + 1]});
  }
  if (points.empty()) return false;
  return ::Polygon(dc_, points.data(), static_cast<int>(points.size())) != FALSE;
}

bool DcCanvas::PaintDesktop() { return ::PaintDesktop(dc_) != FALSE; }

bool DcCanvas::LineTo(int32_t x, int32_t y) { return ::LineTo(dc_, x, y) != FALSE; }

bool DcCanvas::Ellipse(int32_t left, int32_t top, std::optional<int32_t> right,
                       std::optional<int32_t> bottom) {
  return ::Ellipse(dc_, left, top, right.value_or(Width()), bottom.value_or(Height())) != FALSE;
}

bool DcCanvas::RoundRect(int32_t left, int32_t top, std::optional<int32_t> right,
                         std::optional<int32_t> bottom, int32_t ellipseWidth,
                         int32_t ellipseHeight) {
  return ::RoundRect(dc_, left, top, right.value_or(Width()), bottom.value_or(Height()),
                     ellipseWidth, ellipseHeight) != FALSE;
}

bool DcCanvas::Rectangle(int32_t left, int32_t top, std::optional<int32_t> right,
                         std::optional<int32_t> bottom) {
  return ::Rectangle(dc_, left, top, right.value_or(Width()), bottom.value_or(Height())) != FALSE;
}

bool DcCanvas::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t startX,
                   int32_t startY, int32_t endX, int32_t endY) {
  return ::Arc(dc_, left, top, right, bottom, startX, startY, endX, endY) != FALSE;
}

bool DcCanvas::Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t startX,
                     int32_t startY, int32_t endX, int32_t endY) {
  return ::Chord(dc_, left, top, right, bottom, startX, startY, endX, endY) != FALSE;
}

bool DcCanvas::InvertRect(int32_t left, int32_t top, std::optional<int32_t> right,
                          std::optional<int32_t> bottom) {
  RECT box = {left, top, right.value_or(Width()), bottom.value_or(Height())};
  return ::InvertRect(dc_, &box) != FALSE;
}

SIZE DcCanvas::TextExtentA(const std::string& text) const {
  SIZE size = {};
  ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

SIZE DcCanvas::TextExtentW(const WideText& text) const {
  SIZE size = {};
  const std::wstring wide = text.WString();
  ::GetTextExtentPoint32W(dc_, wide.data(), static_cast<int>(wide.size()), &size);
  return size;
}

bool DcCanvas::TextOutA(int32_t x, int32_t y, const std::string& text) {
  return ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size())) != FALSE;
}

bool DcCanvas::TextOutW(int32_t x, int32_t y, const WideText& text) {
  const std::wstring wide = text.WString();
  return ::TextOutW(dc_, x, y, wide.data(), static_cast<int>(wide.size())) != FALSE;
}

COLORREF DcCanvas::SetTextColor(COLORREF colour) { return ::SetTextColor(dc_, colour); }

bool DcCanvas::CopyFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                          std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                          DWORD rop) {
  DcCanvas from;
  from.SetDc(source);
  return BitBltFrom(from, x, y, width, height, sourceX, sourceY, rop);
}

bool DcCanvas::StretchFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                             std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                             int32_t sourceWidth, int32_t sourceHeight, DWORD rop) {
  DcCanvas from;
  from.SetDc(source);
  return StretchBltFrom(from, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight,
                        rop);
}

bool DcCanvas::TransparentFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                                 std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                                 int32_t sourceWidth, int32_t sourceHeight,
                                 COLORREF transparentColour) {
  DcCanvas from;
  from.SetDc(source);
  return TransparentBltFrom(from, transparentColour, x, y, width, height, sourceX, sourceY,
                            sourceWidth, sourceHeight);
}

bool DcCanvas::AlphaFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                           std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                           int32_t sourceWidth, int32_t sourceHeight,
                           std::optional<uint8_t> constantAlpha, bool perPixelAlpha) {
  DcCanvas from;
  from.SetDc(source);
  return AlphaBlendFrom(from, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight,
                        constantAlpha, perPixelAlpha);
}

bool DcCanvas::MoveTo(int32_t x, int32_t y) { return ::MoveToEx(dc_, x, y, nullptr) != FALSE; }

POINT DcCanvas::CurrentPosition() const {
  POINT position = {};
  ::GetCurrentPositionEx(dc_, &position);
  return position;
}

UINT DcCanvas::SetTextAlign(UINT align) { return ::SetTextAlign(dc_, align); }

UINT DcCanvas::GetTextAlign() const { return ::GetTextAlign(dc_); }

bool DcCanvas::GradientFill(std::span<const int32_t> vertices, ULONG mode) {
  std::vector<TRIVERTEX> points;
  for (size_t i = 0; i + 2 < vertices.size(); i += 3) {
    const Argb colour = static_cast<Argb>(vertices[i + 2]);
    TRIVERTEX vertex = {};
    vertex.x = vertices[i];
    vertex.y = vertices[i + 1];
    vertex.Red = static_cast<COLOR16>(RedOf(colour) << 8);
    vertex.Green = static_cast<COLOR16>(GreenOf(colour) << 8);
    vertex.Blue = static_cast<COLOR16>(BlueOf(colour) << 8);
    vertex.Alpha = static_cast<COLOR16>(AlphaOf(colour) << 8);
    points.push_back(vertex);
  }
  const ULONG count = static_cast<ULONG>(points.size());
  if (mode == GRADIENT_FILL_TRIANGLE) {
    std::vector<GRADIENT_TRIANGLE> triangles;
    for (ULONG i = 0; i + 2 < count; i += 3) triangles.push_back({i, i + 1, i + 2});
    if (triangles.empty()) return false;
    return ::GradientFill(dc_, points.data(), count, triangles.data(),
                          static_cast<ULONG>(triangles.size()), mode) != FALSE;
  }
  std::vector<GRADIENT_RECT> rectangles;
  for (ULONG i = 0; i + 1 < count; i += 2) rectangles.push_back({i, i + 1});
  if (rectangles.empty()) return false;
  return ::GradientFill(dc_, points.data(), count, rectangles.data(),
                        static_cast<ULONG>(rectangles.size()), mode) != FALSE;
}

HBITMAP DcCanvas::CurrentBitmap() const {
  return dc_ ? static_cast<HBITMAP>(::GetCurrentObject(dc_, OBJ_BITMAP)) : nullptr;
}

int32_t DcCanvas::BitmapWidth() const { return BitmapInfoOf(CurrentBitmap()).bmWidth; }

int32_t DcCanvas::BitmapHeight() const { return BitmapInfoOf(CurrentBitmap()).bmHeight; }

int32_t DcCanvas::BitmapBits() const { return BitmapInfoOf(CurrentBitmap()).bmBitsPixel; }

int DcCanvas::GetBkMode() const { return ::GetBkMode(dc_); }

int DcCanvas::SetBkMode(int mode) { return ::SetBkMode(dc_, mode); }

int DcCanvas::SetTextCharacterExtra(int extra) { return ::SetTextCharacterExtra(dc_, extra); }

int DcCanvas::GetTextCharacterExtra() const { return ::GetTextCharacterExtra(dc_); }

bool DcCanvas::FrameRgn(HRGN region, HBRUSH brush, int32_t frameWidth, int32_t frameHeight) {
  return ::FrameRgn(dc_, region, brush, frameWidth, frameHeight) != FALSE;
}

COLORREF DcCanvas::GetNearestColor(COLORREF colour) const {
  return ::GetNearestColor(dc_, colour);
}

bool DcCanvas::GdiFlush() { return ::GdiFlush() != FALSE; }

DWORD DcCanvas::GdiGetBatchLimit() const { return ::GdiGetBatchLimit(); }

bool DcCanvas::FillRgn(HRGN region, HBRUSH brush) { return ::FillRgn(dc_, region, brush) != FALSE; }

bool DcCanvas::InvertRgn(HRGN region) { return ::InvertRgn(dc_, region) != FALSE; }

bool DcCanvas::BitBltTo(DcCanvas& target, int32_t x, int32_t y, std::optional<int32_t> width,
                        std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                        DWORD rop) {
  return ::BitBlt(target.dc_, x, y, width.value_or(Width()), height.value_or(Height()), dc_,
                  sourceX, sourceY, rop) != FALSE;
}

bool DcCanvas::BitBltFrom(const DcCanvas& source, int32_t x, int32_t y,
                          std::optional<int32_t> width, std::optional<int32_t> height,
                          int32_t sourceX, int32_t sourceY, DWORD rop) {
  return ::BitBlt(dc_, x, y, width.value_or(Width()), height.value_or(Height()), source.dc_,
                  sourceX, sourceY, rop) != FALSE;
}

bool DcCanvas::StretchBltTo(DcCanvas& target, int32_t x, int32_t y, std::optional<int32_t> width,
                            std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                            std::optional<int32_t> sourceWidth,
                            std::optional<int32_t> sourceHeight, DWORD rop) {
  return target.StretchBltFrom(*this, x, y, width, height, sourceX, sourceY, sourceWidth,
                               sourceHeight, rop);
}

bool DcCanvas::StretchBltFrom(const DcCanvas& source, int32_t x, int32_t y,
                              std::optional<int32_t> width, std::optional<int32_t> height,
                              int32_t sourceX, int32_t sourceY, std::optional<int32_t> sourceWidth,
                              std::optional<int32_t> sourceHeight, DWORD rop) {
  return ::StretchBlt(dc_, x, y, width.value_or(Width()), height.value_or(Height()), source.dc_,
                      sourceX, sourceY, sourceWidth.value_or(source.Width()),
                      sourceHeight.value_or(source.Height()), rop) != FALSE;
}

bool DcCanvas::TransparentBltTo(DcCanvas& target, COLORREF transparentColour, int32_t x, int32_t y,
                                std::optional<int32_t> width, std::optional<int32_t> height,
                                int32_t sourceX, int32_t sourceY,
                                std::optional<int32_t> sourceWidth,
                                std::optional<int32_t> sourceHeight) {
  return target.TransparentBltFrom(*this, transparentColour, x, y, width, height, sourceX, sourceY,
                                   sourceWidth, sourceHeight);
}

bool DcCanvas::TransparentBltFrom(const DcCanvas& source, COLORREF transparentColour, int32_t x,
                                  int32_t y, std::optional<int32_t> width,
                                  std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                                  std::optional<int32_t> sourceWidth,
                                  std::optional<int32_t> sourceHeight) {
  return ::GdiTransparentBlt(dc_, x, y, width.value_or(Width()), height.value_or(Height()),
                             source.dc_, sourceX, sourceY, sourceWidth.value_or(source.Width()),
                             sourceHeight.value_or(source.Height()), transparentColour) != FALSE;
}

bool DcCanvas::AlphaBlendTo(DcCanvas& target, int32_t x, int32_t y, std::optional<int32_t> width,
                            std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                            std::optional<int32_t> sourceWidth,
                            std::optional<int32_t> sourceHeight,
                            std::optional<uint8_t> constantAlpha, bool perPixelAlpha) {
  return target.AlphaBlendFrom(*this, x, y, width, height, sourceX, sourceY, sourceWidth,
                               sourceHeight, constantAlpha, perPixelAlpha);
}

bool DcCanvas::AlphaBlendFrom(const DcCanvas& source, int32_t x, int32_t y,
                              std::optional<int32_t> width, std::optional<int32_t> height,
                              int32_t sourceX, int32_t sourceY, std::optional<int32_t> sourceWidth,
                              std::optional<int32_t> sourceHeight,
                              std::optional<uint8_t> constantAlpha, bool perPixelAlpha) {
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha.value_or(255),
                         static_cast<BYTE>(perPixelAlpha ? AC_SRC_ALPHA : 0)};
  return ::AlphaBlend(dc_, x, y, width.value_or(Width()), height.value_or(Height()), source.dc_,
                      sourceX, sourceY, sourceWidth.value_or(source.Width()),
                      sourceHeight.value_or(source.Height()), blend) != FALSE;
}

int DcCanvas::GetGraphicsMode() const { return ::GetGraphicsMode(dc_); }

int DcCanvas::SetGraphicsMode(int mode) { return ::SetGraphicsMode(dc_, mode); }

bool DcCanvas::CreateCanvas(int32_t width, int32_t height, int32_t bits) {
  Release();
  if (width < 1 || height < 1) return false;
  UniqueMemoryDc memoryDc(::CreateCompatibleDC(nullptr));
  if (!memoryDc) return false;

  HBITMAP bitmap = nullptr;
  void* pixels = nullptr;
  if (bits == 32 || bits == 24 || bits == 16) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    bitmap = ::CreateDIBSection(memoryDc.get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  } else {
    bitmap = ::CreateBitmap(width, height, 1, static_cast<UINT>(bits), nullptr);
  }
  if (!bitmap) return false;

  bitmap_ = std::make_shared<UniqueHBitmap>(bitmap);
  previousBitmap_ = ::SelectObject(memoryDc.get(), bitmap);
  memoryDc_ = std::move(memoryDc);
  dc_ = memoryDc_.get();
  bits_ = pixels;
  return true;
}

bool DcCanvas::CreateFromCanvas(DcCanvas& other) {
  if (this == &other || !other.bitmap_) return false;
  std::shared_ptr<UniqueHBitmap> shared = other.bitmap_;
  void* pixels = other.bits_;
  // GDI keeps a bitmap in one DC at a time: take it out of the other canvas's DC first.
  if (other.memoryDc_ && other.previousBitmap_ &&
      ::GetCurrentObject(other.memoryDc_.get(), OBJ_BITMAP) == shared->get()) {
    ::SelectObject(other.memoryDc_.get(), other.previousBitmap_);
  }
  Release();
  UniqueMemoryDc memoryDc(::CreateCompatibleDC(nullptr));
  if (!memoryDc) return false;
  previousBitmap_ = ::SelectObject(memoryDc.get(), shared->get());
  if (!previousBitmap_ || previousBitmap_ == HGDI_ERROR) {
    previousBitmap_ = nullptr;
    return false;
  }
  bitmap_ = std::move(shared);
  memoryDc_ = std::move(memoryDc);
  dc_ = memoryDc_.get();
  bits_ = pixels;
  return true;
}

bool DcCanvas::SizeToWindow(HWND window) {
  RECT box = {};
  if (!::GetWindowRect(window, &box)) {
    Release();
    return false;
  }
  return CreateCanvas(box.right - box.left, box.bottom - box.top, 32);
}

int32_t DcCanvas::Width() const {
  if (windowDc_) {
    RECT box = {};
    if (wholeWindow_) {
      ::GetWindowRect(windowDc_.window(), &box);
    } else {
      ::GetClientRect(windowDc_.window(), &box);
    }
    return box.right - box.left;
  }
  return BitmapWidth();
}

int32_t DcCanvas::Height() const {
  if (windowDc_) {
    RECT box = {};
    if (wholeWindow_) {
      ::GetWindowRect(windowDc_.window(), &box);
    } else {
      ::GetClientRect(windowDc_.window(), &box);
    }
    return box.bottom - box.top;
  }
  return BitmapHeight();
}
