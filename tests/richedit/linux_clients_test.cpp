// The service as real Linux clients see it: curl, node's HTTP client and headless Chromium running
// the editor page, all talking to the service this Wine process runs on 127.89.64.254 (Wine's
// sockets are the machine's sockets). Deliveries reach elements on this thread while the test
// waits for the clients.
#include "tests/richedit/test_client.h"  // winsock2.h before windows.h

#include <gtest/gtest.h>

#include <string>

#include "tests/richedit/content_element.h"
#include "tests/richedit/unix_command.h"
#include "toolkit/richedit/richedit_content.h"
#include "toolkit/richedit/richedit_service.h"

namespace {

// curl's exit code for a connection closed with no response at all.
constexpr int kCurlEmptyReply = 52;

class LinuxClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(StartRichEditService()); }
  void SetUp() override {
    if (!RunningUnderWine()) GTEST_SKIP() << "Linux clients are reachable only under Wine";
    baseUrl_ = "http://127.89.64.254:" + std::to_string(RichEditServicePort());
  }
  UnixScriptResult Run(const std::string& script, uint32_t timeoutMs = 30000) {
    UnixScriptResult result = RunUnixScript(folder_, script, timeoutMs);
    EXPECT_TRUE(result.finished) << "still running: " << script;
    PumpPendingMessages();
    return result;
  }

  UnixScratchFolder folder_;
  std::string baseUrl_;
};

TEST_F(LinuxClientTest, CurlGetsTheEditorPageWithItsExactHead) {
  UnixScriptResult result =
      Run("curl -sS --max-time 20 -D head.txt -o page.html " + baseUrl_ + "/web/default");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(folder_.Read("head.txt").value_or(""),
            "HTTP/1.1 200 OK\r\nServer:DoDA RichEdit HTTP Server\r\nContent-Length:287\r\n"
            "Content-Type:text/html\r\n\r\n");
  EXPECT_EQ(folder_.Read("page.html").value_or(""), EditorPage());
}

TEST_F(LinuxClientTest, CurlGetsNoResponseForJQueryWithAQueryString) {
  UnixScriptResult result =
      Run("curl -sS --max-time 20 -o body " + baseUrl_ + "/web/jquery?v=1.8.2");
  EXPECT_EQ(result.exitCode, kCurlEmptyReply) << result.output;
  EXPECT_EQ(folder_.Read("body").value_or(""), "");
}

TEST_F(LinuxClientTest, CurlPostReachesOnlyALiveElementAndGetsNoResponse) {
  ContentElement element;
  UnixScriptResult toElement =
      Run("curl -sS --max-time 20 -H 'X-Requested-With: XMLHttpRequest' --data-binary '" +
          std::to_string(element.objectId) + "|<p>from <b>curl</b></p>' " + baseUrl_ + "/cmd/get/html");
  EXPECT_EQ(toElement.exitCode, kCurlEmptyReply) << toElement.output;
  ASSERT_EQ(element.received.size(), 1u);
  EXPECT_EQ(element.received[0].kind, 1);
  EXPECT_EQ(element.received[0].text, L"<p>from <b>curl</b></p>");

  UnixScriptResult toNobody =
      Run("curl -sS --max-time 20 -H 'X-Requested-With: XMLHttpRequest' --data-binary '" +
          std::to_string(element.objectId + 500) + "|<p>lost</p>' " + baseUrl_ + "/cmd/get/html");
  EXPECT_EQ(toNobody.exitCode, kCurlEmptyReply) << toNobody.output;
  EXPECT_EQ(element.received.size(), 1u);

  // Without the editor page's mark, as a form post sends it, the content goes nowhere.
  UnixScriptResult unmarked =
      Run("curl -sS --max-time 20 --data-binary '" + std::to_string(element.objectId) +
          "|<p>unmarked</p>' " + baseUrl_ + "/cmd/get/html");
  EXPECT_EQ(unmarked.exitCode, kCurlEmptyReply) << unmarked.output;
  EXPECT_EQ(element.received.size(), 1u);
}

TEST_F(LinuxClientTest, TwoCurlClientsAtOnceBothGetJQuery) {
  const std::string jquery = baseUrl_ + "/web/jquery";
  UnixScriptResult result = Run("curl -sS --max-time 20 -o one.js " + jquery + " & one=$!; " +
                                "curl -sS --max-time 20 -o two.js " + jquery + " & two=$!; " +
                                "wait $one && wait $two");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(folder_.Read("one.js").value_or(""), MinifiedJQuery());
  EXPECT_EQ(folder_.Read("two.js").value_or(""), MinifiedJQuery());
}

TEST_F(LinuxClientTest, NodeHttpClientReadsTheScriptWithAnyHeaderCase) {
  // node's parser lower-cases header names; the service's own spelling is checked by curl above.
  UnixScriptResult result =
      Run("node -e 'require(\"http\").get(process.argv[1], (r) => { let n = 0; "
          "r.on(\"data\", (c) => n += c.length); r.on(\"end\", () => console.log(r.statusCode, "
          "r.headers[\"content-type\"], r.headers[\"content-length\"], n)); })' " +
          baseUrl_ + "/web/richeditclient");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(result.output, "200 text/javascript 305 305\n");
}

TEST_F(LinuxClientTest, ChromiumRunsTheEditorPageAndPostsToTheElement) {
  ContentElement element;
  ContentElement bystander;
  // "<p>富文本 <b>bold</b> &amp; more</p>" as a JSON string the driver hands to the page.
  const std::string content = R"('"<p>\u5bcc\u6587\u672c <b>bold</b> &amp; more</p>"')";
  UnixScriptResult result =
      Run("node '" VM_RICHEDIT_TEST_SOURCE_DIR "/browser_drive.js' editor " + baseUrl_ + "/web/default " +
              std::to_string(element.objectId) + " " + content,
          90000);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_NE(result.output.find("jquery 1.8.2\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("contentEditable true\n"), std::string::npos) << result.output;
  ASSERT_EQ(element.received.size(), 2u) << result.output;
  EXPECT_EQ(element.received[0].kind, 1);
  EXPECT_EQ(element.received[0].text, L"<p>\u5bcc\u6587\u672c <b>bold</b> &amp; more</p>");
  EXPECT_EQ(element.received[1].kind, 2);
  EXPECT_EQ(element.received[1].text, L"\u5bcc\u6587\u672c bold & more");
  EXPECT_EQ(element.received[0].threadId, GetCurrentThreadId());
  EXPECT_TRUE(bystander.received.empty());
}

TEST_F(LinuxClientTest, ChromiumPageOfAnotherOriginCannotPostToTheElement) {
  ContentElement element;
  UnixScriptResult result =
      Run("node '" VM_RICHEDIT_TEST_SOURCE_DIR "/browser_drive.js' foreign " + baseUrl_ + " " +
              std::to_string(element.objectId),
          90000);
  ASSERT_EQ(result.exitCode, 0) << result.output;
  // Every attempt was made and ended (refused by the service or, for the marked one, by the
  // browser when its preflight got no answer).
  for (const char* attempt : {"plain fetch ", "marked fetch ", "form posted"}) {
    EXPECT_NE(result.output.find(attempt), std::string::npos) << attempt << "\n" << result.output;
  }
  EXPECT_TRUE(element.received.empty()) << result.output;
}

}  // namespace
