// The running service, spoken to over real sockets by a Winsock client in the same process (the
// service's threads serve it; deliveries reach elements through this thread's message queue).
#include "tests/toolkit/richedit/test_client.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/richedit/content_element.h"
#include "toolkit/richedit/richedit_content.h"
#include "toolkit/richedit/richedit_server.h"
#include "toolkit/richedit/richedit_service.h"
#include "toolkit/richedit/service_address.h"

namespace {

std::string ExpectedResponse(std::string_view contentType, std::string_view body) {
  return "HTTP/1.1 200 OK\r\nServer:DoDA RichEdit HTTP Server\r\nContent-Length:" +
         std::to_string(body.size()) + "\r\nContent-Type:" + std::string(contentType) + "\r\n\r\n" +
         std::string(body);
}

// One request on a fresh connection; the reply the service gave before closing it.
TestConnection::Reply Exchange(uint16_t port, const std::string& request) {
  TestConnection connection(port);
  EXPECT_TRUE(connection.IsOpen());
  EXPECT_TRUE(connection.Send(request));
  return connection.ReadToClose();
}

// The process-wide service, started the way toolkit start-up starts it.
class RichEditServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(StartRichEditService()); }
  void SetUp() override {
    port_ = RichEditServicePort();
    host_ = ServiceHost(port_);
  }
  // Posts `body` to `path` and waits for the service to close the connection; the deliveries it
  // queued have then reached their elements.
  TestConnection::Reply PostAndDeliver(std::string_view path, std::string_view body,
                                       std::string_view extraHeaders = {}) {
    TestConnection::Reply reply = Exchange(port_, PostRequest(path, host_, body, extraHeaders));
    EXPECT_TRUE(reply.closed);
    PumpPendingMessages();
    return reply;
  }

  uint16_t port_ = 0;
  std::string host_;
};

TEST_F(RichEditServiceTest, ListensOnARandomPortInTheRangeOnce) {
  EXPECT_GE(port_, kFirstServicePort);
  EXPECT_LE(port_, kLastServicePort);
  EXPECT_TRUE(StartRichEditService());
  EXPECT_EQ(RichEditServicePort(), port_);
  TestConnection connection(port_);
  EXPECT_TRUE(connection.IsOpen());
}

TEST_F(RichEditServiceTest, ServesTheThreeWebPathsByteForByte) {
  struct Case {
    const char* path;
    std::string_view type;
    std::string_view body;
  };
  const std::vector<Case> cases = {
      {"/web/default", "text/html", EditorPage()},
      {"/web/jquery", "text/javascript", MinifiedJQuery()},
      {"/web/richeditclient", "text/javascript", RichEditClientScript()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    TestConnection::Reply reply = Exchange(port_, GetRequest(c.path, host_));
    EXPECT_TRUE(reply.closed);
    EXPECT_EQ(reply.bytes, ExpectedResponse(c.type, c.body));
  }
  const std::string head =
      "HTTP/1.1 200 OK\r\nServer:DoDA RichEdit HTTP Server\r\nContent-Length:287\r\n"
      "Content-Type:text/html\r\n\r\n";
  EXPECT_EQ(Exchange(port_, GetRequest("/web/default", host_)).bytes.substr(0, head.size()), head);
}

TEST_F(RichEditServiceTest, AnswersAnyMethodButPostOnTheWebPaths) {
  std::string request = "HEAD /web/richeditclient HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n";
  EXPECT_EQ(Exchange(port_, request).bytes,
            ExpectedResponse("text/javascript", RichEditClientScript()));
}

TEST_F(RichEditServiceTest, OtherRequestsGetNoResponseAtAll) {
  const std::vector<std::string> requests = {
      GetRequest("/web/jquery?v=1.8.2", host_),
      GetRequest("/web/Default", host_),
      GetRequest("/", host_),
      GetRequest("/cmd/get/html", host_),
      PostRequest("/web/default", host_, ""),
      "BREW\r\n\r\n",
  };
  for (const std::string& request : requests) {
    SCOPED_TRACE(request);
    TestConnection::Reply reply = Exchange(port_, request);
    EXPECT_TRUE(reply.closed);
    EXPECT_EQ(reply.bytes, "");
  }
}

TEST_F(RichEditServiceTest, PostedHtmlReachesTheLiveElementOnThisThread) {
  ContentElement element;
  ContentElement bystander;
  // "<p>富文本</p>" in UTF-8, as a browser sends it.
  std::string body =
      std::to_string(element.objectId) + "|<p>\xe5\xaf\x8c\xe6\x96\x87\xe6\x9c\xac</p>";
  TestConnection::Reply reply = PostAndDeliver("/cmd/get/html", body);
  EXPECT_EQ(reply.bytes, "");
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].kind, kRichEditHtml);
  EXPECT_EQ(element.received[0].text, L"<p>\u5bcc\u6587\u672c</p>");
  EXPECT_EQ(element.received[0].threadId, GetCurrentThreadId());
  EXPECT_TRUE(bystander.received.empty());
}

