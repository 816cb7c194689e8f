// Font descriptions, toolkit defaults, font objects, the toolkit's own font collection, and text
// drawn into real bitmaps with the default family (a renamed WenQuanYi Micro Hei in the test
// prefix, see scripts/wine-fonts.sh). Writes draw_text_*.png into the working folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/toolkit/draw/draw_test_support.h"
#include "toolkit/draw/fonts.h"
#include "toolkit/draw/text_drawing.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

const wchar_t kYaHei[] = L"微软雅黑";
const wchar_t kSongTi[] = L"宋体";
constexpr Argb kBackground = 0xFF1C1C1Cu;

std::wstring FamilyNameOf(const FontObject& font) {
  GpFontFamily* family = nullptr;
  if (GdipGetFamily(font.font(), &family) != Ok) return L"";
  UniqueGpFontFamily owned(family);
  WCHAR name[LF_FACESIZE] = {};
  GdipGetFamilyName(family, name, LANG_NEUTRAL);
  return name;
}

Argb SolidColourOf(GpBrush* brush) {
  ARGB colour = 0;
  GdipGetSolidFillColor(reinterpret_cast<GpSolidFill*>(brush), &colour);
  return colour;
}

INT FormatFlagsOf(const FontObject& font) {
  INT flags = 0;
  GdipGetStringFormatFlags(font.format(), &flags);
  return flags;
}

std::pair<int, int> AlignmentOf(const FontObject& font) {
  StringAlignment alignment = StringAlignmentNear, line = StringAlignmentNear;
  GdipGetStringFormatAlign(font.format(), &alignment);
  GdipGetStringFormatLineAlign(font.format(), &line);
  return {static_cast<int>(alignment), static_cast<int>(line)};
}

int TextPixels(GpBitmap* bitmap, Argb background) {
  return CountPixels(bitmap, [&](Argb p) { return ChannelDistance(p, background) > 60; });
}

class FontsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseFontDefaults(); }
  void TearDown() override {
    DefaultGlowColour(0);
    InitialiseFontDefaults();
  }
};

TEST_F(FontsTest, TheTestPrefixHasBothToolkitFamilies) {
  // Without these the default family could not be tested under Wine: run scripts/wine-fonts.sh.
  EXPECT_TRUE(FindFontFamily(WideTextFromWString(kYaHei))) << "微软雅黑 is not installed";
  EXPECT_TRUE(FindFontFamily(WideTextFromWString(kSongTi))) << "宋体 is not installed";
  EXPECT_FALSE(FindFontFamily(WideTextFromWString(L"No Such Family Anywhere")));
  EXPECT_FALSE(FindFontFamily(WideText()));
}

TEST_F(FontsTest, DefaultsAfterInitialisation) {
  EXPECT_EQ(DefaultFontFamily().WString(), kYaHei);
  EXPECT_EQ(ChooseDefaultFontFamily().WString(), kYaHei);
  EXPECT_EQ(DefaultFontSize(), 12);
  EXPECT_EQ(DefaultTextColour(), MakeArgb(254, 255, 255, 255));
  EXPECT_EQ(DefaultFontStyle(), 4688u);
  EXPECT_EQ(DefaultTextRenderingHint(), 3);
}

TEST_F(FontsTest, SettersStoreWhenGivenAndAlwaysAnswer) {
  EXPECT_EQ(DefaultFontSize(15), 15);
  EXPECT_EQ(DefaultFontSize(), 15);
  EXPECT_EQ(DefaultGlowColour(0x80FF0000u), 0x80FF0000u);
  EXPECT_EQ(DefaultGlowColour(), 0x80FF0000u);
  EXPECT_EQ(DefaultFontStyle(64), 64u);
  EXPECT_EQ(DefaultTextColour(0xFF000000u), 0xFF000000u);
  EXPECT_EQ(DefaultFontFamily(WideTextFromWString(kSongTi)).WString(), kSongTi);
  FontDescription description = MakeFontDescription();
  EXPECT_EQ(description.size, 15);
  EXPECT_EQ(description.glowColour, 0x80FF0000u);
  EXPECT_EQ(description.style, 64u);
  EXPECT_EQ(description.colour, 0xFF000000u);
  EXPECT_EQ(description.family.WString(), kSongTi);
}

