#include "tests/support/process.h"

#include <windows.h>

#include <vector>

#include "tests/support/files.h"

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full = path;
  return full.substr(0, full.find_last_of('\\') + 1);
}

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

StartedProcess StartProcess(const std::string& commandLine) {
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  StartedProcess started;
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) {
    return started;
  }
  UniqueHandle thread(created.hThread);
  started.started = true;
  started.process.reset(created.hProcess);
  started.id = created.dwProcessId;
  return started;
}

int RunToEnd(const std::string& commandLine, uint32_t timeoutMs) {
  const StartedProcess started = StartProcess(commandLine);
  if (!started.process) return -1;
  WaitForSingleObject(started.process.get(), timeoutMs);
  DWORD code = 0;
  GetExitCodeProcess(started.process.get(), &code);
  return static_cast<int>(code);
}

bool RunningUnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

namespace {

// Handles the thread's queued messages; a WM_QUIT is posted again for the loop it was meant for.
void PumpQueuedMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

bool RunUnixCommand(const std::string& command) {
  static int serial = 0;
  const std::string marker =
      "/tmp/vm-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial) + ".done";
  const std::string markerForWindows = WinePathOf(marker);
  const StartedProcess started = StartProcess("Z:\\bin\\sh -c \"" + command + "; touch " + marker + "\"");
  if (!started.started) return false;
  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (!PathExists(markerForWindows)) {
    if (GetTickCount64() > deadline) return false;
    PumpQueuedMessages();
    MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  DeleteFileA(markerForWindows.c_str());
  PumpQueuedMessages();
  return true;
}
