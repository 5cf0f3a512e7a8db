#ifndef PELKO_SETUP_UI_WINDOW_WIN32_H_
#define PELKO_SETUP_UI_WINDOW_WIN32_H_

// The root of the setup's window layer: CWindow wraps a window handle it does not own, CMessageMap
// is the dispatch interface every window and dialog object implements, and CWinTraits carries the
// styles a window class is created with.

#include <windows.h>

#include <cstddef>

namespace pelko::setup {

// A window handle and the few operations the setup's windows use on it. Copying a CWindow copies
// the handle, never the window; the destructor leaves the window alone.
class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND hwnd) : hwnd_(hwnd) {}

  HWND hwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND Detach() {
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    return hwnd;
  }

  bool IsWindow() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }
  bool DestroyWindow() { return ::DestroyWindow(hwnd_) != FALSE; }
  bool ShowWindow(int show_command) const { return ::ShowWindow(hwnd_, show_command) != FALSE; }
  bool UpdateWindow() const { return ::UpdateWindow(hwnd_) != FALSE; }
  bool SetText(const wchar_t* text) const { return ::SetWindowTextW(hwnd_, text) != FALSE; }
  bool GetClientRect(RECT* rect) const { return ::GetClientRect(hwnd_, rect) != FALSE; }
  bool GetWindowRect(RECT* rect) const { return ::GetWindowRect(hwnd_, rect) != FALSE; }
  bool SetWindowPos(HWND insert_after, int x, int y, int width, int height, UINT flags) const {
    return ::SetWindowPos(hwnd_, insert_after, x, y, width, height, flags) != FALSE;
  }
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    return ::SendMessageW(hwnd_, message, wparam, lparam);
  }
  LONG GetStyle() const { return ::GetWindowLongW(hwnd_, GWL_STYLE); }
  HWND GetDlgItem(int control_id) const { return ::GetDlgItem(hwnd_, control_id); }
  bool SetDlgItemText(int control_id, const wchar_t* text) const {
    return ::SetDlgItemTextW(hwnd_, control_id, text) != FALSE;
  }
  bool CheckDlgButton(int control_id, UINT check) const {
    return ::CheckDlgButton(hwnd_, control_id, check) != FALSE;
  }
  bool Invalidate(bool erase = true) const {
    return ::InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE) != FALSE;
  }

  // Centres a top-level window on its visible, not minimised owner, or else on the work area of
  // the nearest monitor, keeping it inside that work area (left and top edges win). False when
  // no monitor information was available; the window then stays where it is.
  bool CenterWindow() const;

 protected:
  HWND hwnd_ = nullptr;
};

// The dispatch interface: returns true when the message was handled, with its result in `result`.
class CMessageMap {
 public:
  virtual bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                    LRESULT& result, DWORD map_id) = 0;
  virtual ~CMessageMap() = default;
};

// Styles a window is created with when the caller passes none.
template <DWORD kStyle, DWORD kExStyle>
class CWinTraits {
 public:
  static constexpr DWORD GetWndStyle(DWORD style) { return style == 0 ? kStyle : style; }
  static constexpr DWORD GetWndExStyle(DWORD ex_style) {
    return ex_style == 0 ? kExStyle : ex_style;
  }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;

// One row of a message map: the message and the handler it goes to. A handler receives the
// message, wParam, lParam and a handled flag that is true on entry; when the handler clears it,
// the search goes on with the later rows and, failing those, the default processing.
template <class T>
struct MessageEntry {
  UINT message;
  LRESULT (T::*handler)(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
};

template <class T, size_t kCount>
bool DispatchMessageTable(T& object, const MessageEntry<T> (&table)[kCount], UINT message,
                          WPARAM wparam, LPARAM lparam, LRESULT& result) {
  for (const MessageEntry<T>& entry : table) {
    if (entry.message != message) continue;
    bool handled = true;
    LRESULT answer = (object.*entry.handler)(message, wparam, lparam, handled);
    if (handled) {
      result = answer;
      return true;
    }
  }
  return false;
}

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_WINDOW_WIN32_H_
