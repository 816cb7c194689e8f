#include "installer/startup.h"

#include <windows.h>
#include <delayimp.h>

#include <vector>

#include "common/system_library.h"
#include "common/win_handle.h"

namespace {

// Guard events this process created. They stay open until the process ends: their existence is
// the guard, and nothing ever signals them.
std::vector<UniqueHandle>& HeldGuards() {
  static std::vector<UniqueHandle> guards;
  return guards;
}

// The delay-loaded DLLs (cmake/DelayLoad.cmake) are loaded by the toolchain's helper, which would
// call LoadLibraryA with the bare name; it takes the module this hook answers instead. Should the
// system folder's copy not load, the helper's own call still runs under the restricted search.
FARPROC WINAPI LoadDelayImportFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

}  // namespace

void HardenDllSearch() {
  __pfnDliNotifyHook2 = LoadDelayImportFromSystemFolder;
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
  if (UniqueHandle(OpenEventA(EVENT_ALL_ACCESS, FALSE, name.c_str()))) return true;
  SetLastError(ERROR_SUCCESS);
  UniqueHandle created(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
  // Two installers started at the same moment can both find no event; the one whose creation
  // merely opened the other's event is the second instance.
  if (created && GetLastError() == ERROR_ALREADY_EXISTS) return true;
  // A failed creation is not an error: the installer then runs unguarded.
  if (created) HeldGuards().push_back(std::move(created));
  return false;
}

void TerminateSelf(unsigned code) {
  TerminateProcess(GetCurrentProcess(), code);
  ExitProcess(code);  // not reached
}
