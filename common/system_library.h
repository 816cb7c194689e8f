// The system's own libraries, opened by full path in the system folder. A bare name ("wshom.ocx",
// "shell32.dll") is looked up beside the program and in the current folder too, and an installer is
// started from a downloads folder, where anybody can have left a file of that name. LoadTypeLib
// searches that way whatever SetDefaultDllDirectories says, and so does LoadLibrary on systems
// without it (XP, Windows 7 before KB2533623).
#pragma once

#include <windows.h>

#include <string>

#include "common/code_page.h"

// The system folder (GetSystemDirectoryW) + "\" + fileName; the empty text when the folder cannot
// be read. A 32-bit program on 64-bit Windows is redirected to its own system folder as usual.
inline std::wstring SystemFilePath(const wchar_t* fileName) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(folder, length) + L"\\" + fileName;
}

// LoadLibraryW of the system folder's copy of fileName; null when it cannot be loaded. The caller
// owns the returned reference (FreeLibrary), as with LoadLibrary.
inline HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  const std::wstring path = SystemFilePath(fileName);
  return path.empty() ? nullptr : LoadLibraryW(path.c_str());
}

// The same for a file name in the ANSI code page ("dwmapi.dll").
inline HMODULE LoadSystemLibrary(const char* fileName) { return LoadSystemLibrary(WideFromAnsi(fileName).c_str()); }
