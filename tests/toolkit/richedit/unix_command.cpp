#include "tests/toolkit/richedit/test_client.h"  // winsock2.h before windows.h

#include "tests/toolkit/richedit/unix_command.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string WindowsPathFromUnix(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

bool WriteFile(const std::string& windowsPath, const std::string& text) {
  std::ofstream file(windowsPath, std::ios::binary);
  file << text;
  return static_cast<bool>(file);
}

// Starts a Unix program; Wine runs it and gives back no handle.
bool StartUnixProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  return true;
}

}  // namespace

bool RunningUnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

UnixScratchFolder::UnixScratchFolder() {
  static int serial = 0;
  unixPath_ = "/tmp/vm-richedit-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount()) + "-" + std::to_string(++serial);
  windowsPath_ = WindowsPathFromUnix(unixPath_);
  CreateDirectoryA(windowsPath_.c_str(), nullptr);
}

UnixScratchFolder::~UnixScratchFolder() { StartUnixProgram("/bin/rm -rf " + unixPath_); }

std::string UnixScratchFolder::WindowsPathOf(const std::string& name) const {
  return windowsPath_ + "\\" + name;
}

std::optional<std::string> UnixScratchFolder::Read(const std::string& name) const {
  std::ifstream file(WindowsPathOf(name), std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

UnixScriptResult RunUnixScript(const UnixScratchFolder& folder, const std::string& script,
                               uint32_t timeoutMs) {
  static int serial = 0;
  std::string name = "script" + std::to_string(++serial);
  const std::string& dir = folder.UnixPath();
  const std::string file = "'" + dir + "/" + name;  // opens a quoted path; add the suffix and "'"
  std::string wrapper;
  wrapper += "export PATH=/usr/local/bin:/usr/bin:/bin HOME='" + dir + "'\n";
  wrapper += "cd '" + dir + "'\n";
  wrapper += "( " + script + "\n) >" + file + ".out' 2>&1 </dev/null\n";
  wrapper += "echo $? >" + file + ".part' && mv " + file + ".part' " + file + ".status'\n";
  UnixScriptResult result;
  if (!WriteFile(folder.WindowsPathOf(name + ".sh"), wrapper)) return result;
  if (!StartUnixProgram("/bin/sh " + dir + "/" + name + ".sh")) return result;

  std::optional<std::string> status;
  PumpMessagesUntil([&] { return (status = folder.Read(name + ".status")).has_value(); },
                    timeoutMs);
  result.output = folder.Read(name + ".out").value_or("");
  if (!status) return result;
  result.finished = true;
  result.exitCode = std::atoi(status->c_str());
  return result;
}
