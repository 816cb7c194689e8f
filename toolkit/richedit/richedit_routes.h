// What the rich-edit service does with a request that has been read, and the bytes it answers
// with. No sockets here.
//
// Routes (paths compared whole and case-sensitively; a query string is part of the path):
//   any method but POST  "/web/default"         the editor page, "text/html"
//   any method but POST  "/web/jquery"          jQuery 1.8.2, minified, "text/javascript"
//   any method but POST  "/web/richeditclient"  the RichEditClient script, "text/javascript"
//   POST                 "/cmd/get/html"        deliver the posted HTML (kind 1), no response
//   POST                 "/cmd/get/text"        deliver the posted text (kind 2), no response
// Everything else gets no response at all.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

enum class RichEditRoute { None, EditorPage, JQuery, ClientScript, DeliverHtml, DeliverText };

RichEditRoute RouteRequest(bool isPost, std::string_view path);

// The delivery's kind (wParam of element message kRichEditContent) for the delivering routes:
// 1 HTML, 2 text; 0 for the others.
inline constexpr intptr_t kRichEditHtml = 1;
inline constexpr intptr_t kRichEditText = 2;
intptr_t DeliveryKind(RichEditRoute route);

// The body and content type a serving route answers with (an empty body and type for the others).
struct WebResource {
  std::string_view body;
  std::string_view contentType;
};
WebResource ResourceFor(RichEditRoute route);

// The response head as the service writes it, one send per piece: status line, Server,
// Content-Length, Content-Type, and the empty line. No blank follows the colons. The body is
// written after these as a sixth piece.
std::array<std::string, 5> ResponseHead(size_t bodyLength, std::string_view contentType);

// A delivering POST's body: the target element's id in decimal, "|", then the content.
struct PostedContent {
  int32_t target = 0;        // 0 when the body names no element
  std::string_view content;  // up to the first NUL byte; UTF-8 from a browser
};
// The id is the text before the first "|" (blanks around it allowed, a sign allowed); a body
// without "|", or an id that is not a decimal number that fits 32 bits, names no element.
PostedContent ParsePostedContent(std::string_view body);
