#include "toolkit/skin/apply_skin.h"

#include <windows.h>
#include <gdiplus.h>

#include "common/byte_array.h"
#include "toolkit/draw/images.h"
#include "toolkit/skin/skin_images.h"

VM_DECLARE_BYTE_ARRAY(vm_default_skin);

namespace {

// The entry's image decoded at its own size, or null when the skin has no such entry or its data
// is no image. The caller takes ownership.
Gdiplus::GpImage* DecodeEntry(const std::string& name) {
  SkinBytes data = ToolkitSkinDatabase().GetData(0, std::nullopt, name);
  return LoadImageFromBytes(data).release();
}

}  // namespace

SkinDatabase& ToolkitSkinDatabase() {
  static auto* database = new SkinDatabase();  // lives until the process ends
  return *database;
}

void ApplySkin(SkinByteView bytes) {
  ClearCaptionButtonImages();
  ToolkitSkinDatabase().LoadBytes(bytes);
  for (int button = 0; button < kCaptionButtonCount; ++button) {
    for (int state = 0; state < kCaptionStateCount; ++state) {
      std::string name = CaptionButtonImageName(state, button);
      SetSkinImage(name, DecodeEntry(name));
    }
  }
  for (int slot = 0; slot < static_cast<int>(SkinSlot::kCount); ++slot) {
    auto which = static_cast<SkinSlot>(slot);
    SetSkinSlotImage(which, DecodeEntry(SkinSlotName(which)));
  }
}

SkinByteView DefaultSkinBytes() { return BytesOf(vm_default_skin); }

void ApplyDefaultSkin() { ApplySkin(DefaultSkinBytes()); }
