// The dialog and the progress window in high contrast, through the query the windows ask: what
// the dialog shows, measured from its pixels.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <set>
#include <vector>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/dialog_background_win32.h"
#include "setup/ui/modal_driver_win32_test.h"
#include "setup/ui/tp_customize_setup_dialog_win32.h"
#include "setup/ui/tp_setup_progress_window_win32.h"
#include "setup/ui/ui_win32_test_support.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// Every control that shows a text, with how far to stay inside it (a button's frame is not ink).
struct TextControl {
  int id;
  int inset;
};
constexpr TextControl kTextControls[] = {
    {301, 0}, {302, 0}, {303, 0}, {304, 0}, {305, 0}, {306, 2}, {307, 4}, {308, 0}, {309, 2},
    {310, 4}, {311, 0}, {312, 2}, {313, 4}, {314, 0}, {315, 0}, {316, 0}, {IDOK, 4}, {IDCANCEL, 4},
};

struct TextReading {
  int id = 0;
  TextColours colours;
};

// What the dialog showed once it had painted.
struct DialogShot {
  bool shown = false;
  size_t client_pixels = 0;
  size_t picture_pixels = 0;  // pixels in a colour of the picture that no system colour explains
  std::vector<TextReading> texts;
};

// The distinct colours of the background picture, as the test program carries it.
std::set<DWORD> PictureColours() {
  std::set<DWORD> colours;
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), kBackgroundBitmapName,
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return colours;
  BITMAP info = {};
  GetObjectW(bitmap, sizeof(info), &info);
  BITMAPINFO read = {};
  read.bmiHeader.biSize = sizeof(read.bmiHeader);
  read.bmiHeader.biWidth = info.bmWidth;
  read.bmiHeader.biHeight = info.bmHeight;
  read.bmiHeader.biPlanes = 1;
  read.bmiHeader.biBitCount = 32;
  read.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &read, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  for (DWORD pixel : pixels) colours.insert(pixel & 0xFFFFFF);
  return colours;
}

DWORD SysRgb(int element) {
  const COLORREF c = GetSysColor(element);
  return static_cast<DWORD>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

DialogShot Read(HWND dialog) {
  DialogShot shot;
  shot.shown = true;
  const WindowPixels client = CaptureWindowArea(dialog, ClientAreaOnScreen(dialog));
  std::set<DWORD> explained;
  for (int element : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT,
                      COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_BTNHIGHLIGHT,
                      COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_WINDOWFRAME}) {
    explained.insert(SysRgb(element));
  }
  const std::set<DWORD> picture = PictureColours();
  shot.client_pixels = client.pixels.size();
  for (DWORD pixel : client.pixels) {
    if (picture.count(pixel) && !explained.count(pixel)) ++shot.picture_pixels;
  }
  for (const TextControl& control : kTextControls) {
    RECT area = ClientAreaOnScreen(GetDlgItem(dialog, control.id));
    InflateRect(&area, -control.inset, -control.inset);
    shot.texts.push_back({control.id, ReadTextColours(CaptureWindowArea(dialog, area))});
  }
  return shot;
}

// Runs the dialog over `contrast`; `before_shot` runs once it is up (it may switch the query and
// tell the dialog). The shot is taken after the dialog's loop has run for a while, painting
// whatever is pending.
DialogShot RunAndShoot(FakeHighContrast& contrast, void (*before_shot)(HWND, FakeHighContrast&)) {
  static DialogShot shot;
  static FakeHighContrast* query;
  static void (*act)(HWND, FakeHighContrast&);
  static int ticks;
  shot = {};
  query = &contrast;
  act = before_shot;
  ticks = 0;
  NoOutput output;
  RecordingNaming naming;
  TpCustomizeSetupDialog dialog(output, &KeepFolder, contrast, naming);
  ModalDriver::Schedule([] {
    HWND window = ThreadDialogWithControl(kInstallFolderDisplayId);
    if (!window) return false;
    if (ticks == 0) {
      // The focused display selects its path; read its text, not the selection's colours.
      SendMessageW(GetDlgItem(window, kInstallFolderDisplayId), EM_SETSEL, 0, 0);
      if (act) act(window, *query);
    }
    // About half a second of the dialog's own loop.
    if (++ticks < 40) return false;
    shot = Read(window);
    EndDialog(window, IDCANCEL);
    return true;
  });
  dialog.RunModal();
  return shot;
}

