// The default skin built into the program, and ApplySkin filling the skin image table from it.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/draw/gdi_owners.h"
#include "toolkit/skin/apply_skin.h"
#include "toolkit/skin/skin_images.h"

namespace {

using namespace Gdiplus::DllExports;

class GdiplusEnvironment : public testing::Environment {
 public:
  void SetUp() override { token_ = StartGdiplus(); ASSERT_TRUE(token_); }
  void TearDown() override {
    ClearSkinImages();  // images go before GDI+ does
    token_.reset();
  }

 private:
  UniqueGdiplusToken token_;
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

struct Size {
  UINT width = 0;
  UINT height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
std::ostream& operator<<(std::ostream& out, const Size& s) { return out << s.width << "x" << s.height; }

Size SizeOf(Gdiplus::GpImage* image) {
  Size size;
  if (image) {
    GdipGetImageWidth(image, &size.width);
    GdipGetImageHeight(image, &size.height);
  }
  return size;
}

// Decodes with GDI+ through an HGLOBAL stream (independently of the toolkit's own loader).
UniqueGpImage Decode(const SkinBytes& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return {};
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
    GlobalFree(memory);
    return {};
  }
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (GdipCreateBitmapFromStream(stream.get(), &bitmap) != Gdiplus::Ok) return {};
  // Force the decode while the stream is alive.
  Gdiplus::ARGB pixel = 0;
  GdipBitmapGetPixel(bitmap, 0, 0, &pixel);
  return UniqueGpImage(bitmap);
}

bool IsPng(const SkinBytes& bytes) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return bytes.size() > 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

Gdiplus::ARGB PixelOf(Gdiplus::GpImage* image, int x, int y) {
  Gdiplus::ARGB pixel = 0;
  GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), x, y, &pixel);
  return pixel;
}

struct Expected {
  const char* name;
  UINT width;
  UINT height;
};
const Expected kDefaultSkin[46] = {
    {"调节钮_下", 7, 4},      {"调节钮_上", 7, 4},      {"图片正常", 12, 12},     {"图片展开", 12, 12},
    {"请勿打扰", 9, 9},       {"忙碌", 9, 9},           {"离开", 9, 9},           {"Q我吧", 11, 11},
    {"选中图片", 11, 11},     {"选中实心", 11, 11},     {"未选中图片", 11, 11},   {"减号图", 11, 11},
    {"加号图", 11, 11},       {"选择夹左", 17, 17},     {"选择夹右", 17, 17},     {"滚动条_竖下", 6, 6},
    {"滚动条_竖上", 6, 6},    {"滚动条_横左", 6, 6},    {"滚动条_横右", 6, 6},    {"连接图片", 103, 28},
    {"子菜单", 23, 23},       {"最小化_正常", 30, 23},  {"最小化_点燃", 30, 23},  {"最小化_按下", 30, 23},
    {"最大化_正常", 30, 23},  {"最大化_点燃", 30, 23},  {"最大化_按下", 30, 23},  {"设置_正常", 30, 23},
    {"设置_点燃", 30, 23},    {"设置_按下", 30, 23},    {"皮肤_正常", 30, 23},    {"皮肤_点燃", 30, 23},
    {"皮肤_按下", 30, 23},    {"还原_正常", 30, 23},    {"还原_点燃", 30, 23},    {"还原_按下", 30, 23},
    {"关闭_正常", 32, 23},    {"关闭_点燃", 32, 23},    {"关闭_按下", 33, 23},    {"菜单_正常", 30, 23},
    {"菜单_点燃", 30, 23},    {"菜单_按下", 30, 23},    {"ZiZO_询问图标", 41, 40}, {"ZiZO_信息图标", 40, 40},
    {"ZiZO_警告图标", 40, 40}, {"ZiZO_错误图标", 40, 40},
};

// ---- The embedded database ----------------------------------------------------------------------

