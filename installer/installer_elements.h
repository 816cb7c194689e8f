// The installer window built from its layout table (installer_layout.h): the borderless layered
// SkinWindow and its eleven elements, and what the install's reports show in them. It depends on
// the toolkit only: the images come from the caller (the installer passes its embedded pictures,
// the tests and the benchmark generated ones), and so does the event handler.
//
// Everything runs on the GUI thread. The object owns the window and the elements; it must outlive
// the window (the toolkit's contract for SkinWindow and elements).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "installer/installer_layout.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/elements/hover_image_button.h"
#include "toolkit/elements/image_button.h"
#include "toolkit/elements/label.h"
#include "toolkit/elements/panel.h"
#include "toolkit/elements/picture.h"
#include "toolkit/elements/sprite_animation.h"
#include "toolkit/window/skin_window.h"

// The images of the window's slots (installer_layout::ImageSlot). The byte spans must stay valid
// during Build only; the decoded images are handed over to the elements.
struct InstallerImages {
  std::span<const uint8_t> closeBytes;
  UniqueGpImage logo;
  UniqueGpImage marker;
  UniqueGpImage installNormal;
  UniqueGpImage installHot;
  UniqueGpImage installPressed;
  std::span<const uint8_t> busyStripBytes;
};

struct InstallerBuildOptions {
  bool transitionEffects = true;  // the show and close transitions (the installer: not on XP)
  bool layered = true;            // per-pixel alpha with the drop shadow, as the installer shows it
  ElementEventHandler eventHandler = nullptr;  // given to the elements that handle events
};

class InstallerElements {
 public:
  InstallerElements() = default;
  InstallerElements(const InstallerElements&) = delete;
  InstallerElements& operator=(const InstallerElements&) = delete;

  // Creates the window and the elements in the table's order, with the table's flags, then
  // SetLayered, Refresh and Show. The toolkit must have been started (InitialiseToolkit).
  void Build(InstallerImages images, const InstallerBuildOptions& options = {});

  // What pressing install shows: the install button hidden and destroyed, the progress elements
  // shown, the close button hidden, the starting status text.
  void ShowInstalling();
  // The status line's text, redrawn at once.
  void ShowStatusText(const std::string& text);
  // The fill and the marker moved to `percentage` (FillWidthForPercentage of the track width read
  // at creation, MarkerLeftForFill), the percentage text set.
  void ShowProgress(int percentage);
  // The failed state: the window refreshed and the close button shown again.
  void ShowAbandoned();

  // The window and its elements, in the order they are created (elements after the window, so
  // they are destroyed first).
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
  int32_t fullTrackWidth = 0;  // width of progressTrack when it was created
};
