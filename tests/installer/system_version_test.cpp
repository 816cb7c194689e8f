// GetSystemVersionCode's reading logic over fabricated thread and environment blocks of both
// layouts. The 32-bit layout is the one the shipped program reads and no test process here has,
// so these blocks are the only place where its offsets and its 9x branch run.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "installer/system_version.h"

namespace {

// A sparse address space: blocks placed at chosen addresses. Reading anything else is a test
// failure (the reading logic must touch only the words it needs).
class FabricatedMemory {
 public:
  std::vector<uint8_t>& Place(uint64_t address, size_t size) {
    return blocks_.emplace(address, std::vector<uint8_t>(size, 0xCD)).first->second;
  }
  void PutWord(uint64_t address, uint32_t value) { Put(address, &value, sizeof value); }
  void PutPointer(uint64_t address, uint64_t value, uint32_t size) { Put(address, &value, size); }

  ReadProcessMemoryFunction Reader() {
    return [this](uint64_t address, void* out, size_t size) {
      reads_.push_back(address);
      std::memset(out, 0, size);
      if (std::vector<uint8_t>* block = BlockHolding(address, size)) {
        std::memcpy(out, block->data() + (address - start_), size);
      } else {
        ADD_FAILURE() << "read of " << size << " bytes at unmapped address 0x" << std::hex << address;
      }
    };
  }
  const std::vector<uint64_t>& Reads() const { return reads_; }

 private:
  void Put(uint64_t address, const void* bytes, size_t size) {  // little-endian, as on x86
    std::vector<uint8_t>* block = BlockHolding(address, size);
    ASSERT_NE(block, nullptr);
    std::memcpy(block->data() + (address - start_), bytes, size);
  }
  std::vector<uint8_t>* BlockHolding(uint64_t address, size_t size) {
    for (auto& [start, bytes] : blocks_) {
      if (address >= start && address + size <= start + bytes.size()) {
        start_ = start;
        return &bytes;
      }
    }
    return nullptr;
  }

