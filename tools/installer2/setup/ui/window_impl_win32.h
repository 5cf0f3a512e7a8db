#ifndef PELKO_SETUP_UI_WINDOW_IMPL_WIN32_H_
#define PELKO_SETUP_UI_WINDOW_IMPL_WIN32_H_

// Window objects: a class derived from CWindowImpl<T> gets a window class of its own, its window's
// messages routed to its ProcessWindowMessage, unhandled ones to the default procedure, and
// OnFinalMessage once the window is gone.
//
//   class MyWindow : public CWindowImpl<MyWindow, CWindow, CWinTraits<WS_POPUP, 0>> {
//    public:
//     static WindowClassInfo& GetWndClassInfo();   // a static WindowClassInfo
//     bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override;
//   };

#include <windows.h>

#include "setup/ui/window_binding_win32.h"
#include "setup/ui/window_win32.h"

namespace pelko::setup {

// What windows and dialogs share: the binding to the window, the message being processed and the
// state word whose bit 0 records that WM_NCDESTROY has arrived.
template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CMessageMap {
 public:
  CWindowImplRoot() = default;
  // A window that outlives its object is left to the default processing from here on: its
  // messages no longer find this object.
  ~CWindowImplRoot() override { ReleaseWindowBinding(binding_); }
  CWindowImplRoot(const CWindowImplRoot&) = delete;
  CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;

  // The message being processed (the innermost one while messages nest), or null.
  const MSG* GetCurrentMessage() const { return current_message_; }

  // Called once the window's last message has been processed, with the handle already cleared
  // from the object. The object may delete itself here.
  virtual void OnFinalMessage(HWND hwnd) {}

 protected:
  static constexpr DWORD kStateDestroyed = 0x1;

  // Called with the outermost message's handling complete: when WM_NCDESTROY has arrived, the
  // object lets go of its window and runs the final-message hook. Returns true when it did, in
  // which case the caller must not touch the object any more.
  bool FinishIfDestroyed(const MSG* previous_message) {
    if (previous_message != nullptr || (state_ & kStateDestroyed) == 0) return false;
    HWND hwnd = this->hwnd_;
    this->hwnd_ = nullptr;
    state_ &= ~kStateDestroyed;
    ReleaseWindowBinding(binding_);
    binding_ = nullptr;
    OnFinalMessage(hwnd);
    return true;
  }

  // Ties this object to `hwnd` as the first message arrives.
  void AttachOnFirstMessage(HWND hwnd) { this->hwnd_ = hwnd; }

  WindowBinding* binding_ = nullptr;
  const MSG* current_message_ = nullptr;
  DWORD state_ = 0;
};

template <class TBase = CWindow>
class CWindowImplBaseT : public CWindowImplRoot<TBase> {
 public:
  CWindowImplBaseT() = default;

  // The procedure of windows already bound to their object.
  virtual WNDPROC GetWindowProc() { return &WindowProc; }

  // The class procedure: binds the window to the object that is creating it on this thread.
  static LRESULT CALLBACK StartWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<CWindowImplBaseT*>(BindWindowOnFirstMessage(hwnd));
    if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    self->AttachOnFirstMessage(hwnd);
    WNDPROC procedure = self->GetWindowProc();
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    return procedure(hwnd, message, wparam, lparam);
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<CWindowImplBaseT*>(FindWindowObject(hwnd));
    if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    return self->RouteMessage(hwnd, message, wparam, lparam);
  }

 protected:
  LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return default_procedure_(this->hwnd_, message, wparam, lparam);
  }

  // Creates the window with this object prepared as the binding its first message takes. Fails
  // while the object still has a window: a second window must not take over the first one's
  // messages.
  HWND CreateBoundWindow(const wchar_t* class_name, HWND parent, const RECT& rect,
                         const wchar_t* text, DWORD style, DWORD ex_style, HMENU menu,
                         void* create_param) {
    if (this->hwnd_ != nullptr || this->binding_ != nullptr) return nullptr;
    this->binding_ = PrepareWindowBinding(static_cast<CWindowImplBaseT*>(this));
    if (!this->binding_) {
      ::SetLastError(ERROR_OUTOFMEMORY);
      return nullptr;
    }
    HWND hwnd = ::CreateWindowExW(ex_style, class_name, text, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                  ::GetModuleHandleW(nullptr), create_param);
    if (IsWindowBindingPending(this->binding_)) {
      // No message reached the start procedure (creation failed, or the class belongs to another
      // procedure): a window this object cannot serve is not kept.
      ReleaseWindowBinding(this->binding_);
      this->binding_ = nullptr;
      if (hwnd) ::DestroyWindow(hwnd);
      return nullptr;
    }
    if (!hwnd) return nullptr;  // creation failed after the first messages; already cleaned up
    return hwnd;
  }

  WNDPROC default_procedure_ = &::DefWindowProcW;

 private:
  LRESULT RouteMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG current = {hwnd, message, wparam, lparam, 0, {0, 0}};
    const MSG* previous = this->current_message_;
    this->current_message_ = &current;
    LRESULT result = 0;
    const bool handled = this->ProcessWindowMessage(hwnd, message, wparam, lparam, result, 0);
    this->current_message_ = previous;
    if (!handled) result = default_procedure_(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) this->state_ |= CWindowImplRoot<TBase>::kStateDestroyed;
    this->FinishIfDestroyed(previous);
    return result;
  }
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase> {
 public:
  // Registers T's class once per process and creates the window; null on failure.
  HWND Create(HWND parent, const RECT& rect, const wchar_t* text = L"", DWORD style = 0,
              DWORD ex_style = 0, HMENU menu = nullptr, void* create_param = nullptr) {
    WindowClassInfo& info = T::GetWndClassInfo();
    if (!RegisterWindowClassOnce(info, &CWindowImplBaseT<TBase>::StartWindowProc)) return nullptr;
    return this->CreateBoundWindow(info.class_name, parent, rect, text,
                                   TWinTraits::GetWndStyle(style),
                                   TWinTraits::GetWndExStyle(ex_style), menu, create_param);
  }
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_WINDOW_IMPL_WIN32_H_
