#include "tests/installer/scratch_files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "common/win_handle.h"

namespace {

void ListInto(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW((root + relative + L"*").c_str(), &data));
  if (!find) return;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back(relative + name + L"\\");
      ListInto(root, relative + name + L"\\", out);
    } else {
      out.push_back(relative + name);
    }
  } while (FindNextFileW(find.get(), &data));
}

std::wstring WithBackslash(std::wstring path) {
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  return path;
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "vm_test_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(GetTickCount()) + "_" + std::to_string(counter++);
  RemoveTree(WideFromAnsi(path_));
  CreateDirectoryA(path_.c_str(), nullptr);
  path_ += "\\";
}

ScratchFolder::~ScratchFolder() { RemoveTree(WideFromAnsi(path_)); }

std::vector<std::wstring> ListTree(const std::wstring& root) {
  std::vector<std::wstring> out;
  ListInto(WithBackslash(root), L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> ListTreeAnsi(const std::string& root) {
  std::vector<std::string> out;
  for (const std::wstring& path : ListTree(WideFromAnsi(root))) out.push_back(AnsiFromWide(path));
  return out;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t offset = 0;
  while (offset < bytes.size()) {
    DWORD read = 0;
    DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1 << 20));
    if (!ReadFile(file.get(), bytes.data() + offset, piece, &read, nullptr) || read == 0) return false;
    offset += read;
  }
  return true;
}

bool ReadWholeFileAnsi(const std::string& path, std::string& bytes) { return ReadWholeFile(WideFromAnsi(path), bytes); }

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool RemoveTree(const std::wstring& path) {
  std::wstring root = path;
  while (!root.empty() && root.back() == L'\\') root.pop_back();
  DWORD attributes = GetFileAttributesW(root.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(root.c_str());
  }
  std::vector<std::wstring> entries = ListTree(root);
  // Deepest first, so that every folder is empty when its turn comes.
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a > b; });
  for (const std::wstring& entry : entries) {
    std::wstring full = root + L"\\" + entry;
    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (full.back() == L'\\') RemoveDirectoryW(full.c_str());
    else DeleteFileW(full.c_str());
  }
  return RemoveDirectoryW(root.c_str());
}

std::wstring WinePathOf(const std::wstring& unixPath) {
  std::wstring path = L"Z:" + unixPath;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}
