#ifndef PELKO_SETUP_UI_UI_WIN32_TEST_SUPPORT_H_
#define PELKO_SETUP_UI_UI_WIN32_TEST_SUPPORT_H_

// Stand-ins for the windows' platform questions, and a reading of the pixels a window shows, for
// the Windows-side tests and the high-contrast preview.

#include <windows.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "setup/diagnostic_output.h"
#include "setup/ui/accessible_names_win32.h"
#include "setup/ui/high_contrast.h"

namespace pelko::setup {

// The dialog's diagnostics, dropped.
class NoOutput : public DiagnosticOutput {
 public:
  void Write(const std::u16string&) override {}
};

// A folder picker that keeps the folder it was given.
inline std::u16string KeepFolder(HWND, const std::u16string& initial) { return initial; }

// Answers as told; a test can switch it while a window is open.
class FakeHighContrast : public HighContrastQuery {
 public:
  explicit FakeHighContrast(bool on) : on_(on) {}
  bool IsHighContrastOn() const override { return on_; }
  void Set(bool on) { on_ = on; }

 private:
  bool on_;
};

// Records the names given and how often they were taken back.
class RecordingNaming : public AccessibleNaming {
 public:
  bool Name(HWND window, const std::u16string& name) override {
    names.emplace_back(window, name);
    return true;
  }
  void ClearNames() override { ++clears; }

  std::vector<std::pair<HWND, std::u16string>> names;
  int clears = 0;
};

// The system colours of the "white on black" high-contrast scheme, set for the whole session
// while the object lives (the system tells every window), and the previous ones put back.
class ScopedHighContrastColours {
 public:
  ScopedHighContrastColours() {
    const std::pair<int, COLORREF> kScheme[] = {
        {COLOR_WINDOW, RGB(0, 0, 0)},          {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
        {COLOR_BTNFACE, RGB(0, 0, 0)},         {COLOR_BTNTEXT, RGB(255, 255, 255)},
        {COLOR_HIGHLIGHT, RGB(26, 235, 255)},  {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
        {COLOR_GRAYTEXT, RGB(63, 242, 63)},    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_BTNSHADOW, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(255, 255, 255)},
        {COLOR_3DLIGHT, RGB(255, 255, 255)},   {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
    };
    std::vector<int> elements;
    std::vector<COLORREF> colours;
    for (const auto& [element, colour] : kScheme) {
      elements.push_back(element);
      colours.push_back(colour);
      saved_colours_.push_back(::GetSysColor(element));
    }
    saved_elements_ = elements;
    ::SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data());
  }
  ~ScopedHighContrastColours() {
    ::SetSysColors(static_cast<int>(saved_elements_.size()), saved_elements_.data(),
                   saved_colours_.data());
  }
  ScopedHighContrastColours(const ScopedHighContrastColours&) = delete;
  ScopedHighContrastColours& operator=(const ScopedHighContrastColours&) = delete;

 private:
  std::vector<int> saved_elements_;
  std::vector<COLORREF> saved_colours_;
};

// Pixels as 0xRRGGBB.
struct WindowPixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
};

// What the top-level `window` shows in `area` (screen coordinates), read back from the window's
// own pixels rather than from the display, where a window of another program (another test
// running at the same time) could lie over it. Left-to-right windows only.
inline WindowPixels CaptureWindowArea(HWND window, const RECT& area) {
  WindowPixels shot;
  shot.width = area.right - area.left;
  shot.height = area.bottom - area.top;
  RECT frame = {};
  if (shot.width <= 0 || shot.height <= 0 || !::GetWindowRect(window, &frame)) return {};
  HDC source = ::GetWindowDC(window);
  HDC memory = ::CreateCompatibleDC(source);
  HBITMAP bitmap = ::CreateCompatibleBitmap(source, shot.width, shot.height);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, shot.width, shot.height, source, area.left - frame.left,
           area.top - frame.top, SRCCOPY);
  ::SelectObject(memory, previous);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
  if (::GetDIBits(memory, bitmap, 0, shot.height, shot.pixels.data(), &info, DIB_RGB_COLORS) !=
      shot.height) {
    shot = {};
  }
  for (DWORD& pixel : shot.pixels) pixel &= 0xFFFFFF;
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, source);
  return shot;
}

// A window's client area on the screen.
inline RECT ClientAreaOnScreen(HWND window) {
  RECT rect = {};
  ::GetClientRect(window, &rect);
  ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  if (rect.left > rect.right) std::swap(rect.left, rect.right);  // mirrored windows
  return rect;
}

// Relative luminance of an 0xRRGGBB colour, as the web content guidelines define it.
inline double RelativeLuminance(DWORD rgb) {
  const auto channel = [](DWORD value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel((rgb >> 16) & 0xFF) + 0.7152 * channel((rgb >> 8) & 0xFF) +
         0.0722 * channel(rgb & 0xFF);
}

inline double ContrastRatio(DWORD a, DWORD b) {
  double la = RelativeLuminance(a);
  double lb = RelativeLuminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}

// The two colours of a text on its background: the most frequent colour of the area is the
// background, the next most frequent the ink. ink_pixels is 0 when the area holds one colour.
struct TextColours {
  DWORD background = 0;
  DWORD ink = 0;
  size_t ink_pixels = 0;
};

inline TextColours ReadTextColours(const WindowPixels& shot) {
  std::map<DWORD, size_t> counts;
  for (DWORD pixel : shot.pixels) ++counts[pixel];
  TextColours colours;
  size_t background_pixels = 0;
  for (const auto& [colour, count] : counts) {
    if (count > background_pixels) {
      background_pixels = count;
      colours.background = colour;
    }
  }
  for (const auto& [colour, count] : counts) {
    if (colour != colours.background && count > colours.ink_pixels) {
      colours.ink_pixels = count;
      colours.ink = colour;
    }
  }
  return colours;
}

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_UI_WIN32_TEST_SUPPORT_H_
