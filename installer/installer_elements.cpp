#include "installer/installer_elements.h"

#include <optional>
#include <utility>

#include "common/bench_marks.h"
#include "toolkit/draw/fonts.h"

namespace layout = installer_layout;

namespace {

// The flags of a table row that apply right after creation, in the installer's order: the
// handler, then disablement (hiding comes where the window's build order puts it).
void ApplyHandlerAndDisabled(Element& element, const layout::ElementSpec& spec, ElementEventHandler handler) {
  if (spec.handlesEvents && handler) element.SetEventHandler(handler);
  if (spec.disabled) element.Disabled(true);
}

void HideIfHidden(Element& element, const layout::ElementSpec& spec) {
  if (spec.hidden) element.Visible(false);
}

FontDescription LabelFont(const layout::ElementSpec& spec) {
  return MakeFontDescription(std::nullopt, std::nullopt, spec.fontSize, spec.fontColour, 0);
}

}  // namespace

void InstallerElements::Build(InstallerImages images, const InstallerBuildOptions& options) {
  // The title is shown in the taskbar only: its colour is fully transparent.
  const FontDescription titleFont = MakeFontDescription(std::nullopt, std::nullopt, std::nullopt, 0, 0);
  window.Create(nullptr, titleFont, layout::kWindowTitle, layout::kWindowBounds, layout::kWindowStyle, std::nullopt,
                0, 0, true, std::nullopt, layout::kBackgroundColour);
  VM_BENCH_MARK("window: created");
  window.SetShadowColour(layout::kShadowColorRef);
  if (options.transitionEffects) {
    window.SetShowEffect(layout::kTransitionEffect, layout::kTransitionIntervalMs);
    window.SetCloseEffect(layout::kTransitionEffect, layout::kTransitionIntervalMs);
  }
  // The rectangles follow the size the window reports.
  const layout::ElementTable table = layout::MakeElementTable(window.Width(), window.Height());
  const ElementEventHandler handler = options.eventHandler;
  const ObjectId root = window.Id();

  const auto& track = table[layout::kProgressTrack];
  progressTrack.Create(root, track.rect, track.colour);
  fullTrackWidth = progressTrack.GetWidth();
  const auto& fill = table[layout::kProgressFill];
  progressFill.Create(progressTrack.GetHandle(), fill.rect, fill.colour);
  HideIfHidden(progressTrack, track);

  const auto& drag = table[layout::kDragArea];
  dragArea.Create(root, drag.rect, drag.colour);
  ApplyHandlerAndDisabled(dragArea, drag, handler);

  const auto& close = table[layout::kCloseButton];
  closeButton.Create(root, close.rect, images.closeBytes);
  ApplyHandlerAndDisabled(closeButton, close, handler);

  const auto& logoSpec = table[layout::kLogo];
  logo.Create(dragArea.GetHandle(), logoSpec.rect, std::move(images.logo));
  ApplyHandlerAndDisabled(logo, logoSpec, handler);

  const auto& marker = table[layout::kProgressMarker];
  progressMarker.Create(root, marker.rect, std::move(images.marker));
  ApplyHandlerAndDisabled(progressMarker, marker, handler);
  HideIfHidden(progressMarker, marker);

  const auto& percent = table[layout::kPercentLabel];
  percentLabel.Create(progressMarker.GetHandle(), percent.rect, std::string(percent.text), LabelFont(percent));

  const auto& status = table[layout::kStatusLabel];
  statusLabel.Create(root, status.rect, std::string(status.text), LabelFont(status));
  HideIfHidden(statusLabel, status);

  const auto& install = table[layout::kInstallButton];
  installButton.Create(dragArea.GetHandle(), install.rect, std::move(images.installNormal),
                       std::move(images.installHot), std::move(images.installPressed));
  ApplyHandlerAndDisabled(installButton, install, handler);

  const auto& busy = table[layout::kBusyIndicator];
  Rect busyRect = busy.rect;
  busyIndicator.Create(root, busyRect, images.busyStripBytes, layout::kBusyFrames, layout::kBusyIntervalMs);
  const auto& blank = table[layout::kBlankPicture];
  blankPicture.Create(dragArea.GetHandle(), blank.rect, UniqueGpImage());
  HideIfHidden(busyIndicator, busy);

  VM_BENCH_MARK("window: elements created");
  window.SetLayered(options.layered, true);
  window.Refresh();
  VM_BENCH_MARK("window: layered and drawn");
  window.Show(true);
  VM_BENCH_MARK("window: shown");
}

void InstallerElements::ShowInstalling() {
  installButton.Visible(false);
  installButton.Destroy();
  progressTrack.Visible(true);
  progressFill.Visible(true);
  progressMarker.Visible(true);
  statusLabel.Visible(true);
  busyIndicator.Visible(true);
  closeButton.Visible(false);
  ShowStatusText(layout::kStartingStatus);
}

void InstallerElements::ShowStatusText(const std::string& text) { statusLabel.SetText(text, true); }

void InstallerElements::ShowProgress(int percentage) {
  progressFill.Move(std::nullopt, std::nullopt, layout::FillWidthForPercentage(fullTrackWidth, percentage));
  progressFill.Refresh();
  progressMarker.Move(layout::MarkerLeftForFill(progressFill.GetWidth()));
  progressMarker.Refresh();
  percentLabel.SetText(std::to_string(percentage) + "%", true);
}

void InstallerElements::ShowAbandoned() {
  window.Refresh();
  closeButton.Visible(true);
}
