// The reading logic of GetSystemVersionCode: pure, so that both layouts run in the tests of the
// 64-bit build.
#include "installer/install_text.h"
#include "installer/system_version.h"

namespace {

uint32_t Word(const ReadProcessMemoryFunction& read, uint64_t address) {
  uint8_t bytes[4];
  read(address, bytes, sizeof bytes);
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

uint64_t Pointer(const ReadProcessMemoryFunction& read, uint64_t address, uint32_t size) {
  uint8_t bytes[8] = {};
  read(address, bytes, size);
  uint64_t value = 0;
  for (uint32_t i = size; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

int SystemVersionCodeFromBlocks(const EnvironmentBlockLayout& layout, uint64_t threadBlock,
                                const ReadProcessMemoryFunction& read) {
  const uint64_t environmentBlock =
      Pointer(read, threadBlock + layout.environmentPointerOffset, layout.pointerSize);
  // On the 9x family the block lives in the shared arena above 2 GB; there it is not read at all.
  if (layout.hasNineXFamily && (environmentBlock & 0x80000000u)) {
    return NineXVersionCode(Word(read, threadBlock + kNineXWordOffsets[0]),
                            Word(read, threadBlock + kNineXWordOffsets[1]),
                            Word(read, threadBlock + kNineXWordOffsets[2]));
  }
  return VersionCodeFor(Word(read, environmentBlock + layout.majorVersionOffset),
                        Word(read, environmentBlock + layout.minorVersionOffset));
}