TEST(DefaultSkin, ParsesTo46EntriesWithAnEmptyCommentAndEndsAtItsLastDataByte) {
  SkinByteView bytes = DefaultSkinBytes();
  SkinDatabase db;
  ASSERT_TRUE(db.LoadBytes(bytes));
  EXPECT_EQ(db.Count(), 46);
  EXPECT_EQ(db.GetComment(), "");
  // Walk the records by their lengths: the last one ends exactly at the end of the block.
  size_t at = 17 + 4 + 4;
  for (int i = 0; i < db.Count(); ++i) {
    ASSERT_LE(at + 4, bytes.size());
    uint32_t recordLength = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
    at += 4 + recordLength;
  }
  EXPECT_EQ(at, bytes.size());
  // Writing it out again gives the very same bytes: nothing follows the last record.
  EXPECT_TRUE(std::ranges::equal(db.ToBytes(), bytes));
}

TEST(DefaultSkin, HoldsEveryImageByNameInOrderAtItsSize) {
  SkinDatabase db;
  ASSERT_TRUE(db.LoadBytes(DefaultSkinBytes()));
  ASSERT_EQ(db.Count(), 46);
  for (int i = 0; i < 46; ++i) {
    const Expected& e = kDefaultSkin[i];
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(db.GetName(i + 1), e.name);
    EXPECT_EQ(db.GetNumber1(i + 1), 0);
    EXPECT_EQ(db.GetNumber2(i + 1), 0);
    SkinBytes data = db.GetData(i + 1);
    ASSERT_TRUE(IsPng(data));
    UniqueGpImage image = Decode(data);
    ASSERT_TRUE(image);
    EXPECT_EQ(SizeOf(image.get()), (Size{e.width, e.height}));
  }
}

TEST(DefaultSkin, CloseNormalIsAPngOf32By23) {
  SkinDatabase db;
  ASSERT_TRUE(db.LoadBytes(DefaultSkinBytes()));
  SkinBytes png = db.GetData(0, std::nullopt, "关闭_正常");
  ASSERT_TRUE(IsPng(png));
  UniqueGpImage image = Decode(png);
  EXPECT_EQ(SizeOf(image.get()), (Size{32, 23}));
}

// ---- ApplySkin ----------------------------------------------------------------------------------

TEST(ApplySkin, TheDefaultSkinFillsTheCaptionButtonsExceptHelp) {
  ApplyDefaultSkin();
  const Size normalSize{30, 23};
  for (int button = 0; button < kCaptionButtonCount; ++button) {
    for (int state = 0; state < kCaptionStateCount; ++state) {
      SCOPED_TRACE(testing::Message() << "state " << state << ", button " << button);
      Gdiplus::GpImage* image = CaptionButtonImage(state, button);
      EXPECT_EQ(SkinImageByName(CaptionButtonImageName(state, button)), image);
      if (button == kCaptionHelp) {
        EXPECT_EQ(image, nullptr);
      } else if (button == kCaptionClose) {
        EXPECT_EQ(SizeOf(image), (Size{state == kCaptionPressed ? 33u : 32u, 23}));
      } else {
        EXPECT_EQ(SizeOf(image), normalSize);
      }
    }
  }
  EXPECT_EQ(CaptionButtonImageName(kCaptionPressed, kCaptionMinimise), "最小化_按下");
  EXPECT_EQ(CaptionButtonImage(3, 0), nullptr);
  EXPECT_EQ(CaptionButtonImage(0, 7), nullptr);
}

