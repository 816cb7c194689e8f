// Writes the installer window's layout as shell variables, so that the scripts that drive the real
// window (tests/installer/e2e, scripts/run-demo.sh, scripts/bench-installer.sh) click and look where
// the installer draws, from the one table the installer is built from:
//
//   print_installer_layout --out installer_layout.sh
//
// Window coordinates, origin at the window's top-left corner. For every element NAME:
// layout_NAME_x, _y, _w, _h (its rectangle as shown: a sprite is one frame wide) and _cx, _cy (its
// centre). layout_fill_width[p] and layout_marker_left[p] are the progress display at p percent.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "installer/installer_layout.h"

namespace layout = installer_layout;

namespace {

std::string Script() {
  std::ostringstream out;
  out << "# Written by print_installer_layout from installer/installer_layout.h; do not edit.\n";
  out << "layout_title='" << layout::kWindowTitle << "'\n";
  out << "layout_window_w=" << layout::kWindowBounds.width << " layout_window_h=" << layout::kWindowBounds.height
      << "\n";
  out << "layout_background='" << int{RedOf(layout::kBackgroundColour)} << " "
      << int{GreenOf(layout::kBackgroundColour)} << " " << int{BlueOf(layout::kBackgroundColour)} << "'\n";
  const layout::ElementTable& table = layout::kElements;
  for (int element = 0; element < layout::kElementCount; ++element) {
    Rect rect = layout::WindowRectOf(table, element);
    if (table[element].kind == layout::ElementKind::kSpriteAnimation) rect.width /= layout::kBusyFrames;
    const std::string name = "layout_" + std::string(table[element].name);
    out << name << "_x=" << rect.x << " " << name << "_y=" << rect.y << " " << name << "_w=" << rect.width << " "
        << name << "_h=" << rect.height << " " << name << "_cx=" << rect.x + rect.width / 2 << " " << name
        << "_cy=" << rect.y + rect.height / 2 << "\n";
  }
  const int32_t trackWidth = table[layout::kProgressTrack].rect.width;
  out << "layout_fill_width=(";
  for (int percentage = 0; percentage <= 100; ++percentage) {
    out << (percentage ? " " : "") << layout::FillWidthForPercentage(trackWidth, percentage);
  }
  out << ")\nlayout_marker_left=(";
  for (int percentage = 0; percentage <= 100; ++percentage) {
    out << (percentage ? " " : "")
        << layout::MarkerLeftForFill(layout::FillWidthForPercentage(trackWidth, percentage));
  }
  out << ")\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--out") {
    std::ofstream file(argv[2], std::ios::binary);
    file << Script();
    if (!file) {
      std::cerr << "print_installer_layout: cannot write " << argv[2] << "\n";
      return 1;
    }
    return 0;
  }
  if (argc == 1) {
    std::cout << Script();
    return 0;
  }
  std::cerr << "usage: print_installer_layout [--out FILE]\n";
  return 2;
}
