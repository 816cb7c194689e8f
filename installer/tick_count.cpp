#include "installer/tick_count.h"

#include <windows.h>

#include <atomic>

uint64_t ExtendTickCount(uint64_t previous, uint32_t now) {
  const uint32_t low = static_cast<uint32_t>(previous);
  const uint64_t high = previous - low;
  if (now >= low) return high + now;
  if (low - now > 0x80000000u) return high + (uint64_t{1} << 32) + now;  // wrapped around
  return previous;
}

uint64_t TickCount64() {
  using TickCount64Function = ULONGLONG(WINAPI*)();
  static std::atomic<TickCount64Function> systemCount{nullptr};
  static std::atomic<bool> looked{false};
  if (!looked.load(std::memory_order_acquire)) {
    // Looking twice from two threads gives the same answer, so the race is harmless.
    systemCount.store(reinterpret_cast<TickCount64Function>(reinterpret_cast<void*>(
                          GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64"))),
                      std::memory_order_relaxed);
    looked.store(true, std::memory_order_release);
  }
  if (TickCount64Function count = systemCount.load(std::memory_order_relaxed)) return count();

  static std::atomic<uint64_t> last{0};
  uint64_t previous = last.load(std::memory_order_relaxed);
  for (;;) {
    const uint64_t next = ExtendTickCount(previous, GetTickCount());
    if (next == previous || last.compare_exchange_weak(previous, next, std::memory_order_relaxed)) return next;
  }
}
