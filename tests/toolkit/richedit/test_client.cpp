#include "tests/toolkit/richedit/test_client.h"

#include <algorithm>

#include "toolkit/richedit/service_address.h"

namespace {
// The client's own reference to Windows Sockets, whatever the service does with its own.
const WinsockSession clientWinsock(MAKEWORD(2, 2));
}  // namespace

TestConnection::TestConnection(uint16_t port) : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
  if (!socket_) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr(kServiceAddress);
  address.sin_port = htons(port);
  if (connect(socket_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    socket_.reset();
  }
}

bool TestConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    int sent = send(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

void TestConnection::CloseSending() { shutdown(socket_.get(), SD_SEND); }

bool TestConnection::Readable(uint32_t waitMs) {
  fd_set sockets;
  FD_ZERO(&sockets);
  FD_SET(socket_.get(), &sockets);
  timeval timeout{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000 * 1000)};
  return select(0, &sockets, nullptr, nullptr, &timeout) > 0;
}

TestConnection::Reply TestConnection::ReadToClose(uint32_t waitMs) {
  Reply reply;
  DWORD start = GetTickCount();
  char buffer[16384];
  while (true) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= waitMs || !Readable(waitMs - elapsed)) return reply;
    int received = recv(socket_.get(), buffer, sizeof buffer, 0);
    if (received <= 0) {
      reply.closed = true;  // an orderly close, or a reset
      return reply;
    }
    reply.bytes.append(buffer, static_cast<size_t>(received));
  }
}

std::string GetRequest(std::string_view path, std::string_view host) {
  std::string request = "GET " + std::string(path) + " HTTP/1.1\r\n";
  if (!host.empty()) request += "Host: " + std::string(host) + "\r\n";
  return request + "Accept: */*\r\n\r\n";
}

std::string PostRequest(std::string_view path, std::string_view host, std::string_view body,
                        std::string_view extraHeaders) {
  return "POST " + std::string(path) + " HTTP/1.1\r\nHost: " + std::string(host) +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + std::string(extraHeaders) +
         "\r\n" + std::string(body);
}

std::string ServiceHost(uint16_t port) {
  return std::string(kServiceAddress) + ":" + std::to_string(port);
}

void PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpMessagesUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 50),
                              QS_ALLINPUT);
    PumpPendingMessages();
  }
  return true;
}
