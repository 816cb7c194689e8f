// Images: decoding from bytes in memory, drawing with transparency, icons, nine-grid stretches and
// the average colour. Every image the toolkit loads is copied into a fresh 32-bit ARGB GDI+
// bitmap, so no image keeps a reference to the bytes it came from. Coordinates are pixels of the
// target graphics.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <span>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/geometry.h"

// A new, fully transparent 32-bit ARGB bitmap; empty when width or height is below 1.
UniqueGpBitmap CreateArgbBitmap(int32_t width, int32_t height);

// Decodes `bytes` (any format GDI+ reads: PNG, BMP, JPEG, GIF, ICO) and draws the picture, scaled
// with high-quality bicubic interpolation, into a new 32-bit ARGB bitmap of width × height (the
// picture's own size for each one omitted). Empty when the bytes are no image or a size is below 1.
UniqueGpBitmap LoadImageFromBytes(std::span<const uint8_t> bytes,
                                  std::optional<int32_t> width = std::nullopt,
                                  std::optional<int32_t> height = std::nullopt);

// The picture scaled to one pixel with nearest-neighbour sampling; 0 for no image.
Argb AverageColour(Gdiplus::GpImage* image);

// Draws the source rectangle (sourceX, sourceY, sourceWidth, sourceHeight) of `image` into
// (x, y, width, height) of `graphics`; omitted sizes are the image's own. transparency runs from
// 0 (opaque, drawn without image attributes) to 100 (invisible); in between the image's alpha is
// scaled by (100 − transparency) / 100. Values outside 0..100 are clamped. Returns whether GDI+
// drew (true for 100, where nothing needs drawing).
bool DrawImage(Gdiplus::GpImage* image, Gdiplus::GpGraphics* graphics, int32_t x, int32_t y,
               std::optional<int32_t> width = std::nullopt,
               std::optional<int32_t> height = std::nullopt, int32_t sourceX = 0,
               int32_t sourceY = 0, std::optional<int32_t> sourceWidth = std::nullopt,
               std::optional<int32_t> sourceHeight = std::nullopt, int32_t transparency = 0);

// Draws an icon at (x, y), 16 × 16 unless sizes are given.
bool DrawIcon(Gdiplus::GpGraphics* graphics, HICON icon, int32_t x, int32_t y,
              std::optional<int32_t> width = std::nullopt,
              std::optional<int32_t> height = std::nullopt);

// Stretches `image` over (x, y, width, height) keeping its borders: the source and the target are
// each cut into nine pieces by the margins (see NineGridPieces for targets smaller than the
// margins) and every source piece is drawn into its target piece. x and y default to 0;
// transparency as in DrawImage. Returns whether every drawn piece succeeded.
bool NineGridImage(Gdiplus::GpGraphics* graphics, Gdiplus::GpImage* image,
                   std::optional<int32_t> x, std::optional<int32_t> y, int32_t width,
                   int32_t height, const GridMargins& margins, int32_t transparency = 0);

// Image attributes whose colour matrix scales alpha by (100 − transparency) / 100; empty for 0.
UniqueGpImageAttributes TransparencyAttributes(int32_t transparency);
