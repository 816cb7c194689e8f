// Finding the top-level windows of another process: the installer's window, a message box.
#pragma once

#include <windows.h>

#include <functional>

// The first top-level window of process `processId` for which `matches` answers true; null when
// there is none.
HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& matches);
// A visible top-level window of the process; null when there is none.
HWND FindVisibleWindow(DWORD processId);
// A visible message box (dialog class "#32770") of the process; null when there is none.
HWND FindMessageBox(DWORD processId);
