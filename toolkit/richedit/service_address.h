// Where the rich-edit service listens and whom it answers. No sockets here.
//
// The service listens on a loopback address only, but any web page the user opens in any browser
// can still reach a loopback port: by a host name it controls that it re-points at 127.89.64.254
// (DNS rebinding), or by posting a form across sites. So a request must name a loopback host in
// its Host header, and a POST that carries an Origin header must come from the service's own
// page. Requests from non-browser clients (no Origin) and from the editor page itself are served.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr char kServiceAddress[] = "127.89.64.254";
inline constexpr uint16_t kFirstServicePort = 50000;
inline constexpr uint16_t kLastServicePort = 63000;

// Maps any 32-bit random value onto kFirstServicePort..kLastServicePort, both included.
uint16_t ServicePortFromRandom(uint32_t random);

// True for a Host header value that names a loopback host: "localhost", an IPv4 literal in
// 127.0.0.0/8 (the service address among them) or "[::1]", each with or without a port.
bool IsLoopbackHost(std::string_view hostHeader);

// True when `origin` is "http://" + a loopback host + ":" + servicePort.
bool IsServiceOrigin(std::string_view origin, uint16_t servicePort);

// The service answers (or delivers) only when this holds: a loopback Host header, and for a POST
// either no Origin header or the service's own origin.
bool IsRequestAllowed(const std::optional<std::string>& host,
                      const std::optional<std::string>& origin, bool isPost, uint16_t servicePort);
