#include "installer/system_version.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "installer/install_text.h"

namespace {

uint32_t WordAt(const uint8_t* block, size_t offset) {
  uint32_t word;
  std::memcpy(&word, block + offset, sizeof word);
  return word;
}

// GCC 12 takes the segment-relative read inside NtCurrentTeb for an access to address 0x30 (or
// 0x18) and warns wherever it is inlined; keep it in one place.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
__attribute__((noinline)) const uint8_t* ThreadBlock() { return reinterpret_cast<const uint8_t*>(NtCurrentTeb()); }
#pragma GCC diagnostic pop

}  // namespace

int GetSystemVersionCode() {
  const uint8_t* threadBlock = ThreadBlock();
#if defined(_WIN64)
  const uint8_t* environmentBlock;
  std::memcpy(&environmentBlock, threadBlock + 0x60, sizeof environmentBlock);
  return VersionCodeFor(WordAt(environmentBlock, 0x118), WordAt(environmentBlock, 0x11C));
#else
  const uint32_t environmentAddress = WordAt(threadBlock, 0x30);
  // On the 9x family the block lives in the shared arena above 2 GB.
  if (environmentAddress & 0x80000000u) {
    return NineXVersionCode(WordAt(threadBlock, 0x58), WordAt(threadBlock, 0x54), WordAt(threadBlock, 0x7C));
  }
  const auto* environmentBlock = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(environmentAddress));
  return VersionCodeFor(WordAt(environmentBlock, 0xA4), WordAt(environmentBlock, 0xA8));
#endif
}

bool IsWindowsXp() { return GetSystemVersionCode() == 6; }
