#ifndef PELKO_SETUP_UI_PROGRESS_LAYOUT_H_
#define PELKO_SETUP_UI_PROGRESS_LAYOUT_H_

// The progress window's arithmetic: its percentage and the placement of its icon and bar.

#include <cstdint>
#include <optional>

#include "setup/ui/window_geometry.h"

namespace pelko::setup {

// The percentage shown for `position` in the bar range low..high, truncated toward zero (2 of 3
// is 66). Empty when the range is empty or the position lies above the high limit: the window
// then shows "0%". A position below the low limit gives a negative percentage.
std::optional<int32_t> ProgressPercent(int32_t position, int32_t low, int32_t high);

struct ProgressRowLayout {
  GeometryRect icon;
  GeometryRect bar;
};

// Icon and bar in a client area with margin `margin` (also the bar's height): the icon, kept at
// its own size, on the left and centred vertically; the bar filling the rest of the row after one
// more margin, centred vertically on the icon.
ProgressRowLayout LayoutProgressRow(const GeometryRect& client, int32_t margin, int32_t icon_width,
                                    int32_t icon_height);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_PROGRESS_LAYOUT_H_
