// A plain Winsock HTTP client for the service's tests, so that every byte on the wire is the
// test's choice (letter case, pieces, pauses, nothing at all), plus the message pumping that lets
// deliveries reach elements on the test's thread.
#pragma once

#include "toolkit/richedit/socket_owner.h"  // winsock2.h before windows.h

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TestConnection {
 public:
  // Connects to 127.89.64.254:port (the connection is accepted by the service's backlog at once).
  explicit TestConnection(uint16_t port);
  bool IsOpen() const { return static_cast<bool>(socket_); }
  // Sends all bytes; false when the connection is gone.
  bool Send(std::string_view bytes);
  // Ends the sending direction: the service sees the peer's close.
  void CloseSending();
  // True when bytes or the service's close arrive within waitMs.
  bool Readable(uint32_t waitMs);

  struct Reply {
    std::string bytes;
    bool closed = false;  // the service closed the connection
  };
  // Reads until the service closes the connection or waitMs pass in all.
  Reply ReadToClose(uint32_t waitMs = 10000);

 private:
  UniqueSocket socket_;
};

// "GET <path> HTTP/1.1" with the given Host header (none when host is empty).
std::string GetRequest(std::string_view path, std::string_view host);
// The mark the editor page's jQuery puts on every post (a same-origin request), without which the
// service takes no content.
inline constexpr char kEditorPageMark[] = "X-Requested-With: XMLHttpRequest\r\n";
// A POST with Content-Length and the body; extraHeaders are CR LF terminated lines, by default the
// editor page's mark.
std::string PostRequest(std::string_view path, std::string_view host, std::string_view body,
                        std::string_view extraHeaders = kEditorPageMark);
// "127.89.64.254:<port>"
std::string ServiceHost(uint16_t port);

// Dispatches every message waiting for this thread's windows.
void PumpPendingMessages();
// Dispatches this thread's messages until done() holds or timeoutMs pass; answers done().
bool PumpMessagesUntil(const std::function<bool()>& done, uint32_t timeoutMs);