TEST_F(FontsTest, DescriptionWithOnlyTheSizeTakesEveryOtherDefault) {
  DefaultGlowColour(0x40112233u);
  FontDescription description = MakeFontDescription(std::nullopt, std::nullopt, 20.0f);
  EXPECT_EQ(description.style, 4688u);
  EXPECT_EQ(description.family.WString(), kYaHei);
  EXPECT_EQ(description.size, 20);
  EXPECT_EQ(description.colour, MakeArgb(254, 255, 255, 255));
  EXPECT_EQ(description.glowColour, 0x40112233u);

  FontObject font = MakeFont(description);
  ASSERT_TRUE(font);
  EXPECT_EQ(AlignmentOf(font), std::make_pair(1, 1));  // centred both ways
  EXPECT_TRUE(font.hasGlow());
  EXPECT_EQ(SolidColourOf(font.glowBrush()), 0x40112233u);
  EXPECT_EQ(SolidColourOf(font.textBrush()), MakeArgb(254, 255, 255, 255));
  EXPECT_EQ(FamilyNameOf(font), kYaHei);
  REAL size = 0;
  GdipGetFontSize(font.font(), &size);
  EXPECT_EQ(size, 20);
  Unit unit = UnitPixel;
  GdipGetFontUnit(font.font(), &unit);
  EXPECT_EQ(unit, UnitWorld);
}

TEST_F(FontsTest, InstallerFontsKeepWhatIsGiven) {
  // The title font: colour 0 and glow 0, every other value the default.
  FontDescription title = MakeFontDescription(std::nullopt, std::nullopt, std::nullopt, 0u, 0u);
  EXPECT_EQ(title.colour, 0u);
  EXPECT_EQ(title.glowColour, 0u);
  EXPECT_EQ(title.size, 12);
  // An empty family counts as not given.
  FontDescription status = MakeFontDescription(std::nullopt, WideText(), 13.0f,
                                               MakeArgb(255, 128, 224, 0), 0u);
  EXPECT_EQ(status.family.WString(), kYaHei);
  EXPECT_EQ(status.colour, 0xFF80E000u);
  FontDescription song = MakeFontDescription(1u, WideTextFromWString(kSongTi));
  EXPECT_EQ(song.family.WString(), kSongTi);
  EXPECT_EQ(song.style, 1u);
}

TEST_F(FontsTest, StyleBitsBecomeFormatAndFontStyle) {
  struct Case {
    uint32_t style;
    bool noWrap;
    std::pair<int, int> alignment;
    INT flags;
    INT fontStyle;
  };
  const Case cases[] = {
      {64 + 256, false, {1, 0}, 3072, 0},
      {32 | 64 | 128 | 1024, true, {0, 2}, 3072 | 4096, 0},
      {2048, false, {2, 2}, 3072 | 2, 0},
      {1 | 8, false, {0, 0}, 3072, 1 | 4},
      {2 | 4 | 4096, false, {0, 0}, 3072, 2 | 8},
  };
  for (const Case& c : cases) {
    FontObject font = MakeFont(MakeFontDescription(c.style), c.noWrap);
    ASSERT_TRUE(font) << c.style;
    EXPECT_EQ(AlignmentOf(font), c.alignment) << c.style;
    EXPECT_EQ(FormatFlagsOf(font), c.flags) << c.style;
    INT fontStyle = -1;
    GdipGetFontStyle(font.font(), &fontStyle);
    EXPECT_EQ(fontStyle, c.fontStyle) << c.style;
    EXPECT_EQ(font.hasGlow(), (c.style & 4096) != 0) << c.style;
    EXPECT_EQ(font.glowBrush() != nullptr, (c.style & 4096) != 0) << c.style;
    EXPECT_EQ(font.description().style, c.style);
  }
}

TEST_F(FontsTest, TypographicFormatGetsTheToolkitFlags) {
  FontObject font = MakeFont(MakeFontDescription(64u), true, true);
  ASSERT_TRUE(font);
  EXPECT_EQ(FormatFlagsOf(font), 3072 | 4096);
  // The process-wide generic format is left as it was.
  GpStringFormat* generic = nullptr;
  ASSERT_EQ(GdipStringFormatGetGenericTypographic(&generic), Ok);
  INT genericFlags = 0;
  GdipGetStringFormatFlags(generic, &genericFlags);
  EXPECT_NE(genericFlags, 3072 | 4096);
}

TEST_F(FontsTest, MissingFamilyFallsBackToSongTi) {
  FontObject font = MakeFont(MakeFontDescription(0u, WideTextFromWString(L"No Such Family")));
  ASSERT_TRUE(font);
  EXPECT_EQ(FamilyNameOf(font), kSongTi);
  EXPECT_EQ(font.description().family.WString(), L"No Such Family");
}

