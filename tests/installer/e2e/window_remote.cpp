// Does to the top-level window titled argv[1] what another program or the system would, and writes
// what it saw to the file argv[3] (one line of name=value pairs):
//   window_remote <title> close <out>            posts WM_CLOSE, as another program closing it
//   window_remote <title> syscommand-close <out> posts WM_SYSCOMMAND SC_CLOSE, as the taskbar's
//                                                "Close window" does
//   window_remote <title> endsession <out>       asks WM_QUERYENDSESSION and, when the answer is
//                                                yes, sends WM_ENDSESSION, as a logoff does
//   window_remote <title> close-in-flip <out> <w> <h> [delay_ms]
//       waits until the window is larger than its home size w × h (its show flip runs), lets the
//       flip turn towards edge-on for delay_ms (250 when not given; past edge-on the close's
//       out-frames draw the flip too), posts
//       WM_CLOSE while it is still larger and follows the window's rectangle every millisecond
//       until it is gone:
//       "flip_seen=1 flip_w=FW flip_h=FH max_w=W max_h=H": the flip's rectangle when the close was
//       posted, and the largest rectangle seen after it.
// The exit code is 0 when the window was found and the action was done.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

HWND FindTitled(const std::wstring& title, int tries) {
  HWND window = nullptr;
  for (int i = 0; i < tries && !window; ++i) {
    window = FindWindowW(nullptr, title.c_str());
    if (!window) Sleep(1);
  }
  return window;
}

bool WriteLine(const wchar_t* path, const std::string& line) {
  FILE* out = _wfopen(path, L"w");
  if (!out) return false;
  std::fprintf(out, "%s\n", line.c_str());
  std::fclose(out);
  return true;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);  // the title is not ASCII
  if (!argv || argc < 4) return 2;
  const std::wstring title = argv[1], action = argv[2];
  const wchar_t* outPath = argv[3];

  if (action == L"close" || action == L"syscommand-close") {
    HWND window = FindTitled(title, 5000);
    if (!window) return 3;
    bool posted = (action == L"close" ? PostMessageW(window, WM_CLOSE, 0, 0)
                                      : PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0)) != FALSE;
    return WriteLine(outPath, "posted=" + std::to_string(posted)) && posted ? 0 : 4;
  }
  if (action == L"endsession") {
    HWND window = FindTitled(title, 5000);
    if (!window) return 3;
    DWORD_PTR answer = 0;
    bool asked = SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer) != 0;
    bool ended = false;
    if (asked && answer) {
      DWORD_PTR ignored = 0;
      // The installer may end inside the message: the call then fails, which is not an error here.
      SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &ignored);
      ended = true;
    }
    return WriteLine(outPath, "asked=" + std::to_string(asked) + " query=" + std::to_string(answer != 0) +
                                  " ended=" + std::to_string(ended))
               ? 0
               : 4;
  }
  if (action == L"close-in-flip" && argc >= 6) {
    const int homeWidth = _wtoi(argv[4]), homeHeight = _wtoi(argv[5]);
    const int delay = argc >= 7 ? _wtoi(argv[6]) : 250;
    HWND window = FindTitled(title, 15000);
    if (!window) return 3;
    bool flipSeen = false;
    long flipWidth = 0, flipHeight = 0;
    for (int i = 0; i < 5000 && !flipSeen; ++i, Sleep(1)) {
      RECT box{};
      if (GetWindowRect(window, &box) && box.right - box.left > homeWidth && box.bottom - box.top > homeHeight) {
        flipSeen = true;
        flipWidth = box.right - box.left;
        flipHeight = box.bottom - box.top;
      }
    }
    Sleep(static_cast<DWORD>(delay));
    RECT box{};
    flipSeen = flipSeen && GetWindowRect(window, &box) && box.right - box.left > homeWidth;
    if (!flipSeen) return WriteLine(outPath, "flip_seen=0") ? 5 : 4;
    PostMessageW(window, WM_CLOSE, 0, 0);
    long maxWidth = 0, maxHeight = 0;
    for (int i = 0; i < 20000 && IsWindow(window); ++i, Sleep(1)) {
      RECT box{};
      if (!GetWindowRect(window, &box)) break;
      maxWidth = std::max<long>(maxWidth, box.right - box.left);
      maxHeight = std::max<long>(maxHeight, box.bottom - box.top);
    }
    return WriteLine(outPath, "flip_seen=1 flip_w=" + std::to_string(flipWidth) + " flip_h=" + std::to_string(flipHeight) +
                                  " max_w=" + std::to_string(maxWidth) + " max_h=" + std::to_string(maxHeight))
               ? 0
               : 4;
  }
  return 2;
}
