// A small program the install tests start in other processes:
//   sleep <ms>                 stays alive for ms milliseconds
//   hold <file> <ms> <event>   keeps <file> open without sharing for ms milliseconds; sets the
//                              named event once it holds the file
//   record <log> [words...]    appends one line to <log>: the show command it was started with,
//                              then its whole command line
//   kill-own-name              KillProcessByName with no name (its own executable file name);
//                              exits with 3
//   version                    exits with GetSystemVersionCode()
// Started under the name "Program.exe" it records its command line to C:\planted-program.log,
// whatever the arguments: that is how a test sees a path with spaces taken apart.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/win_handle.h"
#include "installer/install_location.h"
#include "installer/system_version.h"
#include "tests/support/log_writer.h"

namespace {

std::string OwnFileName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

}  // namespace

int main(int argc, char** argv) {
  if (_stricmp(OwnFileName().c_str(), "Program.exe") == 0) {
    AppendLogLine("C:\\planted-program.log", GetCommandLineA());
    return 0;
  }
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  if (mode == "sleep" && argc >= 3) {
    Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    return 0;
  }
  if (mode == "hold" && argc >= 5) {
    const UniqueFile file(CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    if (!file) return 1;
    if (const UniqueHandle ready{OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4])}) SetEvent(ready.get());
    Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    return 0;
  }
  if (mode == "record" && argc >= 3) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    AppendLogLine(argv[2], std::to_string(show) + " " + GetCommandLineA());
    return 0;
  }
  if (mode == "version") return GetSystemVersionCode();
  if (mode == "kill-own-name") {
    KillProcessByName(std::nullopt, false);
    return 3;  // this process is never the one terminated
  }
  return 2;
}
