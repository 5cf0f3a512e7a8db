#include "setup/ui/progress_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

namespace pelko::setup {
namespace {

struct PercentCase {
  const char* name;
  int32_t position;
  int32_t low;
  int32_t high;
  std::optional<int32_t> percent;
};

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

const PercentCase kPercentCases[] = {
    {"start", 0, 0, 100, 0},
    {"half", 50, 0, 100, 50},
    {"full", 100, 0, 100, 100},
    {"above the high limit shows no percentage", 150, 0, 100, std::nullopt},
    {"just above the high limit", 101, 0, 100, std::nullopt},
    {"below zero is negative", -5, 0, 100, -5},
    {"1 of 3 truncates", 1, 0, 3, 33},
    {"2 of 3 truncates, not 67", 2, 0, 3, 66},
    {"999 of 1000", 999, 0, 1000, 99},
    {"3 of 3", 3, 0, 3, 100},
    {"negative fraction truncates toward zero", -1, 0, 3, -33},
    {"empty range", 0, 0, 0, std::nullopt},
    {"reversed range", 5, 10, 0, std::nullopt},
    {"range with a low limit", 15, 10, 20, 50},
    {"position below a low limit", 5, 10, 20, -50},
    {"whole int range", 0, kMin, kMax, 50},
    {"largest total", kMax, 0, kMax, 100},
    {"far below a tiny range is held at the smallest int", kMin, 0, 1, kMin},
};

TEST(ProgressPercentTest, FollowsThePercentageRule) {
  for (const PercentCase& row : kPercentCases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ProgressPercent(row.position, row.low, row.high), row.percent);
  }
}

struct LayoutCase {
  const char* name;
  GeometryRect client;
  int32_t margin;
  int32_t icon_width;
  int32_t icon_height;
  GeometryRect icon;
  GeometryRect bar;
};

const LayoutCase kLayoutCases[] = {
    {"default window", {0, 0, 598, 198}, 17, 32, 32, {17, 83, 49, 115}, {66, 90, 581, 107}},
    {"odd leftover halves truncate", {0, 0, 300, 101}, 10, 31, 31, {10, 35, 41, 66}, {51, 45, 290, 55}},
    {"no margin", {0, 0, 200, 100}, 0, 32, 32, {0, 34, 32, 66}, {32, 50, 200, 50}},
    {"missing icon is zero-sized", {0, 0, 598, 198}, 17, 0, 0, {17, 99, 17, 99}, {34, 91, 581, 108}},
    {"bar taller than the icon", {0, 0, 400, 100}, 20, 16, 16, {20, 42, 36, 58}, {56, 40, 380, 60}},
    // Sums beyond 32 bits neither overflow nor wrap: the results are held at the ends of the range.
    {"whole range with the largest icon", {kMin, kMin, kMax, kMax}, 100, kMax, kMax,
     {kMin + 100, -1073741824, 99, 1073741823}, {199, -51, kMax - 100, 49}},
    {"largest margin", {0, 0, 598, 198}, kMax, 32, 32,
     {kMax, 83, kMax, 115}, {kMax, 83 + (32 - kMax) / 2, 598 - kMax, 83 + (32 - kMax) / 2 + kMax}},
};

TEST(LayoutProgressRowTest, PlacesIconAndBar) {
  for (const LayoutCase& row : kLayoutCases) {
    SCOPED_TRACE(row.name);
    const ProgressRowLayout layout =
        LayoutProgressRow(row.client, row.margin, row.icon_width, row.icon_height);
    EXPECT_EQ(layout.icon, row.icon);
    EXPECT_EQ(layout.bar, row.bar);
  }
}

}  // namespace
}  // namespace pelko::setup
