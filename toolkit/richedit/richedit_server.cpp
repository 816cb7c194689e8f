#include "toolkit/richedit/socket_owner.h"  // winsock2.h before windows.h

#include "toolkit/richedit/richedit_server.h"

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "common/code_page.h"
#include "toolkit/richedit/connection_timing.h"
#include "toolkit/richedit/content_delivery.h"
#include "toolkit/richedit/http_request_reader.h"
#include "toolkit/richedit/richedit_routes.h"
#include "toolkit/richedit/service_address.h"

namespace {

constexpr WORD kWinsockVersion = 0x0101;
constexpr int kListenBacklog = 5;
constexpr size_t kReceiveBufferBytes = 10000;
// Random ports are drawn until one binds; the bound keeps a machine where the address itself
// cannot be bound from hanging the toolkit's start-up.
constexpr int kMaxBindAttempts = 200;
// accept can fail for a while (no buffers, too many sockets); wait before the next try instead of
// spinning through threads.
constexpr DWORD kAcceptRetryPauseMs = 100;
constexpr size_t kMaxSendChunk = 1 << 20;

enum class Readiness { Read, Write };

// Waits up to waitMs until the socket can be read (data or the peer's close) or written.
bool WaitFor(SOCKET socket, Readiness readiness, uint32_t waitMs) {
  fd_set sockets;
  FD_ZERO(&sockets);
  FD_SET(socket, &sockets);
  timeval timeout{static_cast<long>(waitMs / 1000), static_cast<long>(waitMs % 1000 * 1000)};
  int ready = select(0, readiness == Readiness::Read ? &sockets : nullptr,
                     readiness == Readiness::Write ? &sockets : nullptr, nullptr, &timeout);
  return ready > 0;
}

// The posted content as UTF-16 (invalid UTF-8 becomes replacement characters).
std::wstring Utf8ToWide(std::string_view utf8) { return WideFromCodePage(utf8, CP_UTF8); }

}  // namespace

class RichEditServer::Impl {
 public:
  explicit Impl(const RichEditServerOptions& options)
      : options_(options), winsock_(kWinsockVersion) {}

  bool Listen();
  bool CreateDelivery() {
    delivery_ = ContentDelivery::CreateOnThisThread(options_.delivery);
    return delivery_ != nullptr;
  }
  bool StartAcceptThread();
  uint16_t Port() const { return port_; }

 private:
  static DWORD WINAPI AcceptThreadEntry(void* impl) noexcept;
  void AcceptLoop();
  void ServeNextConnection();
  void Serve(SOCKET connection);
  bool ReadRequest(SOCKET connection, HttpRequestReader& request, ConnectionClock& clock);
  bool AcceptHead(const HttpRequestReader& request) const;
  void Deliver(const HttpRequestReader& request, intptr_t kind);
  bool SendAll(SOCKET connection, std::string_view bytes, ConnectionClock& clock);

  RichEditServerOptions options_;
  WinsockSession winsock_;
  UniqueSocket listener_;
  uint16_t port_ = 0;
  std::unique_ptr<ContentDelivery> delivery_;
};

bool RichEditServer::Impl::Listen() {
  if (!winsock_.Started()) return false;
  UniqueSocket listener(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!listener) return false;
  // Programs the host starts must not inherit the listening socket (and keep the port taken), and
  // no other process may bind the same port over it.
  SetHandleInformation(reinterpret_cast<HANDLE>(listener.get()), HANDLE_FLAG_INHERIT, 0);
  BOOL exclusive = TRUE;
  setsockopt(listener.get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
             reinterpret_cast<const char*>(&exclusive), sizeof exclusive);

  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr(kServiceAddress);
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < kMaxBindAttempts && port_ == 0; ++attempt) {
    uint16_t port = ServicePortFromRandom(static_cast<uint32_t>(random()));
    address.sin_port = htons(port);
    if (bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
      port_ = port;
  }
  if (port_ == 0 || listen(listener.get(), kListenBacklog) != 0) return false;
  listener_ = std::move(listener);
  return true;
}

bool RichEditServer::Impl::StartAcceptThread() {
  // The handle is closed at once; the thread runs on and ends by itself.
  UniqueHandle thread(CreateThread(nullptr, 0, AcceptThreadEntry, this, 0, nullptr));
  return static_cast<bool>(thread);
}

DWORD WINAPI RichEditServer::Impl::AcceptThreadEntry(void* impl) noexcept {
  try {
    static_cast<Impl*>(impl)->AcceptLoop();
  } catch (...) {
    // Nothing may escape a thread entry.
  }
  return 0;
}

