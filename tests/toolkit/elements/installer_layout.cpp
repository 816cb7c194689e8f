#include "installer_layout.h"

#include <string>

#include "element_test_support.h"

namespace {

UniqueGpImage SolidImage(int32_t width, int32_t height, Argb colour) {
  return MakeSolidImage(width, height, colour);
}

}  // namespace

void InstallerLayout::Build(bool layered) {
  EnsureToolkit();
  window.Create(nullptr, MakeFontDescription(std::nullopt, std::nullopt, std::nullopt, 0u, 0u),
                std::string("Velmora - 在线安装"), Rect{0, 0, 500, 200}, 1u, std::nullopt, 0u, 0u,
                true, std::nullopt, kLayoutBackground);
  window.SetShadowColour(0xC06000);
  const int32_t w = window.Width();
  const int32_t h = window.Height();
  const ObjectId root = window.Id();

  progressTrack.Create(root, {12, 183, w - 24, 5}, MakeArgb(50, 0, 0, 0));
  fullTrackWidth = progressTrack.GetWidth();
  progressFill.Create(progressTrack.GetHandle(), {0, 0, 2, progressTrack.GetHeight()}, kFillColour);
  progressTrack.Visible(false);

  dragArea.Create(root, {10, 10, w - 20, h - 20}, 0);
  const auto closeBytes = MakePng(30, 31, [](int32_t x, int32_t y) {
    return (x == y || x == 29 - y) ? MakeArgb(255, 255, 255, 255) : 0u;
  });
  closeButton.Create(root, {w - 41, 10, 30, 31}, closeBytes);

  logo.Create(dragArea.GetHandle(), {static_cast<int32_t>(w / 2.0 - 203.5), 10, 398, 63}, SolidImage(389, 63, kLogoColour));
  logo.Disabled(true);

  progressMarker.Create(root, {-5, 153, 34, 29}, SolidImage(34, 29, kMarkerColour));
  progressMarker.Disabled(true);
  progressMarker.Visible(false);
  percentLabel.Create(progressMarker.GetHandle(),
                      {0, 0, progressMarker.GetWidth(), progressMarker.GetHeight()}, "90%",
                      MakeFontDescription(std::nullopt, std::nullopt, 10.0f,
                                          MakeArgb(255, 255, 255, 255), 0u));
  statusLabel.Create(root, {0, 120, w, 30}, "正在释放文件中....",
                     MakeFontDescription(std::nullopt, std::nullopt, 13.0f,
                                         MakeArgb(255, 128, 224, 0), 0u));
  statusLabel.Visible(false);

  installButton.Create(dragArea.GetHandle(), {static_cast<int32_t>(w / 2.0 - 116.5), 100, 233, 54},
                       SolidImage(233, 54, kInstallNormal), SolidImage(233, 54, kInstallHot),
                       SolidImage(233, 54, kInstallPressed));
  const auto strip = MakePng(476, 33, [](int32_t x, int32_t y) {
    const int32_t cell = x / 28;
    return (y > 10 && y < 22) ? MakeArgb(255, static_cast<uint8_t>(cell * 15), 200, 255) : 0u;
  });
  Rect busyRect{230, 80, 476, 33};
  busyIndicator.Create(root, busyRect, strip, 17, 100);
  blankPicture.Create(dragArea.GetHandle(), {static_cast<int32_t>(w / 2.0 - 70), 70, 120, 40}, UniqueGpImage());
  busyIndicator.Visible(false);

  window.SetLayered(layered, true);
  window.Refresh();
  window.Show(true);
}

void InstallerLayout::ShowInstalling() {
  installButton.Visible(false);
  installButton.Destroy();
  progressTrack.Visible(true);
  progressFill.Visible(true);
  progressMarker.Visible(true);
  statusLabel.Visible(true);
  busyIndicator.Visible(true);
  closeButton.Visible(false);
  statusLabel.SetText("正在为您开启Velmora之旅", true);
}

void InstallerLayout::SetProgress(int32_t percentage) {
  const auto width = static_cast<int32_t>(fullTrackWidth / 100.0 * percentage);
  progressFill.Move(std::nullopt, std::nullopt, width);
  progressFill.Refresh();
  progressMarker.Move(progressFill.GetWidth() - 7);
  progressMarker.Refresh();
  percentLabel.SetText(std::to_string(percentage) + "%", true);
}
