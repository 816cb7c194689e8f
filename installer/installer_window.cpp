// Stand-in until the toolkit's installer window exists: runs the message loop.
#include "installer/installer_window.h"

#include <windows.h>

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) != 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void BuildInstallerWindow() { RunMessageLoop(); }
