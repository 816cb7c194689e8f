#include "toolkit/skin/skin_images.h"

#include <map>
#include <memory>

namespace {

struct ImageDisposer {
  void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using OwnedImage = std::unique_ptr<Gdiplus::GpImage, ImageDisposer>;

std::map<std::string, OwnedImage>& Table() {
  static auto* table = new std::map<std::string, OwnedImage>();  // lives until the process ends
  return *table;
}

}  // namespace

Gdiplus::GpImage* SkinImageByName(const std::string& name) {
  auto found = Table().find(name);
  return found == Table().end() ? nullptr : found->second.get();
}

void SetSkinImage(const std::string& name, Gdiplus::GpImage* image) { Table()[name] = OwnedImage(image); }

void ClearSkinImages() { Table().clear(); }
