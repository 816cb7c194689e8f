// Runs the rich-edit service on its own for the benchmark script and for trying clients by hand:
// prints "port <port> element <id>" and then one line for every content an element receives, and
// serves until the process is ended.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/toolkit/richedit/content_element.h"
#include "toolkit/richedit/richedit_service.h"

namespace {

class PrintingElement : public ContentElement {
 public:
  intptr_t HandleMessage(uint32_t code, intptr_t a, intptr_t b) override {
    if (code == element_message::kRichEditContent) {
      const auto* text = reinterpret_cast<const wchar_t*>(b);
      int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
      std::string utf8(size > 0 ? size - 1 : 0, '\0');
      WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
      std::printf("content %d %s\n", static_cast<int>(a), utf8.c_str());
      std::fflush(stdout);
    }
    return 0;
  }
};

}  // namespace

int main() {
  if (!StartRichEditService()) {
    std::fprintf(stderr, "the service did not start\n");
    return 1;
  }
  PrintingElement element;
  std::printf("port %u element %d\n", RichEditServicePort(), element.objectId);
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
