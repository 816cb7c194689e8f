// DcCanvas: a thin object over one GDI device context, used as the transition engine's snapshot
// canvas and open to programs. It either wraps a DC it does not own (SetDc), a window's DC
// (AttachWindow; given back with ReleaseDC), or a memory DC it created with a bitmap selected into
// it (CreateCanvas, SizeToWindow: bitmap owned; CreateFromCanvas: another canvas's bitmap, shared).
//
// Most operations forward to one GDI call on the current DC and return its result. Omitted
// positions default to 0 and omitted sizes (or right/bottom edges) to this canvas's own size: the
// selected bitmap's size, or the window's client (or whole-window) size for an attached window.
// Coordinates are the DC's logical units. The operations stand in the order of the toolkit's
// operation table for this object.
//
// Copying a canvas would hand one DC to two owners, so a canvas is move-only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/wide_text.h"

class DcCanvas {
 public:
  DcCanvas() = default;
  ~DcCanvas();
  DcCanvas(const DcCanvas&) = delete;
  DcCanvas& operator=(const DcCanvas&) = delete;
  DcCanvas(DcCanvas&& other) noexcept;
  DcCanvas& operator=(DcCanvas&& other) noexcept;

  // Selects the previous bitmap back, deletes an owned bitmap, deletes the memory DC, gives back
  // a window DC, and forgets everything. Safe to call on an empty canvas.
  void Release();
  // DC of `window`: the whole window (GetWindowDC) or its client area (GetDC).
  bool AttachWindow(HWND window, bool wholeWindow = false);
  void SetDc(HDC dc);  // not owned; the caller keeps it alive while the canvas uses it
  HDC Dc() const { return dc_; }
  HGDIOBJ SelectObject(HGDIOBJ object);
  HGDIOBJ GetCurrentObject(UINT objectType) const;
  COLORREF GetPixel(int32_t x, int32_t y) const;
  COLORREF SetPixel(int32_t x, int32_t y, COLORREF colour);
  // Points from a list x1, y1, x2, y2, …; an odd last value is ignored.
  bool Polygon(std::span<const int32_t> coordinates);
  bool PaintDesktop();
  bool LineTo(int32_t x, int32_t y);
  bool Ellipse(int32_t left = 0, int32_t top = 0, std::optional<int32_t> right = std::nullopt,
               std::optional<int32_t> bottom = std::nullopt);
  bool RoundRect(int32_t left, int32_t top, std::optional<int32_t> right,
                 std::optional<int32_t> bottom, int32_t ellipseWidth, int32_t ellipseHeight);
  bool Rectangle(int32_t left = 0, int32_t top = 0, std::optional<int32_t> right = std::nullopt,
                 std::optional<int32_t> bottom = std::nullopt);
  bool Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t startX,
           int32_t startY, int32_t endX, int32_t endY);
  bool Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t startX,
             int32_t startY, int32_t endX, int32_t endY);
  bool InvertRect(int32_t left = 0, int32_t top = 0, std::optional<int32_t> right = std::nullopt,
                  std::optional<int32_t> bottom = std::nullopt);
  SIZE TextExtentA(const std::string& text) const;  // GBK text
  SIZE TextExtentW(const WideText& text) const;
  bool TextOutA(int32_t x, int32_t y, const std::string& text);
  bool TextOutW(int32_t x, int32_t y, const WideText& text);
  COLORREF SetTextColor(COLORREF colour);

  // Copies from another DC into this canvas: each wraps `source` in a temporary canvas and uses
  // the matching blit below (sizes default as described there; a bare DC's size is that of the
  // bitmap selected into it).
  bool CopyFromDc(HDC source, int32_t x = 0, int32_t y = 0,
                  std::optional<int32_t> width = std::nullopt,
                  std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                  int32_t sourceY = 0, DWORD rop = SRCCOPY);
  bool StretchFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                     std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                     int32_t sourceWidth, int32_t sourceHeight, DWORD rop = SRCCOPY);
  bool TransparentFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                         std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                         int32_t sourceWidth, int32_t sourceHeight, COLORREF transparentColour);
  bool AlphaFromDc(HDC source, int32_t x, int32_t y, std::optional<int32_t> width,
                   std::optional<int32_t> height, int32_t sourceX, int32_t sourceY,
                   int32_t sourceWidth, int32_t sourceHeight,
                   std::optional<uint8_t> constantAlpha = std::nullopt, bool perPixelAlpha = false);

  bool MoveTo(int32_t x, int32_t y);
  POINT CurrentPosition() const;
  UINT SetTextAlign(UINT align);
  UINT GetTextAlign() const;
  // Vertices as triples x, y, colour (ARGB). mode GRADIENT_FILL_RECT_H / _V: consecutive vertex
  // pairs are the corners of rectangles; GRADIENT_FILL_TRIANGLE: consecutive triples are
  // triangles. A trailing incomplete vertex or shape is ignored.
  bool GradientFill(std::span<const int32_t> vertices, ULONG mode);
  HBITMAP CurrentBitmap() const;
  int32_t BitmapWidth() const;   // of the selected bitmap (GetObjectA); 0 without one
  int32_t BitmapHeight() const;
  int32_t BitmapBits() const;    // bits per pixel
  int GetBkMode() const;
  int SetBkMode(int mode);
  int SetTextCharacterExtra(int extra);
  int GetTextCharacterExtra() const;
  bool FrameRgn(HRGN region, HBRUSH brush, int32_t frameWidth, int32_t frameHeight);
  COLORREF GetNearestColor(COLORREF colour) const;
  bool GdiFlush();
  DWORD GdiGetBatchLimit() const;
  bool FillRgn(HRGN region, HBRUSH brush);
  bool InvertRgn(HRGN region);

  // Blits between canvases. "To" copies this canvas into `target`; "From" copies `source` into
  // this canvas. The BitBlt forms copy this canvas's size when no size is given; the other forms
  // default the destination size to the destination canvas's size and the source size to the
  // source canvas's size, so omitting all of them maps one whole canvas onto the other.
  bool BitBltTo(DcCanvas& target, int32_t x = 0, int32_t y = 0,
                std::optional<int32_t> width = std::nullopt,
                std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                int32_t sourceY = 0, DWORD rop = SRCCOPY);
  bool BitBltFrom(const DcCanvas& source, int32_t x = 0, int32_t y = 0,
                  std::optional<int32_t> width = std::nullopt,
                  std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                  int32_t sourceY = 0, DWORD rop = SRCCOPY);
  bool StretchBltTo(DcCanvas& target, int32_t x = 0, int32_t y = 0,
                    std::optional<int32_t> width = std::nullopt,
                    std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                    int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
                    std::optional<int32_t> sourceHeight = std::nullopt, DWORD rop = SRCCOPY);
  bool StretchBltFrom(const DcCanvas& source, int32_t x = 0, int32_t y = 0,
                      std::optional<int32_t> width = std::nullopt,
                      std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                      int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
                      std::optional<int32_t> sourceHeight = std::nullopt, DWORD rop = SRCCOPY);
  bool TransparentBltTo(DcCanvas& target, COLORREF transparentColour, int32_t x = 0,
                        int32_t y = 0, std::optional<int32_t> width = std::nullopt,
                        std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                        int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
                        std::optional<int32_t> sourceHeight = std::nullopt);
  bool TransparentBltFrom(const DcCanvas& source, COLORREF transparentColour, int32_t x = 0,
                          int32_t y = 0, std::optional<int32_t> width = std::nullopt,
                          std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                          int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
                          std::optional<int32_t> sourceHeight = std::nullopt);
  // constantAlpha 255 when omitted; perPixelAlpha for premultiplied 32-bit sources.
  bool AlphaBlendTo(DcCanvas& target, int32_t x = 0, int32_t y = 0,
                    std::optional<int32_t> width = std::nullopt,
                    std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                    int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
                    std::optional<int32_t> sourceHeight = std::nullopt,
                    std::optional<uint8_t> constantAlpha = std::nullopt, bool perPixelAlpha = false);
  bool AlphaBlendFrom(const DcCanvas& source, int32_t x = 0, int32_t y = 0,
                      std::optional<int32_t> width = std::nullopt,
                      std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
                      int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
                      std::optional<int32_t> sourceHeight = std::nullopt,
                      std::optional<uint8_t> constantAlpha = std::nullopt,
                      bool perPixelAlpha = false);
  int GetGraphicsMode() const;
  int SetGraphicsMode(int mode);

  // A memory DC (CreateCompatibleDC(0)) with a new width × height bitmap of `bits` per pixel
  // selected, owned. 32-bit canvases are top-down DIB sections starting fully transparent (all
  // zero), ready for premultiplied-alpha drawing and UpdateLayeredWindow. Releases what the canvas
  // held first. False (and an empty canvas) when the size is below 1 or creation failed.
  bool CreateCanvas(int32_t width, int32_t height, int32_t bits = 32);
  // A memory DC selecting `other`'s bitmap. GDI lets a bitmap sit in one DC at a time, so the
  // bitmap moves: `other` selects its previous bitmap back and draws nowhere until it is given a
  // new one, while this canvas draws on those pixels. The bitmap's ownership is shared: whichever
  // canvas is released last deletes it (the design's "not owned" would leave it undeletable or
  // deleted under this canvas). False when `other` has no bitmap.
  bool CreateFromCanvas(DcCanvas& other);
  // CreateCanvas with the size of the window's rectangle (GetWindowRect) and 32 bits.
  bool SizeToWindow(HWND window);
  HDC MemoryDc() const { return memoryDc_.get(); }

  // ---- Beyond the operation table --------------------------------------------------------
  int32_t Width() const;   // this canvas's own size (see the class comment)
  int32_t Height() const;
  void* Bits() const { return bits_; }  // pixels of a DIB-section canvas, else null

 private:
  HDC dc_ = nullptr;          // current DC: not owned, or memoryDc_ / windowDc_
  UniqueMemoryDc memoryDc_;   // the memory DC the canvas created, owned
  UniqueWindowDc windowDc_;   // an attached window's DC, owned
  bool wholeWindow_ = false;
  std::shared_ptr<UniqueHBitmap> bitmap_;  // selected into memoryDc_; shared with CreateFromCanvas
  HGDIOBJ previousBitmap_ = nullptr;       // what memoryDc_ held before
  void* bits_ = nullptr;                   // pixels of a DIB section, else null
};