TEST_F(RichEditServiceTest, PostedTextArrivesAsKindTwo) {
  ContentElement element;
  PostAndDeliver("/cmd/get/text", std::to_string(element.objectId) + "|plain | text");
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].kind, kRichEditText);
  EXPECT_EQ(element.received[0].text, L"plain | text");
}

TEST_F(RichEditServiceTest, ContentThatIsNotAnElementIsDeliveredNowhere) {
  ContentElement element;
  ContentElement unplaced(/*inRegistry=*/false);
  ContentElement removed;
  ObjectId removedId = removed.Remove();
  const std::vector<std::string> bodies = {
      std::to_string(element.objectId + 1000) + "|<b>nobody</b>",  // no such element
      "0|<b>zero</b>",
      "-1|<b>a window id</b>",
      std::to_string(unplaced.objectId) + "|<b>not in the registry</b>",
      std::to_string(removedId) + "|<b>removed</b>",
      "<b>no bar</b>",
      std::to_string(element.objectId) + "x|<b>not a number</b>",
  };
  for (const std::string& body : bodies) {
    SCOPED_TRACE(body);
    TestConnection::Reply reply = PostAndDeliver("/cmd/get/html", body);
    EXPECT_EQ(reply.bytes, "");
  }
  EXPECT_TRUE(element.received.empty());
  EXPECT_TRUE(unplaced.received.empty());
  EXPECT_TRUE(removed.received.empty());
}

TEST_F(RichEditServiceTest, ElementRemovedBeforeTheDeliveryArrivesHearsNothing) {
  ContentElement element;
  TestConnection::Reply reply = Exchange(
      port_, PostRequest("/cmd/get/html", host_, std::to_string(element.objectId) + "|late"));
  ASSERT_TRUE(reply.closed);  // the delivery is queued to this thread by now
  element.Remove();
  PumpPendingMessages();
  EXPECT_TRUE(element.received.empty());
}

TEST_F(RichEditServiceTest, ContentLengthInAnyLetterCaseWithTheBodyInLaterPieces) {
  for (const char* name :
       {"content-length", "CONTENT-LENGTH", "Content-length", "cOnTeNt-LeNgTh"}) {
    SCOPED_TRACE(name);
    ContentElement element;
    std::string body = std::to_string(element.objectId) + "|<i>piecewise</i>";
    TestConnection connection(port_);
    connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + host_ + "\r\n" + name + ":" +
                    std::to_string(body.size()) + "\r\n\r\n");
    Sleep(50);
    connection.Send(body.substr(0, 5));
    Sleep(50);
    connection.Send(body.substr(5));
    EXPECT_TRUE(connection.ReadToClose().closed);
    PumpPendingMessages();
    ASSERT_EQ(element.received.size(), 1u);
    EXPECT_EQ(element.received[0].text, L"<i>piecewise</i>");
  }
}

TEST_F(RichEditServiceTest, BodyLargerThanTheReceiveBufferArrivesWhole) {
  ContentElement element;
  std::string content(250000, 'x');
  for (size_t i = 0; i < content.size(); i += 1000)
    content[i] = static_cast<char>('a' + i / 1000 % 26);
  PostAndDeliver("/cmd/get/text", std::to_string(element.objectId) + "|" + content);
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].text, std::wstring(content.begin(), content.end()));
}

