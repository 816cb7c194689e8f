#include "tests/installer/installer_test_images.h"

#include "tests/toolkit/elements/element_test_support.h"

TestInstallerImages::TestInstallerImages() {
  EnsureToolkit();  // GDI+ encodes the PNGs
  closeBytes_ = MakePng(30, 31, [](int32_t x, int32_t y) {
    return (x == y || x == 29 - y) ? MakeArgb(255, 255, 255, 255) : 0u;
  });
  busyStripBytes_ = MakePng(476, 33, [](int32_t x, int32_t y) {
    const int32_t cell = x / 28;
    return (y > 10 && y < 22) ? MakeArgb(255, static_cast<uint8_t>(cell * 15), 200, 255) : 0u;
  });
}

InstallerImages TestInstallerImages::Images() const {
  return InstallerImages{.closeBytes = closeBytes_,
                         .logo = MakeSolidImage(389, 63, kTestLogoColour),
                         .marker = MakeSolidImage(34, 29, kTestMarkerColour),
                         .installNormal = MakeSolidImage(233, 54, kTestInstallNormal),
                         .installHot = MakeSolidImage(233, 54, kTestInstallHot),
                         .installPressed = MakeSolidImage(233, 54, kTestInstallPressed),
                         .busyStripBytes = busyStripBytes_};
}
