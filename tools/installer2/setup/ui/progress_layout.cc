#include "setup/ui/progress_layout.h"

#include <cmath>
#include <limits>

namespace pelko::setup {

std::optional<int32_t> ProgressPercent(int32_t position, int32_t low, int32_t high) {
  const int64_t span = int64_t{high} - low;
  if (span <= 0 || position > high) return std::nullopt;
  const double percent = std::trunc((int64_t{position} - low) * 100.0 / static_cast<double>(span));
  // A position far below the range would give a percentage no int holds; converting such a value
  // is undefined, so it is held at the smallest one.
  if (percent < static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(percent);
}

ProgressRowLayout LayoutProgressRow(const GeometryRect& client, int32_t margin, int32_t icon_width,
                                    int32_t icon_height) {
  // Formed in 64 bits: a margin or an icon size added to a coordinate near the end of the range
  // would overflow 32 bits.
  const int64_t m = margin;
  const int64_t w = icon_width;
  const int64_t h = icon_height;
  const int64_t inner_left = int64_t{client.left} + m;
  const int64_t inner_top = int64_t{client.top} + m;
  const int64_t inner_right = int64_t{client.right} - m;
  const int64_t inner_bottom = int64_t{client.bottom} - m;
  const int64_t icon_top = inner_top + (inner_bottom - inner_top - h) / 2;
  const int64_t bar_top = icon_top + (h - m) / 2;

  ProgressRowLayout layout;
  layout.icon = {ToCoordinate(inner_left), ToCoordinate(icon_top), ToCoordinate(inner_left + w),
                 ToCoordinate(icon_top + h)};
  layout.bar = {ToCoordinate(inner_left + w + m), ToCoordinate(bar_top), ToCoordinate(inner_right),
                ToCoordinate(bar_top + m)};
  return layout;
}

}  // namespace pelko::setup
