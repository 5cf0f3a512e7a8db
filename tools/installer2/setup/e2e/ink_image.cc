#include "setup/e2e/ink_image.h"

#include <cstdio>
#include <cwchar>

namespace pelko::setup {
namespace {

// A pixel is ink when it is darker than this (0..255); the texts are black on light colours.
constexpr int kInkLevel = 128;

// A memory DC over a 32-bit top-down DIB section.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<const uint32_t*>(bits);
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Ok() const { return old_ != nullptr && pixels_ != nullptr; }
  HDC dc() const { return dc_; }

  Ink ToInk() const {
    GdiFlush();
    Ink ink{width_, height_, std::vector<uint8_t>(static_cast<size_t>(width_) * height_)};
    for (size_t i = 0; Ok() && i < ink.bits.size(); ++i) {
      const uint32_t p = pixels_[i];
      const int luminance =
          (299 * ((p >> 16) & 0xFF) + 587 * ((p >> 8) & 0xFF) + 114 * (p & 0xFF)) / 1000;
      ink.bits[i] = luminance < kInkLevel ? 1 : 0;
    }
    return ink;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  const uint32_t* pixels_ = nullptr;
};

}  // namespace

Bounds InkBounds(const Ink& ink) {
  Bounds b{ink.width, ink.height, 0, 0};
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) {
      if (!ink.At(x, y)) continue;
      if (x < b.left) b.left = x;
      if (y < b.top) b.top = y;
      if (x + 1 > b.right) b.right = x + 1;
      if (y + 1 > b.bottom) b.bottom = y + 1;
    }
  }
  return b;
}

void DumpInk(const Ink& ink, const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"PELKO_UI_CAPTURE_DIR", folder, MAX_PATH)) return;
  static int count = 0;
  wchar_t path[MAX_PATH * 2];
  swprintf(path, MAX_PATH * 2, L"%ls\\%lu-%02d-%ls.pbm", folder, GetTickCount(), count++, name);
  FILE* file = _wfopen(path, L"wb");
  if (!file) return;
  fprintf(file, "P1\n%d %d\n", ink.width, ink.height);
  for (int y = 0; y < ink.height; ++y) {
    for (int x = 0; x < ink.width; ++x) fputs(ink.At(x, y) ? "1 " : "0 ", file);
    fputs("\n", file);
  }
  fclose(file);
}

int LinePitch(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  const int pitch = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
  SelectObject(dc, old);
  DeleteDC(dc);
  return pitch;
}

bool CaptureScreen(const RECT& area, Ink& ink) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  Canvas canvas(width, height);
  HDC screen = GetDC(nullptr);
  const bool copied = canvas.Ok() && screen &&
                      BitBlt(canvas.dc(), 0, 0, width, height, screen, area.left, area.top,
                             SRCCOPY | CAPTUREBLT);
  if (screen) ReleaseDC(nullptr, screen);
  if (copied) ink = canvas.ToInk();
  return copied;
}

Ink Draw(const std::wstring& text, HFONT font, UINT format, int width, int height) {
  Canvas canvas(width, height);
  if (!canvas.Ok()) return {};
  PatBlt(canvas.dc(), 0, 0, width, height, WHITENESS);
  HGDIOBJ old_font = SelectObject(canvas.dc(), font);
  SetTextColor(canvas.dc(), RGB(0, 0, 0));
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT area = {0, 0, width, height};
  DrawTextW(canvas.dc(), text.c_str(), -1, &area,
            DT_NOPREFIX | DT_LEFT | DT_TOP | format);
  SelectObject(canvas.dc(), old_font);
  return canvas.ToInk();
}

}  // namespace pelko::setup
