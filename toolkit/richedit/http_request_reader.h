// Reads one HTTP/1.1 request of the rich-edit service from the bytes a connection delivers, in
// whatever pieces they arrive. No sockets here: the caller feeds what recv gave it and asks whether
// the request is complete.
//
// States, in order: the request line (up to the first CR LF), the header block (up to CR LF CR LF)
// and, for a POST, the body (as many bytes as Content-Length declares). A request that is not a
// POST is complete after its headers; they are read for every request because the Host header
// decides whether the service answers at all (and, for a POST, X-Requested-With, Origin and
// Referer whether it takes the content).
//
// Hostile or broken clients are refused instead of buffered without end: a request line plus
// headers longer than kMaxHeadBytes, or a declared body longer than kMaxBodyBytes (refused as soon
// as the header says so, before a byte of it is stored).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/richedit/service_address.h"

class HttpRequestReader {
 public:
  static constexpr size_t kMaxHeadBytes = 32 * 1024;
  static constexpr size_t kMaxBodyBytes = 16 * 1024 * 1024;

  enum class State { RequestLine = 1, Headers = 2, Body = 3, Complete, Refused };

  // Adds bytes that arrived and advances as far as they allow; answers the state after them.
  // Once Complete or Refused, further bytes are ignored.
  State Append(std::string_view bytes);
  // The peer closed its side: what has been read so far is the request (a POST whose body is cut
  // short keeps the bytes that came). A refused request stays refused.
  void PeerClosed();

  State CurrentState() const { return state_; }
  bool IsComplete() const { return state_ == State::Complete; }
  // Text between the request line's first and second space; a query string stays part of it.
  const std::string& Path() const { return path_; }
  // The request line starts with "POST".
  bool IsPost() const { return post_; }
  // Values of the Host, Origin, Referer and X-Requested-With headers, when the header block had
  // them (the first of each name counts).
  const RequestSource& Source() const { return source_; }
  // Declared by Content-Length (0 when absent).
  size_t DeclaredBodyLength() const { return declaredLength_; }
  // At most DeclaredBodyLength() bytes; bytes after the declared body are not part of it.
  const std::string& Body() const { return body_; }

 private:
  void Advance();
  bool TakeRequestLine();
  bool TakeHeaders();
  void TakeBody();
  void Refuse();

  State state_ = State::RequestLine;
  std::string head_;       // request line and headers as they arrive (bounded by kMaxHeadBytes)
  size_t searchFrom_ = 0;  // where the next search for a line or head end starts in head_
  std::string path_;
  bool post_ = false;
  RequestSource source_;
  size_t declaredLength_ = 0;
  std::string body_;
};

// What a header line says. Names compare case-insensitively; the value has the blanks around it
// removed. Answers nothing for a line without a colon.
struct HttpHeaderLine {
  std::string_view name;
  std::string_view value;
};
std::optional<HttpHeaderLine> ParseHeaderLine(std::string_view line);
bool HeaderNameIs(std::string_view name, std::string_view lowerCaseName);

// Content-Length as a number: decimal digits only (blanks already removed), nothing when the text
// is not a number or the number exceeds `limit`.
std::optional<size_t> ParseContentLength(std::string_view value, size_t limit);
