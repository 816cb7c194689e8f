// The request reader and the connection clock: pure code, fed bytes and ticks directly.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/richedit/connection_timing.h"
#include "toolkit/richedit/http_request_reader.h"

namespace {

using State = HttpRequestReader::State;

// Feeds `request` in pieces of `pieceSize` bytes and answers the reader.
HttpRequestReader ReadInPieces(const std::string& request, size_t pieceSize) {
  HttpRequestReader reader;
  for (size_t at = 0; at < request.size(); at += pieceSize) {
    reader.Append(std::string_view(request).substr(at, pieceSize));
  }
  return reader;
}

TEST(RequestReader, GetIsCompleteAfterItsHeadersWhateverThePieces) {
  const std::string request =
      "GET /web/default HTTP/1.1\r\nHost: 127.89.64.254:50001\r\nAccept: */*\r\n\r\n";
  for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, request.size()}) {
    SCOPED_TRACE(piece);
    HttpRequestReader reader = ReadInPieces(request, piece);
    EXPECT_EQ(reader.CurrentState(), State::Complete);
    EXPECT_EQ(reader.Path(), "/web/default");
    EXPECT_FALSE(reader.IsPost());
    ASSERT_TRUE(reader.Source().host.has_value());
    EXPECT_EQ(*reader.Source().host, "127.89.64.254:50001");
    EXPECT_FALSE(reader.Source().origin.has_value());
  }
}

TEST(RequestReader, WaitsForTheEndOfTheHeadersOfAGet) {
  HttpRequestReader reader;
  EXPECT_EQ(reader.Append("GET /web/jquery HTTP/1.1\r"), State::RequestLine);
  EXPECT_EQ(reader.Append("\nHost: localhost\r\n"), State::Headers);
  EXPECT_EQ(reader.Path(), "/web/jquery");
  EXPECT_EQ(reader.Append("\r"), State::Headers);
  EXPECT_EQ(reader.Append("\n"), State::Complete);
}

TEST(RequestReader, PathIsTheTextBetweenTheFirstTwoSpaces) {
  struct Case {
    const char* line;
    const char* path;
    bool post;
  };
  const std::vector<Case> cases = {
      {"GET /web/jquery?v=2 HTTP/1.1", "/web/jquery?v=2", false},
      {"POST /cmd/get/html HTTP/1.1", "/cmd/get/html", true},
      {"HEAD /web/Default HTTP/1.0", "/web/Default", false},
      {"GET /web/default", "/web/default", false},  // no version: the path runs to the line end
      {"GET", "", false},
      {"post /cmd/get/html HTTP/1.1", "/cmd/get/html", false},  // the method is case-sensitive
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    HttpRequestReader reader;
    reader.Append(std::string(c.line) + "\r\n");
    EXPECT_EQ(reader.Path(), c.path);
    EXPECT_EQ(reader.IsPost(), c.post);
  }
}

TEST(RequestReader, RequestWithoutHeadersEndsAtItsRequestLine) {
  HttpRequestReader reader;
  EXPECT_EQ(reader.Append("GET /web/default HTTP/1.0\r\n\r\n"), State::Complete);
  EXPECT_EQ(reader.Path(), "/web/default");
  EXPECT_FALSE(reader.Source().host.has_value());
}

TEST(RequestReader, PostBodyArrivesInLaterPieces) {
  HttpRequestReader reader;
  EXPECT_EQ(reader.Append("POST /cmd/get/html HTTP/1.1\r\nHost: localhost\r\n"
                          "Content-Length: 10\r\n\r\n5|<b>"),
            State::Body);
  EXPECT_EQ(reader.DeclaredBodyLength(), 10u);
  EXPECT_EQ(reader.Append("x</b"), State::Body);
  EXPECT_EQ(reader.Append(">"), State::Complete);
  EXPECT_EQ(reader.Body(), "5|<b>x</b>");
}

TEST(RequestReader, ContentLengthInAnyLetterCase) {
  for (const char* name :
       {"Content-Length", "content-length", "CONTENT-LENGTH", "cOnTeNt-LeNgTh"}) {
    SCOPED_TRACE(name);
    HttpRequestReader reader;
    reader.Append(std::string("POST /cmd/get/text HTTP/1.1\r\n") + name + ":   5\r\n\r\n");
    EXPECT_EQ(reader.CurrentState(), State::Body);
    EXPECT_EQ(reader.Append("7|abc"), State::Complete);
    EXPECT_EQ(reader.Body(), "7|abc");
  }
}

