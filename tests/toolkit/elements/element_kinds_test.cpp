// The six element kinds, checked by the pixels they leave in the window's main surface.
#include <gtest/gtest.h>

#include "element_test_support.h"
#include "toolkit/elements/hover_image_button.h"
#include "toolkit/elements/image_button.h"
#include "toolkit/elements/label.h"
#include "toolkit/elements/panel.h"
#include "toolkit/elements/picture.h"
#include "toolkit/elements/sprite_animation.h"
#include "toolkit/elements/element_timers.h"
#include "toolkit/draw/shapes.h"
#include "toolkit/window/toolkit.h"

namespace {

constexpr Argb kRed = MakeArgb(255, 255, 0, 0);
constexpr Argb kGreen = MakeArgb(255, 0, 255, 0);
constexpr Argb kBlue = MakeArgb(255, 0, 0, 255);
constexpr Argb kBlack = MakeArgb(255, 0, 0, 0);
constexpr Argb kWhite = MakeArgb(255, 255, 255, 255);

#define EXPECT_PIXEL(host, x, y, colour)                                                     \
  EXPECT_TRUE(NearColour((host).Pixel(x, y), colour))                                        \
      << "at (" << (x) << ", " << (y) << "): " << ColourText((host).Pixel(x, y)) << " expected " \
      << ColourText(colour)

// Ticks a running fade to its end the way its timer would; answers the number of ticks.
int FinishFade(Element& element, int32_t step) {
  int ticks = 0;
  while (element.transitionRunning() && ticks < 100) {
    SendElementMessage(element.GetHandle(), 10, kFadeInTimerKey, step);
    ++ticks;
  }
  return ticks;
}

// How many pixels of the area differ from the window background.
int ChangedPixels(const TestHostWindow& host, const Rect& area) {
  int changed = 0;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      if (!NearColour(host.Pixel(x, y), host.background(), 8)) ++changed;
    }
  }
  return changed;
}

const std::vector<uint8_t> kNotAnImage = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};

class KindsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeferredPresentation(false);
    AnimationsEnabled(true);
  }
  TestHostWindow host{300, 200, MakeArgb(255, 200, 200, 200)};
};

// ---- Panel ----------------------------------------------------------------------------------------

TEST_F(KindsTest, PanelFillsItsRectangleAndCarriesItsChildren) {
  Panel track, fill;
  track.Create(host.root(), {12, 183, 276, 5}, MakeArgb(50, 0, 0, 0));
  fill.Create(track.GetHandle(), {0, 0, 100, 5}, MakeArgb(255, 204, 65, 4));
  EXPECT_PIXEL(host, 200, 185, BlendOver(host.background(), MakeArgb(50, 0, 0, 0)));
  EXPECT_PIXEL(host, 50, 185, MakeArgb(255, 204, 65, 4));
  EXPECT_PIXEL(host, 12, 182, host.background());
  EXPECT_PIXEL(host, 288, 185, host.background());
}

TEST_F(KindsTest, TransparentPanelPaintsNothingButTakesInput) {
  Panel dragArea;
  dragArea.Create(host.root(), {10, 10, 280, 180}, 0);
  EXPECT_EQ(ChangedPixels(host, {10, 10, 280, 180}), 0);
  EXPECT_EQ(HitTest(host.handle(), POINT{100, 100}), dragArea.GetHandle());
}

TEST_F(KindsTest, PanelColourFadesInOverTwentyTwoTicks) {
  Panel panel;
  panel.Create(host.root(), {10, 10, 50, 50}, kRed);
  panel.SetColour(kBlue);
  EXPECT_TRUE(panel.transitionRunning());
  EXPECT_EQ(FinishFade(panel, 5), 22);
  EXPECT_PIXEL(host, 30, 30, kBlue);
  EXPECT_EQ(panel.fillColour(), kBlue);
}

