// How long the service waits for a client. The service serves one connection at a time, so a
// client that sends nothing, or trickles its request, must not hold it: every connection has an
// idle allowance (time since the last byte moved either way) and a whole-exchange allowance (time
// since it was accepted). No clock calls here; the caller passes tick counts in milliseconds from
// a 32-bit counter that may wrap around (GetTickCount).
#pragma once

#include <cstdint>

class ConnectionClock {
 public:
  ConnectionClock(uint32_t nowTick, uint32_t idleMs, uint32_t totalMs)
      : start_(nowTick), lastProgress_(nowTick), idleMs_(idleMs), totalMs_(totalMs) {}

  // Bytes moved at nowTick.
  void NoteProgress(uint32_t nowTick) { lastProgress_ = nowTick; }
  // Milliseconds the connection may still wait for its next bytes; 0 when either allowance has
  // run out.
  uint32_t RemainingWait(uint32_t nowTick) const;

 private:
  uint32_t start_;
  uint32_t lastProgress_;
  uint32_t idleMs_;
  uint32_t totalMs_;
};