void ExpectReadableTexts(const DialogShot& shot) {
  for (const TextReading& text : shot.texts) {
    SCOPED_TRACE(testing::Message() << "control " << text.id);
    ASSERT_GT(text.colours.ink_pixels, 0u) << "no text seen";
    const double ratio = ContrastRatio(text.colours.ink, text.colours.background);
    printf("control %d: ink %06lx on %06lx, contrast %.2f:1\n", text.id,
           static_cast<unsigned long>(text.colours.ink),
           static_cast<unsigned long>(text.colours.background), ratio);
    EXPECT_GE(ratio, 4.5);
  }
}

TEST(HighContrastWin32Test, TheDialogShowsThePersonsColoursAndNoPicture) {
  struct Case {
    const char* name;
    bool on_at_start;
    void (*before_shot)(HWND, FakeHighContrast&);
  };
  const Case kCases[] = {
      {"on when the dialog opens", true, nullptr},
      {"switched on while it is open", false,
       [](HWND dialog, FakeHighContrast& contrast) {
         contrast.Set(true);
         // As the system announces the change: no colour changes, only the setting.
         SendMessageW(dialog, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
       }},
  };
  ScopedHighContrastColours colours;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeHighContrast contrast(c.on_at_start);
    const DialogShot shot = RunAndShoot(contrast, c.before_shot);
    ASSERT_TRUE(shot.shown);
    ASSERT_GT(shot.client_pixels, 10000u);
    printf("%s: %zu of %zu pixels in a colour of the picture\n", c.name, shot.picture_pixels,
           shot.client_pixels);
    EXPECT_EQ(shot.picture_pixels, 0u);
    ExpectReadableTexts(shot);
    // The person's colours, not the dialog's white.
    for (const TextReading& text : shot.texts) {
      SCOPED_TRACE(testing::Message() << "control " << text.id);
      EXPECT_NE(text.colours.background, 0xFFFFFFu);
    }
  }
}

TEST(HighContrastWin32Test, WithoutItTheDialogKeepsItsPictureAndWhiteTexts) {
  FakeHighContrast contrast(false);
  const DialogShot shot = RunAndShoot(contrast, nullptr);
  ASSERT_TRUE(shot.shown);
  printf("without high contrast: %zu of %zu pixels in a colour of the picture\n",
         shot.picture_pixels, shot.client_pixels);
  // Much of the dialog is the picture.
  EXPECT_GT(shot.picture_pixels, shot.client_pixels / 10);
  ExpectReadableTexts(shot);
  for (const TextReading& text : shot.texts) {
    if (text.id < 301 || text.id > 316 || text.id == 307 || text.id == 310 || text.id == 313) {
      continue;  // buttons keep the system's face
    }
    SCOPED_TRACE(testing::Message() << "control " << text.id);
    EXPECT_EQ(text.colours.background, 0xFFFFFFu);
  }
}

TEST(HighContrastWin32Test, TheProgressBarTakesThePersonsColoursAndItsName) {
  FakeHighContrast contrast(true);
  RecordingNaming naming;
  {
    TpSetupProgressWindow window(contrast, naming);
    window.Show();
    HWND bar = window.progress_bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0),
              static_cast<LRESULT>(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(SendMessageW(bar, PBM_GETBKCOLOR, 0, 0),
              static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
    // Switched off while it is open: back to the control's own colours.
    contrast.Set(false);
    SendMessageW(window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(CLR_DEFAULT));
    EXPECT_EQ(SendMessageW(bar, PBM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(CLR_DEFAULT));

    ASSERT_EQ(naming.names.size(), 1u);
    EXPECT_EQ(naming.names[0].first, bar);
    const std::u16string caption = ProcessUiLanguage().LocalizedString(223);
    ASSERT_FALSE(caption.empty());
    EXPECT_EQ(naming.names[0].second, caption);
    EXPECT_EQ(naming.clears, 0);
    DestroyWindow(window.hwnd());
  }
  EXPECT_EQ(naming.clears, 1) << "the name is taken back when the window goes";
}

TEST(HighContrastWin32Test, WithoutItTheProgressBarKeepsItsOwnColours) {
  FakeHighContrast contrast(false);
  RecordingNaming naming;
  TpSetupProgressWindow window(contrast, naming);
  window.Show();
  HWND bar = window.progress_bar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0), static_cast<LRESULT>(CLR_DEFAULT));
  DestroyWindow(window.hwnd());
}

}  // namespace
}  // namespace pelko::setup
