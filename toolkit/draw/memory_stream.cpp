#include "toolkit/draw/memory_stream.h"

#include <climits>
#include <cstring>

#include "common/system_library.h"

namespace {

constexpr WORD kShellMemoryStreamOrdinal = 12;

}  // namespace

ShellMemoryStreamFunction ShellMemoryStreamConstructor() {
  // shlwapi is one of the system's known DLLs and stays loaded for the life of the process (the
  // program imports it), so the handle needs no owner.
  static const ShellMemoryStreamFunction constructor = [] {
    HMODULE shlwapi = LoadSystemLibrary(L"shlwapi.dll");
    return shlwapi ? reinterpret_cast<ShellMemoryStreamFunction>(reinterpret_cast<void*>(
                         GetProcAddress(shlwapi, MAKEINTRESOURCEA(kShellMemoryStreamOrdinal))))
                   : nullptr;
  }();
  return constructor;
}

ComPtr<IStream> CreateGlobalMemoryStream(std::span<const uint8_t> bytes) {
  ComPtr<IStream> stream;
  if (bytes.size() > UINT_MAX) return stream;
  // A zero-sized movable block is valid but cannot be locked; keep at least one byte and let the
  // stream's size say how much of it counts.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  if (!block) return stream;
  if (void* memory = GlobalLock(block)) {
    if (!bytes.empty()) std::memcpy(memory, bytes.data(), bytes.size());
    GlobalUnlock(block);
    if (SUCCEEDED(CreateStreamOnHGlobal(block, TRUE, stream.put()))) {
      ULARGE_INTEGER size;
      size.QuadPart = bytes.size();
      stream->SetSize(size);
      return stream;
    }
  }
  // The block belongs to the stream only once CreateStreamOnHGlobal accepted it.
  GlobalFree(block);
  return ComPtr<IStream>();
}

ComPtr<IStream> CreateMemoryStream(std::span<const uint8_t> bytes) {
  ComPtr<IStream> stream;
  if (bytes.size() > UINT_MAX) return stream;
  if (ShellMemoryStreamFunction constructor = ShellMemoryStreamConstructor()) {
    *stream.put() = constructor(bytes.data(), static_cast<UINT>(bytes.size()));
    if (stream) return stream;
  }
  return CreateGlobalMemoryStream(bytes);
}