TEST_F(RichEditServiceTest, ContentEndsAtItsFirstNulByte) {
  ContentElement element;
  PostAndDeliver("/cmd/get/text",
                 std::to_string(element.objectId) + std::string("|before\0after", 13));
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].text, L"before");
}

TEST_F(RichEditServiceTest, PostCutShortByThePeerDeliversWhatCame) {
  ContentElement element;
  std::string body = std::to_string(element.objectId) + "|<p>first half";
  TestConnection connection(port_);
  connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + host_ +
                  "\r\nContent-Length: " + std::to_string(body.size() + 100) + "\r\n\r\n" + body);
  connection.CloseSending();
  EXPECT_TRUE(connection.ReadToClose().closed);
  PumpPendingMessages();
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].text, L"<p>first half");
}

TEST_F(RichEditServiceTest, ForeignHostNamesGetNothing) {
  // A page on another site that re-points its own host name at the service address sends its
  // own name in Host; the service must not serve it its files or take its content.
  const std::vector<std::string> foreign = {"evil.example:" + std::to_string(port_), "evil.example",
                                            "127.89.64.254.evil.example", ""};
  for (const std::string& host : foreign) {
    SCOPED_TRACE(host);
    TestConnection::Reply reply = Exchange(port_, GetRequest("/web/default", host));
    EXPECT_TRUE(reply.closed);
    EXPECT_EQ(reply.bytes, "");
  }
  ContentElement element;
  std::string body = std::to_string(element.objectId) + "|<b>injected</b>";
  Exchange(port_, PostRequest("/cmd/get/html", "evil.example:" + std::to_string(port_), body));
  PumpPendingMessages();
  EXPECT_TRUE(element.received.empty());

  for (const std::string& host : {host_, "localhost:" + std::to_string(port_),
                                  std::string("127.0.0.1"), "[::1]:" + std::to_string(port_)}) {
    SCOPED_TRACE(host);
    EXPECT_EQ(Exchange(port_, GetRequest("/web/default", host)).bytes,
              ExpectedResponse("text/html", EditorPage()));
  }
}

TEST_F(RichEditServiceTest, PostsFromAnotherSitesPageAreIgnored) {
  ContentElement element;
  std::string body = std::to_string(element.objectId) + "|<b>cross-site</b>";
  PostAndDeliver("/cmd/get/html", body, "Origin: http://evil.example\r\n");
  PostAndDeliver("/cmd/get/html", body, "Origin: null\r\n");
  EXPECT_TRUE(element.received.empty());
  PostAndDeliver("/cmd/get/html", body, "Origin: http://" + host_ + "\r\n");
  EXPECT_EQ(element.received.size(), 1u);
}

TEST_F(RichEditServiceTest, TwoClientsAtOnceAreServedOneAfterTheOther) {
  TestConnection first(port_);
  TestConnection second(port_);
  ASSERT_TRUE(first.IsOpen());
  ASSERT_TRUE(second.IsOpen());
  // The second asks at once, but the service is still waiting for the first one's request.
  second.Send(GetRequest("/web/richeditclient", host_));
  EXPECT_FALSE(second.Readable(700));
  first.Send(GetRequest("/web/default", host_));
  TestConnection::Reply firstReply = first.ReadToClose();
  TestConnection::Reply secondReply = second.ReadToClose();
  EXPECT_EQ(firstReply.bytes, ExpectedResponse("text/html", EditorPage()));
  EXPECT_EQ(secondReply.bytes, ExpectedResponse("text/javascript", RichEditClientScript()));
}

