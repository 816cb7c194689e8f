// File helpers for the installer tests: a scratch folder that removes itself, whole-tree listings
// and byte-exact reads, and the Windows spelling of the build's Unix paths under Wine.
#pragma once

#include <string>
#include <vector>

#include "common/code_page.h"  // WideFromAnsi, AnsiFromWide

// A fresh, empty folder under the temporary folder; removed with everything in it (read-only files
// included) when the object goes. Paths are ANSI text with a trailing backslash.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::string& path() const { return path_; }  // ends with "\"
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

// Every file and folder below `root`, as paths relative to it with "\" separators; folders end
// with "\". Sorted. Empty when root does not exist.
std::vector<std::wstring> ListTree(const std::wstring& root);
std::vector<std::string> ListTreeAnsi(const std::string& root);

bool ReadWholeFile(const std::wstring& path, std::string& bytes);
bool ReadWholeFileAnsi(const std::string& path, std::string& bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
bool RemoveTree(const std::wstring& path);


// "/work/x" becomes "Z:\work\x": Wine maps the Unix root to drive Z.
std::wstring WinePathOf(const std::wstring& unixPath);
