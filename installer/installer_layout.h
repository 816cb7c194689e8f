// The installer window's layout, once: the window and its eleven elements (kind, parent,
// rectangle, colour, font, text, image slot, flags) in the order they are created, and the
// arithmetic of the progress display. The installer builds its window from this table
// (installer_elements.cpp), the tests and the element benchmark build theirs from it, and the
// scripts that click read the same rectangles (print_installer_layout writes them for the shell).
//
// Plain data and arithmetic: no Windows header, so the host tool and native tests compile it too.
// Rectangles are relative to the parent; computed coordinates are truncated toward zero.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/geometry.h"

namespace installer_layout {

// ---- The window --------------------------------------------------------------------------------
// Text literals are the program's texts (GBK in the product, UTF-8 in a host build).
inline constexpr char kWindowTitle[] = "Velmora - 在线安装";  // shown in the taskbar only
inline constexpr Rect kWindowBounds{0, 0, 500, 200};
inline constexpr uint32_t kWindowStyle = 1;  // centred on the screen, no caption buttons
inline constexpr Argb kBackgroundColour = MakeArgb(255, 28, 28, 28);
inline constexpr uint32_t kShadowColorRef = 0xC06000;  // a COLORREF: red 0, green 0x60, blue 0xC0
// The show and close transitions, on every system but XP.
inline constexpr int32_t kTransitionEffect = 9;
inline constexpr int32_t kTransitionIntervalMs = 1;

// ---- Texts -------------------------------------------------------------------------------------
inline constexpr char kInitialStatus[] = "正在释放文件中....";
inline constexpr char kInitialPercentage[] = "90%";
inline constexpr char kStartingStatus[] = "正在为您开启Velmora之旅";

// ---- The elements ------------------------------------------------------------------------------
enum class ElementKind { kPanel, kHoverImageButton, kPicture, kLabel, kImageButton, kSpriteAnimation };

// The elements in the order the window creates them; the value is the element's row in the table.
enum Element : int {
  kProgressTrack,
  kProgressFill,
  kDragArea,
  kCloseButton,
  kLogo,
  kProgressMarker,
  kPercentLabel,
  kStatusLabel,
  kInstallButton,
  kBusyIndicator,
  kBlankPicture,
  kElementCount
};
inline constexpr int kWindowRoot = -1;  // the parent of the window's own elements

// Which of the caller's images an element shows. Bytes: the kind decodes them itself; decoded: the
// caller passes a decoded 32-bit ARGB bitmap of the image's own size.
enum class ImageSlot {
  kNone,
  kCloseBytes,          // 30 × 31
  kLogo,                // 389 × 63, decoded
  kMarker,              // 34 × 29, decoded
  kInstallButton,       // normal, hot and pressed, 233 × 54 each, decoded
  kBusyStripBytes,      // 17 frames of 28 × 33 side by side
};

inline constexpr int32_t kBusyFrames = 17;
inline constexpr int32_t kBusyIntervalMs = 100;

struct ElementSpec {
  std::string_view name;    // the element's name in the installer ("installButton")
  ElementKind kind;
  int parent;               // kWindowRoot or an Element
  Rect rect;                // relative to the parent
  Argb colour = 0;          // a panel's colour
  std::string_view text{};  // a label's initial text
  float fontSize = 0;       // a label's font: size and colour; glow colour 0, the rest the defaults
  Argb fontColour = 0;
  ImageSlot image = ImageSlot::kNone;
  bool hidden = false;      // hidden right after creation (Visible(false))
  bool disabled = false;    // Disabled(true): the mouse passes through to what lies below
  bool handlesEvents = false;  // given the installer's event handler
};

using ElementTable = std::array<ElementSpec, kElementCount>;

// The table for a window whose Width and Height read `width` × `height` after creation (500 × 200
// for kWindowBounds). The rows stand in the order of Element.
constexpr ElementTable MakeElementTable(int32_t width, int32_t height) {
  const auto truncated = [](double value) { return static_cast<int32_t>(value); };
  constexpr Rect kTrack{12, 183, 0, 5};
  constexpr Rect kMarker{-5, 153, 34, 29};
  ElementTable table{};
  table[kProgressTrack] = {.name = "progressTrack", .kind = ElementKind::kPanel, .parent = kWindowRoot,
                           .rect = {kTrack.x, kTrack.y, width - 24, kTrack.height},
                           .colour = MakeArgb(50, 0, 0, 0), .hidden = true};
  // Shown only with its parent; starts 2 pixels wide until the first progress report.
  table[kProgressFill] = {.name = "progressFill", .kind = ElementKind::kPanel, .parent = kProgressTrack,
                          .rect = {0, 0, 2, kTrack.height}, .colour = MakeArgb(255, 204, 65, 4)};
  table[kDragArea] = {.name = "dragArea", .kind = ElementKind::kPanel, .parent = kWindowRoot,
                      .rect = {10, 10, width - 20, height - 20}, .colour = 0, .handlesEvents = true};
  table[kCloseButton] = {.name = "closeButton", .kind = ElementKind::kHoverImageButton, .parent = kWindowRoot,
                         .rect = {width - 41, 10, 30, 31}, .image = ImageSlot::kCloseBytes,
                         .handlesEvents = true};
  table[kLogo] = {.name = "logo", .kind = ElementKind::kPicture, .parent = kDragArea,
                  .rect = {truncated(width / 2.0 - 203.5), 10, 398, 63}, .image = ImageSlot::kLogo,
                  .disabled = true};
  table[kProgressMarker] = {.name = "progressMarker", .kind = ElementKind::kPicture, .parent = kWindowRoot,
                            .rect = kMarker, .image = ImageSlot::kMarker, .hidden = true, .disabled = true};
  // Shown only with its parent.
  table[kPercentLabel] = {.name = "percentLabel", .kind = ElementKind::kLabel, .parent = kProgressMarker,
                          .rect = {0, 0, kMarker.width, kMarker.height}, .text = kInitialPercentage,
                          .fontSize = 10, .fontColour = MakeArgb(255, 255, 255, 255)};
  table[kStatusLabel] = {.name = "statusLabel", .kind = ElementKind::kLabel, .parent = kWindowRoot,
                         .rect = {0, 120, width, 30}, .text = kInitialStatus, .fontSize = 13,
                         .fontColour = MakeArgb(255, 128, 224, 0), .hidden = true};
  table[kInstallButton] = {.name = "installButton", .kind = ElementKind::kImageButton, .parent = kDragArea,
                           .rect = {truncated(width / 2.0 - 116.5), 100, 233, 54},
                           .image = ImageSlot::kInstallButton, .handlesEvents = true};
  // The kind reduces the width to one frame (28).
  table[kBusyIndicator] = {.name = "busyIndicator", .kind = ElementKind::kSpriteAnimation, .parent = kWindowRoot,
                           .rect = {230, 80, 476, 33}, .image = ImageSlot::kBusyStripBytes, .hidden = true};
  // No image and no handler: it only keeps mouse moves above the install button from moving the
  // window.
  table[kBlankPicture] = {.name = "blankPicture", .kind = ElementKind::kPicture, .parent = kDragArea,
                          .rect = {truncated(width / 2.0 - 70), 70, 120, 40}};
  return table;
}

inline constexpr ElementTable kElements = MakeElementTable(kWindowBounds.width, kWindowBounds.height);

// Where an element stands in window coordinates: its rectangle moved by its ancestors'. A sprite's
// width is the whole strip's here; the kind narrows it to one frame.
constexpr Rect WindowRectOf(const ElementTable& table, int element) {
  Rect rect = table[element].rect;
  for (int parent = table[element].parent; parent != kWindowRoot; parent = table[parent].parent) {
    rect.x += table[parent].rect.x;
    rect.y += table[parent].rect.y;
  }
  return rect;
}

// ---- The progress display ----------------------------------------------------------------------
// The fill width for `percentage` of a track `trackWidth` pixels wide: trackWidth / 100 × percentage
// in floating point, truncated (476: 50 → 238, 99 → 471, 100 → 476).
constexpr int32_t FillWidthForPercentage(int32_t trackWidth, int percentage) {
  return static_cast<int32_t>(static_cast<double>(trackWidth) / 100.0 * percentage);
}

// Where the percentage marker's left edge goes for a fill `fillWidth` pixels wide: 7 pixels left
// of the fill's end, which centres the 34-pixel box 2 pixels left of the end (the fill lies in the
// track at x = 12, the marker is placed in window coordinates).
constexpr int32_t MarkerLeftForFill(int32_t fillWidth) { return fillWidth - 7; }

}  // namespace installer_layout
