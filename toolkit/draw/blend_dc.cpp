#include "toolkit/draw/blend_dc.h"

bool BlendDc(HDC destination, int32_t x, int32_t y, int32_t width, int32_t height, HDC source,
             int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
             uint8_t constantAlpha, uint8_t alphaFormat) {
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, constantAlpha, alphaFormat};
  return ::AlphaBlend(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth,
                      sourceHeight, blend) != FALSE;
}
