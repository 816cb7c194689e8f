#include "tests/support/scratch_folder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "common/code_page.h"
#include "common/win_handle.h"
#include "tests/support/files.h"
#include "tests/support/process.h"

namespace {

std::wstring WithoutBackslash(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

void RemoveEntry(const std::wstring& path, DWORD attributes);

void RemoveFolderContents(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find) return;
  std::vector<std::pair<std::wstring, DWORD>> entries;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") entries.emplace_back(folder + L"\\" + name, entry.dwFileAttributes);
  } while (FindNextFileW(find.get(), &entry));
  find.reset();
  for (const auto& [path, attributes] : entries) RemoveEntry(path, attributes);
}

void RemoveEntry(const std::wstring& path, DWORD attributes) {
  if (IsLink(attributes)) {
    RemoveDirectoryLink(AnsiFromWide(path));
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    RemoveFolderContents(path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
  } else {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

void ListInto(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW((root + relative + L"*").c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back(relative + name + L"\\");
      if (!IsLink(data.dwFileAttributes)) ListInto(root, relative + name + L"\\", out);
    } else {
      out.push_back(relative + name);
    }
  } while (FindNextFileW(find.get(), &data));
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& name) {
  static std::atomic<int> made{0};
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = temp;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  folder += "vm-" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
            "-" + std::to_string(++made);
  RemoveTree(WideFromAnsi(folder));
  CreateDirectoryA(folder.c_str(), nullptr);
  path_ = folder + "\\";
}

ScratchFolder::~ScratchFolder() {
  if (RemoveTree(WideFromAnsi(path_))) return;
  // What the Windows calls could not take (a dangling Unix link, say) the Unix tools can.
  const std::string unixPath = UnixPathOf(path_);
  if (!unixPath.empty()) RunToEnd("/bin/rm -rf " + Quoted(unixPath));
}

bool RemoveTree(const std::wstring& path) {
  const std::wstring root = WithoutBackslash(path);
  const DWORD attributes = GetFileAttributesW(root.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  RemoveEntry(root, attributes);
  return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> ListTree(const std::wstring& root) {
  std::vector<std::wstring> out;
  ListInto(WithoutBackslash(root) + L"\\", L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> ListTreeAnsi(const std::string& root) {
  std::vector<std::string> out;
  for (const std::wstring& path : ListTree(WideFromAnsi(root))) out.push_back(AnsiFromWide(path));
  return out;
}

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  if (RunningUnderWine()) {
    const std::string unixLink = UnixPathOf(link);
    const std::string unixTarget = UnixPathOf(target);
    if (unixLink.empty() || unixTarget.empty()) return false;
    RunToEnd("/bin/ln -s " + Quoted(unixTarget) + " " + Quoted(unixLink));
  } else {
    CreateSymbolicLinkA(link.c_str(), target.c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE */);
  }
  // Wine does not wait for a Unix program it starts: look until the link shows.
  for (int attempt = 0; attempt < 200; ++attempt) {
    const DWORD attributes = GetFileAttributesA(link.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLink(attributes)) return true;
    Sleep(10);
  }
  return false;
}

void RemoveDirectoryLink(const std::string& link) {
  // Wine's RemoveDirectoryA follows a Unix link and removes an empty target: unlink it in Unix.
  if (RunningUnderWine()) {
    RunToEnd("/bin/rm -f " + Quoted(UnixPathOf(link)));
    for (int attempt = 0; attempt < 200 && PathExists(link); ++attempt) Sleep(10);
  } else {
    RemoveDirectoryA(link.c_str());  // removes the link itself
  }
}
