#include "tests/toolkit/draw/draw_test_support.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <winternl.h>

#include <algorithm>

#include "toolkit/draw/fonts.h"
#include "toolkit/draw/images.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    token_ = StartGdiplus();
    ASSERT_TRUE(token_) << "GDI+ did not start";
  }
  void TearDown() override {
    ReleaseToolkitFonts();
    token_.reset();
  }

 private:
  UniqueGdiplusToken token_;
};

[[maybe_unused]] ::testing::Environment* const kGdiplus =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

const CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

}  // namespace

TestCanvas MakeTestCanvas(int32_t width, int32_t height, Argb fill) {
  TestCanvas canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.bitmap = CreateArgbBitmap(width, height);
  canvas.graphics = GraphicsForImage(canvas.bitmap.get());
  if (canvas.graphics) GdipGraphicsClear(canvas.graphics.get(), fill);
  return canvas;
}

Argb PixelAt(GpBitmap* bitmap, int32_t x, int32_t y) {
  ARGB colour = 0;
  GdipBitmapGetPixel(bitmap, x, y, &colour);
  return colour;
}

std::vector<Argb> AllPixels(GpBitmap* bitmap) {
  UINT width = 0, height = 0;
  GdipGetImageWidth(bitmap, &width);
  GdipGetImageHeight(bitmap, &height);
  std::vector<Argb> pixels;
  GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  BitmapData data = {};
  if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) != Ok) {
    return pixels;
  }
  pixels.reserve(static_cast<size_t>(width) * height);
  for (UINT row = 0; row < height; ++row) {
    const auto* line = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(data.Scan0) +
                                                         static_cast<intptr_t>(row) * data.Stride);
    pixels.insert(pixels.end(), line, line + width);
  }
  GdipBitmapUnlockBits(bitmap, &data);
  return pixels;
}

int CountPixels(GpBitmap* bitmap, const std::function<bool(Argb)>& test) {
  int count = 0;
  for (Argb pixel : AllPixels(bitmap)) count += test(pixel) ? 1 : 0;
  return count;
}

int ChannelDistance(Argb a, Argb b) {
  int most = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    most = std::max(most, difference < 0 ? -difference : difference);
  }
  return most;
}

std::vector<uint8_t> EncodePng(GpImage* image) {
  std::vector<uint8_t> bytes;
  ComPtr<IStream> stream;
  *stream.put() = SHCreateMemStream(nullptr, 0);
  if (!stream || GdipSaveImageToStream(image, stream.get(), &kPngEncoder, nullptr) != Ok) {
    return bytes;
  }
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

bool SavePng(GpImage* image, const std::wstring& fileName) {
  return GdipSaveImageToFile(image, fileName.c_str(), &kPngEncoder, nullptr) == Ok;
}

UniqueGpBitmap MakeBlockBitmap(const std::vector<Argb>& colours, int32_t columns, int32_t rows,
                               int32_t blockSize) {
  UniqueGpBitmap bitmap = CreateArgbBitmap(columns * blockSize, rows * blockSize);
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t column = 0; column < columns; ++column) {
      Argb colour = colours[static_cast<size_t>(row * columns + column) % colours.size()];
      for (int32_t y = 0; y < blockSize; ++y) {
        for (int32_t x = 0; x < blockSize; ++x) {
          GdipBitmapSetPixel(bitmap.get(), column * blockSize + x, row * blockSize + y, colour);
        }
      }
    }
  }
  return bitmap;
}

namespace {

// One entry of the GDI handle table the system maps into every process (the same layout on
// Windows and in Wine): 24 bytes on 64-bit systems.
struct GdiTableEntry {
  uint64_t kernelObject;
  uint16_t processId;
  uint16_t count;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t user;
};
static_assert(sizeof(GdiTableEntry) == 24);

const GdiTableEntry* GdiHandleTable() {
#if defined(_WIN64)
  auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  return *reinterpret_cast<const GdiTableEntry* const*>(peb + 0xF8);  // GdiSharedHandleTable
#else
  return nullptr;
#endif
}

}  // namespace

size_t LiveGdiObjects() {
  if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
  const GdiTableEntry* table = GdiHandleTable();
  if (!table) return 0;
  const uint16_t self = static_cast<uint16_t>(GetCurrentProcessId());
  size_t live = 0;
  for (size_t i = 0; i < 0x10000; ++i) {
    // Wine leaves the owner at 0; Windows shares the table between processes and names them.
    if (table[i].type != 0 && (table[i].processId == self || table[i].processId == 0)) ++live;
  }
  return live;
}
