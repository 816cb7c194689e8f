// A small program the shell tests start in other processes:
//   record <log> [words...]      appends its whole command line to <log>
//   instance                     exits with IsInstanceRunning() (1 or 0)
//   instance-hold <log> <ms>     appends "instance:<answer>" to <log>, then stays alive for ms
//   instance-race <log> <event> <ms>
//                                appends "ready", waits until the named event is set, asks, appends
//                                "instance:<answer>" and stays alive for ms
//   run-elevated-self <log>      RunElevated with no program: starts itself as "record <log>";
//                                exits with RunElevated's answer
#include <windows.h>

#include <cstdlib>
#include <string>

#include "shell/process_shell.h"

namespace {

void AppendLine(const char* log, const std::string& line) {
  HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string record = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  if (mode == "record" && argc >= 3) {
    AppendLine(argv[2], GetCommandLineA());
    return 0;
  }
  if (mode == "instance") return IsInstanceRunning() ? 1 : 0;
  if (mode == "instance-hold" && argc >= 4) {
    AppendLine(argv[2], std::string("instance:") + (IsInstanceRunning() ? "1" : "0"));
    Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    return 0;
  }
  if (mode == "instance-race" && argc >= 5) {
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (go == nullptr) return 2;
    AppendLine(argv[2], "ready");
    WaitForSingleObject(go, 30000);
    const bool running = IsInstanceRunning();
    AppendLine(argv[2], std::string("instance:") + (running ? "1" : "0"));
    Sleep(static_cast<DWORD>(std::atoi(argv[4])));
    return 0;
  }
  if (mode == "run-elevated-self" && argc >= 3) {
    return RunElevated(std::nullopt, std::string("record \"") + argv[2] + "\"") ? 1 : 0;
  }
  return 2;
}