void RichEditServer::Impl::AcceptLoop() {
  // Each connection is served by a fresh thread: the one that served it starts the next and ends.
  // When no thread can be started this one carries on, so the service never goes deaf.
  do {
    try {
      ServeNextConnection();
    } catch (...) {
      // That connection is lost (its owner has closed it); the service goes on.
    }
  } while (!StartAcceptThread());
}

void RichEditServer::Impl::ServeNextConnection() {
  UniqueSocket connection(accept(listener_.get(), nullptr, nullptr));
  if (!connection) {
    Sleep(kAcceptRetryPauseMs);
    return;
  }
  Serve(connection.get());
}

void RichEditServer::Impl::Serve(SOCKET connection) {
  u_long nonBlocking = 1;
  if (ioctlsocket(connection, FIONBIO, &nonBlocking) != 0) return;
  ConnectionClock clock(GetTickCount(), options_.idleTimeoutMs, options_.requestTimeoutMs);
  HttpRequestReader request;
  if (!ReadRequest(connection, request, clock)) return;

  RichEditRoute route = RouteRequest(request.IsPost(), request.Path());
  if (intptr_t kind = DeliveryKind(route)) {
    // Posted content gets no response; the element hears of it on its own thread.
    Deliver(request, kind);
    return;
  }
  WebResource resource = ResourceFor(route);
  if (resource.contentType.empty()) return;
  for (const std::string& piece : ResponseHead(resource.body.size(), resource.contentType)) {
    if (!SendAll(connection, piece, clock)) return;
  }
  if (!SendAll(connection, resource.body, clock)) return;
  shutdown(connection, SD_SEND);
}

void RichEditServer::Impl::Deliver(const HttpRequestReader& request, intptr_t kind) {
  PostedContent posted = ParsePostedContent(request.Body());
  if (posted.target <= 0) return;
  // UTF-8 never gives more UTF-16 units than it has bytes: refused before anything is converted.
  if (!delivery_->HasRoomFor(posted.content.size() * sizeof(wchar_t))) return;
  delivery_->Post(posted.target, kind, Utf8ToWide(posted.content));
}

// Decided as soon as the head has been read, so that nothing more of a request the service will
// not take is read (or buffered).
bool RichEditServer::Impl::AcceptHead(const HttpRequestReader& request) const {
  if (!IsRequestAllowed(request.Source(), request.IsPost(), port_)) return false;
  if (DeliveryKind(RouteRequest(request.IsPost(), request.Path())) == 0) return true;
  return delivery_->HasRoomFor(request.DeclaredBodyLength() * sizeof(wchar_t));
}

// Answers false when the request was refused, or the client went quiet or too slow.
bool RichEditServer::Impl::ReadRequest(SOCKET connection, HttpRequestReader& request,
                                       ConnectionClock& clock) {
  std::array<char, kReceiveBufferBytes> buffer;
  bool headAccepted = false;
  while (true) {
    const HttpRequestReader::State state = request.CurrentState();
    if (state == HttpRequestReader::State::Refused) return false;
    if (state == HttpRequestReader::State::Body || state == HttpRequestReader::State::Complete) {
      if (!headAccepted && !AcceptHead(request)) return false;
      headAccepted = true;
    }
    if (state == HttpRequestReader::State::Complete) return true;
    int received = recv(connection, buffer.data(), static_cast<int>(buffer.size()), 0);
    if (received > 0) {
      request.Append(std::string_view(buffer.data(), static_cast<size_t>(received)));
      clock.NoteProgress(GetTickCount());
    } else if (received == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
      uint32_t wait = clock.RemainingWait(GetTickCount());
      if (wait == 0 || !WaitFor(connection, Readiness::Read, wait)) return false;
    } else {
      // Closed or broken: the request is what has come so far.
      request.PeerClosed();
    }
  }
}

bool RichEditServer::Impl::SendAll(SOCKET connection, std::string_view bytes,
                                   ConnectionClock& clock) {
  while (!bytes.empty()) {
    int chunk = static_cast<int>(std::min(bytes.size(), kMaxSendChunk));
    int sent = send(connection, bytes.data(), chunk, 0);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<size_t>(sent));
      clock.NoteProgress(GetTickCount());
    } else if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
      uint32_t wait = clock.RemainingWait(GetTickCount());
      if (wait == 0 || !WaitFor(connection, Readiness::Write, wait)) return false;
    } else {
      return false;
    }
  }
  return true;
}

RichEditServer* RichEditServer::Start(const RichEditServerOptions& options) {
  auto impl = std::make_unique<Impl>(options);
  if (!impl->Listen() || !impl->CreateDelivery() || !impl->StartAcceptThread()) return nullptr;
  // Never destroyed: the accept threads use it for the rest of the process.
  return new RichEditServer(impl.release());
}

uint16_t RichEditServer::Port() const { return impl_->Port(); }
