#include "tests/support/virtual_display.h"

#include <windows.h>

#include <string>

#include "tests/support/registry_values.h"

void UseUnmanagedWindows() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string program = path;
  program = program.substr(program.find_last_of("\\/") + 1);
  WriteRegistryText(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + program + "\\X11 Driver", "Managed", "N");
}
