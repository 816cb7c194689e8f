#include "toolkit/draw/images.h"

#include <algorithm>

#include "toolkit/draw/memory_stream.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

int32_t ImageWidth(GpImage* image) {
  UINT width = 0;
  GdipGetImageWidth(image, &width);
  return static_cast<int32_t>(width);
}

int32_t ImageHeight(GpImage* image) {
  UINT height = 0;
  GdipGetImageHeight(image, &height);
  return static_cast<int32_t>(height);
}

}  // namespace

UniqueGpBitmap CreateArgbBitmap(int32_t width, int32_t height) {
  UniqueGpBitmap bitmap;
  if (width < 1 || height < 1) return bitmap;
  GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, bitmap.put());
  return bitmap;
}

UniqueGpImageAttributes TransparencyAttributes(int32_t transparency) {
  UniqueGpImageAttributes attributes;
  transparency = std::clamp(transparency, 0, 100);
  if (transparency == 0) return attributes;
  if (GdipCreateImageAttributes(attributes.put()) != Ok) return attributes;
  ColorMatrix matrix = {};
  for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
  matrix.m[3][3] = static_cast<REAL>(100 - transparency) / 100.0f;
  GdipSetImageAttributesColorMatrix(attributes.get(), ColorAdjustTypeDefault, TRUE, &matrix,
                                    nullptr, ColorMatrixFlagsDefault);
  return attributes;
}

UniqueGpBitmap LoadImageFromBytes(std::span<const uint8_t> bytes, std::optional<int32_t> width,
                                  std::optional<int32_t> height) {
  if (bytes.empty() || bytes.size() > UINT_MAX) return UniqueGpBitmap();
  ComPtr<IStream> stream = CreateMemoryStream(bytes);
  if (!stream) return UniqueGpBitmap();

  // The decoded image reads from the stream until it is disposed, so it goes first.
  UniqueGpBitmap decoded;
  if (GdipCreateBitmapFromStream(stream.get(), decoded.put()) != Ok || !decoded) {
    return UniqueGpBitmap();
  }
  const int32_t ownWidth = ImageWidth(decoded.get());
  const int32_t ownHeight = ImageHeight(decoded.get());
  const int32_t targetWidth = width.value_or(ownWidth);
  const int32_t targetHeight = height.value_or(ownHeight);

  UniqueGpBitmap result = CreateArgbBitmap(targetWidth, targetHeight);
  UniqueGpGraphics graphics = GraphicsForImage(result.get());
  if (!graphics) return UniqueGpBitmap();
  GdipSetInterpolationMode(graphics.get(), InterpolationModeHighQualityBicubic);
  // Copy the pixels as they are (not blended onto the empty bitmap), and let the scaler read
  // mirrored pixels past the edges rather than transparency, which would fade a scaled image's
  // border.
  GdipSetCompositingMode(graphics.get(), CompositingModeSourceCopy);
  GdipSetPixelOffsetMode(graphics.get(), PixelOffsetModeHalf);
  UniqueGpImageAttributes edges;
  if (GdipCreateImageAttributes(edges.put()) == Ok) {
    GdipSetImageAttributesWrapMode(edges.get(), WrapModeTileFlipXY, 0, FALSE);
  }
  if (GdipDrawImageRectRectI(graphics.get(), decoded.get(), 0, 0, targetWidth, targetHeight, 0, 0,
                             ownWidth, ownHeight, UnitPixel, edges.get(), nullptr,
                             nullptr) != Ok) {
    return UniqueGpBitmap();
  }
  return result;
}

