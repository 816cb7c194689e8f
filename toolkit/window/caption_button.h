// The caption buttons a SkinWindow draws in place of a system frame: their record, their kinds,
// which buttons a set of window style flags asks for, and the skin images each kind uses.
// No Windows API is needed here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/draw/geometry.h"  // Rect

namespace caption_kind {
inline constexpr int32_t kClose = 1;
inline constexpr int32_t kMaximise = 2;
inline constexpr int32_t kRestore = 3;
inline constexpr int32_t kMinimise = 4;
inline constexpr int32_t kMenu = 5;
inline constexpr int32_t kHelp = 6;
inline constexpr int32_t kSkin = 7;
}  // namespace caption_kind

struct CaptionButton {
  int32_t kind = 0;  // caption_kind
  bool visible = true;
  bool enabled = true;
  Rect bounds;         // window coordinates; sized from the normal image
  bool hot = false;    // the mouse is over it
  bool pressed = false;
  int32_t fadeLevel = 0;  // 100 when it turns hot, falling by 8 per hover-fade tick
};

// Window style flag bits that concern the caption buttons.
namespace window_style {
inline constexpr uint32_t kCentre = 1;
inline constexpr uint32_t kCaptionButtons = 2;
inline constexpr uint32_t kMaximiseButton = 4;
inline constexpr uint32_t kMinimiseButton = 8;
inline constexpr uint32_t kToolWindow = 16;
inline constexpr uint32_t kMenuButton = 64;
inline constexpr uint32_t kHelpButton = 128;
inline constexpr uint32_t kSkinButton = 256;
}  // namespace window_style

// The kinds in list order (the first is the right-most): none without bit 2; with it the close
// button, then maximise (bit 4), minimise (8), menu (64), help (128) and skin (256).
std::vector<int32_t> CaptionKindsForStyle(uint32_t styleFlags);

// The skin image names (GBK) of a kind: normal, hot, pressed. Empty names for unknown kinds.
struct CaptionImageNames {
  std::string normal;
  std::string hot;
  std::string pressed;
};
CaptionImageNames CaptionImagesFor(int32_t kind);

// Which image a button shows: pressed, else hot, else normal.
enum class CaptionFace { kNormal, kHot, kPressed };
CaptionFace FaceOf(const CaptionButton& button);

// The 0-based index of the visible button whose bounds strictly contain (x, y), or -1.
int32_t CaptionButtonAt(const std::vector<CaptionButton>& buttons, int32_t x, int32_t y);
