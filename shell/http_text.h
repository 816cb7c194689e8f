// The HTTP client's text side: markers, URLs, request headers, response headers and cookies.
// Headers are lines joined by CR LF without a final CR LF; cookies are name=value pairs joined by
// "; ". Pure logic: no Windows calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text between the first `left` at or after `start` and the first `right` after it; the empty
// text when either is missing. In both markers every "#引号" stands for a double quote. ASCII
// letter case is ignored unless `caseSensitive`.
std::string TextBetween(std::string_view text, std::string_view left, std::string_view right, size_t start = 0,
                        bool caseSensitive = false);

// Every text between `left` and `right`, one match after another (each search starts after the
// previous right marker). Two empty markers give one empty match.
std::vector<std::string> AllTextsBetween(std::string_view text, std::string_view left, std::string_view right);

// The text after the first ":" of a header line, trimmed; empty without a colon.
std::string HeaderValue(std::string_view line);

// ---- URLs ---------------------------------------------------------------------------------------

// The host of `url` in lower case ("http://" assumed without a scheme), with ":port" when asked.
std::string UrlHost(std::string_view url, bool keepPort = false);
// The port given after the host, else 443 for "https" URLs and 80 for the rest. A port that is
// not a number from 1 to 65535 counts as not given.
uint16_t UrlPort(std::string_view url);
// The path after the host, query included; "/" when there is none.
std::string UrlPath(std::string_view url);
// Whether the URL's scheme is https (letter case ignored).
bool IsHttpsUrl(std::string_view url);

// ---- Requests -----------------------------------------------------------------------------------

// The user agent to open the session with: the value of a "User-Agent:" line of the request
// headers (name case ignored), or `defaultAgent` when there is none.
std::string UserAgentFor(std::string_view requestHeaders, const std::string& defaultAgent);

// Appends the default request lines that `headers` lacks (exact, case-sensitive searches):
// Referer (the URL), Accept, Accept-Language, Content-Type (form encoding), and a Cookie line
// when `cookies` is not empty.
void CompleteRequestHeaders(std::string& headers, const std::string& url, const std::string& cookies);

// WinINet request flags: reload and need-file always; no-cookies when the caller manages cookies;
// no-auto-redirect on request; secure for https, else ignore-redirect-to-https.
uint32_t RequestFlagsFor(std::string_view url, bool cookiesGiven, bool noRedirect);

// ---- Responses ----------------------------------------------------------------------------------

struct ResponseHeaderFacts {
  std::optional<std::string> location;  // value of the last Location line
  std::string cookies;                  // name=value of every Set-Cookie line, joined by "; "
};
ResponseHeaderFacts ReadResponseHeaders(std::string_view responseHeaders);

// Whether the status line says "301 Moved".
bool IsMovedPermanently(std::string_view responseHeaders);

// Whether a body is UTF-8 by its own word ("utf-8", exact bytes, starting within its first 499
// bytes) or by the response headers' ("utf-8", case ignored).
bool DeclaresUtf8(std::string_view body, std::string_view responseHeaders);

// Old cookies updated by new ones: new pairs first, then old pairs whose names the new ones lack;
// pairs ending in "=deleted" dropped, repeats and empty pairs dropped, spaces removed.
std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies);

// %XX sequences (hex digits in upper case) decoded; everything else unchanged.
std::string PercentDecode(std::string_view text);
