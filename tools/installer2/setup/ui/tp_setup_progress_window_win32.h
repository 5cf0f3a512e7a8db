#ifndef PELKO_SETUP_UI_TP_SETUP_PROGRESS_WINDOW_WIN32_H_
#define PELKO_SETUP_UI_TP_SETUP_PROGRESS_WINDOW_WIN32_H_

#include <windows.h>

#include <cstdint>

#include "setup/ui/accessible_names_win32.h"
#include "setup/ui/high_contrast.h"
#include "setup/ui/window_impl_win32.h"
#include "setup/ui/window_win32.h"

namespace pelko::setup {

constexpr wchar_t kProgressWindowClass[] = L"Tavrin Pelko Setup Progress";
// WS_POPUP, WS_CLIPCHILDREN, WS_BORDER and WS_SYSMENU: no title bar, but a system menu so that the
// user can close it from the taskbar.
constexpr DWORD kProgressWindowStyle = 0x82880000;

using ProgressWindowTraits = CWinTraits<kProgressWindowStyle, 0>;

// The small top-level window of an interactive install: the application icon and a bar, with the
// percentage as its window text. It runs no message loop of its own; it is served (ServeMessages)
// whenever the installer delivers a message on the creating thread.
class TpSetupProgressWindow
    : public CWindowImpl<TpSetupProgressWindow, CWindow, ProgressWindowTraits> {
 public:
  // Registers the progress-bar control class with the platform; creates no window.
  TpSetupProgressWindow();
  // The same with the high-contrast question and the accessible naming given (tests).
  TpSetupProgressWindow(const HighContrastQuery& contrast, AccessibleNaming& naming);
  ~TpSetupProgressWindow() override = default;

  static WindowClassInfo& GetWndClassInfo();

  // Creates, centres and shows the window. While a window is open this does nothing.
  void Show();
  void SetTotal(int32_t total);
  // Moves the bar and shows the percentage of `position` as given (not as the bar keeps it).
  void SetPosition(int32_t position);
  // Dispatches the messages pending for the window and its controls (paint and input), and
  // answers what other threads are sending them. Messages for the thread's other windows and
  // thread messages stay queued: they are not ours. Nothing happens while no window is open.
  void ServeMessages();

  HWND icon_control() const { return icon_; }
  HWND progress_bar() const { return progress_; }

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result, DWORD map_id) override;
  void OnFinalMessage(HWND hwnd) override;

 private:
  LRESULT OnCreate(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnCtlColorStatic(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnSize(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnContrastChange(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  void ApplyBarColours();

  static const MessageEntry<TpSetupProgressWindow> kMessageMap[7];

  HWND icon_ = nullptr;
  HWND progress_ = nullptr;
  const HighContrastQuery& contrast_;
  OleaccNaming own_naming_;
  AccessibleNaming& naming_;
  bool bar_colours_set_ = false;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_TP_SETUP_PROGRESS_WINDOW_WIN32_H_
