#ifndef PELKO_SETUP_UI_RLE8_PICTURE_H_
#define PELKO_SETUP_UI_RLE8_PICTURE_H_

// Pictures stored as a packed device-independent bitmap (the information header, the colour
// table, then the pixels) with 8-bit colour indices run-length encoded, as the customize dialog's
// background is. Expanding the runs here into an uncompressed 8-bit picture is several times
// faster than having the system turn them into a device bitmap, and the dialog is waiting for
// its picture.

#include <cstddef>
#include <cstdint>

namespace pelko::setup {

struct Rle8PictureLayout {
  int32_t width = 0;
  int32_t height = 0;  // rows, stored bottom row first
  size_t palette_offset = 0;
  uint32_t palette_size = 0;
  size_t pixels_offset = 0;
  size_t pixels_size = 0;
};

// Reads where the parts of the picture lie. False for anything but an 8-bit run-length encoded
// picture stored bottom-up whose colour table and pixels lie within `size` bytes.
bool ReadRle8Layout(const uint8_t* data, size_t size, Rle8PictureLayout& layout);

// The bytes between the starts of two rows of the uncompressed picture: a multiple of four.
size_t Rle8RowStride(const Rle8PictureLayout& layout);

// Writes the colour indices of every row to `rows` (height rows of Rle8RowStride bytes), in
// stored order, as an uncompressed picture with the same colour table holds them. Pixels the
// encoding skips (a move, or a row or picture ended early) get index 0; runs that reach past a
// row's end are cut at it. False when the encoding breaks off before its end-of-picture mark:
// the picture is then incomplete and must not be shown.
bool DecodeRle8Picture(const uint8_t* data, const Rle8PictureLayout& layout, uint8_t* rows);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_RLE8_PICTURE_H_