// A panel refreshed with nothing changed keeps its surface as it is; whatever changed the surface
// behind it (drawing through its graphics, a fade-out) or changed its colour makes the next
// refresh show the panel's own colour again.
TEST_F(KindsTest, PanelRefreshShowsItsColourAfterItsSurfaceWasDrawnOnFadedOutOrRecoloured) {
  Panel panel;
  panel.Create(host.root(), {10, 10, 50, 50}, kRed);
  FillRect(panel.GetSurfaceGraphics(), kGreen, 0, 0, 50, 50);
  panel.Refresh();
  EXPECT_PIXEL(host, 30, 30, kRed);

  panel.FadeOut(5, 50);
  for (int tick = 0; panel.transitionRunning() && tick < 100; ++tick) {
    SendElementMessage(panel.GetHandle(), 10, kFadeOutTimerKey, 50);
  }
  ASSERT_FALSE(panel.transitionRunning());
  panel.Refresh();
  EXPECT_PIXEL(host, 30, 30, kRed);

  AnimationsEnabled(false);  // the colour is then shown at once
  panel.SetColour(kBlue);
  EXPECT_PIXEL(host, 30, 30, kBlue);
  panel.Refresh();
  EXPECT_PIXEL(host, 30, 30, kBlue);
}

// ---- HoverImageButton -----------------------------------------------------------------------------

TEST_F(KindsTest, HoverImageButtonGetsABlackBackdropUnderTheMouse) {
  // Left half opaque white, right half transparent.
  const auto png = MakePng(30, 31, [](int32_t x, int32_t) { return x < 15 ? kWhite : 0u; });
  HoverImageButton close;
  close.Create(host.root(), {250, 10, 30, 31}, png);
  ASSERT_NE(close.image(), nullptr);
  EXPECT_PIXEL(host, 255, 20, kWhite);
  EXPECT_PIXEL(host, 275, 20, host.background());

  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(270, 20));
  EXPECT_TRUE(close.hot());
  EXPECT_EQ(FinishFade(close, 10), 11);
  EXPECT_PIXEL(host, 255, 20, kWhite);
  EXPECT_PIXEL(host, 275, 20, kBlack);

  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
  EXPECT_FALSE(close.hot());
  FinishFade(close, 10);
  EXPECT_PIXEL(host, 275, 20, host.background());
}

TEST_F(KindsTest, HoverImageButtonWithBytesThatDoNotDecodeDrawsOnlyItsBackdrop) {
  HoverImageButton broken;
  broken.Create(host.root(), {10, 10, 30, 31}, kNotAnImage);
  EXPECT_EQ(broken.image(), nullptr);
  EXPECT_EQ(ChangedPixels(host, {10, 10, 30, 31}), 0);
  SendElementMessage(broken.GetHandle(), 27, 0, 0);
  FinishFade(broken, 10);
  EXPECT_PIXEL(host, 25, 25, kBlack);
}

// ---- Picture --------------------------------------------------------------------------------------

TEST_F(KindsTest, PictureDrawsItsImageAtItsOwnSize) {
  Picture picture;
  picture.Create(host.root(), {20, 20, 60, 60}, MakeSolidImage(30, 10, kGreen));
  EXPECT_PIXEL(host, 21, 21, kGreen);
  EXPECT_PIXEL(host, 48, 28, kGreen);
  EXPECT_PIXEL(host, 60, 25, host.background()) << "not stretched to the element";
  EXPECT_PIXEL(host, 30, 40, host.background());

  picture.SetImage(MakeSolidImage(60, 60, kBlue));
  EXPECT_PIXEL(host, 70, 70, kBlue);

  picture.ReleaseImage();
  EXPECT_EQ(picture.image(), nullptr);
  picture.Refresh();
  EXPECT_EQ(ChangedPixels(host, {20, 20, 60, 60}), 0);
}

TEST_F(KindsTest, PictureWithoutAnImageDrawsNothing) {
  Picture blank;
  blank.Create(host.root(), {180, 70, 120, 40}, UniqueGpImage());
  EXPECT_EQ(ChangedPixels(host, {180, 70, 120, 40}), 0);
}

