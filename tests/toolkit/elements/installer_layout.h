// The installer window's layout rebuilt with generated images: a 500 × 200 SkinWindow holding the
// eleven elements in the installer's order, for the integration test and the benchmark.
#pragma once

#include "toolkit/elements/hover_image_button.h"
#include "toolkit/elements/image_button.h"
#include "toolkit/elements/label.h"
#include "toolkit/elements/panel.h"
#include "toolkit/elements/picture.h"
#include "toolkit/elements/sprite_animation.h"
#include "toolkit/window/skin_window.h"

// Colours of the generated images, so pixel checks know what to look for.
inline constexpr Argb kLayoutBackground = MakeArgb(255, 28, 28, 28);
inline constexpr Argb kInstallNormal = MakeArgb(255, 30, 110, 220);
inline constexpr Argb kInstallHot = MakeArgb(255, 60, 140, 240);
inline constexpr Argb kInstallPressed = MakeArgb(255, 20, 80, 170);
inline constexpr Argb kMarkerColour = MakeArgb(255, 240, 120, 20);
inline constexpr Argb kLogoColour = MakeArgb(255, 230, 230, 230);
inline constexpr Argb kFillColour = MakeArgb(255, 204, 65, 4);

struct InstallerLayout {
  // Elements are declared after the window, so they go first.
  SkinWindow window;
  Panel progressTrack;
  Panel progressFill;
  Panel dragArea;
  HoverImageButton closeButton;
  Picture logo;
  Picture progressMarker;
  Label percentLabel;
  Label statusLabel;
  ImageButton installButton;
  SpriteAnimation busyIndicator;
  Picture blankPicture;
  int32_t fullTrackWidth = 0;

  // Creates the window and the elements as the installer does (layered with a shadow when asked),
  // refreshes and shows the window.
  void Build(bool layered);
  // What pressing install shows: the install button gone, the progress elements shown, the close
  // button hidden, the status text set.
  void ShowInstalling();
  // The installer's progress display for a percentage.
  void SetProgress(int32_t percentage);
};