TEST_F(FontsTest, OwnCollectionIsSearchedWhenTheNameIsNotInstalled) {
  // A font only this process knows: 微软雅黑's bytes with every name record saying 测试字体
  // (same length in UTF-16, so the name table's offsets still hold).
  WCHAR windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  std::ifstream file(std::filesystem::path(std::wstring(windows) + L"\\Fonts\\msyh.ttf"),
                     std::ios::binary);
  ASSERT_TRUE(file) << "scripts/wine-fonts.sh installs msyh.ttf";
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
  const uint8_t from[] = {0x5F, 0xAE, 0x8F, 0x6F, 0x96, 0xC5, 0x9E, 0xD1};  // 微软雅黑, UTF-16BE
  const uint8_t to[] = {0x6D, 0x4B, 0x8B, 0xD5, 0x5B, 0x57, 0x4F, 0x53};    // 测试字体
  int renamed = 0;
  for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), std::begin(from),
                                                  std::end(from))) != bytes.end();) {
    at = std::copy(std::begin(to), std::end(to), at);
    ++renamed;
  }
  ASSERT_GT(renamed, 0);

  const WideText name = WideTextFromWString(L"测试字体");
  EXPECT_FALSE(FindFontFamily(name));  // also makes GDI+ list the installed fonts now
  ASSERT_TRUE(AddToolkitFontBytes(bytes));
  bytes.assign(bytes.size(), 0);  // the collection keeps its own copy
  ASSERT_NE(ToolkitFontCollection(), nullptr);

  UniqueGpFontFamily installedOnly;
  EXPECT_NE(GdipCreateFontFamilyFromName(name.WString().c_str(), nullptr, installedOnly.put()), Ok);
  EXPECT_TRUE(FindFontFamily(name));
  FontObject font = MakeFont(MakeFontDescription(0u, name, 24.0f, 0xFFFFFFFFu));
  ASSERT_TRUE(font);
  EXPECT_EQ(FamilyNameOf(font), L"测试字体");

  TestCanvas canvas = MakeTestCanvas(200, 40, kBackground);
  ASSERT_TRUE(DrawText(canvas.graphics.get(), font, std::string("开启之旅"),
                       RectF(0, 0, 200, 40)));
  EXPECT_GT(TextPixels(canvas.bitmap.get(), kBackground), 100);

  EXPECT_FALSE(AddToolkitFontBytes({}));
  EXPECT_FALSE(AddToolkitFontFile(L"C:\\no\\such\\font.ttf"));
  // A font file joins the same collection.
  INT familiesBefore = 0, familiesAfter = 0;
  GdipGetFontCollectionFamilyCount(ToolkitFontCollection(), &familiesBefore);
  EXPECT_TRUE(AddToolkitFontFile(std::wstring(windows) + L"\\Fonts\\simsun.ttf"));
  GdipGetFontCollectionFamilyCount(ToolkitFontCollection(), &familiesAfter);
  EXPECT_EQ(familiesAfter, familiesBefore + 1);
}

TEST_F(FontsTest, ChineseTextIsDrawnWithTheDefaultFamily) {
  FontObject font = MakeFont(MakeFontDescription(std::nullopt, std::nullopt, 20.0f));
  ASSERT_TRUE(font);
  ASSERT_EQ(FamilyNameOf(font), kYaHei);
  TestCanvas canvas = MakeTestCanvas(420, 60, kBackground);
  ASSERT_TRUE(DrawText(canvas.graphics.get(), font, std::string("正在为您开启Velmora之旅"),
                       RectF(0, 0, 420, 60)));
  SavePng(canvas.bitmap.get(), L"draw_text_default_family.png");
  const int pixels = TextPixels(canvas.bitmap.get(), kBackground);
  EXPECT_GT(pixels, 400);
  // Centred both ways: the ink stays off the left and right ends and the top and bottom rows.
  for (int32_t y = 0; y < 60; ++y) {
    EXPECT_LE(ChannelDistance(PixelAt(canvas.bitmap.get(), 2, y), kBackground), 60);
    EXPECT_LE(ChannelDistance(PixelAt(canvas.bitmap.get(), 417, y), kBackground), 60);
  }

  // Different characters look different: missing glyphs would all be the same box.
  auto render = [&](const char* text) {
    TestCanvas c = MakeTestCanvas(160, 40, kBackground);
    DrawText(c.graphics.get(), font, std::string(text), RectF(0, 0, 160, 40));
    return AllPixels(c.bitmap.get());
  };
  std::vector<Argb> first = render("正在为您开启");
  std::vector<Argb> second = render("使用说明文件");
  size_t differing = 0;
  for (size_t i = 0; i < first.size(); ++i) differing += first[i] != second[i] ? 1 : 0;
  EXPECT_GT(differing, 300u);
}

