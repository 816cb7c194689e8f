#include "toolkit/richedit/richedit_routes.h"

#include <limits>

#include "toolkit/richedit/richedit_content.h"

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

int32_t ParseTargetId(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int32_t>::max()) return 0;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace

RichEditRoute RouteRequest(bool isPost, std::string_view path) {
  if (isPost) {
    if (path == "/cmd/get/html") return RichEditRoute::DeliverHtml;
    if (path == "/cmd/get/text") return RichEditRoute::DeliverText;
    return RichEditRoute::None;
  }
  if (path == "/web/default") return RichEditRoute::EditorPage;
  if (path == "/web/jquery") return RichEditRoute::JQuery;
  if (path == "/web/richeditclient") return RichEditRoute::ClientScript;
  return RichEditRoute::None;
}

intptr_t DeliveryKind(RichEditRoute route) {
  switch (route) {
    case RichEditRoute::DeliverHtml:
      return kRichEditHtml;
    case RichEditRoute::DeliverText:
      return kRichEditText;
    default:
      return 0;
  }
}

WebResource ResourceFor(RichEditRoute route) {
  switch (route) {
    case RichEditRoute::EditorPage:
      return {EditorPage(), "text/html"};
    case RichEditRoute::JQuery:
      return {MinifiedJQuery(), "text/javascript"};
    case RichEditRoute::ClientScript:
      return {RichEditClientScript(), "text/javascript"};
    default:
      return {};
  }
}

std::array<std::string, 5> ResponseHead(size_t bodyLength, std::string_view contentType) {
  return {
      "HTTP/1.1 200 OK\r\n",
      "Server:DoDA RichEdit HTTP Server\r\n",
      "Content-Length:" + std::to_string(bodyLength) + "\r\n",
      "Content-Type:" + std::string(contentType) + "\r\n",
      "\r\n",
  };
}

PostedContent ParsePostedContent(std::string_view body) {
  size_t bar = body.find('|');
  if (bar == std::string_view::npos) return {};
  std::string_view content = body.substr(bar + 1);
  content = content.substr(0, content.find('\0'));
  return {ParseTargetId(body.substr(0, bar)), content};
}
