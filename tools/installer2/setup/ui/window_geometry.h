#ifndef PELKO_SETUP_UI_WINDOW_GEOMETRY_H_
#define PELKO_SETUP_UI_WINDOW_GEOMETRY_H_

// Integer rectangle arithmetic of the setup's windows, free of the platform so that it can be
// checked with literal inputs.

#include <cstdint>

namespace pelko::setup {

// Same meaning as a platform RECT: right and bottom are exclusive.
struct GeometryRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

struct GeometryPoint {
  int32_t x = 0;
  int32_t y = 0;
};

inline bool operator==(const GeometryRect& a, const GeometryRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const GeometryPoint& a, const GeometryPoint& b) {
  return a.x == b.x && a.y == b.y;
}

// A coordinate formed in 64 bits, held at the nearest end of the 32-bit range the platform takes.
int32_t ToCoordinate(int64_t value);

// Top-left corner that centres a window of `width` by `height` on `target`, then pulls it back
// inside `area`; when the window is larger than the area its left and top edges sit on the area's.
// Halves truncate toward zero, so a target from -1921 to 0 has its centre at -960.
GeometryPoint CenterPosition(const GeometryRect& target, const GeometryRect& area, int32_t width,
                             int32_t height);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_WINDOW_GEOMETRY_H_
