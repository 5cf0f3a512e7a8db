#include "setup/ui/tp_setup_progress_window_win32.h"

#include <commctrl.h>

#include <cstddef>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/high_contrast_win32.h"
#include "setup/ui/progress_layout.h"
#include "setup/ui/window_geometry.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr UINT kProgressClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
constexpr WORD kArrowCursor = 32512;  // IDC_ARROW
constexpr int kCreateWidth = 600;
constexpr int kCreateHeight = 200;
constexpr DWORD kIconControlStyle = WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE;
constexpr DWORD kProgressBarStyle = WS_CHILD | WS_VISIBLE;
constexpr wchar_t kAppIconName[] = L"ID_APP_ICON";
constexpr size_t kPercentTextSize = 16;
constexpr UINT kSetupCaptionStringId = 223;
// Enough for every paint and input message a second can bring; a control that keeps posting to
// itself must not keep the installer waiting in its handler.
constexpr int kMaxServedMessages = 256;

// The metrics without the padded-border member, which every supported platform accepts.
constexpr UINT kNonClientMetricsSize = 500;
static_assert(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth) == kNonClientMetricsSize,
              "NONCLIENTMETRICSW layout");

static_assert(kProgressWindowStyle == (WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU),
              "progress window style");
static_assert(kIconControlStyle == 0x50000803, "icon control style");

// The horizontal scroll bar's height: the margin around the row and the bar's height. Zero when
// the platform cannot tell.
int ScrollBarHeight() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = kNonClientMetricsSize;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return metrics.iScrollHeight;
  metrics = NONCLIENTMETRICSW{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return metrics.iScrollHeight;
  return 0;
}

void MoveControl(HWND control, const GeometryRect& rect) {
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

const MessageEntry<TpSetupProgressWindow> TpSetupProgressWindow::kMessageMap[7] = {
    {WM_CREATE, &TpSetupProgressWindow::OnCreate},
    {WM_CTLCOLORSTATIC, &TpSetupProgressWindow::OnCtlColorStatic},
    {WM_SIZE, &TpSetupProgressWindow::OnSize},
    {WM_SYSCOLORCHANGE, &TpSetupProgressWindow::OnContrastChange},
    {WM_SETTINGCHANGE, &TpSetupProgressWindow::OnContrastChange},
    {WM_THEMECHANGED, &TpSetupProgressWindow::OnContrastChange},
    {WM_DESTROY, &TpSetupProgressWindow::OnDestroy},
};

TpSetupProgressWindow::TpSetupProgressWindow()
    : TpSetupProgressWindow(SystemHighContrastQuery(), own_naming_) {}

// `own_naming_` is only bound here, not used, before it is constructed.
TpSetupProgressWindow::TpSetupProgressWindow(const HighContrastQuery& contrast,
                                             AccessibleNaming& naming)
    : contrast_(contrast), naming_(naming) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
}

WindowClassInfo& TpSetupProgressWindow::GetWndClassInfo() {
  static WindowClassInfo info{kProgressWindowClass, kProgressClassStyle, COLOR_WINDOW,
                              kArrowCursor, false};
  return info;
}

void TpSetupProgressWindow::Show() {
  if (IsWindow()) return;
  const RECT rect = {0, 0, kCreateWidth, kCreateHeight};
  if (!Create(nullptr, rect, L"")) return;
  CenterWindow();
  ShowWindow(SW_SHOWNORMAL);
  UpdateWindow();
}

void TpSetupProgressWindow::SetTotal(int32_t total) {
  if (!progress_ || !::IsWindow(progress_)) return;
  SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
}

void TpSetupProgressWindow::SetPosition(int32_t position) {
  if (!progress_ || !::IsWindow(progress_)) return;
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  PBRANGE range = {0, 0};
  SendMessageW(progress_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  wchar_t text[kPercentTextSize] = L"0%";
  if (std::optional<int32_t> percent = ProgressPercent(position, range.iLow, range.iHigh)) {
    wsprintfW(text, L"%d%%", *percent);
  }
  SetText(text);
}

// The window filter takes in the children too. It must never be null here: a null filter would
// take the messages of every window of the thread, and thread messages with them.
void TpSetupProgressWindow::ServeMessages() {
  MSG message;
  for (int served = 0; served < kMaxServedMessages && IsWindow() &&
                       PeekMessageW(&message, hwnd_, 0, 0, PM_REMOVE);
       ++served) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool TpSetupProgressWindow::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam,
                                                 LPARAM lparam, LRESULT& result, DWORD map_id) {
  return DispatchMessageTable(*this, kMessageMap, message, wparam, lparam, result);
}

// The children went with the window; their handles are forgotten so that a recycled handle can
// never be taken for the bar.
void TpSetupProgressWindow::OnFinalMessage(HWND hwnd) {
  icon_ = nullptr;
  progress_ = nullptr;
}

LRESULT TpSetupProgressWindow::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  icon_ = CreateWindowExW(0, L"STATIC", kAppIconName, kIconControlStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, module,
                          nullptr);
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", kProgressBarStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, module,
                              nullptr);
  ApplyBarColours();
  // The bar's own text is empty; a screen reader names it after the setup, and reads the
  // percentage as its value.
  if (progress_) {
    naming_.Name(progress_, ProcessUiLanguage().LocalizedString(kSetupCaptionStringId));
  }
  return 0;
}

// In high contrast the bar takes the person's colours (the selection colour on the window
// colour); otherwise it keeps the control's own look, untouched.
void TpSetupProgressWindow::ApplyBarColours() {
  if (!progress_) return;
  const bool high_contrast = contrast_.IsHighContrastOn();
  if (!high_contrast && !bar_colours_set_) return;
  SendMessageW(progress_, PBM_SETBARCOLOR, 0,
               high_contrast ? GetSysColor(COLOR_HIGHLIGHT) : CLR_DEFAULT);
  SendMessageW(progress_, PBM_SETBKCOLOR, 0,
               high_contrast ? GetSysColor(COLOR_WINDOW) : CLR_DEFAULT);
  bar_colours_set_ = high_contrast;
}

LRESULT TpSetupProgressWindow::OnContrastChange(UINT message, WPARAM wparam, LPARAM,
                                                bool& handled) {
  if (IsContrastChangeMessage(message, wparam)) {
    RepaintWholeWindow(hwnd_);
    ApplyBarColours();
  }
  handled = false;
  return 0;
}

LRESULT TpSetupProgressWindow::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  naming_.ClearNames();
  handled = false;
  return 0;
}

LRESULT TpSetupProgressWindow::OnCtlColorStatic(UINT, WPARAM wparam, LPARAM, bool&) {
  SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOW));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

LRESULT TpSetupProgressWindow::OnSize(UINT, WPARAM, LPARAM, bool&) {
  RECT client = {};
  GetClientRect(&client);
  const int margin = ScrollBarHeight();
  // Without an icon control the row is laid out around a zero-sized icon.
  RECT icon = {};
  if (!icon_ || !::GetClientRect(icon_, &icon)) icon = RECT{};
  const ProgressRowLayout layout =
      LayoutProgressRow(GeometryRect{client.left, client.top, client.right, client.bottom},
                        margin, icon.right - icon.left, icon.bottom - icon.top);
  if (icon_) MoveControl(icon_, layout.icon);
  if (progress_) MoveControl(progress_, layout.bar);
  return 0;
}

}  // namespace pelko::setup
