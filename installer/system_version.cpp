#include "installer/system_version.h"

#include <windows.h>

#include <cstring>

namespace {

// GCC 12 takes the segment-relative read inside NtCurrentTeb for an access to address 0x30 (or
// 0x18) and warns wherever it is inlined; keep it in one place.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
__attribute__((noinline)) uintptr_t ThreadBlockAddress() { return reinterpret_cast<uintptr_t>(NtCurrentTeb()); }
#pragma GCC diagnostic pop

#if defined(_WIN64)
constexpr const EnvironmentBlockLayout& kOwnLayout = kEnvironmentBlocks64;
#else
constexpr const EnvironmentBlockLayout& kOwnLayout = kEnvironmentBlocks32;
#endif
static_assert(kOwnLayout.pointerSize == sizeof(void*));

}  // namespace

int GetSystemVersionCode() {
  // Both blocks belong to this process and stay mapped while it runs.
  return SystemVersionCodeFromBlocks(kOwnLayout, ThreadBlockAddress(), [](uint64_t address, void* out, size_t size) {
    std::memcpy(out, reinterpret_cast<const void*>(static_cast<uintptr_t>(address)), size);
  });
}

bool IsWindowsXp() { return GetSystemVersionCode() == 6; }
