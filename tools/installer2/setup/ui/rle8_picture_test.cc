#include "setup/ui/rle8_picture.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelko::setup {
namespace {

// A packed picture: the 40-byte header, a table of three colours, then `pixels`.
std::vector<uint8_t> Picture(int32_t height, const std::vector<uint8_t>& pixels,
                             uint32_t compression = 1, uint32_t colours = 3) {
  std::vector<uint8_t> out;
  for (uint32_t field : {40u, 3u, static_cast<uint32_t>(height), 0x80001u, compression,
                         static_cast<uint32_t>(pixels.size()), 0u, 0u, colours, 0u}) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(field >> shift));
  }
  out.resize(out.size() + 12, 0x7F);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

TEST(Rle8PictureTest, DecodesIntoRowsOfFourBytes) {
  struct Case {
    const char* what;
    std::vector<uint8_t> encoded;
    std::vector<uint8_t> rows;  // empty: refused; else 3 by 2, bottom row first
  };
  const Case kCases[] = {
      {"runs", {2, 0, 1, 1, 0, 0, 3, 2, 0, 1}, {0, 0, 1, 0, 2, 2, 2, 0}},
      {"odd absolute run padded",
       {0, 3, 2, 1, 0, 0xEE, 0, 0, 1, 1, 0, 1},
       {2, 1, 0, 0, 1, 0, 0, 0}},
      {"a move skips pixels and rows", {1, 2, 0, 2, 1, 1, 1, 1, 0, 1}, {2, 0, 0, 0, 0, 0, 1, 0}},
      {"cut at the row's end", {6, 2, 0, 0, 0, 4, 1, 2, 1, 2, 0, 1}, {2, 2, 2, 0, 1, 2, 1, 0}},
      {"rows past the top dropped", {0, 2, 0, 5, 3, 1, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0}},
      {"no end-of-picture mark", {3, 0, 0, 0}, {}},
      {"a move without its distances", {0, 2, 1}, {}},
      {"an absolute run past the data", {0, 5, 1, 1, 1, 1}, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::vector<uint8_t> picture = Picture(2, c.encoded);
    Rle8PictureLayout layout;
    ASSERT_TRUE(ReadRle8Layout(picture.data(), picture.size(), layout));
    ASSERT_EQ(Rle8RowStride(layout), 4u);
    std::vector<uint8_t> rows(8, 0xAA);
    EXPECT_EQ(DecodeRle8Picture(picture.data(), layout, rows.data()), !c.rows.empty());
    if (!c.rows.empty()) {
      EXPECT_EQ(rows, c.rows);
    }
  }
}

TEST(Rle8PictureTest, RefusesWhatItDoesNotDecode) {
  Rle8PictureLayout layout;
  std::vector<uint8_t> long_pixels = Picture(2, {0, 1});
  long_pixels[20] = 3;
  for (const std::vector<uint8_t>& picture :
       {Picture(2, {0, 1}, 0), Picture(-2, {0, 1}), Picture(2, {0, 1}, 1, 257),
        Picture(2, {0, 1}, 1, 0) /* 256 colours: the table runs past the end */, long_pixels}) {
    EXPECT_FALSE(ReadRle8Layout(picture.data(), picture.size(), layout));
  }
}

}  // namespace
}  // namespace pelko::setup
