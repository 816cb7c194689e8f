// Colour packing. Toolkit colours are 32-bit ARGB (alpha << 24 | red << 16 | green << 8 | blue);
// a few settings arrive as Windows COLORREF values (0x00BBGGRR) and are converted with an explicit
// alpha. No Windows header is needed here.
#pragma once

#include <cstdint>
#include <optional>

using Argb = uint32_t;

constexpr Argb MakeArgb(uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue) {
  return (static_cast<Argb>(alpha) << 24) | (static_cast<Argb>(red) << 16) |
         (static_cast<Argb>(green) << 8) | static_cast<Argb>(blue);
}

constexpr uint8_t AlphaOf(Argb colour) { return static_cast<uint8_t>(colour >> 24); }
constexpr uint8_t RedOf(Argb colour) { return static_cast<uint8_t>(colour >> 16); }
constexpr uint8_t GreenOf(Argb colour) { return static_cast<uint8_t>(colour >> 8); }
constexpr uint8_t BlueOf(Argb colour) { return static_cast<uint8_t>(colour); }

// A COLORREF's low byte is red, the next green, the next blue; its top byte is ignored. The alpha
// is the given one, or 255 (opaque) when not given.
constexpr Argb ArgbFromColorRef(uint32_t colorRef, std::optional<uint8_t> alpha = std::nullopt) {
  return MakeArgb(alpha.value_or(255), static_cast<uint8_t>(colorRef),
                  static_cast<uint8_t>(colorRef >> 8), static_cast<uint8_t>(colorRef >> 16));
}

// The inverse, for GDI calls that take a COLORREF: the alpha is dropped.
constexpr uint32_t ColorRefFromArgb(Argb colour) {
  return static_cast<uint32_t>(RedOf(colour)) | (static_cast<uint32_t>(GreenOf(colour)) << 8) |
         (static_cast<uint32_t>(BlueOf(colour)) << 16);
}
