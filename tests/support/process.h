// Processes a test starts: its helper programs beside it, and Unix programs (xdotool, import, rm)
// started from under Wine.
#pragma once

#include <cstdint>
#include <string>

#include "common/win_handle.h"

// The folder of the running program, with a trailing backslash.
std::string ModuleFolder();
// A path in double quotes, one command-line word.
std::string Quoted(const std::string& path);

struct StartedProcess {
  bool started = false;  // CreateProcess succeeded
  // Empty when the program could not be started, and for a Unix program started under Wine, for
  // which Wine hands back no handle.
  UniqueHandle process;
  uint32_t id = 0;
};
StartedProcess StartProcess(const std::string& commandLine);
// Runs `commandLine` to its end (waiting at most timeoutMs) and answers its exit code, or -1 when
// it could not start.
int RunToEnd(const std::string& commandLine, uint32_t timeoutMs = 30000);

// True when this process runs under Wine.
bool RunningUnderWine();
// Runs a Unix shell command line (for example "/usr/bin/xdotool mousemove 10 10") and waits up to
// 10 s for it, processing this thread's window messages meanwhile (a window under test must keep
// answering while xdotool drives it). Wine starts a Unix program given by its path on drive Z but
// hands back no process handle to wait on, so the command touches a marker file when it is done.
// False when it could not be started or did not finish.
bool RunUnixCommand(const std::string& command);
