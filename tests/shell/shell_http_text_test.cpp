// The HTTP client's and the web services' text side: markers, URLs, request and response headers,
// cookies, percent-decoding and what is cut from the services' answers.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "shell/http_text.h"
#include "shell/web_service_text.h"

namespace {

TEST(TextBetween, MarkersCaseAndStart) {
  EXPECT_EQ(TextBetween("a<b>c</b>", "<b>", "</b>"), "c");
  EXPECT_EQ(TextBetween("a<B>c</B>", "<b>", "</b>"), "c");  // case ignored by default
  EXPECT_EQ(TextBetween("a<B>c</B>", "<b>", "</b>", 0, true), "");
  EXPECT_EQ(TextBetween("x=1;x=2;", "x=", ";", 3), "2");
  EXPECT_EQ(TextBetween("no markers", "<", ">"), "");
  EXPECT_EQ(TextBetween("<only left", "<", ">"), "");
  EXPECT_EQ(TextBetween(R"({"url":"http://s/x"})", "#引号url#引号:#引号", "#引号"), "http://s/x");
  EXPECT_EQ(TextBetween("ab", "a", "b", 10), "");
}

TEST(AllTextsBetween, EveryMatchInTurn) {
  EXPECT_EQ(AllTextsBetween("[1][22][]x[3", "[", "]"), (std::vector<std::string>{"1", "22", ""}));
  EXPECT_TRUE(AllTextsBetween("none", "[", "]").empty());
  // Two empty markers match the empty text at the start once (the search used to stand still
  // there, adding empty matches until memory ran out).
  EXPECT_EQ(AllTextsBetween("abc", "", ""), (std::vector<std::string>{""}));
  EXPECT_EQ(AllTextsBetween("a]b]", "", "]"), (std::vector<std::string>{"a", "b"}));
}

TEST(HeaderValue, AfterTheFirstColonTrimmed) {
  EXPECT_EQ(HeaderValue("Location:  http://a/b  "), "http://a/b");
  EXPECT_EQ(HeaderValue("X: a:b"), "a:b");
  EXPECT_EQ(HeaderValue("no colon"), "");
}

TEST(Urls, HostPortAndPath) {
  struct Case {
    std::string url, host, hostWithPort;
    uint16_t port;
    std::string path;
  } cases[] = {
      {"http://Example.COM/a/b?q=1", "example.com", "example.com", 80, "/a/b?q=1"},
      {"HTTPS://secure.example/x", "secure.example", "secure.example", 443, "/x"},
      {"https://secure.example:8443/", "secure.example", "secure.example:8443", 8443, "/"},
      {"example.org:8080/page", "example.org", "example.org:8080", 8080, "/page"},
      {"example.org", "example.org", "example.org", 80, "/"},
      {"http://127.0.0.1:5000", "127.0.0.1", "127.0.0.1:5000", 5000, "/"},
      {"http://host:notaport/x", "host", "host:notaport", 80, "/x"},
      {"http://host:70000/x", "host", "host:70000", 80, "/x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.url), c.host) << c.url;
    EXPECT_EQ(UrlHost(c.url, true), c.hostWithPort) << c.url;
    EXPECT_EQ(UrlPort(c.url), c.port) << c.url;
    EXPECT_EQ(UrlPath(c.url), c.path) << c.url;
  }
  EXPECT_TRUE(IsHttpsUrl("HTTPS://x"));
  EXPECT_FALSE(IsHttpsUrl("http://x"));
}

TEST(UserAgentFor, TheHeadersLineOrTheDefault) {
  EXPECT_EQ(UserAgentFor("", "Default/1"), "Default/1");
  EXPECT_EQ(UserAgentFor("Accept: */*", "Default/1"), "Default/1");
  EXPECT_EQ(UserAgentFor("user-agent: Mine/2\r\nAccept: */*", "Default/1"), "Mine/2");
  EXPECT_EQ(UserAgentFor("Accept: */*\r\nUser-Agent:  Last/3 ", "Default/1"), "Last/3");
}

TEST(CompleteRequestHeaders, AddsWhatIsMissingWithExactSearches) {
  std::string headers;
  CompleteRequestHeaders(headers, "http://a/b", "");
  EXPECT_EQ(headers,
            "Referer: http://a/b\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded");

  // A lower-case referer line is not found (exact search), so a second one is added.
  headers = "referer: http://elsewhere/\r\nAccept: text/html";
  CompleteRequestHeaders(headers, "http://a/b", "k=v; x=y");
  EXPECT_EQ(headers,
            "referer: http://elsewhere/\r\nAccept: text/html\r\nReferer: http://a/b\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\nCookie: k=v; x=y");
}

TEST(RequestFlagsFor, FlagsByUrlCookiesAndRedirect) {
  constexpr uint32_t kBase = 0x80000000 | 0x10;
  EXPECT_EQ(RequestFlagsFor("http://a/", false, false), kBase | 0x4000);
  EXPECT_EQ(RequestFlagsFor("HTTPS://a/", false, false), kBase | 0x800000);
  EXPECT_EQ(RequestFlagsFor("http://a/", true, true), kBase | 0x80000 | 0x200000 | 0x4000);
}

TEST(ReadResponseHeaders, LocationAndCookies) {
  const ResponseHeaderFacts facts = ReadResponseHeaders(
      "HTTP/1.1 302 Found\r\nLocation: http://first/\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\n"
      "Location: http://second/x\r\n");
  EXPECT_EQ(facts.location, "http://second/x");
  EXPECT_EQ(facts.cookies, "a=1; b=2");
  EXPECT_EQ(ReadResponseHeaders("HTTP/1.1 200 OK\r\n").location, std::nullopt);
  EXPECT_EQ(ReadResponseHeaders("HTTP/1.1 200 OK\r\n").cookies, "");
  // A pair without ";" after it contributes nothing but its separator.
  EXPECT_EQ(ReadResponseHeaders("Set-Cookie: lone=1\r\nSet-Cookie: c=3; path=/").cookies, "; c=3");
}

TEST(IsMovedPermanently, OnlyThe301StatusLine) {
  EXPECT_TRUE(IsMovedPermanently("HTTP/1.1 301 Moved Permanently\r\nLocation: x"));
  EXPECT_FALSE(IsMovedPermanently("HTTP/1.1 302 Moved Temporarily\r\n"));
  EXPECT_FALSE(IsMovedPermanently("HTTP/1.1 200 OK\r\n"));
}

TEST(DeclaresUtf8, MarkNearTheStartOrInTheHeaders) {
  EXPECT_TRUE(DeclaresUtf8("<meta charset=\"utf-8\">", ""));
  EXPECT_TRUE(DeclaresUtf8(std::string(498, ' ') + "utf-8", ""));   // starts at position 499
  EXPECT_FALSE(DeclaresUtf8(std::string(499, ' ') + "utf-8", ""));  // position 500
  EXPECT_FALSE(DeclaresUtf8("charset=UTF-8", ""));                  // the body's search is exact
  EXPECT_TRUE(DeclaresUtf8("plain", "Content-Type: text/html; charset=UTF-8"));
  EXPECT_FALSE(DeclaresUtf8("plain", "Content-Type: text/html; charset=gbk"));
}

TEST(MergeCookies, NewPairsWinDeletedOnesGo) {
  EXPECT_EQ(MergeCookies("a=1; c=3", "a=2; b=x=deleted"), "a=2; c=3");
  EXPECT_EQ(MergeCookies("a=1", ""), "a=1");
  EXPECT_EQ(MergeCookies("", "a=1"), "a=1");
  EXPECT_EQ(MergeCookies("a = 1 ;　b=2", "c=3;c=3"), "c=3; a=1; b=2");  // spaces, full-width too, and repeats
  EXPECT_EQ(MergeCookies("session=old", "session=deleted"), "");
}

TEST(PercentDecode, UpperCaseHexOnly) {
  EXPECT_EQ(PercentDecode("nid%20%3A%20%27123%27%2C"), "nid : '123',");
  EXPECT_EQ(PercentDecode("%e4%b8"), "%e4%b8");
  EXPECT_EQ(PercentDecode("100%"), "100%");
  EXPECT_EQ(PercentDecode("%4"), "%4");
}

TEST(WebServiceCuts, ShortLinksDownloadUrlsAndShareIds) {
  EXPECT_EQ(JsonEscapedSlashes("http://s.example/"), "http:\\/\\/s.example\\/");
  EXPECT_EQ(CutPrefixedLink(R"({"short":"http:\/\/s.example\/Ab12","x":1})", "http://s.example/"),
            "http://s.example/Ab12");
  EXPECT_EQ(CutPrefixedLink(R"({"error":1})", "http://s.example/"), "");
  EXPECT_EQ(CutUnescapedLink(R"(["http:\/\/t.example\/z9"])", "[\""), "http://t.example/z9");
  EXPECT_EQ(CutUnescapedLink(R"({"data":"http:\/\/d.example\/q"})", "data\":\""), "http://d.example/q");
  EXPECT_EQ(CutDownloadUrl(R"({"dlink":"http:\/\/files.example\/f?x=1"})"), "http://files.example/f?x=1");
  EXPECT_EQ(CutDownloadUrl(R"({"errno":2})"), "");
  EXPECT_EQ(ShareIdOf("var x = 1; nid%20%3A%20%2712345%27%2C more"), "12345");
}

TEST(PickPhrase, ARandomCandidateButNeverAnEmptyOneWhileOthersHaveText) {
  const std::string page =
      R"(<p id="txt-1"><b>first</b></p><p id="txt-2"><i></i></p><p id="txt-3">third</p><p>no</p>)";
  const std::vector<std::string> candidates = PhraseCandidates(page);
  ASSERT_EQ(candidates, (std::vector<std::string>{"1\">", "2\">", "3\">third"}));
  // Each candidate ends at the first "<" after its marker: only the third has text after its ">".
  std::set<std::string> seen;
  for (size_t seed = 0; seed < 50; ++seed) {
    size_t state = seed;
    const std::string phrase = PickPhrase(candidates, [&](size_t n) { return (state = state * 7 + 3) % n; });
    EXPECT_EQ(phrase, "third");
    seen.insert(phrase);
  }
  const std::vector<std::string> several = {"a>one", "two", ">"};
  for (size_t first = 0; first < 3; ++first) {
    seen.insert(PickPhrase(several, [&](size_t n) { return first % n; }));
  }
  EXPECT_TRUE(seen.count("one") && seen.count("two"));
  EXPECT_EQ(PickPhrase({">", ""}, [](size_t) { return size_t{0}; }), "");
  EXPECT_EQ(PickPhrase({}, [](size_t) { return size_t{0}; }), "");
}

}  // namespace
