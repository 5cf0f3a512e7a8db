#include "setup/ui/window_geometry.h"

#include <gtest/gtest.h>

namespace pelko::setup {
namespace {

struct CenterCase {
  const char* name;
  GeometryRect target;
  GeometryRect area;
  int32_t width;
  int32_t height;
  GeometryPoint position;
};

const CenterCase kCenterCases[] = {
    {"full HD work area", {0, 0, 1920, 1040}, {0, 0, 1920, 1040}, 600, 200, {660, 420}},
    {"monitor left of the primary truncates toward zero",
     {-1921, 0, 0, 1080}, {-1921, 0, 0, 1080}, 600, 200, {-1260, 440}},
    {"area smaller than the window pins left and top",
     {0, 0, 500, 150}, {0, 0, 500, 150}, 600, 200, {0, 0}},
    {"small area away from the origin pins to its edges",
     {100, 50, 400, 200}, {100, 50, 400, 200}, 600, 200, {100, 50}},
    {"odd window size", {0, 0, 1000, 800}, {0, 0, 1000, 800}, 301, 201, {350, 300}},
    {"owner near the right edge is pulled back inside",
     {1700, 100, 1900, 300}, {0, 0, 1920, 1040}, 600, 200, {1320, 100}},
    {"owner near the top-left corner is pushed inside",
     {-50, -50, 50, 50}, {0, 0, 1920, 1040}, 600, 200, {0, 0}},
    {"monitor above the primary", {0, -1080, 1920, -40}, {0, -1080, 1920, -40}, 600, 200,
     {660, -660}},
};

TEST(CenterPositionTest, CentresInsideTheWorkArea) {
  for (const CenterCase& row : kCenterCases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CenterPosition(row.target, row.area, row.width, row.height), row.position);
  }
}

TEST(CenterPositionTest, HalvesOfNegativeSumsTruncateTowardZero) {
  // A zero-sized window shows the bare centre: -1921 + 0 halves to -960, not -961.
  const GeometryRect area{-1921, -1001, 0, 0};
  EXPECT_EQ(CenterPosition(area, area, 0, 0), (GeometryPoint{-960, -500}));
}

}  // namespace
}  // namespace pelko::setup
