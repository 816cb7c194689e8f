// Images: decoding from bytes (PNG made here with GDI+'s encoder), transparency, source
// rectangles, icons, nine-grid stretches and the average colour.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/draw/draw_test_support.h"
#include "toolkit/draw/images.h"
#include "toolkit/draw/memory_stream.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr Argb kRed = 0xFFFF0000u;
constexpr Argb kBlue = 0xFF0000FFu;

int32_t WidthOf(GpImage* image) {
  UINT width = 0;
  GdipGetImageWidth(image, &width);
  return static_cast<int32_t>(width);
}

int32_t HeightOf(GpImage* image) {
  UINT height = 0;
  GdipGetImageHeight(image, &height);
  return static_cast<int32_t>(height);
}

// 40 × 20: left half red, right half blue, as PNG bytes.
std::vector<uint8_t> RedBluePng() {
  UniqueGpBitmap bitmap = MakeBlockBitmap({kRed, kBlue}, 2, 1, 20);
  return EncodePng(bitmap.get());
}

UniqueGpBitmap SolidImage(Argb colour, int32_t width, int32_t height) {
  TestCanvas canvas = MakeTestCanvas(width, height, colour);
  return std::move(canvas.bitmap);
}

TEST(LoadImageFromBytes, DecodesAtTheImagesOwnSize) {
  std::vector<uint8_t> png = RedBluePng();
  ASSERT_GT(png.size(), 8u);
  UniqueGpBitmap image = LoadImageFromBytes(png);
  ASSERT_TRUE(image);
  EXPECT_EQ(WidthOf(image.get()), 40);
  EXPECT_EQ(HeightOf(image.get()), 20);
  PixelFormat format = 0;
  GdipGetImagePixelFormat(image.get(), &format);
  EXPECT_EQ(format, PixelFormat32bppARGB);
  EXPECT_EQ(PixelAt(image.get(), 0, 0), kRed);
  EXPECT_EQ(PixelAt(image.get(), 19, 19), kRed);
  EXPECT_EQ(PixelAt(image.get(), 20, 0), kBlue);
  EXPECT_EQ(PixelAt(image.get(), 39, 19), kBlue);
}

// The shell's memory stream is looked up by its ordinal, the only way Windows XP exports it; where
// a system has the name as well, the two are the same function.
TEST(MemoryStream, TheShellsConstructorIsFoundByOrdinalTwelve) {
  ASSERT_NE(ShellMemoryStreamConstructor(), nullptr);
  HMODULE shlwapi = GetModuleHandleA("shlwapi.dll");
  ASSERT_NE(shlwapi, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(ShellMemoryStreamConstructor()),
            reinterpret_cast<void*>(GetProcAddress(shlwapi, "SHCreateMemStream")));
}

std::vector<uint8_t> ReadAll(IStream* stream) {
  std::vector<uint8_t> bytes;
  uint8_t buffer[97];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0) bytes.insert(bytes.end(), buffer, buffer + read);
  return bytes;
}

// The fallback for a shell without the constructor gives the same stream: the same bytes from
// the start, the same image decoded from it.
TEST(MemoryStream, TheGlobalMemoryFallbackHoldsTheSameBytes) {
  const std::vector<uint8_t> png = RedBluePng();
  for (auto make : {&CreateMemoryStream, &CreateGlobalMemoryStream}) {
    ComPtr<IStream> stream = make(png);
    ASSERT_TRUE(stream);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, png.size());
    EXPECT_EQ(ReadAll(stream.get()), png);
  }
  ComPtr<IStream> fallback = CreateGlobalMemoryStream(png);
  UniqueGpBitmap decoded;
  ASSERT_EQ(GdipCreateBitmapFromStream(fallback.get(), decoded.put()), Ok);
  EXPECT_EQ(PixelAt(decoded.get(), 0, 0), kRed);
  EXPECT_EQ(PixelAt(decoded.get(), 39, 19), kBlue);

  ComPtr<IStream> empty = CreateGlobalMemoryStream({});
  ASSERT_TRUE(empty);
  STATSTG stat{};
  ASSERT_EQ(empty->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 0u);
}