TEST(ApplySkin, TheDefaultSkinFillsTheSingleSlotsItHasImagesFor) {
  ApplyDefaultSkin();
  struct Slot {
    SkinSlot slot;
    Size size;  // 0 x 0: the default skin has no such image
  } slots[] = {
      {SkinSlot::kScrollLeft, {6, 6}},        {SkinSlot::kScrollRight, {6, 6}},
      {SkinSlot::kScrollUp, {6, 6}},          {SkinSlot::kScrollDown, {6, 6}},
      {SkinSlot::kRadioNormal, {}},           {SkinSlot::kRadioPressedSelected, {}},
      {SkinSlot::kCheckNormal, {}},           {SkinSlot::kCheckHotSelected, {}},
      {SkinSlot::kTabLeft, {17, 17}},         {SkinSlot::kTabRight, {17, 17}},
      {SkinSlot::kInformationIcon, {40, 40}}, {SkinSlot::kQuestionIcon, {41, 40}},
      {SkinSlot::kErrorIcon, {40, 40}},       {SkinSlot::kWarningIcon, {40, 40}},
      {SkinSlot::kLink, {103, 28}},           {SkinSlot::kProgress, {}},
      {SkinSlot::kYearIncrement, {}},         {SkinSlot::kMonthIncrement, {}},
      {SkinSlot::kSliderTrack, {}},           {SkinSlot::kPlus, {11, 11}},
      {SkinSlot::kMinus, {11, 11}},           {SkinSlot::kSelected, {11, 11}},
      {SkinSlot::kUnselected, {11, 11}},      {SkinSlot::kSelectedSolid, {11, 11}},
      {SkinSlot::kSubmenu, {23, 23}},         {SkinSlot::kImageNormal, {12, 12}},
      {SkinSlot::kImageExpanded, {12, 12}},   {SkinSlot::kPresenceAvailable, {11, 11}},
      {SkinSlot::kPresenceAway, {9, 9}},      {SkinSlot::kPresenceBusy, {9, 9}},
      {SkinSlot::kPresenceDoNotDisturb, {9, 9}}, {SkinSlot::kScrollUpSecond, {6, 6}},
      {SkinSlot::kScrollDownSecond, {6, 6}},
  };
  for (const Slot& s : slots) {
    SCOPED_TRACE(static_cast<int>(s.slot));
    EXPECT_EQ(SizeOf(SkinSlotImage(s.slot)), s.size);
  }
  // The second vertical-arrow slots hold images of their own.
  EXPECT_NE(SkinSlotImage(SkinSlot::kScrollUpSecond), SkinSlotImage(SkinSlot::kScrollUp));
  EXPECT_NE(SkinSlotImage(SkinSlot::kScrollDownSecond), SkinSlotImage(SkinSlot::kScrollDown));
  EXPECT_EQ(SkinImageByName("滚动条_竖上"), SkinSlotImage(SkinSlot::kScrollUp));
  EXPECT_STREQ(SkinSlotName(SkinSlot::kPresenceAvailable), "Q我吧");
}

TEST(ApplySkin, DecodedImagesKeepTheirColours) {
  ApplyDefaultSkin();
  // The hot close button is a solid red face; the normal one is transparent at its corners.
  Gdiplus::ARGB hot = PixelOf(CaptionButtonImage(kCaptionHot, kCaptionClose), 1, 1);
  EXPECT_EQ(hot >> 24, 255u);
  EXPECT_GT((hot >> 16) & 0xFF, 200u);
  EXPECT_LT((hot >> 8) & 0xFF, 60u);
  EXPECT_EQ(PixelOf(CaptionButtonImage(kCaptionNormal, kCaptionClose), 0, 0) >> 24, 0u);
  // The decoded image is a 32-bit ARGB bitmap of its own.
  Gdiplus::PixelFormat format = 0;
  GdipGetImagePixelFormat(CaptionButtonImage(kCaptionNormal, kCaptionClose), &format);
  EXPECT_EQ(format, PixelFormat32bppARGB);
}