// ---- Label ----------------------------------------------------------------------------------------

FontDescription LabelFont(float size, Argb colour) {
  return MakeFontDescription(std::nullopt, std::nullopt, size, colour, 0u);
}

TEST_F(KindsTest, LabelDrawsItsTextInsideItsRectangle) {
  Label label;
  label.Create(host.root(), {0, 100, 300, 30}, "Velmora 90%", LabelFont(13, kBlack));
  EXPECT_GT(ChangedPixels(host, {0, 100, 300, 30}), 30) << "letters drawn";
  EXPECT_EQ(ChangedPixels(host, {0, 60, 300, 40}), 0) << "nothing outside the element";
  // Centred by the default style: the left and right ends stay empty.
  EXPECT_EQ(ChangedPixels(host, {0, 100, 40, 30}), 0);
  EXPECT_EQ(ChangedPixels(host, {260, 100, 40, 30}), 0);
}

TEST_F(KindsTest, EmptyLabelDrawsNothing) {
  Label label;
  label.Create(host.root(), {0, 100, 300, 30}, "", LabelFont(13, kBlack));
  EXPECT_EQ(ChangedPixels(host, {0, 100, 300, 30}), 0);
  label.SetText("x", true);
  EXPECT_GT(ChangedPixels(host, {0, 100, 300, 30}), 0);
  label.Clear();
  label.Refresh();
  EXPECT_EQ(ChangedPixels(host, {0, 100, 300, 30}), 0);
}

TEST_F(KindsTest, ClearedLabelGivenTheEmptyTextLosesItsOldLetters) {
  Label label;
  label.Create(host.root(), {0, 100, 300, 30}, "x", LabelFont(13, kBlack));
  ASSERT_GT(ChangedPixels(host, {0, 100, 300, 30}), 0);
  label.Clear();  // empties the text without drawing
  label.SetText("", true);
  EXPECT_EQ(ChangedPixels(host, {0, 100, 300, 30}), 0);
}

// The progress display gives its percentage label the same text many times while the marker that
// carries it moves: the text stays drawn where the marker now is and is presented again.
TEST_F(KindsTest, LabelGivenTheSameTextAgainStaysDrawnWhereItsParentMovedAndIsPresented) {
  Panel marker;
  marker.Create(host.root(), {10, 100, 60, 30}, kBlue);
  Label label;
  label.Create(marker.GetHandle(), {0, 0, 60, 30}, "50%", LabelFont(13, kWhite));
  auto lettersIn = [&](const Rect& area) {
    int letters = 0;
    for (int y = area.y; y < area.y + area.height; ++y) {
      for (int x = area.x; x < area.x + area.width; ++x) letters += NearColour(host.Pixel(x, y), kWhite, 60) ? 1 : 0;
    }
    return letters;
  };
  const int drawn = lettersIn({10, 100, 60, 30});
  ASSERT_GT(drawn, 20);

  marker.Move(120);
  const int presented = host.presentCount();
  label.SetText("50%", true);
  EXPECT_EQ(lettersIn({120, 100, 60, 30}), drawn);
  EXPECT_EQ(ChangedPixels(host, {10, 100, 60, 30}), 0) << "nothing left at the old place";
  EXPECT_GT(host.presentCount(), presented);

  label.SetText("5%", true);  // a new text is drawn anew
  EXPECT_LT(lettersIn({120, 100, 60, 30}), drawn);
}

TEST_F(KindsTest, LabelTextChangesAtOnceOrCrossFades) {
  Label label;
  label.Create(host.root(), {0, 100, 150, 30}, "1%", LabelFont(13, kBlack));
  const int one = ChangedPixels(host, {0, 100, 150, 30});
  label.SetText("100%", true);
  EXPECT_FALSE(label.transitionRunning());
  const int hundred = ChangedPixels(host, {0, 100, 150, 30});
  EXPECT_GT(hundred, one);

  label.SetText("", false);
  EXPECT_TRUE(label.transitionRunning());
  EXPECT_EQ(FinishFade(label, 5), 22);
  EXPECT_EQ(ChangedPixels(host, {0, 100, 150, 30}), 0);
}

