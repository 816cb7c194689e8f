// Images for the installer window's slots, generated in solid colours that pixel checks can look
// for, so the tests and the element benchmark build the installer's real layout
// (installer/installer_elements.h) without depending on the pixels of the shipped pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "installer/installer_elements.h"
#include "toolkit/draw/colour.h"

inline constexpr Argb kTestInstallNormal = MakeArgb(255, 30, 110, 220);
inline constexpr Argb kTestInstallHot = MakeArgb(255, 60, 140, 240);
inline constexpr Argb kTestInstallPressed = MakeArgb(255, 20, 80, 170);
inline constexpr Argb kTestMarkerColour = MakeArgb(255, 240, 120, 20);
inline constexpr Argb kTestLogoColour = MakeArgb(255, 230, 230, 230);

// The PNG bytes the byte slots point into live here; keep the object until Build returns.
class TestInstallerImages {
 public:
  TestInstallerImages();  // starts the toolkit (GDI+) when it is not yet started
  // Fresh images for one Build: a white cross on the close button, solid logo, marker and
  // install-button faces, a busy strip of 17 differently coloured bars.
  InstallerImages Images() const;

 private:
  std::vector<uint8_t> closeBytes_;
  std::vector<uint8_t> busyStripBytes_;
};
