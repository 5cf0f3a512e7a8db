#ifndef PELKO_SETUP_UI_MODAL_DRIVER_WIN32_TEST_H_
#define PELKO_SETUP_UI_MODAL_DRIVER_WIN32_TEST_H_

// Acts like a user inside the modal loops of the Windows-side UI tests: a step scheduled here
// runs from the next modal loop of this thread (a thread timer, which the dialog manager's loop
// dispatches), once the dialog is up.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pelko::setup {

class ModalDriver {
 public:
  // `step` answers false while what it needs is not up yet; it is then tried again. After many
  // tries every dialog of the thread is ended, so that a broken test fails instead of hanging.
  static void Schedule(std::function<bool()> step) {
    Pending() = std::move(step);
    Tries() = 0;
    SetTimer(nullptr, 0, 10, &Fire);
  }

 private:
  static constexpr int kMaxTries = 1000;

  static std::function<bool()>& Pending() {
    static std::function<bool()> pending;
    return pending;
  }
  static int& Tries() {
    static int tries = 0;
    return tries;
  }
  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    std::function<bool()> step = std::move(Pending());
    Pending() = nullptr;
    if (!step) return;
    if (step()) return;
    if (++Tries() < kMaxTries) {
      const int tries = Tries();
      Schedule(std::move(step));
      Tries() = tries;
      return;
    }
    EndThreadDialogs();
  }
  static void EndThreadDialogs();
};

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

inline std::wstring ItemTextOf(HWND dialog, int id) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(dialog, id, text, 1024);
  return text;
}

// The visible dialog-class windows of this thread, newest first as the system lists them.
inline std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        if (IsWindowVisible(window) && ClassOf(window) == L"#32770") {
          reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// The dialog of this thread that holds control `id`; null when none does.
inline HWND ThreadDialogWithControl(int id) {
  for (HWND dialog : ThreadDialogs()) {
    if (GetDlgItem(dialog, id)) return dialog;
  }
  return nullptr;
}

// Any dialog of this thread other than `except` (a picker above the customize dialog).
inline HWND OtherThreadDialog(HWND except) {
  for (HWND dialog : ThreadDialogs()) {
    if (dialog != except) return dialog;
  }
  return nullptr;
}

inline void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Whether some child of `window`, at any depth, shows exactly `text`.
inline bool HasChildWithText(HWND window, const std::wstring& text) {
  struct Search {
    const std::wstring* text;
    bool found;
  } search = {&text, false};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (TextOf(child) == *s->text) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline void ModalDriver::EndThreadDialogs() {
  std::vector<HWND> all;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        if (ClassOf(window) == L"#32770") reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  for (HWND dialog : all) EndDialog(dialog, IDABORT);
}

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_MODAL_DRIVER_WIN32_TEST_H_
