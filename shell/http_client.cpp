#include "shell/http_client.h"

#include <windows.h>
#include <wininet.h>

#include "common/code_page.h"
#include "common/win_handle.h"
#include "shell/http_text.h"

namespace {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};
using UniqueInternet = UniqueResource<InternetHandleTraits>;

std::vector<uint8_t> ReadBody(HINTERNET request) {
  std::vector<uint8_t> body;
  uint8_t buffer[1024];
  DWORD read = 0;
  while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) {
    body.insert(body.end(), buffer, buffer + read);
  }
  return body;
}

std::string RawResponseHeaders(HINTERNET request) {
  std::string headers(5000, ' ');
  DWORD size = static_cast<DWORD>(headers.size());
  if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &size, nullptr)) {
    // Longer headers are read whole rather than lost: their cookies and Location count too.
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::string();
    headers.assign(size + 1, ' ');
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &size, nullptr)) return std::string();
  }
  return headers.substr(0, headers.find('\0'));
}

// One exchange, then the followed "301 Moved" answers (at most kMaxMovedFollows of them).
std::vector<uint8_t> Exchange(const std::string& url, HttpArguments& arguments, int movedFollowed) {
  // What the last exchange reported must not survive one that fails to open: a caller reading the
  // out-texts after a failure would take another answer's cookies, headers or Location for this one.
  arguments.responseHeaders.clear();
  arguments.redirectAddress.clear();
  arguments.returnedCookies.clear();
  const char* method = arguments.method == kHttpPost ? "POST" : "GET";
  const std::string agent = UserAgentFor(arguments.requestHeaders, kDefaultUserAgent);
  const std::string proxy = arguments.proxy ? "http=" + *arguments.proxy : std::string();
  UniqueInternet internet(InternetOpenA(agent.c_str(),
                                        arguments.proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT,
                                        proxy.c_str(), "", 0));
  if (!internet) return {};
  UniqueInternet connection(InternetConnectA(internet.get(), UrlHost(url).c_str(), UrlPort(url), "", "",
                                             INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};
  const DWORD flags = RequestFlagsFor(url, arguments.cookies.has_value(), arguments.noRedirect);
  UniqueInternet request(HttpOpenRequestA(connection.get(), method, UrlPath(url).c_str(), "HTTP/1.1", "", nullptr,
                                          flags, 0));
  if (!request) return {};

  CompleteRequestHeaders(arguments.requestHeaders, url, arguments.cookies.value_or(std::string()));
  if (arguments.method == kHttpPost) {
    if (arguments.postBytes.empty()) arguments.postBytes.assign(arguments.postText.begin(), arguments.postText.end());
    HttpSendRequestA(request.get(), arguments.requestHeaders.c_str(),
                     static_cast<DWORD>(arguments.requestHeaders.size()), arguments.postBytes.data(),
                     static_cast<DWORD>(arguments.postBytes.size()));
  } else {
    HttpSendRequestA(request.get(), arguments.requestHeaders.c_str(),
                     static_cast<DWORD>(arguments.requestHeaders.size()), nullptr, 0);
  }
  std::vector<uint8_t> body = ReadBody(request.get());
  arguments.responseHeaders = RawResponseHeaders(request.get());
  request.reset();
  connection.reset();
  internet.reset();

  const ResponseHeaderFacts facts = ReadResponseHeaders(arguments.responseHeaders);
  arguments.redirectAddress = facts.location.value_or(std::string());
  arguments.returnedCookies = facts.cookies;
  if (arguments.cookies) arguments.cookies = MergeCookies(*arguments.cookies, arguments.returnedCookies);

  if (IsMovedPermanently(arguments.responseHeaders) && movedFollowed < kMaxMovedFollows) {
    const std::string movedTo = arguments.redirectAddress + UrlPath(url);
    arguments.redirectAddress.clear();
    return Exchange(movedTo, arguments, movedFollowed + 1);
  }
  return body;
}

}  // namespace

std::vector<uint8_t> HttpRequest(const std::string& url, HttpArguments& arguments) {
  return Exchange(url, arguments, 0);
}

std::string HttpRequestText(const std::string& url, HttpArguments& arguments) {
  const std::vector<uint8_t> body = Exchange(url, arguments, 0);
  std::string text(body.begin(), body.end());
  if (DeclaresUtf8(text, arguments.responseHeaders)) text = Utf8ToGbk(text);
  return text;
}

std::string Utf8ToGbk(const std::string& utf8) {
  const std::wstring wide = WideFromCodePage(utf8, CP_UTF8);
  if (wide.empty()) return utf8;
  constexpr UINT kGbk = 936;
  // Composite check: a letter followed by a combining accent becomes the accented letter the code
  // page has, instead of the letter and a default character.
  return CodePageFromWide(wide, kGbk, WC_COMPOSITECHECK);
}