TEST(ApplySkin, MissingNamesAndUndecodableDataLeaveTheirSlotsEmpty) {
  SkinDatabase defaults;
  ASSERT_TRUE(defaults.LoadBytes(DefaultSkinBytes()));
  SkinDatabase partial;
  partial.AddEntry(0, "关闭_正常", defaults.GetData(0, std::nullopt, "关闭_正常"), 0);
  partial.AddEntry(0, "最大化_正常", SkinBytes{'n', 'o', 't', ' ', 'p', 'n', 'g'}, 0);
  partial.AddEntry(0, "加号图", defaults.GetData(0, std::nullopt, "加号图"), 0);

  ApplyDefaultSkin();
  ApplySkin(partial.ToBytes());
  EXPECT_EQ(SizeOf(CaptionButtonImage(kCaptionNormal, kCaptionClose)), (Size{32, 23}));
  EXPECT_EQ(CaptionButtonImage(kCaptionNormal, kCaptionMaximise), nullptr);
  EXPECT_EQ(CaptionButtonImage(kCaptionHot, kCaptionClose), nullptr);
  EXPECT_EQ(SizeOf(SkinSlotImage(SkinSlot::kPlus)), (Size{11, 11}));
  EXPECT_EQ(SkinSlotImage(SkinSlot::kMinus), nullptr);
  EXPECT_EQ(SkinSlotImage(SkinSlot::kScrollUp), nullptr);
  EXPECT_EQ(ToolkitSkinDatabase().Count(), 3);
}

TEST(ApplySkin, BytesThatAreNoDatabaseKeepTheSkinThatWasApplied) {
  ApplyDefaultSkin();
  const SkinBytes garbage(64, 0x5A);
  ApplySkin(garbage);
  EXPECT_EQ(ToolkitSkinDatabase().Count(), 46);
  EXPECT_EQ(SizeOf(CaptionButtonImage(kCaptionPressed, kCaptionClose)), (Size{33, 23}));
  EXPECT_EQ(SizeOf(SkinSlotImage(SkinSlot::kErrorIcon)), (Size{40, 40}));
}

// ---- The table by name --------------------------------------------------------------------------

UniqueGpImage SmallBitmap() {
  Gdiplus::GpBitmap* bitmap = nullptr;
  GdipCreateBitmapFromScan0(3, 2, 0, PixelFormat32bppARGB, nullptr, &bitmap);
  return UniqueGpImage(bitmap);
}

TEST(SkinImageTable, SetSkinImageStoresTableNamesInTheirSlotsAndOtherNamesAside) {
  ClearSkinImages();
  UniqueGpImage help = SmallBitmap();
  Gdiplus::GpImage* helpRaw = help.get();
  SetSkinImage("帮助_点燃", help.release());
  EXPECT_EQ(CaptionButtonImage(kCaptionHot, kCaptionHelp), helpRaw);
  EXPECT_EQ(SkinImageByName("帮助_点燃"), helpRaw);

  UniqueGpImage other = SmallBitmap();
  Gdiplus::GpImage* otherRaw = other.get();
  SetSkinImage("不在表中", other.release());
  EXPECT_EQ(SkinImageByName("不在表中"), otherRaw);
  SetSkinImage("不在表中", nullptr);
  EXPECT_EQ(SkinImageByName("不在表中"), nullptr);

  UniqueGpImage slot = SmallBitmap();
  Gdiplus::GpImage* slotRaw = slot.get();
  SetSkinImage("进度图片", slot.release());
  EXPECT_EQ(SkinSlotImage(SkinSlot::kProgress), slotRaw);

  ClearSkinImages();
  EXPECT_EQ(CaptionButtonImage(kCaptionHot, kCaptionHelp), nullptr);
  EXPECT_EQ(SkinSlotImage(SkinSlot::kProgress), nullptr);
  EXPECT_EQ(SkinImageByName("关闭_正常"), nullptr);
}

TEST(SkinImageTable, ClearCaptionButtonImagesKeepsTheSingleImages) {
  ApplyDefaultSkin();
  ClearCaptionButtonImages();
  EXPECT_EQ(CaptionButtonImage(kCaptionNormal, kCaptionClose), nullptr);
  EXPECT_NE(SkinSlotImage(SkinSlot::kTabLeft), nullptr);
}

}  // namespace
