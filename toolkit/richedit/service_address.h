// Where the rich-edit service listens and whom it answers. No sockets here.
//
// The service listens on a loopback address only, but any web page the user opens in any browser
// can still reach a loopback port: by a host name it controls that it re-points at 127.89.64.254
// (DNS rebinding), or by posting a form or a script request across sites. So a request must name
// a loopback host in its Host header, and a POST must carry what only the service's own page sends:
// "X-Requested-With: XMLHttpRequest" (jQuery adds it to every same-origin request; a cross-site
// form cannot send it, and a cross-site script may send it only after a preflight request that the
// service never answers), and no Origin or Referer naming another page. Browsers of the product's
// era send no Origin on a form post, so the Origin test alone would let any page post content.
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

// True when `referer` is a URL of the service's own origin (http://, a loopback host, servicePort,
// then nothing or a path, query or fragment).
bool IsServiceReferer(std::string_view referer, uint16_t servicePort);

// The headers that say where a request comes from (the first header of each name; absent when the
// request has none).
struct RequestSource {
  std::optional<std::string> host;
  std::optional<std::string> origin;
  std::optional<std::string> referer;
  std::optional<std::string> requestedWith;  // X-Requested-With
};

// The service answers (or delivers) only when this holds: a loopback Host header, and for a POST
// also X-Requested-With "XMLHttpRequest" (letter case ignored) and, where present, the service's
// own Origin and a Referer of the service's own origin.
bool IsRequestAllowed(const RequestSource& source, bool isPost, uint16_t servicePort);
