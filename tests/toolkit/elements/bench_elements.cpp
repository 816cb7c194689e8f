// Benchmark (not a test): element refresh costs inside the installer's 500 × 200 layered window
// with its eleven elements, and the GDI objects held around a long run of refreshes. Prints
// figures; scripts/bench-elements.sh builds and runs it under Wine.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "element_test_support.h"
#include "tests/support/clock.h"
#include "installer/installer_elements.h"
#include "tests/installer/installer_test_images.h"
#include "toolkit/window/toolkit.h"

size_t LiveGdiObjects();  // tests/toolkit/draw/draw_test_support.cpp

namespace {

struct Figures {
  double median = 0;
  double mean = 0;
  double p90 = 0;
};

// Times `rounds` calls of `action`, letting the window's messages through every 50 calls (as the
// installer's progress reporting does) outside the timed part.
Figures Measure(int rounds, const std::function<void(int)>& action) {
  std::vector<double> times;
  times.reserve(static_cast<size_t>(rounds));
  for (int i = 0; i < rounds; ++i) {
    const double start = SecondsNow();
    action(i);
    times.push_back((SecondsNow() - start) * 1e6);
    if (i % 50 == 49) PumpFor(0);
  }
  Figures figures;
  for (double t : times) figures.mean += t;
  figures.mean /= static_cast<double>(times.size());
  std::sort(times.begin(), times.end());
  figures.median = times[times.size() / 2];
  figures.p90 = times[times.size() * 9 / 10];
  return figures;
}

void Print(const char* what, const Figures& f) {
  std::printf("  %-44s median %8.1f us   mean %8.1f us   p90 %8.1f us\n", what, f.median, f.mean,
              f.p90);
}

}  // namespace

int main() {
  const TestInstallerImages images;  // starts the toolkit
  InstallerElements layout;
  layout.Build(images.Images(), {.transitionEffects = false});
  layout.ShowInstalling();
  layout.ShowProgress(1);
  PumpFor(200);
  std::printf("Installer window: %d x %d, layered with shadow, %d registry entries\n",
              layout.window.Width(), layout.window.Height(), RegistryCount());

  constexpr int kRounds = 1000;
  for (bool deferred : {false, true}) {
    DeferredPresentation(deferred);
    std::printf("%s presentation:\n", deferred ? "Deferred (30 ms timer)" : "Immediate");
    Print("statusLabel.Refresh()", Measure(kRounds, [&](int) { layout.statusLabel.Refresh(); }));
    Print("progressFill.Move(width) + Refresh()", Measure(kRounds, [&](int i) {
            layout.progressFill.Move(std::nullopt, std::nullopt, 2 + i % 470);
            layout.progressFill.Refresh();
          }));
    Print("progressMarker.Move(x) + Refresh()", Measure(kRounds, [&](int i) {
            layout.progressMarker.Move(2 + i % 440);
            layout.progressMarker.Refresh();
          }));
    Print("percentLabel.SetText(new text)",
          Measure(kRounds, [&](int i) { layout.percentLabel.SetText(std::to_string(i % 101) + "%", true); }));
    Print("SetProgress(p) (fill, marker, percent label)",
          Measure(kRounds / 4, [&](int i) { layout.ShowProgress(i % 101); }));
    Print("SetProgress(p) again with the same p", Measure(kRounds / 4, [&](int) { layout.ShowProgress(50); }));
    PumpFor(100);
  }

  DeferredPresentation(false);
  const size_t before = LiveGdiObjects();
  for (int i = 0; i < 10000; ++i) {
    if (i % 2 == 0) {
      layout.statusLabel.Refresh();
    } else {
      layout.progressFill.Move(std::nullopt, std::nullopt, 2 + i % 470);
      layout.progressFill.Refresh();
    }
    if (i % 100 == 99) PumpFor(0);
  }
  PumpFor(200);
  const size_t after = LiveGdiObjects();
  std::printf("GDI objects held: %zu before, %zu after 10,000 refreshes (%s)\n", before, after,
              after <= before ? "no growth" : "GREW");
  return after <= before ? 0 : 1;
}