TEST(RequestReader, BytesAfterTheDeclaredBodyAreNotPartOfIt) {
  HttpRequestReader reader;
  reader.Append("POST /cmd/get/text HTTP/1.1\r\nContent-Length: 3\r\n\r\nabcGET / HTTP/1.1\r\n");
  EXPECT_EQ(reader.CurrentState(), State::Complete);
  EXPECT_EQ(reader.Body(), "abc");
  EXPECT_EQ(reader.Append("more"), State::Complete);
  EXPECT_EQ(reader.Body(), "abc");
}

TEST(RequestReader, PostWithoutContentLengthHasAnEmptyBody) {
  HttpRequestReader reader;
  EXPECT_EQ(reader.Append("POST /cmd/get/html HTTP/1.1\r\nHost: localhost\r\n\r\n"),
            State::Complete);
  EXPECT_EQ(reader.Body(), "");
}

TEST(RequestReader, ContentLengthOnlyFromAHeaderOfThatName) {
  // Another header's value mentioning the name does not declare a body.
  HttpRequestReader reader;
  reader.Append("POST /cmd/get/html HTTP/1.1\r\nX-Note: content-length: 99\r\n\r\n");
  EXPECT_EQ(reader.CurrentState(), State::Complete);
  EXPECT_EQ(reader.DeclaredBodyLength(), 0u);
}

TEST(RequestReader, PeerClosingEarlyKeepsWhatCame) {
  HttpRequestReader post;
  post.Append("POST /cmd/get/html HTTP/1.1\r\nContent-Length: 100\r\n\r\n9|partial");
  post.PeerClosed();
  EXPECT_EQ(post.CurrentState(), State::Complete);
  EXPECT_EQ(post.Body(), "9|partial");

  HttpRequestReader line;
  line.Append("GET /web/defa");
  line.PeerClosed();
  EXPECT_EQ(line.CurrentState(), State::Complete);
  EXPECT_EQ(line.Path(), "");
}

TEST(RequestReader, RefusesADeclaredBodyBeyondTheBoundAtTheHeader) {
  const std::vector<std::string> lengths = {
      std::to_string(HttpRequestReader::kMaxBodyBytes + 1),
      "4294967296",
      "18446744073709551617",  // wraps to 1 in 64 bits
      "99999999999999999999999999999",
  };
  for (const std::string& length : lengths) {
    SCOPED_TRACE(length);
    HttpRequestReader reader;
    EXPECT_EQ(
        reader.Append("POST /cmd/get/html HTTP/1.1\r\nContent-Length: " + length + "\r\n\r\n"),
        State::Refused);
    EXPECT_EQ(reader.Append("1|abc"), State::Refused);
    EXPECT_EQ(reader.Body(), "");
    reader.PeerClosed();
    EXPECT_EQ(reader.CurrentState(), State::Refused);
  }
  HttpRequestReader atBound;
  atBound.Append("POST /cmd/get/html HTTP/1.1\r\nContent-Length: " +
                 std::to_string(HttpRequestReader::kMaxBodyBytes) + "\r\n\r\n");
  EXPECT_EQ(atBound.CurrentState(), State::Body);
}

TEST(RequestReader, RefusesAContentLengthThatIsNotANumber) {
  for (const char* value : {"", "-5", "12abc", "0x10", "1 2"}) {
    SCOPED_TRACE(value);
    HttpRequestReader reader;
    reader.Append(std::string("POST /cmd/get/html HTTP/1.1\r\nContent-Length: ") + value +
                  "\r\n\r\n");
    EXPECT_EQ(reader.CurrentState(), State::Refused);
  }
}

// A limit as large as the offset type: the length must be refused before it can wrap around to
// a small number (2^64 is 0 in a 64-bit size_t, 2^32 is 0 in the shipped program's 32-bit one).
TEST(ParseContentLength, NoNumberOfDigitsWrapsPastTheLimit) {
  constexpr size_t kMax = SIZE_MAX;
  EXPECT_EQ(ParseContentLength("18446744073709551615", kMax), std::optional<size_t>(kMax));
  for (const char* value : {"18446744073709551616", "18446744073709551625", "36893488147419103232",
                            "1000000000000000000000", "99999999999999999999"}) {
    EXPECT_EQ(ParseContentLength(value, kMax), std::nullopt) << value;
  }
  EXPECT_EQ(ParseContentLength("4294967296", 0xFFFFFFFFu), std::nullopt);
  EXPECT_EQ(ParseContentLength("4294967295", 0xFFFFFFFFu), std::optional<size_t>(0xFFFFFFFFu));
  EXPECT_EQ(ParseContentLength("16777216", HttpRequestReader::kMaxBodyBytes), std::optional<size_t>(16777216));
  EXPECT_EQ(ParseContentLength("16777217", HttpRequestReader::kMaxBodyBytes), std::nullopt);
  EXPECT_EQ(ParseContentLength("0007", 7), std::optional<size_t>(7));
  EXPECT_EQ(ParseContentLength("8", 7), std::nullopt);
  EXPECT_EQ(ParseContentLength("0", 0), std::optional<size_t>(0));
}

