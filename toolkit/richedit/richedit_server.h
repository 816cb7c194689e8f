// The loopback HTTP server behind the rich-edit service: one listening socket on 127.89.64.254,
// connections served one at a time, each by a fresh accept thread (the thread that served a
// connection starts the next one and ends). Requests are read by HttpRequestReader and answered
// by the routes of richedit_routes.h; posted content goes to elements through ContentDelivery.
//
// A connection that sends nothing for idleTimeoutMs, or has not finished its exchange within
// requestTimeoutMs, is closed unanswered, so no client holds the service for long. Waiting uses
// select, not a polling loop.
//
// A request the service will not serve is not read further than its head: one from a foreign
// host or page (service_address.h), or a delivering POST whose declared body would not fit the
// delivery table now (content_delivery.h). Such a request, like every POST, gets no response; the
// connection is closed.
#pragma once

#include <cstdint>

#include "toolkit/richedit/delivery_limits.h"

struct RichEditServerOptions {
  uint32_t idleTimeoutMs = 5000;
  uint32_t requestTimeoutMs = 30000;
  DeliveryLimits delivery;
};

class RichEditServer {
 public:
  // Starts Windows Sockets (version 1.1), binds a TCP socket to 127.89.64.254 on a random port in
  // 50000..63000 (another random port while bind fails, up to a bounded number of tries), listens
  // with a backlog of 5, creates the delivery window on the calling thread (which must run a
  // message loop) and starts the first accept thread. Answers null when any step fails.
  //
  // A started server lives for the rest of the process: its accept threads use it and are never
  // stopped, so it is never destroyed (the returned pointer stays valid).
  static RichEditServer* Start(const RichEditServerOptions& options = {});

  uint16_t Port() const;

 private:
  class Impl;
  explicit RichEditServer(Impl* impl) : impl_(impl) {}
  Impl* impl_;  // owned, and kept for the life of the process
};
