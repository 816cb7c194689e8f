#include "tests/toolkit/richedit/test_client.h"  // winsock2.h before windows.h

#include "tests/toolkit/richedit/unix_command.h"

#include <windows.h>

#include <cstdlib>

#include "tests/support/files.h"

UnixScratchFolder::UnixScratchFolder() {
  static int serial = 0;
  unixPath_ = "/tmp/vm-richedit-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount()) + "-" + std::to_string(++serial);
  windowsPath_ = WinePathOf(unixPath_);
  CreateDirectoryA(windowsPath_.c_str(), nullptr);
}

UnixScratchFolder::~UnixScratchFolder() { StartProcess("/bin/rm -rf " + unixPath_); }

std::string UnixScratchFolder::WindowsPathOf(const std::string& name) const {
  return windowsPath_ + "\\" + name;
}

std::optional<std::string> UnixScratchFolder::Read(const std::string& name) const {
  std::string contents;
  if (!ReadWholeFileAnsi(WindowsPathOf(name), contents)) return std::nullopt;
  return contents;
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
  if (!WriteWholeFile(folder.WindowsPathOf(name + ".sh"), wrapper)) return result;
  if (!StartProcess("/bin/sh " + dir + "/" + name + ".sh").started) return result;

  std::optional<std::string> status;
  PumpMessagesUntil([&] { return (status = folder.Read(name + ".status")).has_value(); },
                    timeoutMs);
  result.output = folder.Read(name + ".out").value_or("");
  if (!status) return result;
  result.finished = true;
  result.exitCode = std::atoi(status->c_str());
  return result;
}
