// LoadBytes fed many random and mutated databases. Each block is placed so that its last byte is
// the last byte before a PAGE_NOACCESS page: a read past the end faults and ends the test program.
// A block that is refused must leave the database as it was; one that is accepted must read back
// the same after writing it out again.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "toolkit/skin/skin_database.h"

namespace {

using Entry = SkinDatabase::Entry;

// A copy of some bytes that ends exactly where an inaccessible page begins.
class GuardedBlock {
 public:
  explicit GuardedBlock(SkinByteView bytes) {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    size_t page = info.dwPageSize;
    size_t dataPages = bytes.size() / page + 1;
    base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, (dataPages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base_) return;
    guard_ = base_ + dataPages * page;
    DWORD old = 0;
    guarded_ = VirtualProtect(guard_, page, PAGE_NOACCESS, &old) != 0;
    start_ = guard_ - bytes.size();
    if (!bytes.empty()) std::memcpy(start_, bytes.data(), bytes.size());
    size_ = bytes.size();
  }
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;
  ~GuardedBlock() {
    if (base_) VirtualFree(base_, 0, MEM_RELEASE);
  }

  bool ready() const { return base_ && guarded_; }
  SkinByteView view() const { return {start_, size_}; }
  const void* guard() const { return guard_; }

 private:
  uint8_t* base_ = nullptr;
  uint8_t* guard_ = nullptr;
  uint8_t* start_ = nullptr;
  size_t size_ = 0;
  bool guarded_ = false;
};

void PutInt32(SkinBytes& out, int32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}

class Fuzzer {
 public:
  explicit Fuzzer(uint32_t seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  uint8_t Byte() { return static_cast<uint8_t>(Below(256)); }

  // A well-formed database with random content.
  SkinBytes Valid() {
    SkinDatabase db;
    std::string comment(Below(6), 'c');
    db.SetComment(comment);
    int count = Below(5);
    for (int i = 0; i < count; ++i) {
      std::string name;
      for (int n = Below(9); n > 0; --n) name.push_back(static_cast<char>(1 + Below(255)));
      SkinBytes data(Below(40));
      for (uint8_t& b : data) b = Byte();
      db.AddEntry(static_cast<int32_t>(random_()), name, data, static_cast<int32_t>(random_()));
    }
    return db.ToBytes();
  }

  int32_t Edge(size_t size) {
    const int32_t values[] = {-1, 0, 1, 2, 12, 13, 16, 17, INT_MAX, INT_MIN, INT_MAX - 3,
                              static_cast<int32_t>(size), static_cast<int32_t>(size) + 1, static_cast<int32_t>(random_())};
    return values[Below(static_cast<int>(std::size(values)))];
  }

  SkinBytes Mutated() {
    SkinBytes bytes = Valid();
    int rounds = 1 + Below(3);
    for (int r = 0; r < rounds && !bytes.empty(); ++r) {
      switch (Below(6)) {
        case 0:  // a random byte anywhere
          bytes[Below(static_cast<int>(bytes.size()))] = Byte();
          break;
        case 1:  // an edge value over any four bytes after the magic
          if (bytes.size() >= 21) {
            size_t at = 17 + Below(static_cast<int>(bytes.size()) - 20);
            SkinBytes value;
            PutInt32(value, Edge(bytes.size()));
            std::memcpy(&bytes[at], value.data(), 4);
          }
          break;
        case 2:  // cut short
          bytes.resize(Below(static_cast<int>(bytes.size())));
          break;
        case 3:  // bytes inserted
          bytes.insert(bytes.begin() + Below(static_cast<int>(bytes.size()) + 1), 1 + Below(8), Byte());
          break;
        case 4:  // bytes removed
          bytes.erase(bytes.begin() + Below(static_cast<int>(bytes.size())));
          break;
        case 5: {  // the NUL of some name made non-zero, or a byte turned into a NUL
          size_t at = Below(static_cast<int>(bytes.size()));
          bytes[at] = bytes[at] == 0 ? 'n' : 0;
          break;
        }
      }
    }
    return bytes;
  }

  // The magic followed by noise.
  SkinBytes Noise() {
    SkinBytes bytes(kSkinDatabaseMagic.begin(), kSkinDatabaseMagic.end());
    for (int n = Below(80); n > 0; --n) bytes.push_back(Below(3) == 0 ? 0 : Byte());
    return bytes;
  }

 private:
  std::mt19937 random_;
};

TEST(SkinDatabaseFuzz, TheGuardPageIsInaccessible) {
  GuardedBlock block(SkinBytes(100, 1));
  ASSERT_TRUE(block.ready());
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(VirtualQuery(block.guard(), &info, sizeof info), 0u);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_NOACCESS));
  EXPECT_EQ(block.view().data() + block.view().size(), block.guard());
}

TEST(SkinDatabaseFuzz, RandomAndMutatedDatabasesStayInsideTheBlock) {
  Fuzzer fuzzer(20240613);
  SkinDatabase sentinel;
  sentinel.Assign("sentinel", std::vector<Entry>{{"s", 1, 2, {3, 4}}});
  int accepted = 0;
  int refused = 0;
  for (int i = 0; i < 30000; ++i) {
    int kind = i % 10;
    SkinBytes bytes = kind == 0 ? fuzzer.Noise() : kind == 1 ? fuzzer.Valid() : fuzzer.Mutated();
    GuardedBlock block(bytes);
    ASSERT_TRUE(block.ready());
    SkinDatabase db = sentinel;
    if (db.LoadBytes(block.view())) {
      ++accepted;
      SkinBytes written = db.ToBytes();
      ASSERT_LE(written.size(), bytes.size()) << "case " << i;
      SkinDatabase again;
      ASSERT_TRUE(again.LoadBytes(written)) << "case " << i;
      ASSERT_EQ(again.Entries(), db.Entries()) << "case " << i;
      ASSERT_EQ(again.GetComment(), db.GetComment()) << "case " << i;
    } else {
      ++refused;
      ASSERT_EQ(db.Entries(), sentinel.Entries()) << "case " << i;
      ASSERT_EQ(db.GetComment(), "sentinel") << "case " << i;
      if (kind == 1) ADD_FAILURE() << "a well-formed database was refused, case " << i;
    }
  }
  // Both outcomes must have been exercised for the run to mean anything.
  EXPECT_GT(accepted, 3000);
  EXPECT_GT(refused, 3000);
  std::printf("fuzz: %d accepted, %d refused\n", accepted, refused);
}

}  // namespace
