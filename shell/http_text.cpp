#include "shell/http_text.h"

#include <algorithm>
#include <charconv>

#include "shell/ansi_text.h"

namespace {

std::string WithQuotes(std::string_view marker) { return ReplaceAll(marker, "#引号", "\""); }

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string HostWithPort(std::string_view url) {
  std::string lower = FoldAsciiCase(url);
  if (lower.empty() || lower.back() != '/') lower += '/';
  std::string_view scheme = "https://";
  size_t start = lower.rfind(scheme, 0) == 0 ? 0 : std::string::npos;
  if (start == std::string::npos) {
    scheme = "http://";
    start = lower.find(scheme);
    if (start == std::string::npos) {
      lower = "http://" + lower;
      start = 0;
    }
  }
  const size_t hostStart = start + scheme.size();
  const size_t hostEnd = lower.find('/', hostStart);
  return lower.substr(hostStart, hostEnd - hostStart);
}

}  // namespace

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right, size_t start,
                        bool caseSensitive) {
  const std::string leftMarker = WithQuotes(left);
  const std::string rightMarker = WithQuotes(right);
  const size_t leftAt = FindText(text, leftMarker, start, caseSensitive);
  if (leftAt == std::string_view::npos) return std::string();
  const size_t from = leftAt + leftMarker.size();
  const size_t rightAt = FindText(text, rightMarker, from, caseSensitive);
  if (rightAt == std::string_view::npos) return std::string();
  return std::string(text.substr(from, rightAt - from));
}

std::vector<std::string> AllTextsBetween(std::string_view text, std::string_view left, std::string_view right) {
  const std::string leftMarker = WithQuotes(left);
  const std::string rightMarker = WithQuotes(right);
  std::vector<std::string> found;
  size_t start = 0;
  while (true) {
    const size_t leftAt = FindText(text, leftMarker, start);
    if (leftAt == std::string_view::npos) break;
    const size_t from = leftAt + leftMarker.size();
    const size_t rightAt = FindText(text, rightMarker, from);
    if (rightAt == std::string_view::npos) break;
    found.emplace_back(text.substr(from, rightAt - from));
    const size_t next = rightAt + rightMarker.size();
    if (next == start) break;  // two empty markers: one empty match, not an endless run of them
    start = next;
  }
  return found;
}

std::string HeaderValue(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::string();
  return TrimSpaces(line.substr(colon + 1));
}

std::string UrlHost(std::string_view url, bool keepPort) {
  std::string host = HostWithPort(url);
  if (!keepPort) host = host.substr(0, host.find(':'));
  return host;
}

uint16_t UrlPort(std::string_view url) {
  const std::string host = HostWithPort(url);
  const size_t colon = host.rfind(':');
  if (colon != std::string::npos) {
    unsigned port = 0;
    const char* first = host.data() + colon + 1;
    const char* last = host.data() + host.size();
    const auto [end, error] = std::from_chars(first, last, port);
    if (error == std::errc() && end == last && port >= 1 && port <= 65535) return static_cast<uint16_t>(port);
  }
  return IsHttpsUrl(url) ? 443 : 80;
}

std::string UrlPath(std::string_view url) {
  const std::string host = UrlHost(url, true);
  const size_t hostAt = FindText(url, host);
  if (hostAt == std::string_view::npos) return "/";
  const size_t slash = url.find('/', hostAt + host.size());
  if (slash == std::string_view::npos) return "/";
  return std::string(url.substr(slash));
}

bool IsHttpsUrl(std::string_view url) { return FoldAsciiCase(url.substr(0, 5)) == "https"; }

std::string UserAgentFor(std::string_view requestHeaders, const std::string& defaultAgent) {
  if (FindText(requestHeaders, "User-Agent:") == std::string_view::npos) return defaultAgent;
  const std::string between = TrimSpaces(TextBetween(requestHeaders, "User-Agent:", "\r\n"));
  if (!between.empty()) return between;
  // The line is the last one (no CR LF after it).
  const size_t at = FindText(requestHeaders, "User-Agent:");
  return HeaderValue(requestHeaders.substr(at));
}

