// Runs shell scripts on the Linux side of Wine, so that real Linux programs (curl, node, Chromium)
// can be the service's clients. Wine starts a Unix program named by a Unix path but hands back no
// process handle for it, so each script reports its exit status through a file in a scratch
// folder that both sides see (/tmp/... on Linux is Z:\tmp\... under Wine).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/process.h"  // RunningUnderWine: the tests that need Linux programs skip otherwise

class UnixScratchFolder {
 public:
  UnixScratchFolder();   // makes a fresh /tmp/vm-richedit-<pid>-<n>
  ~UnixScratchFolder();  // removes it with everything the scripts left there
  UnixScratchFolder(const UnixScratchFolder&) = delete;
  UnixScratchFolder& operator=(const UnixScratchFolder&) = delete;

  const std::string& UnixPath() const { return unixPath_; }
  // The Windows path of a file in the folder.
  std::string WindowsPathOf(const std::string& name) const;
  // The contents of a file in the folder; nothing when it does not exist.
  std::optional<std::string> Read(const std::string& name) const;

 private:
  std::string unixPath_;
  std::string windowsPath_;
};

struct UnixScriptResult {
  bool finished = false;  // false: still running when the wait ended
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};

// Runs `script` with /bin/sh in `folder` (its working folder and $HOME) with a standard PATH, and
// waits up to timeoutMs for it to end while dispatching this thread's window messages, so that
// the service's deliveries reach elements meanwhile.
UnixScriptResult RunUnixScript(const UnixScratchFolder& folder, const std::string& script,
                               uint32_t timeoutMs);
