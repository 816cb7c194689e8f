#include "toolkit/window/caption_button.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptionKindsForStyle, CloseFirstThenTheRequestedButtonsInTheirOrder) {
  struct Case {
    uint32_t style;
    std::vector<int32_t> kinds;
  } cases[] = {
      {0, {}},
      {1, {}},
      {4 | 8, {}},  // without bit 2 there are no caption buttons at all
      {2, {1}},
      {2 | 4, {1, 2}},
      {2 | 8, {1, 4}},
      {47, {1, 2, 4}},
      {2 | 256 | 64, {1, 5, 7}},
      {2 | 4 | 8 | 64 | 128 | 256, {1, 2, 4, 5, 6, 7}},
  };
  for (const Case& c : cases) EXPECT_EQ(CaptionKindsForStyle(c.style), c.kinds) << c.style;
}

TEST(CaptionImagesFor, NamesAreGbkBytesOfTheSkinsTable) {
  CaptionImageNames close = CaptionImagesFor(caption_kind::kClose);
  EXPECT_EQ(close.normal, "\xB9\xD8\xB1\xD5_\xD5\xFD\xB3\xA3");  // 关闭_正常
  EXPECT_EQ(CaptionImagesFor(caption_kind::kMaximise).hot, "\xD7\xEE\xB4\xF3\xBB\xAF_\xB5\xE3\xC8\xBC");  // 最大化_点燃
  EXPECT_EQ(CaptionImagesFor(caption_kind::kRestore).pressed, "\xBB\xB9\xD4\xAD_\xB0\xB4\xCF\xC2");  // 还原_按下
  for (int32_t kind = 1; kind <= 7; ++kind) {
    CaptionImageNames names = CaptionImagesFor(kind);
    EXPECT_FALSE(names.normal.empty());
    EXPECT_NE(names.normal, names.hot);
    EXPECT_NE(names.hot, names.pressed);
  }
  EXPECT_TRUE(CaptionImagesFor(0).normal.empty());
  EXPECT_TRUE(CaptionImagesFor(8).hot.empty());
}

TEST(CaptionButtons, FaceAndHitTest) {
  std::vector<CaptionButton> buttons(2);
  buttons[0].bounds = {100, 5, 30, 20};
  buttons[1].bounds = {70, 5, 30, 20};
  EXPECT_EQ(CaptionButtonAt(buttons, 110, 10), 0);
  EXPECT_EQ(CaptionButtonAt(buttons, 80, 10), 1);
  EXPECT_EQ(CaptionButtonAt(buttons, 100, 10), -1);  // the shared edge belongs to neither
  buttons[0].visible = false;
  EXPECT_EQ(CaptionButtonAt(buttons, 110, 10), -1);
  CaptionButton button;
  EXPECT_EQ(FaceOf(button), CaptionFace::kNormal);
  button.hot = true;
  EXPECT_EQ(FaceOf(button), CaptionFace::kHot);
  button.pressed = true;
  EXPECT_EQ(FaceOf(button), CaptionFace::kPressed);
}

}  // namespace