TEST(LoadImageFromBytes, RequestedSizeIsExactlyTheResultsSize) {
  std::vector<uint8_t> png = RedBluePng();
  struct Case {
    std::optional<int32_t> width, height;
    int32_t expectedWidth, expectedHeight;
  };
  const Case cases[] = {{100, 7, 100, 7},  {1, 1, 1, 1},   {400, 300, 400, 300},
                        {13, {}, 13, 20},  {{}, 3, 40, 3}, {40, 20, 40, 20}};
  for (const Case& c : cases) {
    UniqueGpBitmap image = LoadImageFromBytes(png, c.width, c.height);
    ASSERT_TRUE(image);
    EXPECT_EQ(WidthOf(image.get()), c.expectedWidth);
    EXPECT_EQ(HeightOf(image.get()), c.expectedHeight);
  }
  // Scaled, the halves stay where they were, edges included.
  UniqueGpBitmap wide = LoadImageFromBytes(png, 400, 30);
  EXPECT_EQ(PixelAt(wide.get(), 0, 0), kRed);
  EXPECT_EQ(PixelAt(wide.get(), 100, 15), kRed);
  EXPECT_EQ(PixelAt(wide.get(), 300, 15), kBlue);
  EXPECT_EQ(PixelAt(wide.get(), 399, 29), kBlue);
}

TEST(LoadImageFromBytes, KeepsNoReferenceToTheBytes) {
  std::vector<uint8_t> png = RedBluePng();
  UniqueGpBitmap image = LoadImageFromBytes(png);
  ASSERT_TRUE(image);
  std::fill(png.begin(), png.end(), 0xCD);
  png.clear();
  png.shrink_to_fit();
  TestCanvas canvas = MakeTestCanvas(40, 20);
  ASSERT_TRUE(DrawImage(image.get(), canvas.graphics.get(), 0, 0));
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 5, 5), kRed);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 35, 5), kBlue);
}

TEST(LoadImageFromBytes, BytesThatAreNoImageGiveNoImage) {
  std::vector<uint8_t> png = RedBluePng();
  const std::string text = "this is not an image at all";
  std::vector<std::vector<uint8_t>> inputs = {
      {},
      std::vector<uint8_t>(text.begin(), text.end()),
      std::vector<uint8_t>(png.begin(), png.begin() + 30),  // a cut-off PNG
      std::vector<uint8_t>(4096, 0),
      {0x89, 'P', 'N', 'G'},
  };
  for (const auto& bytes : inputs) {
    EXPECT_FALSE(LoadImageFromBytes(bytes)) << bytes.size();
    EXPECT_FALSE(LoadImageFromBytes(bytes, 10, 10)) << bytes.size();
  }
  // A size below 1 is no image either.
  EXPECT_FALSE(LoadImageFromBytes(png, 0, 10));
  EXPECT_FALSE(LoadImageFromBytes(png, 10, -1));
}

TEST(AverageColour, OfOneColourIsThatColour) {
  for (Argb colour : {0xFF336699u, kRed, 0xFF000000u, 0xFFFFFFFFu, 0x80204060u}) {
    UniqueGpBitmap image = SolidImage(colour, 17, 9);
    EXPECT_EQ(AverageColour(image.get()), colour) << std::hex << colour;
  }
  std::vector<uint8_t> png = EncodePng(SolidImage(0xFF1C1C1Cu, 30, 30).get());
  UniqueGpBitmap decoded = LoadImageFromBytes(png);
  EXPECT_EQ(AverageColour(decoded.get()), 0xFF1C1C1Cu);
  EXPECT_EQ(AverageColour(nullptr), 0u);
}

