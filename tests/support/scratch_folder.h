// A scratch folder that removes itself, directory links made and removed the way the system under
// test sees them, and whole-tree listings.
#pragma once

#include <string>
#include <vector>

// A fresh, empty folder below the temporary folder, named after `name`, the process and a
// counter. Its path always ends with "\", so "folder / name" and "folder.path() + name" are the
// same path. When the object goes, the folder goes with everything in it: read-only files
// included, and links removed as links, never followed (a test that makes a link to a folder
// outside must not lose that folder's contents).
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name = "test");
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  const std::string& path() const { return path_; }  // ANSI text, ends with "\"
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

// Removes a file, or a folder with everything below it, as ScratchFolder does; true when nothing
// is left at `path` (also when nothing was there). A trailing "\" is allowed.
bool RemoveTree(const std::wstring& path);

// Every file and folder below `root`, as paths relative to it with "\" separators; folders end
// with "\". Sorted. Links are listed and not entered. Empty when root does not exist.
std::vector<std::wstring> ListTree(const std::wstring& root);
std::vector<std::string> ListTreeAnsi(const std::string& root);

// Makes `link` a directory symbolic link to `target`. Under Wine this is a Unix symbolic link
// (which Wine reports as a directory reparse point); elsewhere CreateSymbolicLinkA. Answers
// whether the link exists afterwards.
bool MakeDirectoryLink(const std::string& link, const std::string& target);
// Removes a link made by MakeDirectoryLink without touching its target.
void RemoveDirectoryLink(const std::string& link);
