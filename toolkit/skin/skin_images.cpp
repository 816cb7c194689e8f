#include "toolkit/skin/skin_images.h"

#include <array>
#include <map>
#include <memory>

namespace {

struct ImageDisposer {
  void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using OwnedImage = std::unique_ptr<Gdiplus::GpImage, ImageDisposer>;

constexpr const char* kButtonNames[kCaptionButtonCount] = {"关闭", "最大化", "还原", "最小化", "菜单", "帮助", "皮肤"};
constexpr const char* kStateSuffixes[kCaptionStateCount] = {"_正常", "_点燃", "_按下"};

constexpr int kSlotCount = static_cast<int>(SkinSlot::kCount);
constexpr std::array<const char*, kSlotCount> kSlotNames = {
    "滚动条_横左", "滚动条_横右", "滚动条_竖上", "滚动条_竖下",
    "单选框_正常_正常", "单选框_正常_选中", "单选框_点燃_正常", "单选框_点燃_选中", "单选框_按下_正常", "单选框_按下_选中",
    "选择框_正常_正常", "选择框_正常_选中", "选择框_点燃_正常", "选择框_点燃_选中", "选择框_按下_正常", "选择框_按下_选中",
    "选择夹左", "选择夹右",
    "ZiZO_信息图标", "ZiZO_询问图标", "ZiZO_错误图标", "ZiZO_警告图标",
    "连接图片", "进度图片", "Year_加", "Month_加", "滑块条_背",
    "加号图", "减号图", "选中图片", "未选中图片", "选中实心", "子菜单", "图片正常", "图片展开",
    "Q我吧", "离开", "忙碌", "请勿打扰",
    "滚动条_竖上", "滚动条_竖下",
};

struct Table {
  OwnedImage caption[kCaptionStateCount][kCaptionButtonCount];
  OwnedImage slots[kSlotCount];
  std::map<std::string, OwnedImage> others;  // names the table has no slot for
};

Table& TheTable() {
  static auto* table = new Table();  // lives until the process ends; images are not disposed at exit
  return *table;
}

bool InTable(int state, int button) {
  return state >= 0 && state < kCaptionStateCount && button >= 0 && button < kCaptionButtonCount;
}

// The place `name` is stored in: caption table, else first slot, else null (not a table name).
OwnedImage* PlaceOf(const std::string& name) {
  Table& table = TheTable();
  for (int button = 0; button < kCaptionButtonCount; ++button) {
    for (int state = 0; state < kCaptionStateCount; ++state) {
      if (CaptionButtonImageName(state, button) == name) return &table.caption[state][button];
    }
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (name == kSlotNames[slot]) return &table.slots[slot];
  }
  return nullptr;
}

}  // namespace

std::string CaptionButtonImageName(int state, int button) {
  if (!InTable(state, button)) return {};
  return std::string(kButtonNames[button]) + kStateSuffixes[state];
}

Gdiplus::GpImage* CaptionButtonImage(int state, int button) {
  return InTable(state, button) ? TheTable().caption[state][button].get() : nullptr;
}

void ClearCaptionButtonImages() {
  for (auto& row : TheTable().caption) {
    for (OwnedImage& image : row) image.reset();
  }
}

const char* SkinSlotName(SkinSlot slot) {
  int at = static_cast<int>(slot);
  return at >= 0 && at < kSlotCount ? kSlotNames[at] : "";
}

Gdiplus::GpImage* SkinSlotImage(SkinSlot slot) {
  int at = static_cast<int>(slot);
  return at >= 0 && at < kSlotCount ? TheTable().slots[at].get() : nullptr;
}

void SetSkinSlotImage(SkinSlot slot, Gdiplus::GpImage* image) {
  OwnedImage owned(image);
  int at = static_cast<int>(slot);
  if (at >= 0 && at < kSlotCount) TheTable().slots[at] = std::move(owned);
}

Gdiplus::GpImage* SkinImageByName(const std::string& name) {
  if (OwnedImage* place = PlaceOf(name)) return place->get();
  auto& others = TheTable().others;
  auto found = others.find(name);
  return found == others.end() ? nullptr : found->second.get();
}

void SetSkinImage(const std::string& name, Gdiplus::GpImage* image) {
  OwnedImage owned(image);
  if (OwnedImage* place = PlaceOf(name)) {
    *place = std::move(owned);
  } else if (owned) {
    TheTable().others[name] = std::move(owned);
  } else {
    TheTable().others.erase(name);
  }
}

void ClearSkinImages() {
  ClearCaptionButtonImages();
  for (OwnedImage& image : TheTable().slots) image.reset();
  TheTable().others.clear();
}
