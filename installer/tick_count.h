// Milliseconds since the system started, as a 64-bit count on every Windows version the installer
// runs on. GetTickCount64 came with Vista; before it only the 32-bit GetTickCount exists, which
// wraps around every 49.7 days.
#pragma once

#include <cstdint>

// The 64-bit count that follows `previous` (an earlier result) when the 32-bit tick count reads
// `now`: the upper half carries over, and a `now` far below `previous`'s lower half (more than
// half the 32-bit range) means the counter wrapped around in between. A `now` a little below it
// means another thread already published a later count: `previous` is kept, so the count never
// goes backwards. Sound as long as two calls are less than 24.8 days apart.
uint64_t ExtendTickCount(uint64_t previous, uint32_t now);

// GetTickCount64 where the system has it, else GetTickCount extended with ExtendTickCount. Safe
// to call from any thread.
uint64_t TickCount64();
