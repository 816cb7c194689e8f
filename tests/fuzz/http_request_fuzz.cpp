// The rich-edit service's request reader fed mutated requests in every split: the whole input at
// once, then for every cut point the two pieces on either side of it, then one byte at a time. The
// reader's answer may not depend on how the bytes arrived. Whatever it reads stays within its
// bounds, and the request checks (service address, Host and POST headers) run on what it read.
#include <string>

#include "tests/fuzz/fuzz_driver.h"
#include "toolkit/richedit/http_request_reader.h"
#include "toolkit/richedit/service_address.h"

namespace {

using State = HttpRequestReader::State;

struct Reading {
  State state;
  State afterClose;
  std::string path;
  bool post;
  RequestSource source;
  size_t declared;
  std::string body;
  std::string bodyAfterClose;

  bool operator==(const Reading& o) const {
    return state == o.state && afterClose == o.afterClose && path == o.path && post == o.post &&
           source.host == o.source.host && source.origin == o.source.origin && source.referer == o.source.referer &&
           source.requestedWith == o.source.requestedWith && declared == o.declared && body == o.body &&
           bodyAfterClose == o.bodyAfterClose;
  }
};

Reading Finish(HttpRequestReader& reader, State last) {
  FUZZ_CHECK(last == reader.CurrentState());
  Reading r{reader.CurrentState(), reader.CurrentState(), reader.Path(), reader.IsPost(), reader.Source(),
            reader.DeclaredBodyLength(), reader.Body(), {}};
  FUZZ_CHECK(r.declared <= HttpRequestReader::kMaxBodyBytes);
  FUZZ_CHECK(r.body.size() <= r.declared);
  if (r.state != State::Body) FUZZ_CHECK(r.state != State::Complete || !r.post || r.body.size() == r.declared);
  reader.PeerClosed();
  r.afterClose = reader.CurrentState();
  r.bodyAfterClose = reader.Body();
  if (r.state == State::Refused) FUZZ_CHECK(r.afterClose == State::Refused);
  if (r.state == State::Complete) FUZZ_CHECK(r.afterClose == State::Complete && r.bodyAfterClose == r.body);
  FUZZ_CHECK(reader.Append("GET / HTTP/1.1\r\n\r\n") == r.afterClose);  // nothing more is read
  return r;
}

Reading ReadInPieces(std::string_view bytes, size_t cut) {
  HttpRequestReader reader;
  State last = reader.Append(bytes.substr(0, cut));
  if (cut < bytes.size()) last = reader.Append(bytes.substr(cut));
  return Finish(reader, last);
}

void Run(std::span<const uint8_t> input) {
  const std::string_view bytes = TextOf(input);
  const Reading whole = ReadInPieces(bytes, bytes.size());
  for (size_t cut = 0; cut < bytes.size(); ++cut) FUZZ_CHECK(ReadInPieces(bytes, cut) == whole);
  HttpRequestReader reader;
  State last = reader.CurrentState();
  for (char c : bytes) last = reader.Append(std::string_view(&c, 1));
  FUZZ_CHECK(Finish(reader, last) == whole);
  // What the service decides with it.
  for (uint16_t port : {uint16_t(80), uint16_t(49152)}) {
    const bool allowed = IsRequestAllowed(whole.source, whole.post, port);
    if (allowed) FUZZ_CHECK(whole.source.host && IsLoopbackHost(*whole.source.host));
    if (allowed && whole.post) FUZZ_CHECK(whole.source.requestedWith.has_value());
  }
  if (auto line = ParseHeaderLine(bytes)) {
    FUZZ_CHECK(line->name.size() + line->value.size() < bytes.size());
  }
  if (auto length = ParseContentLength(bytes, 1 << 20)) FUZZ_CHECK(*length <= (1u << 20));
}

}  // namespace

const FuzzTarget& TheFuzzTarget() {
  static const FuzzTarget target{"http_request", Run, 600,
                                 {"\r\n", "\r\n\r\n", "POST ", "GET ", " HTTP/1.1", "Host: ", "127.0.0.1", "localhost",
                                  "Content-Length: ", "X-Requested-With: XMLHttpRequest", "Origin: ", "Referer: ",
                                  "http://127.0.0.1:", ":", "99999999999999999999", "0", "\n"}};
  return target;
}
