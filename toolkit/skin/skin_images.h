// The toolkit's skin image table: the decoded GDI+ images every toolkit window draws its stock
// parts with. It has two parts:
//   - the caption-button images, 3 states (normal, hot, pressed) × 7 buttons, stored under the
//     button's name and the state's suffix ("关闭_正常", "最大化_点燃", ...);
//   - single images, one slot each (scroll-bar arrows, radio and check boxes, tab arrows, message
//     box icons, ...). Two names have two slots each ("滚动条_竖上", "滚动条_竖下").
// ApplySkin (apply_skin.h) fills the table from a skin database; a slot the database cannot fill
// holds null and whoever draws it draws nothing. The table owns every image; a pointer handed
// out stays valid until its slot is replaced or cleared. GUI thread only.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

// ---- Caption buttons ----------------------------------------------------------------------------
// Button indices are the caption-button kinds less one (kind 1 close is index 0).
enum CaptionButtonImageIndex : int {
  kCaptionClose = 0,
  kCaptionMaximise = 1,
  kCaptionRestore = 2,
  kCaptionMinimise = 3,
  kCaptionMenu = 4,
  kCaptionHelp = 5,
  kCaptionSkin = 6,
  kCaptionButtonCount = 7,
};
enum CaptionButtonImageState : int {
  kCaptionNormal = 0,
  kCaptionHot = 1,
  kCaptionPressed = 2,
  kCaptionStateCount = 3,
};

// The name an image of the table is stored under, for example "关闭_正常" (GBK); empty outside
// the table.
std::string CaptionButtonImageName(int state, int button);
// Null outside the table or when the skin has no such image.
Gdiplus::GpImage* CaptionButtonImage(int state, int button);
// Disposes the caption-button images (the single images stay).
void ClearCaptionButtonImages();

// ---- Single images --------------------------------------------------------------------------------
// In the order ApplySkin fills them.
enum class SkinSlot : int {
  kScrollLeft, kScrollRight, kScrollUp, kScrollDown,
  kRadioNormal, kRadioNormalSelected, kRadioHot, kRadioHotSelected, kRadioPressed, kRadioPressedSelected,
  kCheckNormal, kCheckNormalSelected, kCheckHot, kCheckHotSelected, kCheckPressed, kCheckPressedSelected,
  kTabLeft, kTabRight,
  kInformationIcon, kQuestionIcon, kErrorIcon, kWarningIcon,
  kLink, kProgress, kYearIncrement, kMonthIncrement, kSliderTrack,
  kPlus, kMinus, kSelected, kUnselected, kSelectedSolid, kSubmenu, kImageNormal, kImageExpanded,
  kPresenceAvailable, kPresenceAway, kPresenceBusy, kPresenceDoNotDisturb,
  kScrollUpSecond, kScrollDownSecond,
  kCount
};

// The name a slot is filled from (GBK).
const char* SkinSlotName(SkinSlot slot);
Gdiplus::GpImage* SkinSlotImage(SkinSlot slot);
// Stores `image` in the slot, taking ownership; the image it held is disposed.
void SetSkinSlotImage(SkinSlot slot, Gdiplus::GpImage* image);

// ---- By name --------------------------------------------------------------------------------------
// The image stored under `name` (GBK bytes, for example "关闭_正常"): a caption-button image, else
// the first single slot of that name, else an image stored by SetSkinImage under a name the table
// has no slot for. Null when there is none. Not owned by the caller.
Gdiplus::GpImage* SkinImageByName(const std::string& name);

// Stores `image` under `name`, taking ownership, in the same place SkinImageByName looks first;
// replaces (and disposes) what was there. A null image empties the place.
void SetSkinImage(const std::string& name, Gdiplus::GpImage* image);

// Disposes every image of the table.
void ClearSkinImages();
