#include "toolkit/richedit/service_address.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr uint32_t kPortCount = kLastServicePort - kFirstServicePort + 1;

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerCase) {
  return text.size() == lowerCase.size() &&
         std::equal(text.begin(), text.end(), lowerCase.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         });
}

// 1 to 5 decimal digits naming a port 1..65535.
std::optional<uint32_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  uint32_t port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + static_cast<uint32_t>(c - '0');
  }
  if (port == 0 || port > 65535) return std::nullopt;
  return port;
}

// A dotted-quad IPv4 literal whose first part is 127. Every part 0..255 in 1 to 3 digits; the
// shorthand forms ("127.1") and leading-zero octal forms are not loopback names a browser sends.
bool IsLoopbackIpv4(std::string_view text) {
  int parts = 0;
  while (true) {
    size_t dot = text.find('.');
    std::string_view part = text.substr(0, dot);
    if (part.empty() || part.size() > 3) return false;
    if (part.size() > 1 && part.front() == '0') return false;
    int value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255 || (parts == 0 && value != 127)) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts == 4;
}

struct HostAndPort {
  std::string_view host;
  std::optional<uint32_t> port;  // absent when the text names no port
};

// Splits "host", "host:port", "[v6]" or "[v6]:port"; nothing when a port is present but invalid.
std::optional<HostAndPort> SplitHostAndPort(std::string_view text) {
  size_t portColon = std::string_view::npos;
  if (!text.empty() && text.front() == '[') {
    size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    if (close + 1 < text.size()) {
      if (text[close + 1] != ':') return std::nullopt;
      portColon = close + 1;
    }
  } else {
    portColon = text.find(':');
  }
  if (portColon == std::string_view::npos) return HostAndPort{text, std::nullopt};
  std::optional<uint32_t> port = ParsePort(text.substr(portColon + 1));
  if (!port) return std::nullopt;
  return HostAndPort{text.substr(0, portColon), port};
}

bool IsLoopbackHostName(std::string_view host) {
  return EqualsIgnoringCase(host, "localhost") || host == "[::1]" || IsLoopbackIpv4(host);
}

}  // namespace

uint16_t ServicePortFromRandom(uint32_t random) {
  return static_cast<uint16_t>(kFirstServicePort + random % kPortCount);
}

bool IsLoopbackHost(std::string_view hostHeader) {
  std::optional<HostAndPort> parts = SplitHostAndPort(hostHeader);
  return parts && IsLoopbackHostName(parts->host);
}

bool IsServiceOrigin(std::string_view origin, uint16_t servicePort) {
  constexpr std::string_view kScheme = "http://";
  if (origin.size() <= kScheme.size() ||
      !EqualsIgnoringCase(origin.substr(0, kScheme.size()), kScheme))
    return false;
  std::optional<HostAndPort> parts = SplitHostAndPort(origin.substr(kScheme.size()));
  return parts && parts->port == servicePort && IsLoopbackHostName(parts->host);
}

bool IsServiceReferer(std::string_view referer, uint16_t servicePort) {
  constexpr std::string_view kScheme = "http://";
  size_t originEnd = referer.find_first_of("/?#", std::min(referer.size(), kScheme.size()));
  return IsServiceOrigin(referer.substr(0, originEnd), servicePort);
}

bool IsRequestAllowed(const RequestSource& source, bool isPost, uint16_t servicePort) {
  if (!source.host || !IsLoopbackHost(*source.host)) return false;
  if (!isPost) return true;
  if (!source.requestedWith || !EqualsIgnoringCase(*source.requestedWith, "xmlhttprequest"))
    return false;
  if (source.origin && !IsServiceOrigin(*source.origin, servicePort)) return false;
  if (source.referer && !IsServiceReferer(*source.referer, servicePort)) return false;
  return true;
}