  std::map<uint64_t, std::vector<uint8_t>> blocks_;
  std::vector<uint64_t> reads_;
  uint64_t start_ = 0;
};

struct VersionCase {
  uint32_t major, minor;
  int code;
};
constexpr VersionCase kVersions[] = {{4, 0, 4}, {5, 0, 5}, {5, 1, 6}, {5, 2, 7}, {6, 0, 8},
                                     {6, 1, 9}, {6, 2, 0}, {6, 3, 0}, {10, 0, 0}};

// Both layouts' version offsets hold values, so that reading the other layout's gives a wrong
// code: the 32-bit offsets say 6.1 (code 9) in the 64-bit test and the other way round.
void PutDecoyVersions(FabricatedMemory& memory, uint64_t environmentBlock, const EnvironmentBlockLayout& decoy) {
  memory.PutWord(environmentBlock + decoy.majorVersionOffset, 5);
  memory.PutWord(environmentBlock + decoy.minorVersionOffset, 1);
}

TEST(SystemVersionCodeFromBlocks, ThirtyTwoBitBlocksOfTheNtFamily) {
  constexpr uint64_t kThreadBlock = 0x7FFDF000, kEnvironmentBlock = 0x7FFD4000;
  for (const VersionCase& c : kVersions) {
    FabricatedMemory memory;
    memory.Place(kThreadBlock, 0x1000);
    memory.Place(kEnvironmentBlock, 0x1000);
    memory.PutPointer(kThreadBlock + 0x30, kEnvironmentBlock, 4);
    memory.PutPointer(kThreadBlock + 0x60, 0x1234, 4);  // where the 64-bit layout would look
    memory.PutWord(kEnvironmentBlock + 0xA4, c.major);
    memory.PutWord(kEnvironmentBlock + 0xA8, c.minor);
    PutDecoyVersions(memory, kEnvironmentBlock, kEnvironmentBlocks64);
    EXPECT_EQ(SystemVersionCodeFromBlocks(kEnvironmentBlocks32, kThreadBlock, memory.Reader()), c.code)
        << c.major << "." << c.minor;
  }
}

TEST(SystemVersionCodeFromBlocks, SixtyFourBitBlocksAboveFourGigabytes) {
  // Addresses whose upper halves matter: a read through a 32-bit pointer would miss both blocks.
  constexpr uint64_t kThreadBlock = 0x000000FF12340000, kEnvironmentBlock = 0x00007FF680002000;
  for (const VersionCase& c : kVersions) {
    FabricatedMemory memory;
    memory.Place(kThreadBlock, 0x2000);
    memory.Place(kEnvironmentBlock, 0x1000);
    memory.PutPointer(kThreadBlock + 0x60, kEnvironmentBlock, 8);
    memory.PutWord(kEnvironmentBlock + 0x118, c.major);
    memory.PutWord(kEnvironmentBlock + 0x11C, c.minor);
    PutDecoyVersions(memory, kEnvironmentBlock, kEnvironmentBlocks32);
    EXPECT_EQ(SystemVersionCodeFromBlocks(kEnvironmentBlocks64, kThreadBlock, memory.Reader()), c.code)
        << c.major << "." << c.minor;
  }
}

TEST(SystemVersionCodeFromBlocks, SixtyFourBitEnvironmentBlockWithBitThirtyOneSetIsNoNineXSystem) {
  constexpr uint64_t kThreadBlock = 0x00000000A0000000, kEnvironmentBlock = 0x0000000180000000;
  FabricatedMemory memory;
  memory.Place(kThreadBlock, 0x2000);
  memory.Place(kEnvironmentBlock, 0x1000);
  memory.PutPointer(kThreadBlock + 0x60, kEnvironmentBlock, 8);
  memory.PutWord(kEnvironmentBlock + 0x118, 6);
  memory.PutWord(kEnvironmentBlock + 0x11C, 1);
  memory.PutWord(kThreadBlock + 0x58, 0x530000);
  EXPECT_EQ(SystemVersionCodeFromBlocks(kEnvironmentBlocks64, kThreadBlock, memory.Reader()), 9);
}

// The 9x family: the environment block's address has its top bit set, and the code comes from the
// first of the thread-block words at 0x58, 0x54 and 0x7C that equals 0x530000. The environment
// block itself is never read (nothing is mapped there).
TEST(SystemVersionCodeFromBlocks, NineXFamilyReadsOnlyTheThreeThreadBlockWords) {
  constexpr uint64_t kThreadBlock = 0x8167F000;
  constexpr uint32_t m = 0x530000;
  struct Case {
    uint32_t word58, word54, word7C;
    int code;
  } cases[] = {{m, 0, 0, 1}, {0, m, 0, 2}, {0, 0, m, 3}, {m, m, m, 1}, {0, m, m, 2}, {0, 0, 0, 0}, {0x520000, 0x530001, 0, 0}};
  for (const Case& c : cases) {
    FabricatedMemory memory;
    memory.Place(kThreadBlock, 0x1000);
    memory.PutPointer(kThreadBlock + 0x30, 0x816A0000, 4);
    memory.PutWord(kThreadBlock + 0x58, c.word58);
    memory.PutWord(kThreadBlock + 0x54, c.word54);
    memory.PutWord(kThreadBlock + 0x7C, c.word7C);
    EXPECT_EQ(SystemVersionCodeFromBlocks(kEnvironmentBlocks32, kThreadBlock, memory.Reader()), c.code)
        << std::hex << c.word58 << " " << c.word54 << " " << c.word7C;
    for (uint64_t address : memory.Reads()) {
      EXPECT_TRUE(address >= kThreadBlock && address < kThreadBlock + 0x1000) << std::hex << address;
    }
  }
}

TEST(SystemVersionCodeFromBlocks, TheLowestNineXAddressAndTheHighestNtAddress) {
  constexpr uint64_t kThreadBlock = 0x00400000;
  struct Case {
    uint64_t environmentBlock;
    int code;
  } cases[] = {{0x80000000, 3}, {0x7FFFF000, 9}};
  for (const Case& c : cases) {
    FabricatedMemory memory;
    memory.Place(kThreadBlock, 0x1000);
    memory.PutPointer(kThreadBlock + 0x30, c.environmentBlock, 4);
    memory.PutWord(kThreadBlock + 0x7C, 0x530000);
    if (c.environmentBlock < 0x80000000) {
      memory.Place(c.environmentBlock, 0x1000);
      memory.PutWord(c.environmentBlock + 0xA4, 6);
      memory.PutWord(c.environmentBlock + 0xA8, 1);
    }
    EXPECT_EQ(SystemVersionCodeFromBlocks(kEnvironmentBlocks32, kThreadBlock, memory.Reader()), c.code)
        << std::hex << c.environmentBlock;
  }
}

}  // namespace
