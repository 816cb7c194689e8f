#include "toolkit/window/caption_button.h"

#include "toolkit/window/window_geometry.h"

std::vector<int32_t> CaptionKindsForStyle(uint32_t styleFlags) {
  using namespace window_style;
  if (!(styleFlags & kCaptionButtons)) return {};
  std::vector<int32_t> kinds{caption_kind::kClose};
  if (styleFlags & kMaximiseButton) kinds.push_back(caption_kind::kMaximise);
  if (styleFlags & kMinimiseButton) kinds.push_back(caption_kind::kMinimise);
  if (styleFlags & kMenuButton) kinds.push_back(caption_kind::kMenu);
  if (styleFlags & kHelpButton) kinds.push_back(caption_kind::kHelp);
  if (styleFlags & kSkinButton) kinds.push_back(caption_kind::kSkin);
  return kinds;
}

CaptionImageNames CaptionImagesFor(int32_t kind) {
  // Source text is UTF-8; the compiler stores these literals as GBK, the skin's name encoding.
  const char* stem = nullptr;
  switch (kind) {
    case caption_kind::kClose: stem = "关闭"; break;
    case caption_kind::kMaximise: stem = "最大化"; break;
    case caption_kind::kRestore: stem = "还原"; break;
    case caption_kind::kMinimise: stem = "最小化"; break;
    case caption_kind::kMenu: stem = "菜单"; break;
    case caption_kind::kHelp: stem = "帮助"; break;
    case caption_kind::kSkin: stem = "皮肤"; break;
    default: return {};
  }
  std::string base(stem);
  return {base + "_正常", base + "_点燃", base + "_按下"};
}

CaptionFace FaceOf(const CaptionButton& button) {
  if (button.pressed) return CaptionFace::kPressed;
  if (button.hot) return CaptionFace::kHot;
  return CaptionFace::kNormal;
}

int32_t CaptionButtonAt(const std::vector<CaptionButton>& buttons, int32_t x, int32_t y) {
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (buttons[i].visible && PointStrictlyInside(buttons[i].bounds, {x, y})) return static_cast<int32_t>(i);
  }
  return -1;
}
