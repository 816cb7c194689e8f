#include "installer/extract.h"

#include <windows.h>

#include <unzip.h>

#include <algorithm>
#include <vector>

#include "common/code_page.h"
#include "common/win_handle.h"
#include "installer/entry_name.h"
#include "installer/zip_file_reading.h"

namespace {

constexpr size_t kChunkSize = 0x4000;  // inflate and write 16 KB at a time
constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

constexpr unsigned long kUtf8NameFlag = 1u << 11;  // general purpose flag: name is UTF-8

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates `path` and every missing parent, one component after another.
bool CreateFolderTree(const std::wstring& path) {
  std::wstring trimmed = path;
  while (trimmed.size() > 1 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) trimmed.pop_back();
  if (trimmed.empty() || IsDirectory(trimmed)) return true;
  // Skip the root ("C:\", "\\server\share\", "\") before creating components.
  size_t position = 0;
  if (trimmed.size() >= 2 && trimmed[1] == L':') {
    position = 3;
  } else if (trimmed.rfind(L"\\\\", 0) == 0) {
    position = trimmed.find(L'\\', 2);
    position = position == std::wstring::npos ? trimmed.size() : trimmed.find(L'\\', position + 1);
  }
  while (position != std::wstring::npos && position < trimmed.size()) {
    size_t next = trimmed.find_first_of(L"\\/", position + 1);
    std::wstring prefix = trimmed.substr(0, next);
    if (!IsDirectory(prefix) && !CreateDirectoryW(prefix.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      return false;
    }
    position = next;
  }
  return IsDirectory(trimmed);
}

bool IsRelativePath(const std::wstring& path) {
  if (path.empty()) return true;
  if (path[0] == L'\\' || path[0] == L'/') return false;
  return !(path.size() >= 2 && path[1] == L':');
}

// The first 32 bytes must be a local file header whose 32-bit value at offset 24 is at least 1.
bool StartsWithLocalHeader(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  uint8_t header[32];
  DWORD read = 0;
  if (!ReadFile(file.get(), header, sizeof header, &read, nullptr) || read != sizeof header) return false;
  auto le32 = [&](int offset) {
    return uint32_t(header[offset]) | uint32_t(header[offset + 1]) << 8 |
           uint32_t(header[offset + 2]) << 16 | uint32_t(header[offset + 3]) << 24;
  };
  return le32(0) == kLocalHeaderSignature && le32(24) >= 1;
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 4];
  DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 4, buffer, nullptr);
  return (length == 0 || length >= MAX_PATH * 4) ? std::wstring() : std::wstring(buffer, length);
}

// The target must stay below the destination folder (given as FullPath of it) once Windows has
// normalised it.
bool StaysInside(const std::wstring& fullDestFolder, const std::wstring& target) {
  const std::wstring resolved = FullPath(target);
  return !resolved.empty() && IsWithinFolder(fullDestFolder, resolved);
}

// Owner of an open minizip archive.
class ZipReader {
 public:
  explicit ZipReader(const std::string& path) {
    zlib_filefunc64_def functions;
    FillBufferedReadFileFunctions(&functions);
    handle_ = unzOpen2_64(path.c_str(), &functions);
  }
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;
  ~ZipReader() {
    if (handle_) unzClose(handle_);
  }
  unzFile get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  unzFile handle_ = nullptr;
};

struct EntryInfo {
  std::string name;  // ANSI bytes as stored
  unz_file_info64 info;
};

