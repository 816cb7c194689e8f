#include "toolkit/richedit/connection_timing.h"

#include <algorithm>

namespace {

// Unsigned subtraction gives the elapsed time across a wrap of the counter.
uint32_t Left(uint32_t since, uint32_t nowTick, uint32_t allowance) {
  uint32_t elapsed = nowTick - since;
  return elapsed >= allowance ? 0 : allowance - elapsed;
}

}  // namespace

uint32_t ConnectionClock::RemainingWait(uint32_t nowTick) const {
  return std::min(Left(lastProgress_, nowTick, idleMs_), Left(start_, nowTick, totalMs_));
}
