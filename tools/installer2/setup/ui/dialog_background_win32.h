#ifndef PELKO_SETUP_UI_DIALOG_BACKGROUND_WIN32_H_
#define PELKO_SETUP_UI_DIALOG_BACKGROUND_WIN32_H_

// The customize dialog's look: the application icon in its title bar, the background picture
// behind its controls and the white background of its static-class controls.

#include <windows.h>

#include "setup/diagnostic_output.h"
#include "setup/win32_raii.h"

namespace pelko::setup {

constexpr wchar_t kAppIconName[] = L"ID_APP_ICON";
constexpr wchar_t kBackgroundBitmapName[] = L"IDB_BACKGROUND";
constexpr COLORREF kControlBackgroundColor = RGB(0xFF, 0xFF, 0xFF);

// Both sizes of "ID_APP_ICON" from the dialog's module, as shared images (never destroyed here);
// an icon that cannot be loaded is passed on as null, which leaves the system default.
void SetDialogIcons(HWND dialog);

// Draws the bitmap over the whole client area, anchored at the bottom-left corner and never
// scaled, leaving out the visible OK, Cancel and 300..316 controls. Uses a device context of its
// own.
void PaintBackground(HWND dialog, HBITMAP bitmap);

// The bitmap and brush of one dialog, made at WM_INITDIALOG and released with the object.
class DialogBackground {
 public:
  DialogBackground() = default;
  DialogBackground(const DialogBackground&) = delete;
  DialogBackground& operator=(const DialogBackground&) = delete;

  // Loads "IDB_BACKGROUND" in its own size from the dialog's module (a failure goes to `output`
  // as "<system message> - Error #<code>" and is not retried) and creates the white brush.
  void SetUp(HWND dialog, DiagnosticOutput& output);

  // The three message handlers; `handled` comes in true.
  LRESULT OnPaint(HWND dialog, bool& handled);
  LRESULT OnEraseBackground(HWND dialog, bool& handled);
  LRESULT OnCtlColorStatic(bool& handled);

  HBITMAP bitmap() const { return bitmap_.get(); }
  HBRUSH brush() const { return brush_.get(); }

 private:
  GdiObject<HBITMAP> bitmap_;
  GdiObject<HBRUSH> brush_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_DIALOG_BACKGROUND_WIN32_H_
