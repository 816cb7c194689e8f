#include "toolkit/skin/apply_skin.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "common/byte_array.h"
#include "common/win_handle.h"
#include "toolkit/skin/skin_images.h"

VM_DECLARE_BYTE_ARRAY(vm_default_skin);

namespace {

using namespace Gdiplus::DllExports;

struct ImageDisposer {
  void operator()(Gdiplus::GpImage* image) const { GdipDisposeImage(image); }
};
using OwnedImage = std::unique_ptr<Gdiplus::GpImage, ImageDisposer>;
struct GraphicsDeleter {
  void operator()(Gdiplus::GpGraphics* graphics) const { GdipDeleteGraphics(graphics); }
};
using OwnedGraphics = std::unique_ptr<Gdiplus::GpGraphics, GraphicsDeleter>;

// The light-weight shell library's memory stream. Taken by ordinal: older systems export it under
// ordinal 12 only.
IStream* CreateMemoryStream(SkinByteView bytes) {
  using CreateMemStream = IStream*(WINAPI*)(const BYTE*, UINT);
  static CreateMemStream create = [] {
    HMODULE shlwapi = LoadLibraryA("shlwapi.dll");  // stays loaded for the process
    return shlwapi ? reinterpret_cast<CreateMemStream>(GetProcAddress(shlwapi, MAKEINTRESOURCEA(12))) : nullptr;
  }();
  return create ? create(bytes.data(), static_cast<UINT>(bytes.size())) : nullptr;
}

// Decodes an image at its own size into a fresh 32-bit ARGB bitmap that keeps no reference to
// the bytes. Null when the bytes are not an image.
Gdiplus::GpImage* DecodeImage(SkinByteView bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
  ComPtr<IStream> stream;
  *stream.put() = CreateMemoryStream(bytes);
  if (!stream) return nullptr;
  Gdiplus::GpBitmap* decodedBitmap = nullptr;
  if (GdipCreateBitmapFromStream(stream.get(), &decodedBitmap) != Gdiplus::Ok) return nullptr;
  OwnedImage decoded(decodedBitmap);
  UINT width = 0;
  UINT height = 0;
  GdipGetImageWidth(decoded.get(), &width);
  GdipGetImageHeight(decoded.get(), &height);
  if (width == 0 || height == 0) return nullptr;
  Gdiplus::GpBitmap* copyBitmap = nullptr;
  if (GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0, PixelFormat32bppARGB, nullptr,
                                &copyBitmap) != Gdiplus::Ok) {
    return nullptr;
  }
  OwnedImage copy(copyBitmap);
  Gdiplus::GpGraphics* graphicsRaw = nullptr;
  if (GdipGetImageGraphicsContext(copy.get(), &graphicsRaw) != Gdiplus::Ok) return nullptr;
  OwnedGraphics graphics(graphicsRaw);
  GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
  if (GdipDrawImageRectI(graphics.get(), decoded.get(), 0, 0, static_cast<INT>(width), static_cast<INT>(height)) !=
      Gdiplus::Ok) {
    return nullptr;
  }
  return copy.release();
}

Gdiplus::GpImage* DecodeEntry(const std::string& name) {
  SkinBytes data = ToolkitSkinDatabase().GetData(0, std::nullopt, name);
  return DecodeImage(data);
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
