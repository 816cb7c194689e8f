#include "tests/support/window_lookup.h"

#include <string>

namespace {

struct Search {
  DWORD processId;
  const std::function<bool(HWND)>* matches;
  HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && (*search->matches)(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& matches) {
  Search search{processId, &matches, nullptr};
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindVisibleWindow(DWORD processId) {
  return FindProcessWindow(processId, [](HWND window) { return IsWindowVisible(window) != FALSE; });
}

HWND FindMessageBox(DWORD processId) {
  return FindProcessWindow(processId, [](HWND window) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string(className) == "#32770" && IsWindowVisible(window);
  });
}