bool ReadEntryInfo(unzFile zip, EntryInfo& entry) {
  if (unzGetCurrentFileInfo64(zip, &entry.info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  entry.name.assign(entry.info.size_filename, '\0');
  return unzGetCurrentFileInfo64(zip, &entry.info, entry.name.data(), entry.info.size_filename + 1, nullptr,
                                 0, nullptr, 0) == UNZ_OK;
}

FILETIME EntryFileTime(const unz_file_info64& info) {
  FILETIME local{}, utc{};
  DosDateTimeToFileTime(HIWORD(info.dosDate), LOWORD(info.dosDate), &local);
  LocalFileTimeToFileTime(&local, &utc);
  return utc;
}

// Inflates the current entry into `target`. A short read, an inflate error, a CRC mismatch or a
// size that differs from the directory's is a failure, and the incomplete file is removed.
bool WriteEntry(unzFile zip, const EntryInfo& entry, const std::wstring& target, std::vector<char>& chunk) {
  DWORD attributes = static_cast<DWORD>(entry.info.external_fa) & kKeptAttributes;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  bool ok = false;
  {
    UniqueFile file(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
      // A read-only (or hidden or system) file from an earlier install refuses CREATE_ALWAYS: clear
      // its attributes and create it again. A fresh folder never has one, so the common case costs
      // no attribute call before the file is created.
      SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
      file.reset(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    }
    if (file) {
      uint64_t written = 0;
      ok = true;
      for (;;) {
        int read = unzReadCurrentFile(zip, chunk.data(), static_cast<unsigned>(chunk.size()));
        if (read == 0) break;
        DWORD done = 0;
        if (read < 0 || !WriteFile(file.get(), chunk.data(), static_cast<DWORD>(read), &done, nullptr) ||
            done != static_cast<DWORD>(read)) {
          ok = false;
          break;
        }
        written += static_cast<uint64_t>(read);
      }
      ok = ok && written == entry.info.uncompressed_size;
      if (ok) {
        FILETIME time = EntryFileTime(entry.info);
        SetFileTime(file.get(), &time, &time, &time);
      }
    }
  }
  // Closing checks the CRC of an entry that was read to its end.
  if (unzCloseCurrentFile(zip) != UNZ_OK) ok = false;
  if (!ok) {
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(target.c_str());
    return false;
  }
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  return true;
}

int CountEntries(unzFile zip) {
  int count = 0;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) ++count;
  return count;
}

}  // namespace

bool WriteBytesToFile(const std::string& path, std::span<const uint8_t> bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t offset = 0;
  while (offset < bytes.size()) {
    DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 20));
    DWORD done = 0;
    if (!WriteFile(file.get(), bytes.data() + offset, piece, &done, nullptr) || done != piece) return false;
    offset += piece;
  }
  return true;
}

int ExtractArchive(const std::string& archivePath, const std::string& destFolder,
                   const ExtractProgressSink& progressSink) {
  if (archivePath.empty() || destFolder.empty()) return kExtractNothingDone;
  const std::wstring archive = WideFromAnsi(archivePath);
  const std::wstring dest = WideFromAnsi(destFolder);
  if (!Exists(archive)) return kExtractNothingDone;
  if (!IsDirectory(dest) && !CreateFolderTree(dest)) return kExtractFailed;
  if (!StartsWithLocalHeader(archive)) return kExtractFailed;

  ZipReader zip(archivePath);
  if (!zip) return kExtractFailed;

  const int total = progressSink ? CountEntries(zip.get()) : 0;
  auto report = [&](int percentage, const std::string& path) {
    return progressSink ? progressSink(percentage, path) : false;
  };
  auto fail = [&] {
    report(100, std::string());
    return kExtractFailed;
  };

  const std::wstring fullDest = FullPath(dest);
  std::vector<char> chunk(kChunkSize);
  int index = 0;
  int status = unzGoToFirstFile(zip.get());
  for (; status == UNZ_OK; status = unzGoToNextFile(zip.get()), ++index) {
    EntryInfo entry;
    if (!ReadEntryInfo(zip.get(), entry)) return fail();
    // Names are ANSI bytes; an archive made elsewhere may mark its names as UTF-8 instead. Checking
    // the converted name, not the bytes, keeps a GBK character whose second byte is 0x5C (a
    // backslash) from being taken for a separator.
    const std::wstring name = WideFromCodePage(entry.name, (entry.info.flag & kUtf8NameFlag) ? CP_UTF8 : CP_ACP);
    if (!IsSafeEntryName(name)) return fail();
    const std::wstring target = EntryTargetPath(dest, name);
    if (!StaysInside(fullDest, target)) return fail();

    const bool isFolder = (entry.info.external_fa & FILE_ATTRIBUTE_DIRECTORY) || name.back() == L'/' ||
                          name.back() == L'\\';
    if (isFolder) {
      // The folder's parent exists in the common case (the package lists every folder before its
      // contents), so one CreateDirectoryW does it; an existing folder is not an error.
      if (!CreateDirectoryW(target.c_str(), nullptr) && !IsDirectory(target) && !CreateFolderTree(target)) {
        return fail();
      }
    } else {
      if (IsRelativePath(target)) {
        size_t slash = target.find_last_of(L'\\');
        if (slash != std::wstring::npos && !CreateFolderTree(target.substr(0, slash))) return fail();
      }
      if (!WriteEntry(zip.get(), entry, target, chunk)) return fail();
    }

    int percentage = total > 0 ? static_cast<int>(static_cast<double>(index) / total * 100.0) : 0;
    if (report(percentage, AnsiFromWide(target))) return kExtractSucceeded;
  }
  // The list ends with END_OF_LIST; anything else is a damaged central directory.
  if (status != UNZ_END_OF_LIST_OF_FILE) return fail();
  report(100, std::string());
  return kExtractSucceeded;
}