TEST(AverageColour, AveragesEveryPixel) {
  UniqueGpBitmap halves = MakeBlockBitmap({kRed, kBlue}, 2, 1, 10);
  Argb average = AverageColour(halves.get());
  EXPECT_EQ(AlphaOf(average), 255);
  EXPECT_NEAR(RedOf(average), 128, 1);
  EXPECT_EQ(GreenOf(average), 0);
  EXPECT_NEAR(BlueOf(average), 128, 1);
  // Transparent pixels add no colour.
  UniqueGpBitmap holes = MakeBlockBitmap({kRed, 0x00000000u}, 2, 1, 10);
  Argb holesAverage = AverageColour(holes.get());
  EXPECT_NEAR(AlphaOf(holesAverage), 128, 1);
  EXPECT_EQ(RedOf(holesAverage), 255);
}

TEST(DrawImage, TransparencyZeroDrawsWithoutAttributes) {
  EXPECT_FALSE(TransparencyAttributes(0));
  EXPECT_FALSE(TransparencyAttributes(-5));
  EXPECT_TRUE(TransparencyAttributes(50));
  UniqueGpBitmap red = SolidImage(kRed, 10, 10);
  TestCanvas canvas = MakeTestCanvas(10, 10);
  ASSERT_TRUE(DrawImage(red.get(), canvas.graphics.get(), 0, 0, {}, {}, 0, 0, {}, {}, 0));
  EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p == kRed; }), 100);
}

TEST(DrawImage, TransparencyHundredDrawsNothing) {
  UniqueGpBitmap red = SolidImage(kRed, 10, 10);
  for (int32_t transparency : {100, 150}) {
    TestCanvas canvas = MakeTestCanvas(10, 10, 0xFF00FF00u);
    EXPECT_TRUE(DrawImage(red.get(), canvas.graphics.get(), 0, 0, {}, {}, 0, 0, {}, {},
                          transparency));
    EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p == 0xFF00FF00u; }), 100);
  }
}

TEST(DrawImage, TransparencyFiftyHalvesAlpha) {
  UniqueGpBitmap red = SolidImage(kRed, 10, 10);
  TestCanvas canvas = MakeTestCanvas(10, 10);
  GdipSetCompositingMode(canvas.graphics.get(), CompositingModeSourceCopy);
  ASSERT_TRUE(DrawImage(red.get(), canvas.graphics.get(), 0, 0, {}, {}, 0, 0, {}, {}, 50));
  Argb pixel = PixelAt(canvas.bitmap.get(), 5, 5);
  EXPECT_NEAR(AlphaOf(pixel), 128, 1);
  EXPECT_EQ(RedOf(pixel), 255);

  UniqueGpBitmap quarter = SolidImage(kRed, 4, 4);
  TestCanvas over = MakeTestCanvas(4, 4);
  GdipSetCompositingMode(over.graphics.get(), CompositingModeSourceCopy);
  ASSERT_TRUE(DrawImage(quarter.get(), over.graphics.get(), 0, 0, {}, {}, 0, 0, {}, {}, 75));
  EXPECT_NEAR(AlphaOf(PixelAt(over.bitmap.get(), 1, 1)), 64, 1);
}

TEST(DrawImage, SourceAndTargetRectangles) {
  UniqueGpBitmap halves = MakeBlockBitmap({kRed, kBlue}, 2, 1, 20);
  TestCanvas canvas = MakeTestCanvas(60, 30);
  // The blue half only, stretched to 30 × 30 at (25, 0).
  ASSERT_TRUE(DrawImage(halves.get(), canvas.graphics.get(), 25, 0, 30, 30, 20, 0, 20, 20));
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 24, 15), 0u);
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 40, 15), kBlue);
  EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p == kRed; }), 0);
  EXPECT_FALSE(DrawImage(nullptr, canvas.graphics.get(), 0, 0));
  EXPECT_FALSE(DrawImage(halves.get(), nullptr, 0, 0));
}