TEST_F(RichEditServiceTest, IdleConnectionDoesNotSpinTheProcessor) {
  TestConnection idle(port_);
  ASSERT_TRUE(idle.IsOpen());
  Sleep(100);  // the service has accepted it and waits for its request
  FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernelBefore, &userBefore);
  Sleep(1500);
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernelAfter, &userAfter);
  auto ticks = [](FILETIME t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  uint64_t used100ns =
      ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
  // A reader polling without waiting would use the whole 1.5 s of one core.
  EXPECT_LT(used100ns / 10000, 300u) << "milliseconds of processor time while one client idled";
  idle.Send(GetRequest("/web/richeditclient", host_));
  EXPECT_EQ(idle.ReadToClose().bytes, ExpectedResponse("text/javascript", RichEditClientScript()));
}

// A second server with short allowances, so that giving up on quiet and slow clients shows quickly.
class RichEditTimeoutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = RichEditServer::Start({/*idleTimeoutMs=*/300, /*requestTimeoutMs=*/1500});
    ASSERT_NE(server_, nullptr);
  }
  static RichEditServer* server_;
};
RichEditServer* RichEditTimeoutTest::server_ = nullptr;

TEST_F(RichEditTimeoutTest, ConnectionThatSendsNothingIsClosedAndTheNextIsServed) {
  uint16_t port = server_->Port();
  TestConnection silent(port);
  TestConnection waiting(port);
  waiting.Send(GetRequest("/web/default", ServiceHost(port)));
  TestConnection::Reply silentReply = silent.ReadToClose(5000);
  EXPECT_TRUE(silentReply.closed);
  EXPECT_EQ(silentReply.bytes, "");
  EXPECT_EQ(waiting.ReadToClose(5000).bytes, ExpectedResponse("text/html", EditorPage()));
}

TEST_F(RichEditTimeoutTest, TricklingClientIsCutOffByTheWholeRequestAllowance) {
  uint16_t port = server_->Port();
  TestConnection trickler(port);
  trickler.Send("GET /web/default HTTP/1.1\r\nHost: " + ServiceHost(port) + "\r\nX-Slow: ");
  bool closed = false;
  // One byte every 100 ms keeps the idle allowance alive but never finishes the head.
  for (int i = 0; i < 60 && !closed; ++i) {
    trickler.Send("a");
    closed = trickler.Readable(100);
  }
  EXPECT_TRUE(closed);
  TestConnection::Reply reply = trickler.ReadToClose(1000);
  EXPECT_TRUE(reply.closed);
  EXPECT_EQ(reply.bytes, "");
}

// A server that waits long for quiet clients: what it closes quickly it closed on purpose.
class RichEditLimitsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = RichEditServer::Start({/*idleTimeoutMs=*/120000, /*requestTimeoutMs=*/300000});
    ASSERT_NE(server_, nullptr);
  }
  static RichEditServer* server_;
};
RichEditServer* RichEditLimitsTest::server_ = nullptr;

TEST_F(RichEditLimitsTest, DeclaredBodyBeyondTheBoundIsRefusedAtOnce) {
  uint16_t port = server_->Port();
  ContentElement element;
  for (const char* length : {"1073741824", "16777217", "99999999999999999999999"}) {
    SCOPED_TRACE(length);
    TestConnection connection(port);
    connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + ServiceHost(port) +
                    "\r\nContent-Length: " + length + "\r\n\r\n" +
                    std::to_string(element.objectId) + "|<b>start of a huge body</b>");
    TestConnection::Reply reply = connection.ReadToClose(20000);
    EXPECT_TRUE(reply.closed);
    EXPECT_EQ(reply.bytes, "");
  }
  PumpPendingMessages();
  EXPECT_TRUE(element.received.empty());
}

TEST_F(RichEditLimitsTest, HeadThatNeverEndsIsRefused) {
  uint16_t port = server_->Port();
  TestConnection connection(port);
  connection.Send("GET /web/default HTTP/1.1\r\nHost: " + ServiceHost(port) + "\r\n");
  std::string filler;
  for (int i = 0; i < 4000; ++i) filler += "X-Filler: 0123456789\r\n";
  connection.Send(filler);  // 88,000 bytes of headers and still no end
  TestConnection::Reply reply = connection.ReadToClose(20000);
  EXPECT_TRUE(reply.closed);
  EXPECT_EQ(reply.bytes, "");
}

}  // namespace
