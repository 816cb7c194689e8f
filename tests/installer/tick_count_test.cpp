// The 64-bit tick count the thread runtime gets on systems without GetTickCount64.
#include "installer/tick_count.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(ExtendTickCount, CarriesTheUpperHalfAndCountsEachWrapOnce) {
  constexpr uint64_t k4G = uint64_t{1} << 32;
  struct Case {
    uint64_t previous;
    uint32_t now;
    uint64_t next;
  } cases[] = {
      {0, 0, 0},
      {1000, 1500, 1500},
      {0xFFFFFF00u, 0x00000010u, k4G + 0x10},                  // the 32-bit count wrapped
      {3 * k4G + 0xFFFFFFF0u, 0x00000005u, 4 * k4G + 5},        // and again, later
      {3 * k4G + 2000, 2500, 3 * k4G + 2500},
      {5 * k4G + 2000, 1990, 5 * k4G + 2000},                  // another thread was ahead: no step back
      {0x80000010u, 0x00000010u, 0x80000010u},                  // half the range behind: not a wrap
      {0x80000010u, 0x0000000Fu, k4G + 0x0F},                   // just over half: a wrap
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtendTickCount(c.previous, c.now), c.next) << std::hex << c.previous << " " << c.now;
  }
}

TEST(TickCount64, FollowsTheSystemsCount) {
  const uint64_t before = GetTickCount64();
  const uint64_t count = TickCount64();
  const uint64_t after = GetTickCount64();
  EXPECT_GE(count, before);
  EXPECT_LE(count, after);
}

}  // namespace
