// The HTTP client and the web services against a real HTTP server on 127.0.0.1 (server.js, started
// by run_http_test.sh, which hands its port over in VM_HTTP_TEST_PORT).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/ansi_text.h"
#include "shell/http_client.h"
#include "shell/shell_utility.h"
#include "shell/web_services.h"

namespace {

std::string Base() {
  const char* port = std::getenv("VM_HTTP_TEST_PORT");
  return std::string("http://127.0.0.1:") + (port ? port : "0");
}

std::vector<std::string> Lines(const std::string& text) { return SplitText(text, "\r\n"); }

bool HasLine(const std::string& echo, const std::string& line) {
  for (const std::string& l : Lines(echo)) {
    if (l == line) return true;
  }
  return false;
}

// The lines of an echo whose header name is `name` (case ignored).
std::vector<std::string> HeaderLines(const std::string& echo, const std::string& name) {
  std::vector<std::string> found;
  for (const std::string& l : Lines(echo)) {
    if (FoldAsciiCase(l.substr(0, name.size() + 1)) == FoldAsciiCase(name + ":")) found.push_back(l);
  }
  return found;
}

// What the server received as the body: everything after the blank line.
std::string EchoedBody(const std::string& echo) {
  const size_t blank = echo.find("\r\n\r\n");
  return blank == std::string::npos ? std::string() : echo.substr(blank + 4);
}

class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(std::getenv("VM_HTTP_TEST_PORT"), nullptr) << "run through run_http_test.sh"; }
};

TEST_F(HttpTest, GetWithEmptyHeadersSendsTheDefaultLines) {
  const std::string url = Base() + "/echo/get?q=1";
  HttpArguments arguments;
  const std::string echo = HttpRequestText(url, arguments);
  EXPECT_EQ(Lines(echo).front(), "GET /echo/get?q=1");
  EXPECT_EQ(arguments.requestHeaders,
            "Referer: " + url + "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded");
  for (const char* line : {"Accept: */*", "Accept-Language: zh-cn", "Content-Type: application/x-www-form-urlencoded"}) {
    EXPECT_TRUE(HasLine(echo, line)) << line << "\n" << echo;
  }
  EXPECT_TRUE(HasLine(echo, "Referer: " + url)) << echo;
  EXPECT_EQ(HeaderLines(echo, "User-Agent"), std::vector<std::string>{std::string("User-Agent: ") + kDefaultUserAgent});
  EXPECT_TRUE(HeaderLines(echo, "Cookie").empty());
  EXPECT_EQ(arguments.responseHeaders.rfind("HTTP/1.1 200", 0), 0u) << arguments.responseHeaders;
  EXPECT_EQ(arguments.redirectAddress, "");
  EXPECT_EQ(arguments.returnedCookies, "");
}

TEST_F(HttpTest, PostSendsTheFormTextOrTheGivenBytes) {
  HttpArguments form;
  form.method = kHttpPost;
  form.postText = "name=velmora&text=中文";
  std::string echo = HttpRequestText(Base() + "/echo/post", form);
  EXPECT_EQ(Lines(echo).front(), "POST /echo/post");
  EXPECT_EQ(EchoedBody(echo), "name=velmora&text=中文");
  EXPECT_EQ(std::string(form.postBytes.begin(), form.postBytes.end()), form.postText);

  HttpArguments bytes;
  bytes.method = kHttpPost;
  bytes.postText = "ignored";
  bytes.postBytes = {'r', 'a', 'w', 0x00, 0xFF};
  echo = HttpRequestText(Base() + "/echo/bytes", bytes);
  EXPECT_EQ(EchoedBody(echo), std::string("raw\0\xFF", 5));
}

TEST_F(HttpTest, HeaderSearchesAreExactExceptForTheUserAgent) {
  HttpArguments arguments;
  arguments.requestHeaders = "referer: http://elsewhere.test/\r\nuser-agent: Custom/1.0";
  const std::string url = Base() + "/echo/headers";
  const std::string echo = HttpRequestText(url, arguments);
  // The exact search misses the lower-case line, so a second Referer line is added to the text...
  EXPECT_EQ(arguments.requestHeaders,
            "referer: http://elsewhere.test/\r\nuser-agent: Custom/1.0\r\nReferer: " + url +
                "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded");
  // ...and on the wire the system keeps one header of a name, the later line.
  EXPECT_EQ(HeaderLines(echo, "Referer"), std::vector<std::string>{"Referer: " + url}) << echo;
  const std::vector<std::string> agents = HeaderLines(echo, "User-Agent");
  ASSERT_FALSE(agents.empty());
  for (const std::string& agent : agents) EXPECT_EQ(agent.substr(agent.find(':') + 2), "Custom/1.0") << echo;
}

