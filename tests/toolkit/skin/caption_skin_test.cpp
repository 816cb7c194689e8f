// The default skin on a real window: the toolkit's start-up applies it through its start hook, and
// a window with caption buttons shows the skin's close, maximise and minimise images, pixel for
// pixel, on the virtual display.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/toolkit/window/window_test_support.h"
#include "toolkit/skin/apply_skin.h"
#include "toolkit/skin/skin_images.h"
#include "toolkit/window/skin_window.h"

namespace {

using namespace Gdiplus::DllExports;

const Argb kBackground = MakeArgb(255, 36, 84, 150);

class CaptionSkinTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetToolkitStartHooks(ApplyDefaultSkin, nullptr);
    ASSERT_TRUE(InitialiseToolkit());
  }
  void TearDown() override { window.Destroy(); }

  SkinWindow window;
};

Argb ImagePixel(Gdiplus::GpImage* image, int x, int y) {
  Gdiplus::ARGB pixel = 0;
  GdipBitmapGetPixel(static_cast<Gdiplus::GpBitmap*>(image), x, y, &pixel);
  return pixel;
}

// The image pixel laid over the opaque background.
Argb OverBackground(Argb pixel) {
  const int alpha = AlphaOf(pixel);
  auto mix = [&](int source, int back) { return (source * alpha + back * (255 - alpha) + 127) / 255; };
  return MakeArgb(255, mix(RedOf(pixel), RedOf(kBackground)), mix(GreenOf(pixel), GreenOf(kBackground)),
                  mix(BlueOf(pixel), BlueOf(kBackground)));
}

bool Near(Argb a, Argb b, int tolerance) {
  return std::abs(RedOf(a) - RedOf(b)) <= tolerance && std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
         std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

TEST_F(CaptionSkinTest, StartUpAppliesTheDefaultSkin) {
  EXPECT_EQ(ToolkitSkinDatabase().Count(), 46);
  for (int button : {kCaptionClose, kCaptionMaximise, kCaptionRestore, kCaptionMinimise}) {
    for (int state = 0; state < kCaptionStateCount; ++state) EXPECT_NE(CaptionButtonImage(state, button), nullptr);
  }
}

TEST_F(CaptionSkinTest, AWindowShowsTheSkinsCloseMaximiseAndMinimiseImages) {
  XdoTool("mousemove 5 5");  // keep the pointer off the buttons: every button shows its normal face
  window.Create(nullptr, InvisibleTitleFont(), "Skin", Rect{200, 150, 320, 180},
                window_style::kCaptionButtons | window_style::kMaximiseButton | window_style::kMinimiseButton, false,
                0u, 0u, false, std::nullopt, kBackground);
  ASSERT_NE(window.WindowHandle(), nullptr);
  window.Show(true);
  PumpFor(400);
  Screenshot shot;
  ASSERT_TRUE(shot.Take());

  RECT onScreen{};
  GetWindowRect(window.WindowHandle(), &onScreen);
  const std::vector<CaptionButton>& buttons = window.captionButtons();
  ASSERT_EQ(buttons.size(), 3u);
  struct Expected {
    int32_t kind;
    int index;  // in the skin image table
  } expected[] = {{caption_kind::kClose, kCaptionClose},
                  {caption_kind::kMaximise, kCaptionMaximise},
                  {caption_kind::kMinimise, kCaptionMinimise}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(testing::Message() << "button kind " << expected[i].kind);
    const CaptionButton& button = buttons[i];
    ASSERT_EQ(button.kind, expected[i].kind);
    Gdiplus::GpImage* image = CaptionButtonImage(kCaptionNormal, expected[i].index);
    ASSERT_NE(image, nullptr);
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    ASSERT_EQ(button.bounds.width, static_cast<int32_t>(width));
    ASSERT_EQ(button.bounds.height, static_cast<int32_t>(height));

    int glyph = 0;       // pixels where the image is mostly opaque
    int mismatched = 0;  // pixels that differ from the image over the background
    for (int y = 0; y < button.bounds.height; ++y) {
      for (int x = 0; x < button.bounds.width; ++x) {
        Argb want = OverBackground(ImagePixel(image, x, y));
        Argb got = shot.Pixel(onScreen.left + button.bounds.x + x, onScreen.top + button.bounds.y + y);
        if (AlphaOf(ImagePixel(image, x, y)) > 200) ++glyph;
        if (!Near(got, want, 6)) {
          if (++mismatched <= 5) ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << ColourNear(got, want, 6).message();
        }
      }
    }
    EXPECT_EQ(mismatched, 0);
    EXPECT_GT(glyph, 8);  // the glyph is there to be seen, not a blank image
  }
}

}  // namespace
