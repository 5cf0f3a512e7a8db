#include "setup/ui/rle8_picture.h"

#include <algorithm>

namespace pelko::setup {

namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRle8Compression = 1;
// Far above any dialog picture; keeps a damaged header from asking for gigabytes.
constexpr int64_t kMostPixels = int64_t{1} << 24;

uint32_t ReadU32(const uint8_t* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

uint16_t ReadU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

bool ReadRle8Layout(const uint8_t* data, size_t size, Rle8PictureLayout& layout) {
  if (!data || size < kInfoHeaderSize) return false;
  const uint32_t header_size = ReadU32(data);
  const auto width = static_cast<int32_t>(ReadU32(data + 4));
  const auto height = static_cast<int32_t>(ReadU32(data + 8));
  const uint32_t image_size = ReadU32(data + 20);
  const uint32_t colours_used = ReadU32(data + 32);
  if (header_size < kInfoHeaderSize || header_size > size || ReadU16(data + 12) != 1 ||
      ReadU16(data + 14) != 8 || ReadU32(data + 16) != kRle8Compression) {
    return false;
  }
  // Run-length encoded pictures are always stored bottom-up (a positive height).
  if (width <= 0 || height <= 0 || int64_t{width} * height > kMostPixels) return false;
  if (colours_used > 256) return false;
  Rle8PictureLayout read;
  read.width = width;
  read.height = height;
  read.palette_offset = header_size;
  read.palette_size = colours_used ? colours_used : 256;
  read.pixels_offset = read.palette_offset + size_t{read.palette_size} * 4;
  if (read.pixels_offset > size) return false;
  // The size of the pixels is required for compressed pictures; a file that leaves it out still
  // has them running to its end.
  read.pixels_size = image_size ? image_size : size - read.pixels_offset;
  if (read.pixels_size > size - read.pixels_offset) return false;
  layout = read;
  return true;
}

size_t Rle8RowStride(const Rle8PictureLayout& layout) {
  return (static_cast<size_t>(layout.width) + 3) & ~size_t{3};
}

bool DecodeRle8Picture(const uint8_t* data, const Rle8PictureLayout& layout, uint8_t* rows) {
  const size_t width = static_cast<size_t>(layout.width);
  const size_t height = static_cast<size_t>(layout.height);
  const size_t stride = Rle8RowStride(layout);
  std::fill(rows, rows + stride * height, uint8_t{0});

  const uint8_t* in = data + layout.pixels_offset;
  const size_t size = layout.pixels_size;
  size_t at = 0;
  size_t x = 0;
  size_t y = 0;
  // The pixels of the current row from `x` on that `count` more would cover, cut at its end.
  auto span = [&](size_t count) -> size_t {
    return (y < height && x < width) ? std::min(count, width - x) : 0;
  };
  while (at + 2 <= size) {
    const uint8_t first = in[at];
    const uint8_t second = in[at + 1];
    at += 2;
    if (first > 0) {  // a run: `first` pixels of one colour
      if (const size_t n = span(first)) std::fill_n(rows + y * stride + x, n, second);
      x += first;
      continue;
    }
    switch (second) {
      case 0:  // end of row
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return true;
      case 2:  // move right and up (the rows run bottom to top)
        if (at + 2 > size) return false;
        x += in[at];
        y += in[at + 1];
        at += 2;
        break;
      default: {  // `second` indices as they stand, padded to an even length
        const size_t count = second;
        if (count > size - at) return false;
        if (const size_t n = span(count)) std::copy_n(in + at, n, rows + y * stride + x);
        x += count;
        at += count + (count % 2);
        break;
      }
    }
  }
  return false;
}

}  // namespace pelko::setup
