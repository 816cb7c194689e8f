// The demo programs record each start in "%APPDATA%\Velmora\demo-starts.log" (one line a start:
// the program's name and its command line), which is how a test sees that the installer started
// the product.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

inline void LogDemoStart(const char* name) {
  char appData[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE)) return;
  std::string folder = std::string(appData) + "\\Velmora";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string line = std::string(name) + " " + GetCommandLineA() + "\r\n";
  HANDLE file = CreateFileA((folder + "\\demo-starts.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}