TEST_F(HttpTest, CookiesAreSentReturnedAndMerged) {
  HttpArguments plain;
  HttpRequest(Base() + "/cookies", plain);
  EXPECT_EQ(plain.returnedCookies, "a=1; b=2");
  EXPECT_FALSE(plain.cookies.has_value());

  HttpArguments merged;
  merged.cookies = "a=0; c=3";
  HttpRequest(Base() + "/cookies", merged);
  EXPECT_EQ(merged.returnedCookies, "a=1; b=2");
  EXPECT_EQ(merged.cookies, "a=1; b=2; c=3");

  HttpArguments sent;
  sent.cookies = "k=v; w=x";
  const std::string echo = HttpRequestText(Base() + "/echo/cookie", sent);
  EXPECT_EQ(HeaderLines(echo, "Cookie"), std::vector<std::string>{"Cookie: k=v; w=x"}) << echo;
}

std::string Hits(const std::string& path) {
  HttpArguments arguments;
  return HttpRequestText(Base() + "/hits?path=" + path, arguments);
}

TEST_F(HttpTest, MovedPermanentlyGoesToTheLocationFollowedByTheRequestedPath) {
  HttpArguments ours;
  ours.noRedirect = true;
  EXPECT_EQ(HttpRequestText(Base() + "/moved-once", ours), "landed at /landed/moved-once");
  EXPECT_EQ(ours.redirectAddress, "");
  EXPECT_EQ(ours.responseHeaders.rfind("HTTP/1.1 200", 0), 0u);

  // Without "no redirect" the system follows the Location itself.
  HttpArguments system;
  EXPECT_EQ(HttpRequestText(Base() + "/moved-once", system), "landed at /landed");
}

TEST_F(HttpTest, EndlessMovedAnswersAreFollowedOnlySoOften) {
  const int before = std::stoi(Hits("/always-moved"));
  HttpArguments arguments;
  arguments.noRedirect = true;
  EXPECT_EQ(HttpRequestText(Base() + "/always-moved", arguments), "moved again");
  EXPECT_EQ(std::stoi(Hits("/always-moved")) - before, 1 + kMaxMovedFollows);
}

TEST_F(HttpTest, OtherRedirectsAreReportedNotFollowed) {
  HttpArguments arguments;
  arguments.noRedirect = true;
  EXPECT_EQ(HttpRequestText(Base() + "/redirect-302", arguments), "found");
  EXPECT_EQ(arguments.redirectAddress, Base() + "/echo-after-302");
}

TEST_F(HttpTest, TextIsConvertedFromUtf8OnlyWhenDeclared) {
  HttpArguments marked, header, gbk, bytes;
  EXPECT_EQ(HttpRequestText(Base() + "/utf8-marked", marked), "<meta charset=\"utf-8\">中文");
  EXPECT_EQ(HttpRequestText(Base() + "/utf8-header", header), "中文");
  EXPECT_EQ(HttpRequestText(Base() + "/gbk", gbk), "中文");
  const std::vector<uint8_t> raw = HttpRequest(Base() + "/utf8-header", bytes);
  EXPECT_EQ(std::string(raw.begin(), raw.end()), "\xE4\xB8\xAD\xE6\x96\x87");  // unconverted
}

TEST_F(HttpTest, CombiningAccentsBecomeTheAccentedLettersOfTheCodePage) {
  HttpArguments arguments;
  // "é" is 0xA8 0xA6 in GBK; without composition the accent would become a "?" of its own.
  EXPECT_EQ(HttpRequestText(Base() + "/utf8-combining", arguments), "Caf\xA8\xA6 中文");
}

TEST_F(HttpTest, UrlWithoutSchemeButWithAPortGoesOverHttpToThatPort) {
  const std::string hostAndPort = Base().substr(7);
  HttpArguments arguments;
  EXPECT_EQ(Lines(HttpRequestText(hostAndPort + "/echo/no-scheme", arguments)).front(), "GET /echo/no-scheme");
}

TEST_F(HttpTest, AProxyReceivesTheWholeUrl) {
  HttpArguments arguments;
  arguments.proxy = Base().substr(7);
  const std::string echo = HttpRequestText("http://proxied.test/echo/via-proxy", arguments);
  // The proxy is asked for the whole URL (Wine writes the port into it).
  const std::string requestLine = Lines(echo).front();
  EXPECT_TRUE(requestLine == "GET http://proxied.test/echo/via-proxy" ||
              requestLine == "GET http://proxied.test:80/echo/via-proxy")
      << echo;
}

TEST_F(HttpTest, LongResponseHeadersStillGiveTheirCookies) {
  HttpArguments arguments;
  EXPECT_EQ(HttpRequestText(Base() + "/long-headers", arguments), "long");
  EXPECT_GT(arguments.responseHeaders.size(), 6000u);
  EXPECT_EQ(arguments.returnedCookies, "long=1");
}