Argb AverageColour(GpImage* image) {
  // The mean of every pixel (colour weighted by alpha, so transparent pixels add no colour). A
  // one-pixel nearest-neighbour scale-down would answer a single pixel of the picture instead.
  if (!image) return 0;
  const int32_t width = ImageWidth(image);
  const int32_t height = ImageHeight(image);
  UniqueGpBitmap copy = CreateArgbBitmap(width, height);
  UniqueGpGraphics graphics = GraphicsForImage(copy.get());
  if (!graphics) return 0;
  GdipSetCompositingMode(graphics.get(), CompositingModeSourceCopy);
  GdipDrawImageRectI(graphics.get(), image, 0, 0, width, height);
  graphics.reset();

  GpRect all(0, 0, width, height);
  BitmapData data = {};
  if (GdipBitmapLockBits(copy.get(), &all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) {
    return 0;
  }
  uint64_t alpha = 0, red = 0, green = 0, blue = 0;
  for (int32_t row = 0; row < height; ++row) {
    const auto* pixel = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) +
                                                          static_cast<intptr_t>(row) * data.Stride);
    for (int32_t column = 0; column < width; ++column) {
      const Argb p = pixel[column];
      const uint32_t a = AlphaOf(p);
      alpha += a;
      red += static_cast<uint64_t>(RedOf(p)) * a;
      green += static_cast<uint64_t>(GreenOf(p)) * a;
      blue += static_cast<uint64_t>(BlueOf(p)) * a;
    }
  }
  GdipBitmapUnlockBits(copy.get(), &data);
  const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  if (alpha == 0) return 0;
  // Rounded to the nearest value so a one-colour picture gives back exactly its colour.
  auto channel = [&](uint64_t sum) { return static_cast<uint8_t>((sum + alpha / 2) / alpha); };
  return MakeArgb(static_cast<uint8_t>((alpha + count / 2) / count), channel(red), channel(green),
                  channel(blue));
}

bool DrawImage(GpImage* image, GpGraphics* graphics, int32_t x, int32_t y,
               std::optional<int32_t> width, std::optional<int32_t> height, int32_t sourceX,
               int32_t sourceY, std::optional<int32_t> sourceWidth,
               std::optional<int32_t> sourceHeight, int32_t transparency) {
  if (!image || !graphics) return false;
  transparency = std::clamp(transparency, 0, 100);
  if (transparency == 100) return true;
  const int32_t ownWidth = ImageWidth(image);
  const int32_t ownHeight = ImageHeight(image);
  UniqueGpImageAttributes attributes = TransparencyAttributes(transparency);
  return GdipDrawImageRectRect(graphics, image, static_cast<REAL>(x), static_cast<REAL>(y),
                               static_cast<REAL>(width.value_or(ownWidth)),
                               static_cast<REAL>(height.value_or(ownHeight)),
                               static_cast<REAL>(sourceX), static_cast<REAL>(sourceY),
                               static_cast<REAL>(sourceWidth.value_or(ownWidth)),
                               static_cast<REAL>(sourceHeight.value_or(ownHeight)), UnitPixel,
                               attributes.get(), nullptr, nullptr) == Ok;
}

bool DrawIcon(GpGraphics* graphics, HICON icon, int32_t x, int32_t y, std::optional<int32_t> width,
              std::optional<int32_t> height) {
  if (!graphics || !icon) return false;
  UniqueGpBitmap bitmap;
  if (GdipCreateBitmapFromHICON(icon, bitmap.put()) != Ok) return false;
  return GdipDrawImageRectI(graphics, bitmap.get(), x, y, width.value_or(16), height.value_or(16)) ==
         Ok;
}

bool NineGridImage(GpGraphics* graphics, GpImage* image, std::optional<int32_t> x,
                   std::optional<int32_t> y, int32_t width, int32_t height,
                   const GridMargins& margins, int32_t transparency) {
  if (!graphics || !image) return false;
  transparency = std::clamp(transparency, 0, 100);
  if (transparency == 100) return true;
  UniqueGpImageAttributes attributes = TransparencyAttributes(transparency);
  const ::Rect target{x.value_or(0), y.value_or(0), width, height};  // the toolkit's, not Gdiplus::Rect
  bool allDrawn = true;
  for (const NineGridPiece& piece :
       NineGridPieces(ImageWidth(image), ImageHeight(image), target, margins)) {
    if (piece.source.width < 1 || piece.source.height < 1 || piece.target.width < 1 ||
        piece.target.height < 1) {
      continue;
    }
    allDrawn &= GdipDrawImageRectRectI(graphics, image, piece.target.x, piece.target.y,
                                       piece.target.width, piece.target.height, piece.source.x,
                                       piece.source.y, piece.source.width, piece.source.height,
                                       UnitPixel, attributes.get(), nullptr, nullptr) == Ok;
  }
  return allDrawn;
}
