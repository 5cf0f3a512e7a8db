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
  const GeometryRect inner{client.left + margin, client.top + margin, client.right - margin,
                           client.bottom - margin};
  ProgressRowLayout layout;
  layout.icon.left = inner.left;
  layout.icon.top = inner.top + (inner.bottom - inner.top - icon_height) / 2;
  layout.icon.right = layout.icon.left + icon_width;
  layout.icon.bottom = layout.icon.top + icon_height;

  layout.bar.left = inner.left + icon_width + margin;
  layout.bar.right = inner.right;
  layout.bar.top = layout.icon.top + (icon_height - margin) / 2;
  layout.bar.bottom = layout.bar.top + margin;
  return layout;
}

}  // namespace pelko::setup
