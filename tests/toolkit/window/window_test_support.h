// Helpers for the tests that run real toolkit windows on the virtual display: toolkit start-up,
// message pumping, the X tools (xdotool, import) run from inside Wine, and screenshots.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "common/win_handle.h"
#include "toolkit/draw/colour.h"
#include "toolkit/draw/fonts.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/wait_pumping.h"
#include "toolkit/window/toolkit.h"
#include "tests/support/process.h"          // RunUnixCommand
#include "tests/support/virtual_display.h"  // UseUnmanagedWindows

// Starts the toolkit once for the whole test program.
class ToolkitTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseUnmanagedWindows();
    ASSERT_TRUE(InitialiseToolkit());
  }
};

// Processes messages for `milliseconds`.
inline void PumpFor(uint32_t milliseconds) { WaitPumping(milliseconds); }

// The title font of the tests: the installer's (fully transparent), so no font decides a pixel.
inline FontDescription InvisibleTitleFont() { return MakeFontDescription(std::nullopt, std::nullopt, std::nullopt, 0u, 0u); }

inline bool XdoTool(const std::string& arguments) { return RunUnixCommand("/usr/bin/xdotool " + arguments); }

// A screenshot of the whole virtual screen, read back as 32-bit ARGB pixels.
class Screenshot {
 public:
  bool Take() {
    std::string unixPath = "/tmp/vm-window-test-" + std::to_string(GetCurrentProcessId()) + ".png";
    DeleteFileA(("Z:" + unixPath).c_str());
    if (!RunUnixCommand("/usr/bin/import -window root " + unixPath)) return false;
    std::wstring windowsPath = L"Z:";
    for (char c : unixPath) windowsPath += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(windowsPath.c_str(), &bitmap) != Gdiplus::Ok) return false;
    bitmap_.reset(bitmap);
    DeleteFileW(windowsPath.c_str());
    return true;
  }
  Argb Pixel(int32_t x, int32_t y) const {
    Gdiplus::ARGB colour = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(bitmap_.get(), x, y, &colour);
    return colour;
  }

 private:
  UniqueGpBitmap bitmap_;
};

// Colour channels within a tolerance (alpha ignored).
inline ::testing::AssertionResult ColourNear(Argb actual, Argb expected, int tolerance = 3) {
  auto within = [&](uint8_t a, uint8_t b) { return std::abs(int{a} - int{b}) <= tolerance; };
  if (within(RedOf(actual), RedOf(expected)) && within(GreenOf(actual), GreenOf(expected)) &&
      within(BlueOf(actual), BlueOf(expected))) {
    return ::testing::AssertionSuccess();
  }
  char text[64];
  snprintf(text, sizeof(text), "0x%08X, expected about 0x%08X", actual, expected);
  return ::testing::AssertionFailure() << text;
}
