// The barest Win32 program that shows one dialog: one template, DialogBoxParamW, nothing else.
// The time-to-dialog benchmark sets setup.exe's start against it. Built with
// SETUP_LIBRARIES, it also loads what setup.exe loads before its dialog can show (the libraries
// it imports, and version 6 of the common controls through the setup's manifest), which gives
// the part of the gap that no change inside the setup can close.
#include <windows.h>
#ifdef SETUP_LIBRARIES
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>
#endif

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef SETUP_LIBRARIES
  // Never true: the calls only make the imports.
  if (GetCurrentProcessId() == 0) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    SHGetFolderPathW(nullptr, 0, nullptr, 0, nullptr);
    CoInitialize(nullptr);
    SysFreeString(nullptr);
    IUnknown_QueryService(nullptr, GUID_NULL, GUID_NULL, nullptr);
  }
#endif
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0));
}
