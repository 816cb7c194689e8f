// Owners for Windows Sockets: the library's start-up reference and one socket each. Include this
// before anything that includes windows.h (winsock2.h must come first).
#pragma once

#include <winsock2.h>

#include "common/win_handle.h"

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() { return INVALID_SOCKET; }
  static void Close(Handle socket) { ::closesocket(socket); }
};
using UniqueSocket = UniqueResource<SocketTraits>;

// One WSAStartup reference, released by WSACleanup when the owner goes.
class WinsockSession {
 public:
  explicit WinsockSession(WORD version) { started_ = ::WSAStartup(version, &data_) == 0; }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  ~WinsockSession() {
    if (started_) ::WSACleanup();
  }
  bool Started() const { return started_; }

 private:
  WSADATA data_{};
  bool started_ = false;
};
