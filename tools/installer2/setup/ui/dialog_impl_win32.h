#ifndef PELKO_SETUP_UI_DIALOG_IMPL_WIN32_H_
#define PELKO_SETUP_UI_DIALOG_IMPL_WIN32_H_

// Dialog objects: a class derived from CDialogImpl<T> runs a modal dialog whose messages go to its
// ProcessWindowMessage. Handled messages return their result the way the dialog manager expects
// (see DialogReturnsResultDirectly); unhandled ones return FALSE and get the default dialog
// processing.

#include <windows.h>

#include "setup/ui/window_binding_win32.h"
#include "setup/ui/window_impl_win32.h"
#include "setup/ui/window_win32.h"

namespace pelko::setup {

// Messages whose handled result is the dialog procedure's own return value. Every other handled
// message returns TRUE with its result stored as the dialog's message result.
constexpr bool DialogReturnsResultDirectly(UINT message) {
  return message == WM_INITDIALOG || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
         message == WM_QUERYDRAGICON || message == WM_COMPAREITEM ||
         (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

template <class TBase = CWindow>
class CDialogImplBaseT : public CWindowImplRoot<TBase> {
 public:
  CDialogImplBaseT() = default;

  // The procedure of dialogs already bound to their object.
  virtual DLGPROC GetDialogProc() { return &DialogProc; }

  // The procedure the dialog starts with: binds it to the object running it on this thread.
  static INT_PTR CALLBACK StartDialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<CDialogImplBaseT*>(BindWindowOnFirstMessage(hwnd));
    if (!self) return FALSE;
    self->AttachOnFirstMessage(hwnd);
    DLGPROC procedure = self->GetDialogProc();
    ::SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
    return procedure(hwnd, message, wparam, lparam);
  }

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<CDialogImplBaseT*>(FindWindowObject(hwnd));
    if (!self) return FALSE;
    return self->RouteDialogMessage(hwnd, message, wparam, lparam);
  }

 protected:
  // Prepares this object as the binding the dialog's first message takes; false, with the last
  // error ERROR_OUTOFMEMORY, when that cannot be done (ERROR_BUSY while this object already runs
  // a dialog: one object serves one dialog at a time).
  bool PrepareModalBinding() {
    if (this->hwnd_ != nullptr || this->binding_ != nullptr) {
      ::SetLastError(ERROR_BUSY);
      return false;
    }
    this->binding_ = PrepareWindowBinding(static_cast<CDialogImplBaseT*>(this));
    if (!this->binding_) {
      ::SetLastError(ERROR_OUTOFMEMORY);
      return false;
    }
    return true;
  }

  // After the modal run: a binding no message took (the dialog was never created) is dropped.
  void DropUnusedBinding() {
    if (this->binding_ && IsWindowBindingPending(this->binding_)) {
      ReleaseWindowBinding(this->binding_);
      this->binding_ = nullptr;
    }
  }

 private:
  INT_PTR RouteDialogMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG current = {hwnd, message, wparam, lparam, 0, {0, 0}};
    const MSG* previous = this->current_message_;
    this->current_message_ = &current;
    LRESULT result = 0;
    const bool handled = this->ProcessWindowMessage(hwnd, message, wparam, lparam, result, 0);
    this->current_message_ = previous;
    INT_PTR answer = FALSE;
    if (handled) {
      if (DialogReturnsResultDirectly(message)) {
        answer = static_cast<INT_PTR>(result);
      } else {
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        answer = TRUE;
      }
    }
    if (message == WM_NCDESTROY) this->state_ |= CWindowImplRoot<TBase>::kStateDestroyed;
    this->FinishIfDestroyed(previous);
    return answer;
  }
};

template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase> {
 public:
  // Runs the dialog from template `template_id` of the program's module. Returns EndDialog's
  // value, or -1 when the dialog could not be created (ERROR_OUTOFMEMORY when this object could
  // not be bound, without calling the dialog manager).
  INT_PTR DoModal(WORD template_id, HWND owner = nullptr, LPARAM init_param = 0) {
    if (!this->PrepareModalBinding()) return -1;
    const INT_PTR result =
        ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id), owner,
                          &CDialogImplBaseT<TBase>::StartDialogProc, init_param);
    this->DropUnusedBinding();
    return result;
  }

  // The same from an in-memory template.
  INT_PTR DoModalIndirect(const DLGTEMPLATE* dialog_template, HWND owner = nullptr,
                          LPARAM init_param = 0) {
    if (!this->PrepareModalBinding()) return -1;
    const INT_PTR result =
        ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), dialog_template, owner,
                                  &CDialogImplBaseT<TBase>::StartDialogProc, init_param);
    this->DropUnusedBinding();
    return result;
  }

  bool EndDialog(INT_PTR result) { return ::EndDialog(this->hwnd_, result) != FALSE; }
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_DIALOG_IMPL_WIN32_H_
