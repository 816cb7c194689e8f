// Process entry of the installer: where the installer core and the installer window meet.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "common/bench_marks.h"
#include "installer/installer_window.h"
#include "installer/startup.h"

namespace {

// Takes the guard (a second instance ends here with exit code 0), then builds the installer window
// and runs its message loop.
void StartUp() {
  std::string name = kInstanceGuardName;
  if (EnsureSingleInstance(name)) TerminateSelf(0);
  BuildInstallerWindow();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  VM_BENCH_MARK("process: entry");
  HardenDllSearch();
  OleInitialize(nullptr);  // the shortcuts and the taskbar pin use COM on this thread
  VM_BENCH_MARK("process: OLE initialised");
  StartUp();
  OleUninitialize();
  return 0;
}
