// Feeds arbitrary integers to the progress window's arithmetic: the percentage, the row layout
// and the centring. Input: little-endian 32-bit numbers, missing ones read as 0. Checks what the
// window relies on for any numbers, and the geometry wherever it can be represented.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

#include "setup/ui/progress_layout.h"
#include "setup/ui/window_geometry.h"

namespace {

using pelko::setup::GeometryPoint;
using pelko::setup::GeometryRect;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The size of the window text buffer the percentage is formatted into, terminator included.
constexpr size_t kPercentTextSize = 16;
// Coordinates of this size and the sums the layout forms of them stay far inside 32 bits.
constexpr int64_t kSaneCoordinate = int64_t{1} << 28;

class Numbers {
 public:
  Numbers(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int32_t Next() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i, ++offset_) {
      if (offset_ < size_) value |= static_cast<uint32_t>(data_[offset_]) << (8 * i);
    }
    return static_cast<int32_t>(value);
  }
  GeometryRect NextRect() {
    GeometryRect rect;
    rect.left = Next();
    rect.top = Next();
    rect.right = Next();
    rect.bottom = Next();
    return rect;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
};

bool IsSane(int64_t value) { return value > -kSaneCoordinate && value < kSaneCoordinate; }

void CheckPercent(int32_t position, int32_t low, int32_t high) {
  using pelko::setup::ProgressPercent;
  const std::optional<int32_t> percent = ProgressPercent(position, low, high);
  const int64_t span = int64_t{high} - low;
  if (span <= 0 || position > high) {
    Check(!percent.has_value());
    return;
  }
  Check(percent.has_value());
  const int64_t offset = int64_t{position} - low;
  if (offset >= 0) {
    // Within the range: 0 to 100, the exact quotient truncated.
    Check(*percent >= 0 && *percent <= 100);
    Check(*percent == offset * 100 / span);
  } else {
    Check(*percent <= 0);
    const int64_t exact = offset * 100 / span;
    Check(*percent == (exact < std::numeric_limits<int32_t>::min()
                           ? std::numeric_limits<int32_t>::min()
                           : exact));
  }
  // The text "%d%%" always fits the window's buffer.
  char text[32];
  const int length = std::snprintf(text, sizeof text, "%d%%", *percent);
  Check(length > 0 && static_cast<size_t>(length) < kPercentTextSize);
  // A step forward never lowers the percentage.
  if (position < high) {
    const std::optional<int32_t> next = ProgressPercent(position + 1, low, high);
    Check(next.has_value() && *next >= *percent);
  }
}

void CheckLayout(const GeometryRect& client, int32_t margin, int32_t icon_width,
                 int32_t icon_height) {
  const pelko::setup::ProgressRowLayout layout =
      pelko::setup::LayoutProgressRow(client, margin, icon_width, icon_height);
  if (!IsSane(client.left) || !IsSane(client.top) || !IsSane(client.right) ||
      !IsSane(client.bottom) || !IsSane(margin) || !IsSane(icon_width) || !IsSane(icon_height)) {
    return;
  }
  const GeometryRect& icon = layout.icon;
  const GeometryRect& bar = layout.bar;
  // The icon keeps its size and sits one margin in from the left, centred in the row.
  Check(icon.right - icon.left == icon_width && icon.bottom - icon.top == icon_height);
  Check(icon.left == client.left + margin);
  const int64_t above = int64_t{icon.top} - (int64_t{client.top} + margin);
  const int64_t below = (int64_t{client.bottom} - margin) - icon.bottom;
  Check(above - below >= -1 && above - below <= 1);
  // The bar is one margin high, starts one margin after the icon, ends one margin before the
  // right edge, and is centred on the icon.
  Check(bar.bottom - bar.top == margin);
  Check(bar.left == icon.right + margin && bar.right == client.right - margin);
  const int64_t bar_above = int64_t{bar.top} - icon.top;
  const int64_t bar_below = int64_t{icon.bottom} - bar.bottom;
  Check(bar_above - bar_below >= -1 && bar_above - bar_below <= 1);
  // When everything fits, both lie inside the client area and do not overlap.
  const int64_t width = int64_t{client.right} - client.left;
  const int64_t height = int64_t{client.bottom} - client.top;
  if (margin >= 0 && icon_width >= 0 && icon_height >= margin &&
      width >= 3 * int64_t{margin} + icon_width && height >= 2 * int64_t{margin} + icon_height) {
    for (const GeometryRect& part : {icon, bar}) {
      Check(part.left >= client.left && part.right <= client.right);
      Check(part.top >= client.top && part.bottom <= client.bottom);
    }
    Check(bar.left >= icon.right);
  }
}

void CheckCenter(const GeometryRect& target, const GeometryRect& area, int32_t width,
                 int32_t height) {
  const GeometryPoint point = pelko::setup::CenterPosition(target, area, width, height);
  struct Axis {
    int32_t start, low, high, area_low, area_high, size;
  };
  for (const Axis& axis : {Axis{point.x, target.left, target.right, area.left, area.right, width},
                           Axis{point.y, target.top, target.bottom, area.top, area.bottom,
                                height}}) {
    // The left or top edge never leaves the area.
    Check(axis.start >= axis.area_low);
    if (axis.size < 0) continue;
    const int64_t end = int64_t{axis.start} + axis.size;
    const int64_t room = int64_t{axis.area_high} - axis.area_low;
    if (axis.size <= room) {
      // A window that fits stays wholly inside.
      Check(end <= axis.area_high);
      // Unless pulled back inside, it is centred on the target to within truncation.
      const int64_t centred = (int64_t{axis.low} + axis.high) / 2 - axis.size / 2;
      if (centred >= axis.area_low && centred + axis.size <= axis.area_high) {
        const int64_t before = int64_t{axis.start} - axis.low;
        const int64_t after = int64_t{axis.high} - end;
        Check(before - after >= -2 && before - after <= 2);
      }
    } else if (room >= 0) {
      Check(axis.start == axis.area_low);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Numbers numbers(data, size);
  const int32_t position = numbers.Next();
  const int32_t low = numbers.Next();
  const int32_t high = numbers.Next();
  CheckPercent(position, low, high);
  // The window's own range always starts at 0.
  CheckPercent(position, 0, high);

  const GeometryRect client = numbers.NextRect();
  const int32_t margin = numbers.Next();
  const int32_t icon_width = numbers.Next();
  const int32_t icon_height = numbers.Next();
  CheckLayout(client, margin, icon_width, icon_height);

  const GeometryRect target = numbers.NextRect();
  const GeometryRect area = numbers.NextRect();
  const int32_t width = numbers.Next();
  const int32_t height = numbers.Next();
  CheckCenter(target, area, width, height);
  return 0;
}
