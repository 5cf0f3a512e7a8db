#include "setup/ui/window_geometry.h"

#include <limits>

namespace pelko::setup {
namespace {

int64_t CenterOne(int64_t low, int64_t high, int64_t size, int64_t area_low, int64_t area_high) {
  int64_t start = (low + high) / 2 - size / 2;
  if (start + size > area_high) start = area_high - size;
  if (start < area_low) start = area_low;
  return start;
}

}  // namespace

// Sums of two coordinates are formed in 64 bits; the result is brought back into range because
// the platform takes 32-bit coordinates.
int32_t ToCoordinate(int64_t value) {
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

GeometryPoint CenterPosition(const GeometryRect& target, const GeometryRect& area, int32_t width,
                             int32_t height) {
  GeometryPoint point;
  point.x = ToCoordinate(CenterOne(target.left, target.right, width, area.left, area.right));
  point.y = ToCoordinate(CenterOne(target.top, target.bottom, height, area.top, area.bottom));
  return point;
}

}  // namespace pelko::setup
