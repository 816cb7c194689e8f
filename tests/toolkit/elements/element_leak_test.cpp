// A long run of element work gives back every GDI object it takes: refreshes, moves that replace
// surfaces, fades that make transition buffers, hints, and elements destroyed and created again.
#include <gtest/gtest.h>

#include <cstdio>

#include "element_test_support.h"
#include "toolkit/elements/label.h"
#include "toolkit/elements/panel.h"
#include "toolkit/elements/sprite_animation.h"
#include "toolkit/window/toolkit.h"

size_t LiveGdiObjects();  // tests/toolkit/draw/draw_test_support.cpp

namespace {

TEST(ElementLeakTest, ElementWorkHoldsNoMoreGdiObjectsAfterwards) {
  TestHostWindow host(300, 200);
  DeferredPresentation(false);
  AnimationsEnabled(true);
  Panel panel;
  panel.Create(host.root(), {10, 10, 100, 20}, MakeArgb(255, 10, 20, 30));
  Label label;
  label.Create(panel.GetHandle(), {0, 0, 100, 20}, "50%",
               MakeFontDescription(std::nullopt, std::nullopt, 10.0f, MakeArgb(255, 255, 255, 255)));
  const auto strip = MakePng(56, 10, [](int32_t x, int32_t) { return MakeArgb(255, x * 4, 0, 0); });
  SpriteAnimation sprite;
  Rect spriteRect{150, 10, 56, 10};
  sprite.Create(host.root(), spriteRect, strip, 2, 1000);

  auto round = [&](int i) {
    panel.Move(std::nullopt, std::nullopt, 50 + i % 100);  // a new surface every time
    panel.Refresh();
    label.SetText(std::to_string(i % 100) + "%", i % 3 != 0);
    while (label.transitionRunning()) SendElementMessage(label.GetHandle(), 10, kFadeInTimerKey, 50);
    sprite.SetHint("busy", true);
    SendElementMessage(sprite.GetHandle(), 10, kSpriteTimerKey, 0);
    ProbeElement temporary;
    temporary.Create(host.root(), {0, 100, 40, 40});
    temporary.FadeOut(10, 50);
    SendElementMessage(temporary.GetHandle(), 10, kFadeOutTimerKey, 50);
  };
  for (int i = 0; i < 20; ++i) round(i);  // warm-up: caches of GDI+ and the system settle
  PumpFor(50);
  const size_t before = LiveGdiObjects();
  ASSERT_GT(before, 0u) << "no way to count GDI objects here";
  for (int i = 0; i < 400; ++i) round(i);
  PumpFor(50);
  const size_t after = LiveGdiObjects();
  std::printf("GDI objects before %zu, after 400 rounds %zu\n", before, after);
  EXPECT_LE(after, before);
}

}  // namespace