TEST_F(FontsTest, GlowOnALayoutUnderThreeByThreeShowsNothing) {
  // Transparent letters, opaque red glow: whatever shows is glow.
  FontObject font = MakeFont(MakeFontDescription(4688u, std::nullopt, 20.0f, 0u, 0xFFFF0000u));
  ASSERT_TRUE(font.hasGlow());
  for (RectF layout : {RectF(10, 10, 2, 2), RectF(10, 10, 2.9f, 40), RectF(10, 10, 60, 2)}) {
    TestCanvas canvas = MakeTestCanvas(80, 60);
    DrawText(canvas.graphics.get(), font, std::string("正"), layout);
    EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p != 0; }), 0)
        << layout.Width << " x " << layout.Height;
  }
  TestCanvas canvas = MakeTestCanvas(120, 60);
  ASSERT_TRUE(DrawText(canvas.graphics.get(), font, std::string("正在"), RectF(0, 0, 120, 60)));
  SavePng(canvas.bitmap.get(), L"draw_text_glow.png");
  EXPECT_GT(CountPixels(canvas.bitmap.get(), [](Argb p) { return RedOf(p) > 0 && AlphaOf(p) > 0; }),
            100);
  EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return GreenOf(p) > 0; }), 0);
}

TEST_F(FontsTest, NoGlowWithoutTheGlowBit) {
  FontObject font = MakeFont(MakeFontDescription(64u | 512u, std::nullopt, 20.0f, 0u, 0xFFFF0000u));
  EXPECT_FALSE(font.hasGlow());
  TestCanvas canvas = MakeTestCanvas(120, 60);
  ASSERT_TRUE(DrawText(canvas.graphics.get(), font, std::string("正在"), RectF(0, 0, 120, 60)));
  EXPECT_EQ(CountPixels(canvas.bitmap.get(), [](Argb p) { return p != 0; }), 0);
}

TEST_F(FontsTest, MeasureText) {
  FontObject font = MakeFont(MakeFontDescription(0u, std::nullopt, 12.0f));
  SizeF line = MeasureText(font, std::string("正在为您开启Velmora之旅"));
  EXPECT_GT(line.Width, 100);
  EXPECT_GT(line.Height, 10);
  EXPECT_LT(line.Height, 30);
  SizeF wrapped = MeasureText(font, std::string("正在为您开启Velmora之旅"), 50.0f);
  EXPECT_LE(wrapped.Width, 50.5f);
  EXPECT_GT(wrapped.Height, line.Height * 2);
  SizeF fromDescription =
      MeasureText(MakeFontDescription(0u, std::nullopt, 12.0f), std::string("正在为您开启Velmora之旅"));
  EXPECT_FLOAT_EQ(fromDescription.Width, line.Width);
  SizeF empty = MeasureText(font, std::string());
  EXPECT_EQ(empty.Width, 0);
  EXPECT_EQ(empty.Height, 0);
  EXPECT_EQ(MeasureText(FontObject(), std::string("x")).Width, 0);
  // No-wrap ignores the width.
  FontObject single = MakeFont(MakeFontDescription(0u, std::nullopt, 12.0f), true);
  SizeF unwrapped = MeasureText(single, std::string("正在为您开启Velmora之旅"), 50.0f);
  EXPECT_LT(unwrapped.Height, 30);
}

TEST_F(FontsTest, DrawTextWithoutLayoutUsesTheMeasuredBoxAtTheOrigin) {
  FontObject font = MakeFont(MakeFontDescription(0u, std::nullopt, 16.0f, 0xFFFFFFFFu));
  const std::string text = "使用说明";
  SizeF size = MeasureText(font, text);
  TestCanvas canvas = MakeTestCanvas(200, 80, kBackground);
  ASSERT_TRUE(DrawText(canvas.graphics.get(), font, text));
  EXPECT_GT(TextPixels(canvas.bitmap.get(), kBackground), 50);
  for (int32_t y = 0; y < 80; ++y) {
    for (int32_t x = 0; x < 200; ++x) {
      if (x <= size.Width + 1 && y <= size.Height + 1) continue;
      ASSERT_LE(ChannelDistance(PixelAt(canvas.bitmap.get(), x, y), kBackground), 60) << x << "," << y;
    }
  }
  EXPECT_FALSE(DrawText(canvas.graphics.get(), FontObject(), text));
  EXPECT_FALSE(DrawText(nullptr, font, text));
}

}  // namespace
