// Process entry of the installer.
#include <windows.h>
#include <ole2.h>

#include "installer/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HardenDllSearch();
  OleInitialize(nullptr);  // the shortcuts and the taskbar pin use COM on this thread
  StartUp();
  OleUninitialize();
  return 0;
}
