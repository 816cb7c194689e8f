#include "toolkit/richedit/http_request_reader.h"

#include <algorithm>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeadEnd = "\r\n\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// A header of the given name sets `field` unless an earlier one did.
void KeepFirst(std::string_view name, std::string_view value, std::string_view lowerCaseName,
               std::optional<std::string>& field) {
  if (!field && HeaderNameIs(name, lowerCaseName)) field = std::string(value);
}

}  // namespace

std::optional<HttpHeaderLine> ParseHeaderLine(std::string_view line) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return HttpHeaderLine{TrimBlanks(line.substr(0, colon)), TrimBlanks(line.substr(colon + 1))};
}

bool HeaderNameIs(std::string_view name, std::string_view lowerCaseName) {
  return name.size() == lowerCaseName.size() &&
         std::equal(name.begin(), name.end(), lowerCaseName.begin(),
                    [](char a, char b) { return AsciiLower(a) == b; });
}

std::optional<size_t> ParseContentLength(std::string_view value, size_t limit) {
  if (value.empty()) return std::nullopt;
  size_t length = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    const size_t digit = static_cast<size_t>(c - '0');
    // Checked before each step, so that no number of digits can wrap around to a small length:
    // with a 32-bit size_t ten digits would do.
    if (digit > limit || length > (limit - digit) / 10) return std::nullopt;
    length = length * 10 + digit;
  }
  return length;
}

HttpRequestReader::State HttpRequestReader::Append(std::string_view bytes) {
  switch (state_) {
    case State::RequestLine:
    case State::Headers:
      head_.append(bytes);
      break;
    case State::Body:
      body_.append(bytes);
      break;
    case State::Complete:
    case State::Refused:
      return state_;
  }
  Advance();
  return state_;
}

void HttpRequestReader::PeerClosed() {
  if (state_ != State::Refused) state_ = State::Complete;
}

void HttpRequestReader::Advance() {
  if (state_ == State::RequestLine && !TakeRequestLine()) return;
  if (state_ == State::Headers && !TakeHeaders()) return;
  if (state_ == State::Body) TakeBody();
}

bool HttpRequestReader::TakeRequestLine() {
  size_t end = head_.find(kLineEnd, searchFrom_);
  if (end == std::string::npos) {
    if (head_.size() > kMaxHeadBytes) Refuse();
    // A CR may be waiting for its LF in the next piece.
    searchFrom_ = head_.size() - std::min<size_t>(head_.size(), kLineEnd.size() - 1);
    return false;
  }
  std::string_view line(head_.data(), end);
  post_ = line.substr(0, 4) == "POST";
  size_t firstSpace = line.find(' ');
  if (firstSpace != std::string_view::npos) {
    std::string_view rest = line.substr(firstSpace + 1);
    path_ = std::string(rest.substr(0, rest.find(' ')));
  }
  searchFrom_ = end;
  state_ = State::Headers;
  return true;
}

bool HttpRequestReader::TakeHeaders() {
  // Searched from the request line's own CR LF: a request without headers ends with it.
  size_t end = head_.find(kHeadEnd, searchFrom_);
  if (end == std::string::npos || end > kMaxHeadBytes) {
    if (head_.size() > kMaxHeadBytes) Refuse();
    size_t keep = std::min<size_t>(head_.size(), kHeadEnd.size() - 1);
    searchFrom_ = std::max(searchFrom_, head_.size() - keep);
    return false;
  }
  std::string_view block(head_.data(), end);
  size_t lineStart = block.find(kLineEnd);  // the request line is not a header
  bool lengthSeen = false;
  while (lineStart != std::string_view::npos) {
    lineStart += kLineEnd.size();
    size_t lineEnd = block.find(kLineEnd, lineStart);
    std::string_view line =
        block.substr(lineStart, lineEnd == std::string_view::npos ? std::string_view::npos
                                                                  : lineEnd - lineStart);
    lineStart = lineEnd;
    std::optional<HttpHeaderLine> header = ParseHeaderLine(line);
    if (!header) continue;
    if (HeaderNameIs(header->name, "content-length") && !lengthSeen) {
      lengthSeen = true;
      std::optional<size_t> length = ParseContentLength(header->value, kMaxBodyBytes);
      if (!length) {
        Refuse();
        return false;
      }
      declaredLength_ = *length;
    } else {
      KeepFirst(header->name, header->value, "host", source_.host);
      KeepFirst(header->name, header->value, "origin", source_.origin);
      KeepFirst(header->name, header->value, "referer", source_.referer);
      KeepFirst(header->name, header->value, "x-requested-with", source_.requestedWith);
    }
  }
  if (!post_) {
    state_ = State::Complete;
    return false;
  }
  body_.assign(head_, end + kHeadEnd.size());
  head_.resize(end);
  state_ = State::Body;
  return true;
}

void HttpRequestReader::TakeBody() {
  if (body_.size() < declaredLength_) return;
  body_.resize(declaredLength_);
  state_ = State::Complete;
}

void HttpRequestReader::Refuse() {
  state_ = State::Refused;
  head_.clear();
  head_.shrink_to_fit();
  body_.clear();
  body_.shrink_to_fit();
}
