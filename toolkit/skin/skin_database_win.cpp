// The file side of SkinDatabase: the whole file is read into memory and parsed by the same code
// as LoadBytes, so both loaders accept and refuse exactly the same databases.
#include <windows.h>

#include "common/win_handle.h"
#include "toolkit/skin/skin_database.h"

namespace {

// Skin databases are small (the default skin is a few kilobytes); anything beyond the format's
// 32-bit lengths cannot be a database.
constexpr LONGLONG kLargestDatabase = 0x7FFFFFFF;

bool ReadWhole(HANDLE file, SkinBytes& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > kLargestDatabase) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(bytes.size() - done);
    if (!ReadFile(file, bytes.data() + done, want, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

bool WriteWhole(HANDLE file, SkinByteView bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    DWORD want = static_cast<DWORD>(bytes.size() - done);
    if (!WriteFile(file, bytes.data() + done, want, &put, nullptr) || put == 0) return false;
    done += put;
  }
  return true;
}

}  // namespace

bool SkinDatabase::LoadFile(const std::string& path) {
  // Read and write access, sharing reading only: nobody rewrites the database while it is read.
  // (A read-only file is therefore refused.)
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  SkinBytes bytes;
  if (!ReadWhole(file.get(), bytes)) return false;
  return ReplaceFrom(bytes);
}

bool SkinDatabase::SaveFile(const std::string& path) const {
  SkinBytes bytes = ToBytes();
  if (bytes.empty()) return false;
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  return WriteWhole(file.get(), bytes);
}
