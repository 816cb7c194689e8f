#include "toolkit/elements/tool_tip.h"

#include <commctrl.h>

namespace {

// The tooltip class lives in the common controls; they are loaded once per process.
void EnsureCommonControls() {
  static const bool loaded = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)loaded;
}

constexpr COLORREF kTipBackground = 0xC06000;
constexpr COLORREF kTipText = 0xFFFFFF;

}  // namespace

bool ToolTip::Create(HWND host, const std::string& text, const Rect& rect, bool balloon,
                     bool centred) {
  window_.reset();
  host_ = host;
  rect_ = rect;
  text_ = text;
  balloon_ = balloon;
  centred_ = centred;
  if (text_.empty()) return false;

  EnsureCommonControls();
  const DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX | (balloon ? TTS_BALLOON : 0);
  window_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", style, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, host, nullptr, nullptr,
                                nullptr));
  if (!window_) return false;
  SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  // The first version of the record: every common-controls version understands it.
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.uFlags = TTF_SUBCLASS | (centred ? TTF_CENTERTIP : 0);
  tool.hwnd = host;
  tool.uId = 0;
  tool.rect = RECT{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
  tool.lpszText = text_.data();
  SendMessageA(window_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(window_.get(), TTM_SETTIPBKCOLOR, kTipBackground, 0);
  SendMessageA(window_.get(), TTM_SETTIPTEXTCOLOR, kTipText, 0);
  return true;
}

void ToolTip::SetText(const std::string& text) {
  if (Exists() && text != text_) Create(host_, text, rect_, balloon_, centred_);
}

bool ToolTip::Recreate() { return Create(host_, std::string(text_), rect_, balloon_, centred_); }

void ToolTip::Destroy() {
  window_.reset();
  text_.clear();
}
