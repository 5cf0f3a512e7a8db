#include "setup/e2e/reading_order_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "setup/e2e/ink_image.h"

namespace pelko::setup {
namespace {

constexpr wchar_t kLatinName[] = L"Tavrin Pelko";
// How much of a reference glyph's ink must coincide with the capture to count as found there.
constexpr double kFound = 0.75;
// The two references must put the name this far apart (as a share of the line) to be told apart.
constexpr double kReferencesApart = 0.08;
constexpr DWORD kSettlePollMs = 100;


class Font {
 public:
  explicit Font(bool message_font) {
    LOGFONTW face = {};
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (message_font && SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      face = metrics.lfMessageFont;
    } else {
      // What the dialog manager makes of the templates' FONT 8, "MS Shell Dlg" with DS_SHELLFONT.
      HDC screen = GetDC(nullptr);
      face.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
      ReleaseDC(nullptr, screen);
      face.lfWeight = FW_NORMAL;
      face.lfCharSet = DEFAULT_CHARSET;
      wcscpy(face.lfFaceName, L"MS Shell Dlg 2");
    }
    font_ = CreateFontIndirectW(&face);
  }
  ~Font() {
    if (font_) DeleteObject(font_);
  }
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  HFONT get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// The share of ink the glyph (its bounds in `glyph`) and the capture at (x, y) have in common.
double Overlap(const Ink& image, int x, int y, const Ink& glyph, const Bounds& g) {
  int common = 0;
  int either = 0;
  for (int j = 0; j < g.Height(); ++j) {
    for (int i = 0; i < g.Width(); ++i) {
      const bool a = glyph.At(g.left + i, g.top + j);
      const bool b = image.At(x + i, y + j);
      common += a && b;
      either += a || b;
    }
  }
  return either ? static_cast<double>(common) / either : 0.0;
}

// The sentence's tail as a reader meets it last: trailing digits and punctuation.
std::wstring TailOf(const std::wstring& text) {
  size_t start = text.size();
  while (start > 0 && (iswdigit(text[start - 1]) || wcschr(L".:!?", text[start - 1]))) --start;
  return text.substr(start);
}

bool IsBidiControl(wchar_t c) {
  return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

struct Glyphs {
  Ink name;
  Bounds name_bounds;
  Ink tail;
  Bounds tail_bounds;
};

// Where one rendering puts the name and the tail.
struct Layout {
  int lines = 0;          // text lines holding ink
  double name_found = 0;  // overlap at the best place
  double name_at = 0;     // 0: at the left end of its line, 1: at the right end
  double tail_left = 0;   // overlap of the tail with the left end of the last line
  double tail_right = 0;  // ... and with its right end
};

// Ink bounds of the line band [top, top + pitch); the lines are drawn from the top at this pitch.
Bounds LineBounds(const Ink& image, int top, int pitch) {
  Ink band{image.width, pitch, std::vector<uint8_t>(static_cast<size_t>(image.width) * pitch)};
  for (int y = 0; y < pitch; ++y) {
    for (int x = 0; x < image.width; ++x) band.bits[y * image.width + x] = image.At(x, top + y);
  }
  Bounds b = InkBounds(band);
  b.top += top;
  b.bottom += top;
  return b;
}

// The tail at column x of a line: every ink pixel of the strip of columns the tail covers, over
// the whole line, must be the tail's, and the columns beside it must be blank, so that a letter
// whose edge looks like a dot does not count.
double TailAt(const Ink& image, int x, int tail_y, const Bounds& line, const Glyphs& glyphs) {
  const Bounds& t = glyphs.tail_bounds;
  for (int y = line.top; y < line.bottom; ++y) {
    if (image.At(x - 1, y) || image.At(x + t.Width(), y)) return 0.0;
  }
  int common = 0;
  int either = 0;
  for (int y = line.top; y < line.bottom; ++y) {
    for (int i = 0; i < t.Width(); ++i) {
      const bool a = glyphs.tail.At(t.left + i, t.top + y - tail_y);
      const bool b = image.At(x + i, y);
      common += a && b;
      either += a || b;
    }
  }
  return either ? static_cast<double>(common) / either : 0.0;
}

// `origin`: the row the first line starts at.
Layout Measure(const Ink& image, const Glyphs& glyphs, int origin, int pitch) {
  Layout layout;
  std::vector<Bounds> lines;
  for (int top = origin; top + pitch <= image.height; top += pitch) {
    const Bounds line = LineBounds(image, top, pitch);
    if (!line.Empty()) lines.push_back(line);
  }
  layout.lines = static_cast<int>(lines.size());
  const Bounds& n = glyphs.name_bounds;
  int name_x = 0;
  int name_y = 0;
  // A little beyond the edges: a mirrored control may draw its first column just outside.
  for (int y = -2; y + n.Height() <= image.height + 2; ++y) {
    for (int x = -2; x + n.Width() <= image.width + 2; ++x) {
      const double found = Overlap(image, x, y, glyphs.name, n);
      if (found > layout.name_found) {
        layout.name_found = found;
        name_x = x;
        name_y = y;
      }
    }
  }
  if (lines.empty()) return layout;
  const size_t name_line_index = static_cast<size_t>(std::max(0, name_y - origin) / pitch);
  const Bounds& name_line = lines[std::min(name_line_index, lines.size() - 1)];
  const int room = name_line.Width() - n.Width();
  layout.name_at = room > 0 ? static_cast<double>(name_x - name_line.left) / room : 0.5;
  // Drawn alone from the same top, the tail and the name share the baseline; the tail ends the
  // last line.
  const Bounds& t = glyphs.tail_bounds;
  const Bounds& last = lines.back();
  const int tail_y = origin + (last.top - origin) / pitch * pitch + t.top;
  layout.tail_left = TailAt(image, last.left, tail_y, last, glyphs);
  layout.tail_right = TailAt(image, last.right - t.Width(), tail_y, last, glyphs);
  return layout;
}

std::wstring Describe(const wchar_t* what, const Layout& layout) {
  wchar_t text[160];
  swprintf(text, 160, L"%ls: lines=%d name_found=%.2f name_at=%.2f tail_left=%.2f tail_right=%.2f",
           what, layout.lines, layout.name_found, layout.name_at, layout.tail_left,
           layout.tail_right);
  return text;
}

// Polls until two captures in a row agree and hold ink: the control has finished painting.
bool CaptureSettled(HWND control, DWORD timeout_ms, Ink& ink) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  Ink previous;
  for (;;) {
    RECT area;
    Ink now;
    if (GetWindowRect(control, &area) && CaptureScreen(area, now) &&
        !InkBounds(now).Empty() && now == previous) {
      ink = now;
      return true;
    }
    previous = now;
    if (GetTickCount64() > deadline) return false;
    Sleep(kSettlePollMs);
  }
}

}  // namespace

ReadingOrderVerdict JudgeReadingOrder(HWND control, bool message_font, DWORD timeout_ms) {
  wchar_t buffer[2048] = {};
  GetWindowTextW(control, buffer, 2048);
  std::wstring text;
  for (const wchar_t* c = buffer; *c; ++c) {
    if (!IsBidiControl(*c)) text += *c;
  }
  const std::wstring tail = TailOf(text);
  if (text.find(kLatinName) == std::wstring::npos || tail.empty()) {
    return {L"unclear", L"the text holds no product name or ends in no full stop or number"};
  }
  Ink capture;
  if (!CaptureSettled(control, timeout_ms, capture)) {
    return {L"unclear", L"the control's pixels did not settle or hold no ink"};
  }

  const Font font(message_font);
  const int pitch = LinePitch(font.get());
  const int wide = capture.width * 2 + 200;
  const int height = capture.height + 4 * pitch;
  Glyphs glyphs;
  glyphs.name = Draw(kLatinName, font.get(), DT_SINGLELINE, wide, pitch);
  glyphs.name_bounds = InkBounds(glyphs.name);
  glyphs.tail = Draw(tail, font.get(), DT_SINGLELINE, wide, pitch);
  glyphs.tail_bounds = InkBounds(glyphs.tail);
  // Wrapped at the control's width, as the control wraps its text.
  const Ink rtl_reference =
      Draw(text, font.get(), DT_WORDBREAK | DT_RTLREADING, capture.width, height);
  const Ink ltr_reference = Draw(text, font.get(), DT_WORDBREAK, capture.width, height);
  const Bounds reference_bounds = InkBounds(ltr_reference);
  const Bounds capture_bounds = InkBounds(capture);
  if (pitch <= 0 || glyphs.name_bounds.Empty() || glyphs.tail_bounds.Empty() ||
      reference_bounds.Empty()) {
    return {L"unclear", L"the references drew nothing"};
  }
  // The control may start its text lower than the top of its window; its first line holds the
  // same letters as the reference's, so their ink starts at the same height below the line top.
  const int origin = std::max(0, capture_bounds.top - reference_bounds.top);

  DumpInk(capture, L"control");
  DumpInk(rtl_reference, L"rtl");
  DumpInk(ltr_reference, L"ltr");
  const Layout seen = Measure(capture, glyphs, origin, pitch);
  const Layout rtl = Measure(rtl_reference, glyphs, 0, pitch);
  const Layout ltr = Measure(ltr_reference, glyphs, 0, pitch);
  ReadingOrderVerdict verdict;
  verdict.detail = Describe(L"control", seen) + L"; " + Describe(L"rtl reference", rtl) +
                   L"; " + Describe(L"ltr reference", ltr);
  // Each landmark counts only where the two references tell the orders apart by it: the tail
  // when only the right-to-left one ends its last line with it at the left, the name when both
  // show it whole (line breaks may split it) at clearly different places.
  const bool by_tail = rtl.tail_left >= kFound && ltr.tail_left < kFound;
  const bool by_name = rtl.name_found >= kFound && ltr.name_found >= kFound &&
                       std::fabs(rtl.name_at - ltr.name_at) >= kReferencesApart;
  if (!by_tail && !by_name) {
    verdict.order = L"unclear";
    verdict.detail = L"the references do not tell the orders apart; " + verdict.detail;
    return verdict;
  }
  if (seen.lines != ltr.lines || (by_name && seen.name_found < kFound)) {
    verdict.order = L"unclear";
    verdict.detail = L"other line breaks, or the name not found in the reference font; " +
                     verdict.detail;
    return verdict;
  }
  const bool tail_left = seen.tail_left >= kFound && seen.tail_left > seen.tail_right;
  const bool name_as_rtl =
      std::fabs(seen.name_at - rtl.name_at) < std::fabs(seen.name_at - ltr.name_at);
  if ((!by_tail || tail_left) && (!by_name || name_as_rtl)) {
    verdict.order = L"rtl";
  } else if ((!by_tail || !tail_left) && (!by_name || !name_as_rtl)) {
    verdict.order = L"ltr";
  } else {
    verdict.order = L"unclear";
  }
  return verdict;
}

}  // namespace pelko::setup
