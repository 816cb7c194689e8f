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

// No window manager runs on the virtual display, so Wine, treating windows as managed, would
// wait two seconds for each hidden window to be withdrawn. This test program's windows are made
// unmanaged (a per-program Wine setting, read when the first window is made).
inline void UseUnmanagedWindows() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string program = path;
  program = program.substr(program.find_last_of("\\/") + 1);
  UniqueHKey key;
  std::string keyPath = "Software\\Wine\\AppDefaults\\" + program + "\\X11 Driver";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) ==
      ERROR_SUCCESS) {
    RegSetValueExA(key.get(), "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
  }
}

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

// Runs a Unix shell command (e.g. "/usr/bin/xdotool mousemove 10 10") and waits up to 10 s for
// it, processing this thread's messages meanwhile. Wine starts a Unix program given by its path
// on the Z: drive, but hands back no process handle to wait on, so the command touches a marker
// file when it is done.
inline bool RunUnixCommand(const std::string& command) {
  static int serial = 0;
  const std::string marker =
      "/tmp/vm-window-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial) + ".done";
  std::string markerForWindows = "Z:" + marker;
  std::replace(markerForWindows.begin(), markerForWindows.end(), '/', '\\');
  std::string commandLine = "Z:\\bin\\sh -c \"" + command + "; touch " + marker + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  UniqueHandle thread(process.hThread), processHandle(process.hProcess);
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (GetFileAttributesA(markerForWindows.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount64() > deadline) return false;
    PumpFor(10);
  }
  DeleteFileA(markerForWindows.c_str());
  return true;
}

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