// ---- ImageButton ----------------------------------------------------------------------------------

TEST_F(KindsTest, ImageButtonFollowsNormalHotPressedNormal) {
  ImageButton button;
  button.Create(host.root(), {50, 50, 100, 40}, MakeSolidImage(100, 40, kRed),
                MakeSolidImage(100, 40, kGreen), MakeSolidImage(100, 40, kBlue));
  std::vector<int32_t> states{button.state()};
  EXPECT_PIXEL(host, 100, 70, kRed);

  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 70));
  states.push_back(button.state());
  FinishFade(button, 10);
  EXPECT_PIXEL(host, 100, 70, kGreen);

  SendMessageW(host.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 70));
  states.push_back(button.state());
  FinishFade(button, 10);
  EXPECT_PIXEL(host, 100, 70, kBlue);

  SendMessageW(host.handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, 70));
  EXPECT_EQ(button.state(), ImageButton::kPressed) << "no left-up hook: stays pressed";
  EXPECT_PIXEL(host, 100, 70, kBlue);

  SendMessageW(host.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  states.push_back(button.state());
  EXPECT_EQ(FinishFade(button, 10), 11);
  EXPECT_PIXEL(host, 100, 70, kRed);
  EXPECT_EQ(states, (std::vector<int32_t>{1, 2, 3, 1}));
}

TEST_F(KindsTest, ImageButtonStateChangesFadeOnTheTimer) {
  ImageButton button;
  button.Create(host.root(), {50, 50, 100, 40}, MakeSolidImage(100, 40, kRed),
                MakeSolidImage(100, 40, kGreen), MakeSolidImage(100, 40, kBlue));
  SendElementMessage(button.GetHandle(), 27, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !button.transitionRunning(); }, 3000));
  EXPECT_PIXEL(host, 100, 70, kGreen);
}

TEST_F(KindsTest, ImageButtonWithoutImagesDrawsNothing) {
  ImageButton button;
  button.Create(host.root(), {50, 50, 100, 40}, MakeSolidImage(100, 40, kRed),
                MakeSolidImage(100, 40, kGreen), MakeSolidImage(100, 40, kBlue));
  button.ReleaseImages();
  EXPECT_EQ(button.state(), ImageButton::kReleased);
  button.Refresh();
  EXPECT_EQ(ChangedPixels(host, {50, 50, 100, 40}), 0);
  button.SetImages(MakeSolidImage(100, 40, kRed), UniqueGpImage(), UniqueGpImage());
  EXPECT_EQ(ChangedPixels(host, {50, 50, 100, 40}), 0) << "released draws nothing";
}

// ---- SpriteAnimation ------------------------------------------------------------------------------

Argb CellColour(int32_t cell) {
  return MakeArgb(255, static_cast<uint8_t>(cell * 15), static_cast<uint8_t>(255 - cell * 15), 90);
}

TEST_F(KindsTest, SpriteAnimationIsOneFrameWideAndShowsCellsOneToSixteen) {
  const auto strip = MakePng(476, 33, [](int32_t x, int32_t) { return CellColour(x / 28); });
  SpriteAnimation busy;
  Rect rect{230, 80, 476, 33};
  busy.Create(host.root(), rect, strip, 17, 100);
  EXPECT_EQ(rect.width, 28) << "the caller's record is changed too";
  EXPECT_EQ(busy.GetWidth(), 28);
  EXPECT_EQ(busy.frameRect(), (Rect{230, 80, 28, 33}));
  EXPECT_EQ(busy.frame(), 1);

  std::vector<int32_t> frames;
  for (int tick = 0; tick < 17; ++tick) {
    frames.push_back(busy.frame());
    EXPECT_PIXEL(host, 244, 96, CellColour(busy.frame())) << "frame " << busy.frame();
    EXPECT_PIXEL(host, 231, 81, CellColour(busy.frame()));
    SendElementMessage(busy.GetHandle(), 10, kSpriteTimerKey, 0);
  }
  std::vector<int32_t> expected;
  for (int32_t cell = 1; cell <= 16; ++cell) expected.push_back(cell);
  expected.push_back(1);
  EXPECT_EQ(frames, expected) << "cell 0 is never shown";
  EXPECT_PIXEL(host, 260, 96, host.background()) << "one frame wide";
}

