// Measures whether a window keeps answering messages: finds the top-level window titled argv[1],
// then sends it WM_NULL every 20 ms (each with a 3 s limit) until the window is gone, and writes
// "answered=N unanswered=M max_ms=T" to the file argv[2].
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);  // the title is not ASCII
  if (!argv || argc < 3) return 2;
  const std::wstring title = argv[1];
  HWND window = nullptr;
  for (int i = 0; i < 500 && !window; ++i, Sleep(20)) window = FindWindowW(nullptr, title.c_str());
  if (!window) return 3;
  int answered = 0, unanswered = 0;
  DWORD worst = 0;
  while (IsWindow(window)) {
    DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &result)) {
      ++answered;
      worst = std::max<DWORD>(worst, GetTickCount() - start);
    } else if (IsWindow(window)) {
      ++unanswered;
    }
    Sleep(20);
  }
  FILE* out = _wfopen(argv[2], L"w");
  if (!out) return 4;
  std::fprintf(out, "answered=%d unanswered=%d max_ms=%lu\n", answered, unanswered, worst);
  std::fclose(out);
  return 0;
}
