// Runs foreign_sender.exe (foreign_sender.cpp), the stand-in for a hostile program on the same
// desktop, while this thread keeps dispatching its messages: the sender's messages to this
// thread's windows are handled meanwhile. The test target defines VM_FOREIGN_SENDER_EXE as the
// program's build path (a Unix path, reached through Wine's Z: drive).
#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "common/win_handle.h"

inline std::string ForeignSenderPath() {
  std::string path = "Z:" VM_FOREIGN_SENDER_EXE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The sender's exit code; nothing when it could not be started or did not end within timeoutMs.
inline std::optional<DWORD> RunForeignSender(const std::string& arguments, DWORD timeoutMs = 30000) {
  std::string commandLine = "\"" + ForeignSenderPath() + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return std::nullopt;
  }
  UniqueHandle process(started.hProcess), thread(started.hThread);
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (true) {
    HANDLE handle = process.get();
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  DWORD code = STILL_ACTIVE;
  if (!GetExitCodeProcess(process.get(), &code) || code == STILL_ACTIVE) {
    TerminateProcess(process.get(), 3);
    return std::nullopt;
  }
  // What it posted is still queued here: handle it before the test looks.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return code;
}
