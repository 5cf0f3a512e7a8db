#include "setup/ui/dialog_background.h"

#include <gtest/gtest.h>

namespace pelko::setup {
namespace {

TEST(DialogBackgroundTest, SourceRow) {
  struct Case {
    int client_top;
    int client_height;
    int bitmap_height;
    int row;
  };
  const Case kCases[] = {
      {0, 400, 450, 50},    // taller bitmap: its lowest 400 rows show
      {0, 400, 400, 0},     // same height
      {0, 400, 300, 0},     // shorter bitmap
      {0, 455, 600, 145},
      {0, 0, 600, 600},     // a minimised or empty client area
      {0, 400, 0, 0},       // no height read from the bitmap
      {0, 400, -450, 0},    // a bottom-up height never reaches here, but must not count
      {7, 400, 300, 7},     // otherwise the copy starts at the client top
      {7, 400, 450, 50},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "client " << c.client_top << "+" << c.client_height
                                    << " bitmap " << c.bitmap_height);
    EXPECT_EQ(BackgroundSourceRow(c.client_top, c.client_height, c.bitmap_height), c.row);
  }
}

TEST(DialogBackgroundTest, ControlsKeptClear) {
  struct Case {
    int id;
    bool kept_clear;
  };
  const Case kCases[] = {
      {1, true},    {2, true},    {300, true},  {301, true},  {306, true}, {316, true},
      {0, false},   {3, false},   {299, false}, {317, false}, {-1, false}, {0xFFFF, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(IsControlKeptClearOfBackground(c.id), c.kept_clear);
  }
}

TEST(DialogBackgroundTest, LoadErrorText) {
  struct Case {
    std::u16string message;
    uint32_t code;
    std::u16string text;
  };
  const Case kCases[] = {
      {u"The specified resource name cannot be found in the image file.\r\n", 1814,
       u"The specified resource name cannot be found in the image file.\r\n - Error #1814"},
      {u"", 0, u" - Error #0"},
      {u"x", 0x80004005u, u"x - Error #-2147467259"},
      {u"x", 0x80000000u, u"x - Error #-2147483648"},
      {u"x", 0x7FFFFFFFu, u"x - Error #2147483647"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(FormatBackgroundLoadError(c.message, c.code), c.text);
  }
}

}  // namespace
}  // namespace pelko::setup
