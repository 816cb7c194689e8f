// How much posted content may wait for the GUI thread (see content_delivery.h). No Windows here,
// so the server's options can carry it without pulling in windows.h.
#pragma once

#include <cstddef>

struct DeliveryLimits {
  // Records waiting for the GUI thread. An editor page posts once per user request; 64 is far
  // beyond what a person produces in the 50 ms the GUI thread may be busy during an install.
  size_t maxPending = 64;
  // Bytes of UTF-16 text waiting. Twice the largest body the service reads (16 MiB of UTF-8
  // gives at most 16 Mi UTF-16 units), so any one body it accepts still fits an empty table.
  size_t maxPendingBytes = 32u * 1024 * 1024;
};
