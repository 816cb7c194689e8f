#include "installer/startup.h"

#include <windows.h>

#include "installer/installer_window.h"

void HardenDllSearch() {
  // Present from Windows 8 on, and on Windows 7 with KB2533623; without it, at least take the
  // current folder out of the search order.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryA("");
}

bool EnsureSingleInstance(std::string& name) {
  if (name.empty()) name = kDefaultGuardName;
  if (OpenEventA(EVENT_ALL_ACCESS, FALSE, name.c_str()) != nullptr) {
    return true;  // the handle stays open: the process ends right after
  }
  // The handle stays open for the life of the process; its existence is the guard.
  CreateEventA(nullptr, FALSE, FALSE, name.c_str());
  return false;
}

void TerminateSelf(unsigned code) {
  TerminateProcess(GetCurrentProcess(), code);
  ExitProcess(code);  // not reached
}

void StartUp() {
  std::string name = kInstanceGuardName;
  if (EnsureSingleInstance(name)) TerminateSelf(0);
  BuildInstallerWindow();
}
