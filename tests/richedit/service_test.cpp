// The running service, spoken to over real sockets by a Winsock client in the same process (the
// service's threads serve it; deliveries reach elements through this thread's message queue).
#include "tests/richedit/test_client.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/richedit/content_element.h"
#include "tests/window/foreign_sender.h"
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
                                       std::string_view extraHeaders = kEditorPageMark) {
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
    connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + host_ + "\r\n" + kEditorPageMark + name + ":" +
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
  connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + host_ + "\r\n" + kEditorPageMark +
                  "Content-Length: " + std::to_string(body.size() + 100) + "\r\n\r\n" + body);
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

TEST_F(RichEditServiceTest, PostsFromAnythingButTheEditorPageAreIgnored) {
  ContentElement element;
  std::string body = std::to_string(element.objectId) + "|<b>cross-site</b>";
  const std::string mark = kEditorPageMark;
  const std::string ownPage = "http://" + host_ + "/web/default";
  // What another site's page can make a browser send: a form post (older browsers send no Origin
  // with it), or a script's post marked as the editor page's but from its own origin or page.
  const std::vector<std::string> foreign = {
      "",
      "Referer: http://evil.example/form.html\r\n",
      "Origin: http://evil.example\r\nReferer: http://evil.example/form.html\r\n",
      mark + "Origin: http://evil.example\r\n",
      mark + "Origin: null\r\n",
      mark + "Referer: http://evil.example/\r\n",
      mark + "Origin: http://" + host_ + "\r\nReferer: http://evil.example/\r\n",
      "X-Requested-With: ShockwaveFlash\r\n",
  };
  for (const std::string& headers : foreign) {
    SCOPED_TRACE(headers);
    EXPECT_EQ(PostAndDeliver("/cmd/get/html", body, headers).bytes, "");
  }
  EXPECT_TRUE(element.received.empty());
  PostAndDeliver("/cmd/get/html", body, mark + "Origin: http://" + host_ + "\r\nReferer: " + ownPage + "\r\n");
  PostAndDeliver("/cmd/get/html", body, mark);  // an older browser's jQuery sends no Origin
  EXPECT_EQ(element.received.size(), 2u);
}

TEST_F(RichEditServiceTest, ForeignPostIsNotReadBeyondItsHead) {
  // A cross-site form post gets the connection closed at its head: the body is never waited for.
  ContentElement element;
  TestConnection connection(port_);
  connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + host_ +
                  "\r\nContent-Length: 1000\r\n\r\n" + std::to_string(element.objectId) + "|");
  TestConnection::Reply reply = connection.ReadToClose(3000);  // far below the idle allowance
  EXPECT_TRUE(reply.closed);
  EXPECT_EQ(reply.bytes, "");
  PumpPendingMessages();
  EXPECT_TRUE(element.received.empty());
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

TEST_F(RichEditServiceTest, JunkFromAnotherProgramToTheDeliveryWindowIsIgnored) {
  // The delivery window is found by its class name; another program sends it made-up numbers and
  // pointers, sent and posted.
  std::optional<DWORD> found = RunForeignSender("delivery");
  ASSERT_TRUE(found.has_value());
  EXPECT_GE(*found, 1u) << "no delivery window found";
  EXPECT_LT(*found, 100u) << "a message to the delivery window went unanswered";
  // Still delivering.
  ContentElement element;
  PostAndDeliver("/cmd/get/text", std::to_string(element.objectId) + "|after the junk");
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].text, L"after the junk");
}

// A server with a small delivery table, and this thread not dispatching while the posts arrive:
// as the GUI thread during an install, between its short pumps.
class RichEditDeliveryBoundsTest : public ::testing::Test {
 protected:
  static constexpr size_t kMaxPending = 4;
  static constexpr size_t kMaxPendingBytes = 2000;
  static void SetUpTestSuite() {
    RichEditServerOptions options;
    options.delivery = {kMaxPending, kMaxPendingBytes};
    server_ = RichEditServer::Start(options);
    ASSERT_NE(server_, nullptr);
  }
  // Posts and waits until the service has closed the connection (the content is queued or refused
  // by then); nothing is dispatched meanwhile.
  void Post(ObjectId target, const std::string& content) {
    uint16_t port = server_->Port();
    TestConnection::Reply reply = Exchange(
        port, PostRequest("/cmd/get/text", ServiceHost(port), std::to_string(target) + "|" + content));
    EXPECT_TRUE(reply.closed);
    EXPECT_EQ(reply.bytes, "");
  }
  static std::vector<std::wstring> Texts(const ContentElement& element) {
    std::vector<std::wstring> texts;
    for (const ContentElement::Content& content : element.received) texts.push_back(content.text);
    return texts;
  }
  static RichEditServer* server_;
};
RichEditServer* RichEditDeliveryBoundsTest::server_ = nullptr;

TEST_F(RichEditDeliveryBoundsTest, PostsBeyondTheRecordBoundAreDroppedUntilTheThreadCatchesUp) {
  ContentElement element;
  for (int i = 0; i < 10; ++i) Post(element.objectId, "first " + std::to_string(i));
  PumpPendingMessages();
  EXPECT_EQ(Texts(element),
            (std::vector<std::wstring>{L"first 0", L"first 1", L"first 2", L"first 3"}));
  // Dispatched, the table is empty again: the next posts are taken.
  for (int i = 0; i < 10; ++i) Post(element.objectId, "second " + std::to_string(i));
  PumpPendingMessages();
  ASSERT_EQ(element.received.size(), 2 * kMaxPending);
  EXPECT_EQ(element.received[kMaxPending].text, L"second 0");
}

TEST_F(RichEditDeliveryBoundsTest, PostsBeyondTheByteBoundAreDropped) {
  ContentElement element;
  // 400 characters are 800 bytes of UTF-16: two fit in 2000 bytes, a third does not.
  for (char letter : {'a', 'b', 'c'}) Post(element.objectId, std::string(400, letter));
  Post(element.objectId, "small");  // fits beside the two
  PumpPendingMessages();
  EXPECT_EQ(Texts(element), (std::vector<std::wstring>{std::wstring(400, L'a'), std::wstring(400, L'b'), L"small"}));

  // One content larger than the whole bound is refused even with the table empty, and from its
  // declared length, before its body is read.
  element.received.clear();
  Post(element.objectId, std::string(1100, 'x'));
  Post(element.objectId, std::string(900, 'y'));
  PumpPendingMessages();
  EXPECT_EQ(Texts(element), (std::vector<std::wstring>{std::wstring(900, L'y')}));
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
    connection.Send("POST /cmd/get/html HTTP/1.1\r\nHost: " + ServiceHost(port) + "\r\n" +
                    kEditorPageMark + "Content-Length: " + length + "\r\n\r\n" +
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
