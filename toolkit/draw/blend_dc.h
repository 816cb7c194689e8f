// The per-pixel-alpha blit between two device contexts.
#pragma once

#include <windows.h>

#include <cstdint>

// AlphaBlend with the blend function { AC_SRC_OVER, 0, constantAlpha, alphaFormat }: alphaFormat
// AC_SRC_ALPHA (1) for sources with premultiplied per-pixel alpha, 0 to use constantAlpha only.
// Returns what AlphaBlend returned.
bool BlendDc(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
             int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
             uint8_t constantAlpha, uint8_t alphaFormat);
