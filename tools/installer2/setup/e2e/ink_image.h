// Pixels as ink for the end-to-end checks that look at what a window shows: a screen area or
// a text drawn by DrawTextW, one bit a pixel.

#ifndef PELKO_SETUP_E2E_INK_IMAGE_H_
#define PELKO_SETUP_E2E_INK_IMAGE_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pelko::setup {

// One bit a pixel: ink or not.
struct Ink {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;
  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && bits[y * width + x] != 0;
  }
  bool operator==(const Ink& other) const {
    return width == other.width && height == other.height && bits == other.bits;
  }
};

// Half-open bounds of ink; empty when right <= left.
struct Bounds {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

Bounds InkBounds(const Ink& ink);
// The pixels of a screen area, with every window on it as drawn; false when unreadable.
bool CaptureScreen(const RECT& area, Ink& ink);
// `text` in black on white from the top-left corner, as DrawTextW lays it out; `format` adds
// DT_SINGLELINE, DT_WORDBREAK (wrapped at `width`, as a static control wraps) or DT_RTLREADING.
Ink Draw(const std::wstring& text, HFONT font, UINT format, int width, int height);
// The distance DrawTextW puts between the tops of two lines in the font.
int LinePitch(HFONT font);
// With PELKO_UI_CAPTURE_DIR set (a Windows path), writes the ink there as a PBM picture.
void DumpInk(const Ink& ink, const wchar_t* name);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_E2E_INK_IMAGE_H_
