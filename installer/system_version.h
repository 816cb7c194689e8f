// The system version as the install job tells versions apart, read from the process environment
// block rather than through a system call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// 1..3 on the Windows 9x family, 4 for NT 4 and older, 5 for 2000, 6 for XP, 7 for 5.2 (XP x64,
// Server 2003), 8 for Vista, 9 for Windows 7; 0 for every later (or unknown) version.
int GetSystemVersionCode();

// Answers whether the system is Windows XP (code 6).
bool IsWindowsXp();

// ---- The reading logic, for both block layouts ----------------------------------------------------

// Where the thread block keeps the environment block's address, and where that block keeps the OS
// version. The 32-bit program (the one that ships) reads the 32-bit layout; the 9x family has only
// that one and marks itself by an environment block address with the top bit set.
struct EnvironmentBlockLayout {
  uint32_t environmentPointerOffset;  // in the thread block
  uint32_t pointerSize;               // bytes of that address: 4 or 8
  uint32_t majorVersionOffset;        // OSMajorVersion in the environment block
  uint32_t minorVersionOffset;        // OSMinorVersion in the environment block
  bool hasNineXFamily;                // the top-bit test and the three thread-block words apply
};
inline constexpr EnvironmentBlockLayout kEnvironmentBlocks32{0x30, 4, 0xA4, 0xA8, true};
inline constexpr EnvironmentBlockLayout kEnvironmentBlocks64{0x60, 8, 0x118, 0x11C, false};
// Byte offsets of the three thread-block words the 9x family is told apart by, in the order tried.
inline constexpr uint32_t kNineXWordOffsets[3] = {0x58, 0x54, 0x7C};

// Copies `size` bytes of the process's memory at `address` into `out`.
using ReadProcessMemoryFunction = std::function<void(uint64_t address, void* out, size_t size)>;

// The version code of a process whose thread block is at `threadBlock`, reading both blocks
// through `read` with `layout`. GetSystemVersionCode is this with the program's own layout and
// its own memory; tests pass fabricated blocks of either layout.
int SystemVersionCodeFromBlocks(const EnvironmentBlockLayout& layout, uint64_t threadBlock,
                                const ReadProcessMemoryFunction& read);
