// Shared by the drawing tests: GDI+ for the whole test program, bitmaps to draw into and read
// back, PNG encoding, and a count of the process's live GDI objects.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/gdi_owners.h"

// A bitmap filled with one colour, and a graphics drawing into it.
struct TestCanvas {
  UniqueGpBitmap bitmap;
  UniqueGpGraphics graphics;
  int32_t width = 0;
  int32_t height = 0;
};
TestCanvas MakeTestCanvas(int32_t width, int32_t height, Argb fill = 0);

// The pixel as stored (non-premultiplied ARGB).
Argb PixelAt(Gdiplus::GpBitmap* bitmap, int32_t x, int32_t y);
// Every pixel, row by row.
std::vector<Argb> AllPixels(Gdiplus::GpBitmap* bitmap);
int CountPixels(Gdiplus::GpBitmap* bitmap, const std::function<bool(Argb)>& test);
// How far two colours are apart in their largest channel difference.
int ChannelDistance(Argb a, Argb b);

std::vector<uint8_t> EncodePng(Gdiplus::GpImage* image);
// Writes the image as a PNG into the test's working folder, for a person to look at.
bool SavePng(Gdiplus::GpImage* image, const std::wstring& fileName);
// An opaque bitmap of the given colour blocks: `columns` × `rows` blocks of blockSize pixels.
UniqueGpBitmap MakeBlockBitmap(const std::vector<Argb>& colours, int32_t columns, int32_t rows,
                               int32_t blockSize);

// GDI objects the process holds: GetGuiResources where the system counts them; Wine answers 0
// there, so then the live entries of the process's GDI handle table are counted.
size_t LiveGdiObjects();