TEST(DrawIcon, DrawsAtSixteenPixelsUnlessSized) {
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION, shared
  ASSERT_NE(icon, nullptr);
  auto opaqueIn = [](GpBitmap* bitmap, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    int count = 0;
    for (int32_t y = y0; y < y1; ++y) {
      for (int32_t x = x0; x < x1; ++x) count += AlphaOf(PixelAt(bitmap, x, y)) ? 1 : 0;
    }
    return count;
  };
  TestCanvas small = MakeTestCanvas(64, 64);
  ASSERT_TRUE(DrawIcon(small.graphics.get(), icon, 4, 4));
  EXPECT_GT(opaqueIn(small.bitmap.get(), 4, 4, 20, 20), 0);
  EXPECT_EQ(opaqueIn(small.bitmap.get(), 21, 0, 64, 64), 0);
  EXPECT_EQ(opaqueIn(small.bitmap.get(), 0, 21, 64, 64), 0);

  TestCanvas large = MakeTestCanvas(64, 64);
  ASSERT_TRUE(DrawIcon(large.graphics.get(), icon, 0, 0, 48, 48));
  EXPECT_GT(opaqueIn(large.bitmap.get(), 24, 24, 48, 48), 0);
  EXPECT_FALSE(DrawIcon(large.graphics.get(), nullptr, 0, 0));
}

TEST(NineGridImage, CornersKeepTheirSizeAndTheMiddleStretches) {
  // 3 × 3 blocks of 10 pixels, each its own colour.
  const std::vector<Argb> colours = {0xFF110000u, 0xFF220000u, 0xFF330000u,
                                     0xFF004400u, 0xFF005500u, 0xFF006600u,
                                     0xFF000077u, 0xFF000088u, 0xFF000099u};
  UniqueGpBitmap source = MakeBlockBitmap(colours, 3, 3, 10);
  TestCanvas canvas = MakeTestCanvas(120, 80);
  GdipSetInterpolationMode(canvas.graphics.get(), InterpolationModeNearestNeighbor);
  GdipSetPixelOffsetMode(canvas.graphics.get(), PixelOffsetModeHalf);
  ASSERT_TRUE(NineGridImage(canvas.graphics.get(), source.get(), 10, 5, 100, 60,
                            GridMargins{10, 10, 10, 10}));
  GpBitmap* b = canvas.bitmap.get();
  struct Probe {
    int32_t x, y;
    Argb colour;
  };
  const Probe probes[] = {
      {11, 6, colours[0]},   {19, 14, colours[0]},  {60, 6, colours[1]},  {108, 6, colours[2]},
      {11, 35, colours[3]},  {60, 35, colours[4]},  {100, 35, colours[5]}, {108, 35, colours[5]},
      {11, 63, colours[6]},  {60, 63, colours[7]},  {109, 64, colours[8]}, {101, 56, colours[8]},
      {9, 35, 0u},           {110, 35, 0u},         {60, 4, 0u},           {60, 65, 0u},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(PixelAt(b, p.x, p.y), p.colour) << p.x << "," << p.y;
  }
}

TEST(NineGridImage, TargetSmallerThanTheMarginsStaysInside) {
  UniqueGpBitmap source = MakeBlockBitmap({kRed}, 3, 3, 10);
  TestCanvas canvas = MakeTestCanvas(40, 40);
  ASSERT_TRUE(NineGridImage(canvas.graphics.get(), source.get(), {}, {}, 12, 8,
                            GridMargins{10, 10, 10, 10}));
  EXPECT_EQ(PixelAt(canvas.bitmap.get(), 2, 2), kRed);
  EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p != 0; }), 12 * 8);
}

TEST(NineGridImage, TransparencyAppliesToEveryPiece) {
  UniqueGpBitmap source = MakeBlockBitmap({kRed}, 3, 3, 10);
  TestCanvas canvas = MakeTestCanvas(50, 50);
  GdipSetCompositingMode(canvas.graphics.get(), CompositingModeSourceCopy);
  ASSERT_TRUE(NineGridImage(canvas.graphics.get(), source.get(), 0, 0, 50, 50,
                            GridMargins{10, 10, 10, 10}, 50));
  for (auto [x, y] : {std::pair{2, 2}, {25, 25}, {47, 47}, {25, 2}}) {
    EXPECT_NEAR(AlphaOf(PixelAt(canvas.bitmap.get(), x, y)), 128, 1) << x << "," << y;
  }
}

}  // namespace
