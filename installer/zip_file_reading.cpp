#include "installer/zip_file_reading.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr size_t kBufferSize = 0x4000;

struct BufferedFile {
  HANDLE file = INVALID_HANDLE_VALUE;  // owned
  uint64_t position = 0;               // where minizip reads next
  uint64_t filePosition = 0;           // where the handle's pointer stands
  uint64_t bufferStart = 0;            // file offset of buffer[0]
  size_t bufferLength = 0;             // valid bytes in buffer
  bool failed = false;
  std::vector<unsigned char> buffer = std::vector<unsigned char>(kBufferSize);
};

// Reads at `position` into `destination`; answers the bytes read (0 at the end or on an error).
DWORD ReadAt(BufferedFile& file, uint64_t position, void* destination, DWORD size) {
  if (position != file.filePosition) {
    LONG high = static_cast<LONG>(position >> 32);
    const DWORD low = SetFilePointer(file.file, static_cast<LONG>(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
      file.failed = true;
      return 0;
    }
    file.filePosition = position;
  }
  DWORD done = 0;
  if (!ReadFile(file.file, destination, size, &done, nullptr)) {
    file.failed = true;
    done = 0;
  }
  file.filePosition += done;
  return done;
}

voidpf ZCALLBACK Open(voidpf, const void* name, int mode) {
  if (!name || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  HANDLE handle = CreateFileA(static_cast<const char*>(name), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  auto* file = new (std::nothrow) BufferedFile();
  if (!file) {
    CloseHandle(handle);
    return nullptr;
  }
  file->file = handle;
  return file;
}

uLong ZCALLBACK Read(voidpf, voidpf stream, void* destination, uLong size) {
  auto& file = *static_cast<BufferedFile*>(stream);
  auto* out = static_cast<unsigned char*>(destination);
  uLong copied = 0;
  while (copied < size) {
    const uint64_t bufferEnd = file.bufferStart + file.bufferLength;
    if (file.position >= file.bufferStart && file.position < bufferEnd) {
      const size_t offset = static_cast<size_t>(file.position - file.bufferStart);
      const size_t piece = std::min<size_t>(file.bufferLength - offset, size - copied);
      std::memcpy(out + copied, file.buffer.data() + offset, piece);
      copied += static_cast<uLong>(piece);
      file.position += piece;
      continue;
    }
    const uLong wanted = size - copied;
    if (wanted >= kBufferSize) {  // large reads bypass the buffer
      const DWORD done = ReadAt(file, file.position, out + copied, static_cast<DWORD>(wanted));
      copied += done;
      file.position += done;
      break;
    }
    const DWORD done = ReadAt(file, file.position, file.buffer.data(), static_cast<DWORD>(kBufferSize));
    file.bufferStart = file.position;
    file.bufferLength = done;
    if (done == 0) break;
  }
  return copied;
}

uLong ZCALLBACK Write(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK Tell(voidpf, voidpf stream) { return static_cast<BufferedFile*>(stream)->position; }

long ZCALLBACK Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto& file = *static_cast<BufferedFile*>(stream);
  uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
      break;
    case ZLIB_FILEFUNC_SEEK_CUR:
      base = file.position;
      break;
    case ZLIB_FILEFUNC_SEEK_END: {
      LONG high = 0;
      const DWORD low = SetFilePointer(file.file, 0, &high, FILE_END);  // the size, and the pointer moves there
      if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return -1;
      file.filePosition = static_cast<uint64_t>(static_cast<DWORD>(high)) << 32 | low;
      base = file.filePosition;
      break;
    }
    default:
      return -1;
  }
  file.position = base + offset;
  return 0;
}

int ZCALLBACK Close(voidpf, voidpf stream) {
  auto* file = static_cast<BufferedFile*>(stream);
  CloseHandle(file->file);
  delete file;
  return 0;
}

int ZCALLBACK Error(voidpf, voidpf stream) { return static_cast<BufferedFile*>(stream)->failed ? 1 : 0; }

}  // namespace

void FillBufferedReadFileFunctions(zlib_filefunc64_def* functions) {
  functions->zopen64_file = Open;
  functions->zread_file = Read;
  functions->zwrite_file = Write;
  functions->ztell64_file = Tell;
  functions->zseek64_file = Seek;
  functions->zclose_file = Close;
  functions->zerror_file = Error;
  functions->opaque = nullptr;
}
