// Another program on the same desktop, as a hostile one would be: it sends and posts the
// toolkit's messages to the toolkit's windows with made-up arguments (junk pointers, numbers no
// table holds). The tests run it while their own windows pump messages and then check that the
// windows ignored everything and still work.
//
//   foreign_sender update-rect <window handle, decimal>
//       the update-rect message with junk lParams; exit 0 when every send was answered and the
//       window still exists
//   foreign_sender delivery
//       the content-delivery message with junk wParams and lParams to every delivery window of
//       the desktop; exit code = the number of windows found, or 100 when a send went unanswered
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/richedit/content_delivery.h"
#include "toolkit/window/toolkit.h"

namespace {

constexpr UINT kAnswerWithinMs = 5000;

// Addresses nothing in the receiving process owns: low pages, a 32-bit-looking pointer, the top
// of the address space, non-canonical and unaligned values.
const std::vector<uintptr_t>& JunkValues() {
  static const std::vector<uintptr_t> values = {
      1, 0x10, 0x1000, 0xDEADBEEF, 0x7FFE0000, static_cast<uintptr_t>(-1),
      static_cast<uintptr_t>(-4096), static_cast<uintptr_t>(0x00007FF0DEAD0000ull),
      static_cast<uintptr_t>(0x8000000000000001ull), 0x12345677,
  };
  return values;
}

// Sends (answered or not) and posts; answers whether every send was answered.
bool SendAndPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  bool answered = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerWithinMs,
                                      &answer) != 0;
  PostMessageW(window, message, wParam, lParam);
  return answered;
}

int UpdateRect(HWND window) {
  const UINT message = RegisterWindowMessageA(kUpdateRectMessageName);
  bool answered = true;
  for (uintptr_t junk : JunkValues()) {
    answered = SendAndPost(window, message, 0, static_cast<LPARAM>(junk)) && answered;
  }
  // The posted ones are handled after the sends; one more answered send shows they were survived.
  answered = SendAndPost(window, message, 0, 0) && answered;
  return answered && IsWindow(window) ? 0 : 1;
}

int Delivery() {
  int found = 0;
  bool answered = true;
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kContentDeliveryWindowClass, nullptr);
       window != nullptr;
       window = FindWindowExW(HWND_MESSAGE, window, kContentDeliveryWindowClass, nullptr)) {
    ++found;
    for (uintptr_t junk : JunkValues()) {
      answered = SendAndPost(window, kContentDeliveryMessage, junk, static_cast<LPARAM>(junk)) && answered;
      answered = SendAndPost(window, kContentDeliveryMessage, 0, static_cast<LPARAM>(junk)) && answered;
    }
    answered = SendAndPost(window, kContentDeliveryMessage, 0, 0) && answered;
  }
  return answered ? found : 100;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  if (mode == "update-rect" && argc >= 3) {
    return UpdateRect(reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 10))));
  }
  if (mode == "delivery") return Delivery();
  return 2;
}