TEST_F(KindsTest, SpriteAnimationRunsOnItsOwnTimerEvenHidden) {
  const auto strip = MakePng(476, 33, [](int32_t x, int32_t) { return CellColour(x / 28); });
  SpriteAnimation busy;
  Rect rect{230, 80, 476, 33};
  busy.Create(host.root(), rect, strip, 17, 20);
  busy.Visible(false);
  host.ClearPresentPending();
  const int32_t presents = host.presentCount();
  ASSERT_TRUE(PumpUntil([&] { return busy.frame() >= 4; }, 3000));
  EXPECT_EQ(ChangedPixels(host, {230, 80, 28, 33}), 0);
  EXPECT_EQ(host.presentCount(), presents) << "hidden ticks present nothing";
  EXPECT_FALSE(host.presentPending()) << "nor leave a present pending";
  busy.Visible(true);
  EXPECT_GT(host.presentCount(), presents) << "showing presents";
  EXPECT_PIXEL(host, 244, 96, CellColour(busy.frame())) << "shows the frame it has reached";
}

TEST_F(KindsTest, SpriteAnimationHiddenUnderAHiddenParentPresentsNothingAndDrawsWhenShown) {
  const auto strip = MakePng(476, 33, [](int32_t x, int32_t) { return CellColour(x / 28); });
  Panel holder;
  holder.Create(host.root(), {200, 60, 150, 60}, 0);
  holder.Visible(false);
  SpriteAnimation busy;
  Rect rect{30, 20, 476, 33};
  busy.Create(holder.GetHandle(), rect, strip, 17, 20);
  host.ClearPresentPending();
  const int32_t presents = host.presentCount();
  const int32_t first = busy.frame();
  ASSERT_TRUE(PumpUntil([&] { return busy.frame() >= first + 3; }, 3000));
  EXPECT_EQ(host.presentCount(), presents) << "a hidden parent hides the ticks too";
  EXPECT_FALSE(host.presentPending());
  holder.Visible(true);
  EXPECT_PIXEL(host, 244, 96, CellColour(busy.frame())) << "drawn at the frame reached once shown";
  const int32_t shown = host.presentCount();
  const int32_t at = busy.frame();
  ASSERT_TRUE(PumpUntil([&] { return busy.frame() != at; }, 3000));
  EXPECT_GT(host.presentCount(), shown) << "visible ticks present";
  EXPECT_PIXEL(host, 244, 96, CellColour(busy.frame()));
}

TEST_F(KindsTest, SpriteAnimationWithBytesThatDoNotDecodeDrawsNothing) {
  SpriteAnimation busy;
  Rect rect{10, 10, 476, 33};
  busy.Create(host.root(), rect, kNotAnImage, 17, 100);
  SendElementMessage(busy.GetHandle(), 10, kSpriteTimerKey, 0);
  EXPECT_EQ(busy.frame(), 2);
  EXPECT_EQ(ChangedPixels(host, {10, 10, 28, 33}), 0);

  SpriteAnimation single;
  Rect one{100, 10, 28, 33};
  single.Create(host.root(), one, kNotAnImage, 0, 100);  // a count of 0 is taken as 1
  EXPECT_EQ(single.GetWidth(), 28);
  SendElementMessage(single.GetHandle(), 10, kSpriteTimerKey, 0);
  EXPECT_EQ(single.frame(), 1);
}

}  // namespace
