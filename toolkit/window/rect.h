// The toolkit's rectangle record: position and size, never right/bottom. Windows' own RECTs are
// converted on arrival. Kept free of windows.h so geometry code can be tested without Wine state.
#pragma once

#include <cstdint>

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};
