// A small HTTP client over WinINet. One call is one exchange (plus the exchanges of followed
// "301 Moved" answers); the caller's argument record carries the optional inputs and receives the
// outputs, as its in/out fields say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kHttpPost = 1;  // any other method value means GET

// Sent when the request headers name no user agent.
inline constexpr char kDefaultUserAgent[] = "Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko";

// How many "301 Moved" answers in a row are followed before the last body is returned.
inline constexpr int kMaxMovedFollows = 5;

struct HttpArguments {
  int method = 0;                      // in: kHttpPost or GET
  std::string postText;                // in: form body of a POST
  std::optional<std::string> cookies;  // in/out: given means sent, and replaced by the merged cookies
  std::string returnedCookies;         // out: name=value of the response's Set-Cookie lines
  std::string requestHeaders;          // in/out: extra request lines; the defaults are appended here
  std::string redirectAddress;         // out: the Location header's value (empty without one)
  bool noRedirect = false;             // in: do not let WinINet follow redirects
  std::vector<uint8_t> postBytes;      // in/out: POST body; set from postText when empty
  std::optional<std::string> proxy;    // in: HTTP proxy ("host:port") to go through
  std::string responseHeaders;         // out: the raw response headers
};

// The response body, or nothing when the session, connection or request cannot be opened. A
// "301 Moved" answer is followed (to the Location value followed by the requested URL's path)
// through the same argument record.
std::vector<uint8_t> HttpRequest(const std::string& url, HttpArguments& arguments);

// As HttpRequest, with the body as text: converted from UTF-8 to code page 936 when the body
// declares "utf-8" near its start or the response headers name it.
std::string HttpRequestText(const std::string& url, HttpArguments& arguments);

// UTF-8 bytes as code page 936 text (characters it lacks become its default character).
std::string Utf8ToGbk(const std::string& utf8);
