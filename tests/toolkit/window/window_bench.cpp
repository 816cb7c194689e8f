// Timings of the window layer on the virtual display: one full RebuildSurfaces and one layered
// Present of the installer's 500 × 200 window with shadow, and the frame time of the flip (effect
// 9). Prints the median, minimum and maximum of each. Run by scripts/bench-window.sh.
//
//   toolkit_window_bench.exe [runs]   (default 200)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/support/clock.h"
#include "tests/toolkit/window/window_test_support.h"
#include "toolkit/window/skin_window.h"

namespace {

void Report(const char* what, std::vector<double> milliseconds) {
  std::sort(milliseconds.begin(), milliseconds.end());
  std::printf("%-44s median %7.3f ms   min %7.3f   max %7.3f   (%zu runs)\n", what,
              milliseconds[milliseconds.size() / 2], milliseconds.front(), milliseconds.back(), milliseconds.size());
}

template <typename Action>
std::vector<double> Time(int runs, Action action) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = MillisecondsNow();
    action();
    times.push_back(MillisecondsNow() - start);
  }
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  UseUnmanagedWindows();
  if (!InitialiseToolkit()) return 1;

  SkinWindow window;
  window.Create(nullptr, InvisibleTitleFont(), "Velmora", Rect{0, 0, 500, 200}, 1u, false, 0u, 0u, true,
                std::nullopt, MakeArgb(255, 28, 28, 28));
  window.SetShadowColour(0xC06000);
  window.SetLayered(true, true);
  window.Refresh();
  window.Show(true);
  PumpFor(200);

  Report("RebuildSurfaces (500 x 200, layered, shadow)", Time(runs, [&] {
           window.RebuildSurfaces();
           GdiFlush();
         }));
  Report("Present (layered, whole window)", Time(runs, [&] { window.Present(); }));

  // The flip: every in-frame of a show and every out-frame of a hide, driven directly.
  window.SetShowEffect(9, 1);
  std::vector<double> inFrames, outFrames;
  const WPARAM showTimer = static_cast<WPARAM>(MAKELONG(kTransitionTimer, 1));
  const WPARAM hideTimer = static_cast<WPARAM>(MAKELONG(kTransitionTimer, 0));
  for (int cycle = 0; cycle < std::max(1, runs / 40); ++cycle) {
    window.Show(false);
    while (window.TransitionRunning()) {
      double start = MillisecondsNow();
      window.OnTimer(hideTimer);
      outFrames.push_back(MillisecondsNow() - start);
    }
    window.Show(true);
    while (window.TransitionRunning()) {
      double start = MillisecondsNow();
      window.OnTimer(showTimer);
      inFrames.push_back(MillisecondsNow() - start);
    }
  }
  Report("Effect 9 in-frame (draw + present)", inFrames);
  Report("Effect 9 out-frame (draw + present)", outFrames);
  window.Destroy();
  return 0;
}
