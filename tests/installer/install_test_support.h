// What the install tests share: scratch folders, files, helper processes and links.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win_handle.h"

// The folder of the running test program, with a trailing backslash.
std::string ModuleFolder();
// install_test_helper.exe beside the test program.
std::string HelperPath();
// A path in double quotes, one command-line word.
std::string Quoted(const std::string& path);
// The helper's command line with `arguments` after the quoted program path.
std::string HelperCommand(const std::string& arguments);

// A fresh folder below the temporary folder (no trailing backslash), removed with what is left in
// it when the object goes. Links inside are removed as links, never followed.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);  // empty when missing
bool Exists(const std::string& path);

struct StartedProcess {
  UniqueHandle process;
  uint32_t id = 0;
};
// Starts `commandLine`; an empty process handle when it cannot be started.
StartedProcess StartProcess(const std::string& commandLine);
// Starts the helper holding `path` open without sharing for `milliseconds`, and returns once it
// holds it (an empty process handle when it could not).
StartedProcess HoldFileOpen(const std::string& path, int milliseconds);
// Runs `commandLine` to its end and answers its exit code, or -1 when it could not start.
int RunToEnd(const std::string& commandLine);

// Makes `link` a directory symbolic link to `target`. Under Wine this is a Unix symbolic link
// (which Wine reports as a directory reparse point); elsewhere CreateSymbolicLinkA. Answers
// whether the link exists afterwards.
bool MakeDirectoryLink(const std::string& link, const std::string& target);
// Removes a link made by MakeDirectoryLink without touching its target.
void RemoveDirectoryLink(const std::string& link);
