#include "setup/ui/dialog_background_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/ui/dialog_background.h"
#include "setup/win32_raii.h"

namespace pelko::setup {
namespace {

constexpr int kClientWidth = 200;
constexpr int kClientHeight = 100;  // less than the picture's height: its lowest rows show
constexpr int kBitmapWidth = 220;
constexpr int kBitmapHeight = 150;  // taller than the client area: its lowest rows show

// Each pixel of the test picture tells where it came from: red is the column, green the row.
COLORREF SourceColor(int x, int row) { return RGB(x, row, 0x80); }

HBITMAP MakeCodedBitmap() {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kBitmapWidth;
  info.bmiHeader.biHeight = kBitmapHeight;  // bottom-up, like a bitmap resource
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* pixels = static_cast<DWORD*>(bits);
  for (int row = 0; row < kBitmapHeight; ++row) {
    for (int x = 0; x < kBitmapWidth; ++x) {
      // Stored as 0x00RRGGBB, bottom row first.
      pixels[(kBitmapHeight - 1 - row) * kBitmapWidth + x] = (x << 16) | (row << 8) | 0x80;
    }
  }
  return bitmap;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

struct Child {
  int id;
  RECT rect;
  bool visible;
};

// A plain popup with a client area of 200 by 100 and some static children.
class TestWindow {
 public:
  explicit TestWindow(const std::vector<Child>& children) {
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, 0);
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_BORDER | WS_VISIBLE, 40, 40,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    for (const Child& child : children) {
      CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | (child.visible ? WS_VISIBLE : 0),
                      child.rect.left, child.rect.top, child.rect.right - child.rect.left,
                      child.rect.bottom - child.rect.top, window_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
                      GetModuleHandleW(nullptr), nullptr);
    }
    UpdateWindow(window_);
    PumpMessages();
  }
  ~TestWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

TEST(PaintBackgroundWin32Test, AnchorsAtTheBottomAndKeepsTheDialogControlsClear) {
  GdiObject<HBITMAP> bitmap(MakeCodedBitmap());
  ASSERT_NE(bitmap.get(), nullptr);
  const std::vector<Child> children = {
      {IDOK, {10, 10, 40, 30}, true},
      {306, {60, 10, 100, 30}, true},
      {316, {110, 10, 150, 30}, true},
      {307, {10, 50, 40, 70}, false},    // hidden: painted over
      {500, {60, 50, 100, 70}, true},    // not one of the dialog's controls: painted over
      {299, {110, 50, 150, 70}, true},   // just below the range: painted over
  };
  TestWindow window(children);
  // Wider than the picture: the strip on the right is white.
  SetWindowPos(window.get(), nullptr, 0, 0, kBitmapWidth + 30, kClientHeight,
               SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  ASSERT_NE(window.get(), nullptr);
  RECT client = {};
  GetClientRect(window.get(), &client);
  ASSERT_GT(client.right, kBitmapWidth);
  const int client_height = client.bottom;

  PaintBackground(window.get(), bitmap.get());

  const int source_row = BackgroundSourceRow(0, client_height, kBitmapHeight);
  ASSERT_EQ(source_row, kBitmapHeight - client_height);
  HDC dc = GetDC(window.get());
  struct Probe {
    const char* name;
    int x, y;
    bool background;
  };
  const Probe kProbes[] = {
      {"free area, top left", 0, 0, true},
      {"free area, bottom left", 0, client_height - 1, true},
      {"last picture column", kBitmapWidth - 1, 40, true},
      {"free area, middle", 170, 40, true},
      {"OK button", 25, 20, false},
      {"control 306", 80, 20, false},
      {"control 316", 130, 20, false},
      {"hidden control 307", 25, 60, true},
      {"control 500", 80, 60, true},
      {"control 299", 130, 60, true},
  };
  for (const Probe& probe : kProbes) {
    SCOPED_TRACE(probe.name);
    const COLORREF seen = GetPixel(dc, probe.x, probe.y);
    const COLORREF expected = SourceColor(probe.x, source_row + probe.y);
    if (probe.background) {
      EXPECT_EQ(seen, expected);
    } else {
      EXPECT_NE(seen, expected);
    }
  }
  EXPECT_EQ(GetPixel(dc, kBitmapWidth + 10, 40), RGB(255, 255, 255));
  ReleaseDC(window.get(), dc);
}

TEST(PaintBackgroundWin32Test, AShorterBitmapStartsAtItsTopRow) {
  GdiObject<HBITMAP> bitmap(MakeCodedBitmap());
  ASSERT_NE(bitmap.get(), nullptr);
  // A client area taller than the picture: the copy starts at the picture's row 0.
  const std::vector<Child> none;
  TestWindow window(none);
  SetWindowPos(window.get(), nullptr, 0, 0, kClientWidth, kBitmapHeight + 40,
               SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  RECT client = {};
  GetClientRect(window.get(), &client);
  ASSERT_GT(client.bottom, kBitmapHeight);

  PaintBackground(window.get(), bitmap.get());

  HDC dc = GetDC(window.get());
  EXPECT_EQ(GetPixel(dc, 5, 0), SourceColor(5, 0));
  EXPECT_EQ(GetPixel(dc, 7, kBitmapHeight - 1), SourceColor(7, kBitmapHeight - 1));
  // Below the picture: white, not whatever lies outside the bitmap.
  EXPECT_EQ(GetPixel(dc, 7, kBitmapHeight + 5), RGB(255, 255, 255));
  ReleaseDC(window.get(), dc);
}

TEST(DialogBackgroundWin32Test, AModuleWithoutThePictureGetsTheDiagnosticAndTheBrush) {
  struct Recorder : DiagnosticOutput {
    void Write(const std::u16string& text) override { texts.push_back(text); }
    std::vector<std::u16string> texts;
  } output;
  // A window of a module that carries no "IDB_BACKGROUND".
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(L"kernel32.dll"), nullptr);
  ASSERT_NE(window, nullptr);
  DialogBackground background;
  background.SetUp(window, output);
  DestroyWindow(window);

  EXPECT_EQ(background.bitmap(), nullptr);
  ASSERT_EQ(output.texts.size(), 1u);
  // The system's text for the code, then the code: kernel32 carries no bitmaps at all.
  const std::u16string tail = u" - Error #1813";  // ERROR_RESOURCE_TYPE_NOT_FOUND
  const std::u16string& line = output.texts[0];
  ASSERT_GT(line.size(), tail.size());
  EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
  wchar_t message[256] = {};
  ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_RESOURCE_TYPE_NOT_FOUND,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), message, 256, nullptr),
            0u);
  EXPECT_EQ(line.substr(0, line.size() - tail.size()),
            std::u16string(reinterpret_cast<const char16_t*>(message)));

  ASSERT_NE(background.brush(), nullptr);
  LOGBRUSH brush = {};
  ASSERT_EQ(GetObjectW(background.brush(), sizeof(brush), &brush),
            static_cast<int>(sizeof(brush)));
  EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));

  // Without a picture the paint messages take the default path; the brush is still handed out.
  bool handled = true;
  EXPECT_EQ(background.OnEraseBackground(nullptr, handled), 0);
  EXPECT_FALSE(handled);
  handled = true;
  EXPECT_EQ(background.OnPaint(nullptr, handled), 0);
  EXPECT_FALSE(handled);
  handled = true;
  EXPECT_EQ(background.OnCtlColorStatic(handled), reinterpret_cast<LRESULT>(background.brush()));
  EXPECT_TRUE(handled);
}

}  // namespace
}  // namespace pelko::setup
