#include "tests/support/files.h"

#include <windows.h>

#include <algorithm>

#include "common/win_handle.h"

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t offset = 0;
  while (offset < bytes.size()) {
    DWORD read = 0;
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1 << 20));
    if (!ReadFile(file.get(), bytes.data() + offset, piece, &read, nullptr)) return false;
    if (read == 0) {  // the file shrank while it was read
      bytes.resize(offset);
      break;
    }
    offset += read;
  }
  return true;
}

bool ReadWholeFileAnsi(const std::string& path, std::string& bytes) { return ReadWholeFile(WideFromAnsi(path), bytes); }

std::string ReadTextFile(const std::string& path) {
  std::string text;
  if (!ReadWholeFileAnsi(path, text)) text.clear();
  return text;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring WinePathOf(const std::wstring& unixPath) {
  std::wstring path = L"Z:" + unixPath;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::string WinePathOf(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string UnixPathOf(const std::string& windowsPath) {
  // Wine's own export that turns a Windows path into a Unix one; absent on Windows.
  using UnixFileNameFn = char*(CDECL*)(const WCHAR*);
  const auto toUnix = reinterpret_cast<UnixFileNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return std::string();
  const std::wstring wide = WideFromAnsi(windowsPath);
  char* unixPath = toUnix(wide.c_str());
  if (!unixPath) return std::string();
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}