TEST_F(HttpTest, NothingListeningGivesAnEmptyAnswer) {
  HttpArguments arguments;
  EXPECT_TRUE(HttpRequest("http://127.0.0.1:1/", arguments).empty());
}

TEST_F(HttpTest, AFailedOpenLeavesNoOutTextOfTheExchangeBefore) {
  // One argument record for two exchanges: the second cannot even open a connection (no host).
  HttpArguments arguments;
  arguments.noRedirect = true;
  arguments.cookies = "keep=1";
  EXPECT_EQ(HttpRequestText(Base() + "/redirect-with-cookie", arguments), "found");
  ASSERT_EQ(arguments.redirectAddress, Base() + "/landed");
  ASSERT_EQ(arguments.returnedCookies, "r=1");
  ASSERT_FALSE(arguments.responseHeaders.empty());

  EXPECT_TRUE(HttpRequest("http:///no-host", arguments).empty());
  EXPECT_EQ(arguments.redirectAddress, "");
  EXPECT_EQ(arguments.returnedCookies, "");
  EXPECT_EQ(arguments.responseHeaders, "");
  EXPECT_EQ(arguments.cookies, "r=1; keep=1");  // in/out: what the caller holds stays
}

// ---- Web services -------------------------------------------------------------------------------

const char kLongUrl[] = "http://long.example/page?a=1&b=2";

class WebServiceTest : public HttpTest {
 protected:
  void SetUp() override {
    HttpTest::SetUp();
    WebServiceConfig config;
    config.callbackLoginUrl = Base() + "/cb/login";
    config.callbackLoginBody = "source=velmora-test";
    config.callbackPageUrl = Base() + "/cb/page";
    config.callbackAddUrl = Base() + "/cb/add";
    config.shortener1Url = Base() + "/short1";
    config.shortener1Prefix = "http://s1.test/";
    config.shortener2Url = Base() + "/short2?cb=x&u=%URL%&l=%URL%";
    config.shortener2Referer = "http://short2.test/";
    config.shortener3Url = Base() + "/short3";
    config.shortener3Prefix = "http://s3.test/";
    config.relayUrl = Base() + "/relay";
    config.shortener7Url = Base() + "/short7";
    config.phrasePageUrl = Base() + "/phrases";
    SetWebServiceConfig(config);
  }
  const ShellUtility shell_;
};

TEST_F(WebServiceTest, ShareLinkLeadsToTheDownloadUrl) {
  EXPECT_EQ(shell_.ResolveShareLink(Base() + "/share/s/1AbCdE"), "http://files.example/get?id=987654");
  EXPECT_EQ(shell_.ResolveShareLink(Base() + "/share/s/Wrong1"), "");  // the service refuses it
}

TEST_F(WebServiceTest, CallbackLogsInThenFetchesThePageWithItsCookies) {
  std::string cookies = "stale=1";
  EXPECT_EQ(shell_.RequestCallback("", "", cookies, ""), "page for sid=abc; uid=7");
  // The login's cookies, merged with the one the page set.
  EXPECT_EQ(cookies, "seen=1; sid=abc; uid=7");

  shell_.AddCallbackEntry(cookies, "");
  // Sent, then merged with the answer: a new cookie added, a deleted one gone.
  EXPECT_EQ(cookies, "added=1; seen=1; sid=abc");
}

TEST_F(WebServiceTest, EveryShortenerFindsItsShortLink) {
  EXPECT_EQ(shell_.ShortenUrl1(kLongUrl), "http://s1.test/One1");
  EXPECT_EQ(shell_.ShortenUrl2(kLongUrl), "http://s2.test/Two2");
  EXPECT_EQ(shell_.ShortenUrl3(kLongUrl), "http://s3.test/Thr3");
  EXPECT_EQ(shell_.ShortenUrl4(kLongUrl), "http://r1.test/F1");
  EXPECT_EQ(shell_.ShortenUrl5(kLongUrl), "http://r2.test/S2");
  EXPECT_EQ(shell_.ShortenUrl6(kLongUrl), "http://r3.test/T3");
  EXPECT_EQ(shell_.ShortenUrl7(kLongUrl), "http://s7.test/Sev7");
  // A URL the services do not accept gives no link (and never a bare prefix).
  EXPECT_EQ(shell_.ShortenUrl1("http://other.example/"), "");
  EXPECT_EQ(shell_.ShortenUrl3("http://other.example/"), "");
}

TEST_F(WebServiceTest, RandomPhraseIsTheOneWithText) {
  for (int i = 0; i < 5; ++i) EXPECT_EQ(shell_.FetchRandomPhrase(), "a velmora phrase");
}

}  // namespace