void CompleteRequestHeaders(std::string& headers, const std::string& url, const std::string& cookies) {
  if (headers.find("Referer:") == std::string::npos) {
    headers = headers.empty() ? "Referer: " + url : headers + "\r\nReferer: " + url;
  }
  if (headers.find("Accept:") == std::string::npos) headers += "\r\nAccept: */*";
  if (headers.find("Accept-Language:") == std::string::npos) headers += "\r\nAccept-Language: zh-cn";
  if (headers.find("Content-Type:") == std::string::npos) {
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (!cookies.empty()) headers += "\r\nCookie: " + cookies;
}

uint32_t RequestFlagsFor(std::string_view url, bool cookiesGiven, bool noRedirect) {
  constexpr uint32_t kReload = 0x80000000, kNeedFile = 0x10, kNoCookies = 0x80000, kNoAutoRedirect = 0x200000,
                     kSecure = 0x800000, kIgnoreRedirectToHttps = 0x4000;
  uint32_t flags = kReload | kNeedFile;
  if (cookiesGiven) flags |= kNoCookies;
  if (noRedirect) flags |= kNoAutoRedirect;
  flags |= IsHttpsUrl(url) ? kSecure : kIgnoreRedirectToHttps;
  return flags;
}

ResponseHeaderFacts ReadResponseHeaders(std::string_view responseHeaders) {
  ResponseHeaderFacts facts;
  for (const std::string& line : SplitText(responseHeaders, "\r\n")) {
    if (line.find("Location:") != std::string::npos) facts.location = HeaderValue(line);
    if (line.find("Set-Cookie") != std::string::npos) {
      facts.cookies += TrimSpaces(TextBetween(line, "Set-Cookie:", ";")) + "; ";
    }
  }
  if (facts.cookies.size() >= 2) facts.cookies.resize(facts.cookies.size() - 2);
  return facts;
}

bool IsMovedPermanently(std::string_view responseHeaders) {
  return TextBetween(responseHeaders, "HTTP/1.1 ", " Moved") == "301";
}

bool DeclaresUtf8(std::string_view body, std::string_view responseHeaders) {
  const size_t at = body.find("utf-8");
  if (at != std::string_view::npos && at + 1 <= 499) return true;
  return FindText(responseHeaders, "utf-8") != std::string_view::npos;
}

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies) {
  const auto withoutSpaces = [](std::string_view text) {
    return ReplaceAll(ReplaceAll(text, " ", ""), std::string_view(kFullWidthSpace, 2), "");
  };
  const auto nameOf = [](const std::string& pair) { return TrimSpaces(pair.substr(0, pair.find('='))); };
  // Empty pieces (no cookies at all, a trailing ";") are no pairs.
  const auto pairsOf = [&](std::string_view cookies) {
    std::vector<std::string> pairs = SplitText(withoutSpaces(cookies), ";");
    pairs.erase(std::remove(pairs.begin(), pairs.end(), std::string()), pairs.end());
    return pairs;
  };
  std::vector<std::string> merged = pairsOf(newCookies);
  const std::vector<std::string> fresh = merged;
  for (const std::string& pair : pairsOf(oldCookies)) {
    const std::string name = nameOf(pair);
    const bool replaced = std::any_of(fresh.begin(), fresh.end(), [&](const std::string& p) { return nameOf(p) == name; });
    if (!replaced) merged.push_back(pair);
  }
  std::string joined;
  for (const std::string& pair : merged) {
    if (EndsWith(pair, "=deleted")) continue;
    joined += pair + "; ";
  }
  if (joined.size() >= 2) joined.resize(joined.size() - 2);
  std::vector<std::string> unique;
  for (const std::string& pair : SplitText(joined, "; ")) {
    if (std::find(unique.begin(), unique.end(), pair) == unique.end()) unique.push_back(pair);
  }
  std::string result;
  for (size_t i = 0; i < unique.size(); ++i) result += (i ? "; " : "") + unique[i];
  return result;
}

std::string PercentDecode(std::string_view text) {
  const auto hexValue = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}
