// The installer window's layout table and the progress display's arithmetic, as plain data: the
// eleven elements where the window's layout puts them, and the fill and the marker at every
// percentage.
#include "installer/installer_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <iterator>
#include <string_view>

namespace layout = installer_layout;

namespace {

struct ExpectedElement {
  std::string_view name;
  layout::ElementKind kind;
  std::string_view parent;  // "" for the window
  Rect rect;                // relative to the parent
  bool hidden;
  bool disabled;
  bool handlesEvents;
};

using Kind = layout::ElementKind;

// The installer window's elements in creation order, for a 500 × 200 window.
constexpr ExpectedElement kExpected[] = {
    {"progressTrack", Kind::kPanel, "", {12, 183, 476, 5}, true, false, false},
    {"progressFill", Kind::kPanel, "progressTrack", {0, 0, 2, 5}, false, false, false},
    {"dragArea", Kind::kPanel, "", {10, 10, 480, 180}, false, false, true},
    {"closeButton", Kind::kHoverImageButton, "", {459, 10, 30, 31}, false, false, true},
    {"logo", Kind::kPicture, "dragArea", {46, 10, 398, 63}, false, true, false},
    {"progressMarker", Kind::kPicture, "", {-5, 153, 34, 29}, true, true, false},
    {"percentLabel", Kind::kLabel, "progressMarker", {0, 0, 34, 29}, false, false, false},
    {"statusLabel", Kind::kLabel, "", {0, 120, 500, 30}, true, false, false},
    {"installButton", Kind::kImageButton, "dragArea", {133, 100, 233, 54}, false, false, true},
    {"busyIndicator", Kind::kSpriteAnimation, "", {230, 80, 476, 33}, true, false, false},
    {"blankPicture", Kind::kPicture, "dragArea", {180, 70, 120, 40}, false, false, false},
};

TEST(InstallerLayoutTable, ElevenElementsInCreationOrderWithTheirParentsRectanglesAndFlags) {
  const layout::ElementTable& table = layout::kElements;
  ASSERT_EQ(std::size(kExpected), table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    const ExpectedElement& want = kExpected[i];
    const layout::ElementSpec& row = table[i];
    SCOPED_TRACE(std::string(want.name));
    EXPECT_EQ(row.name, want.name);
    EXPECT_EQ(row.kind, want.kind);
    EXPECT_EQ(row.parent == layout::kWindowRoot ? std::string_view() : table[row.parent].name, want.parent);
    EXPECT_EQ(row.rect, want.rect);
    EXPECT_EQ(row.hidden, want.hidden);
    EXPECT_EQ(row.disabled, want.disabled);
    EXPECT_EQ(row.handlesEvents, want.handlesEvents);
    if (row.parent != layout::kWindowRoot) EXPECT_LT(row.parent, static_cast<int>(i)) << "parents come first";
  }
}

TEST(InstallerLayoutTable, ColoursFontsTextsAndImagesOfTheElements) {
  const layout::ElementTable& table = layout::kElements;
  EXPECT_EQ(table[layout::kProgressTrack].colour, MakeArgb(50, 0, 0, 0));
  EXPECT_EQ(table[layout::kProgressFill].colour, MakeArgb(255, 204, 65, 4));
  EXPECT_EQ(table[layout::kDragArea].colour, 0u) << "fully transparent";
  EXPECT_EQ(table[layout::kPercentLabel].text, "90%");
  EXPECT_EQ(table[layout::kPercentLabel].fontSize, 10.0f);
  EXPECT_EQ(table[layout::kPercentLabel].fontColour, MakeArgb(255, 255, 255, 255));
  EXPECT_EQ(table[layout::kStatusLabel].text, "正在释放文件中....");
  EXPECT_EQ(std::string(layout::kStartingStatus), "正在为您开启Velmora之旅") << "the status once installing starts";
  EXPECT_EQ(table[layout::kStatusLabel].fontSize, 13.0f);
  EXPECT_EQ(table[layout::kStatusLabel].fontColour, MakeArgb(255, 128, 224, 0));
  EXPECT_EQ(table[layout::kCloseButton].image, layout::ImageSlot::kCloseBytes);
  EXPECT_EQ(table[layout::kLogo].image, layout::ImageSlot::kLogo);
  EXPECT_EQ(table[layout::kProgressMarker].image, layout::ImageSlot::kMarker);
  EXPECT_EQ(table[layout::kInstallButton].image, layout::ImageSlot::kInstallButton);
  EXPECT_EQ(table[layout::kBusyIndicator].image, layout::ImageSlot::kBusyStripBytes);
  EXPECT_EQ(table[layout::kBlankPicture].image, layout::ImageSlot::kNone);
  EXPECT_EQ(std::string(layout::kWindowTitle), "Velmora - 在线安装");
  EXPECT_EQ(layout::kWindowBounds, (Rect{0, 0, 500, 200}));
  EXPECT_EQ(layout::kBackgroundColour, MakeArgb(255, 28, 28, 28));
  EXPECT_EQ(layout::kShadowColorRef, 0xC06000u);
}

TEST(InstallerLayoutTable, RectanglesFollowTheSizeTheWindowReports) {
  // W and H are read from the window after creation; the centred and edge-bound elements move.
  const layout::ElementTable wide = layout::MakeElementTable(601, 250);
  EXPECT_EQ(wide[layout::kProgressTrack].rect, (Rect{12, 183, 577, 5}));
  EXPECT_EQ(wide[layout::kDragArea].rect, (Rect{10, 10, 581, 230}));
  EXPECT_EQ(wide[layout::kCloseButton].rect, (Rect{560, 10, 30, 31}));
  EXPECT_EQ(wide[layout::kLogo].rect, (Rect{97, 10, 398, 63})) << "601 / 2 - 203.5 = 97 exactly";
  EXPECT_EQ(wide[layout::kStatusLabel].rect, (Rect{0, 120, 601, 30}));
  EXPECT_EQ(wide[layout::kInstallButton].rect, (Rect{184, 100, 233, 54})) << "300.5 - 116.5";
  EXPECT_EQ(wide[layout::kBlankPicture].rect, (Rect{230, 70, 120, 40})) << "230.5 truncated";
}

TEST(InstallerLayoutTable, WindowRectanglesAddUpTheAncestors) {
  const layout::ElementTable& table = layout::kElements;
  EXPECT_EQ(layout::WindowRectOf(table, layout::kLogo), (Rect{56, 20, 398, 63}));
  EXPECT_EQ(layout::WindowRectOf(table, layout::kInstallButton), (Rect{143, 110, 233, 54}));
  EXPECT_EQ(layout::WindowRectOf(table, layout::kBlankPicture), (Rect{190, 80, 120, 40}));
  EXPECT_EQ(layout::WindowRectOf(table, layout::kProgressFill), (Rect{12, 183, 2, 5}));
  EXPECT_EQ(layout::WindowRectOf(table, layout::kPercentLabel), (Rect{-5, 153, 34, 29}));
  EXPECT_EQ(layout::WindowRectOf(table, layout::kCloseButton), (Rect{459, 10, 30, 31}));
}

// Every percentage: the fill is the track's share rounded down, grows by 4 or 5 pixels a step and
// ends flush with the track; the marker's centre stands 2 pixels left of the fill's end.
TEST(ProgressDisplayArithmetic, FillAndMarkerForEveryPercentageFrom0To100) {
  const layout::ElementTable& table = layout::kElements;
  const Rect track = table[layout::kProgressTrack].rect;
  const int32_t markerWidth = table[layout::kProgressMarker].rect.width;
  int32_t previous = -1;
  for (int percentage = 0; percentage <= 100; ++percentage) {
    SCOPED_TRACE(percentage);
    const int32_t fill = layout::FillWidthForPercentage(track.width, percentage);
    EXPECT_EQ(fill, track.width * percentage / 100) << "476 / 100 × p, truncated";
    EXPECT_GE(fill, 0);
    EXPECT_LE(fill, track.width);
    if (percentage > 0) {
      EXPECT_GE(fill - previous, 4);
      EXPECT_LE(fill - previous, 5);
    }
    previous = fill;
    const int32_t fillEnd = track.x + fill;  // window coordinates
    const int32_t marker = layout::MarkerLeftForFill(fill);
    EXPECT_EQ(marker + markerWidth / 2, fillEnd - 2);
  }
  EXPECT_EQ(layout::FillWidthForPercentage(track.width, 0), 0);
  EXPECT_EQ(layout::FillWidthForPercentage(track.width, 50), 238);
  EXPECT_EQ(layout::FillWidthForPercentage(track.width, 99), 471);
  EXPECT_EQ(layout::FillWidthForPercentage(track.width, 100), 476);
  EXPECT_EQ(layout::MarkerLeftForFill(476), 469);
}

TEST(ProgressDisplayArithmetic, OtherTrackWidthsTruncateTheirShare) {
  EXPECT_EQ(layout::FillWidthForPercentage(200, 33), 66);
  EXPECT_EQ(layout::FillWidthForPercentage(333, 50), 166) << "166.5 truncated";
  EXPECT_EQ(layout::FillWidthForPercentage(333, 100), 333);
}

}  // namespace