TEST(RequestReader, RefusesAHeadThatNeverEnds) {
  HttpRequestReader longLine;
  std::string line = "GET /" + std::string(HttpRequestReader::kMaxHeadBytes, 'a');
  EXPECT_EQ(longLine.Append(line), State::Refused);

  HttpRequestReader endlessHeaders;
  endlessHeaders.Append("GET /web/default HTTP/1.1\r\n");
  State state = State::Headers;
  for (int i = 0; i < 10000 && state == State::Headers; ++i) {
    state = endlessHeaders.Append("X-Filler: 0123456789\r\n");
  }
  EXPECT_EQ(state, State::Refused);
}

TEST(RequestReader, TrickledHeadIsFoundAcrossPieceBoundaries) {
  // CR LF CR LF split in every possible way across two pieces.
  const std::string request = "GET /web/richeditclient HTTP/1.1\r\nHost: localhost\r\n\r\n";
  for (size_t split = 1; split < request.size(); ++split) {
    SCOPED_TRACE(split);
    HttpRequestReader reader;
    reader.Append(request.substr(0, split));
    EXPECT_EQ(reader.Append(request.substr(split)), State::Complete);
    EXPECT_EQ(reader.Path(), "/web/richeditclient");
  }
}

TEST(RequestReader, FirstHeaderOfEachSourceNameCounts) {
  HttpRequestReader reader;
  reader.Append(
      "POST /cmd/get/html HTTP/1.1\r\nhost:  127.89.64.254:50000  \r\n"
      "ORIGIN: http://127.89.64.254:50000\r\nHost: evil.example\r\n"
      "referer: http://127.89.64.254:50000/web/default\r\nReferer: http://evil.example/\r\n"
      "X-REQUESTED-WITH: XMLHttpRequest\r\nX-Requested-With: other\r\n"
      "Origin: http://evil.example\r\n\r\n");
  const RequestSource& source = reader.Source();
  EXPECT_EQ(source.host, "127.89.64.254:50000");
  EXPECT_EQ(source.origin, "http://127.89.64.254:50000");
  EXPECT_EQ(source.referer, "http://127.89.64.254:50000/web/default");
  EXPECT_EQ(source.requestedWith, "XMLHttpRequest");
}

TEST(HeaderLine, SplitsAtTheFirstColonAndTrimsBlanks) {
  auto header = ParseHeaderLine("Host:\t127.89.64.254:50123 ");
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->name, "Host");
  EXPECT_EQ(header->value, "127.89.64.254:50123");
  EXPECT_FALSE(ParseHeaderLine("no colon here").has_value());
  EXPECT_TRUE(HeaderNameIs("Content-LENGTH", "content-length"));
  EXPECT_FALSE(HeaderNameIs("Content-Lengths", "content-length"));
}

TEST(ConnectionClock, IdleAllowanceRestartsWithEveryProgress) {
  ConnectionClock clock(1000, 300, 5000);
  EXPECT_EQ(clock.RemainingWait(1000), 300u);
  EXPECT_EQ(clock.RemainingWait(1200), 100u);
  EXPECT_EQ(clock.RemainingWait(1300), 0u);
  clock.NoteProgress(1250);
  EXPECT_EQ(clock.RemainingWait(1300), 250u);
}

TEST(ConnectionClock, WholeExchangeAllowanceCapsATricklingClient) {
  ConnectionClock clock(0, 300, 1000);
  for (uint32_t now = 100; now < 1000; now += 100) {
    clock.NoteProgress(now);
    EXPECT_EQ(clock.RemainingWait(now), std::min(300u, 1000u - now)) << now;
  }
  clock.NoteProgress(1000);
  EXPECT_EQ(clock.RemainingWait(1000), 0u);
}

TEST(ConnectionClock, SurvivesTheTickCounterWrappingAround) {
  ConnectionClock clock(0xFFFFFF00u, 0x200, 0x1000);
  EXPECT_EQ(clock.RemainingWait(0x00000010u), 0x200u - 0x110u);
  EXPECT_EQ(clock.RemainingWait(0x00000100u), 0u);
}

}  // namespace
