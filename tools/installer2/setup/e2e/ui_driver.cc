// ui_driver: plays the user for the end-to-end tests of the interactive setup.
//
// It runs beside setup.exe in the same Wine prefix, finds the windows of the process whose image
// file is named PELKO_UI_PROCESS (default setup.exe), and carries out the steps given as its
// arguments, in order. What it reads goes to standard output as one "key=value" line each
// (UTF-8; CR and LF in values written as \r and \n), for the scenario scripts to check:
//
//   wait-dialog            wait for the customize dialog (a dialog holding control 306)
//   wait-picker            wait for a folder picker owned by the customize dialog; prints
//                          picker.kind=modern (the shell's file dialog in folder mode) or
//                          classic (the shell's folder browser)
//   wait-box               wait for a message box; prints box.caption, box.text and
//                          box.progress_open (whether a progress window still existed then)
//   back                   act on the customize dialog again (after a picker closed)
//   caption                prints caption=<window text>
//   exstyle                prints exstyle=<extended style, hex>
//   text ID                prints text.ID=<GetDlgItemText>
//   check ID               prints check.ID=<BM_GETCHECK state>
//   click ID               BM_CLICK on the control; returns once the window has handled it
//   open ID                BM_CLICK posted, for a button that opens a modal loop (Browse)
//   set-text ID TEXT       WM_SETTEXT on the control
//   set-folder PATH        types PATH into the folder picker's name box (either kind)
//   escape                 the Escape key, to the focused control
//   enter                  the Enter key, to the focused control
//   focus                  prints focus=<control ID of the focused window>
//   tab N                  the Tab key N times; after each, once the focus has moved, prints
//                          tab=<control ID of the focused window>
//   alt C                  Alt with the key of character C, to the focused control; waits until
//                          the focus has moved or the window is gone and prints
//                          alt.C=<control ID then focused, or "gone">
//   close-box              the close box (WM_SYSCOMMAND SC_CLOSE)
//   watch-progress         wait for the progress window, then sample its text until it is gone;
//                          prints progress.text=<text> for every new text and progress.gone=1
//   freeze-progress MIN MS wait for the progress window to show at least MIN percent, then hold
//                          its thread for MS milliseconds, printing frozen=<text> meanwhile (for
//                          screenshots of a window that is otherwise gone in seconds)
//   watch-windows          until the process ends: prints window=<kind>|<class>|<text>|<visible>
//                          for each top-level window the process had (kind: dialog, box,
//                          progress or other), then windows.seen=<n> and windows.visible=<n>
//   wait-exit              wait until the process has ended; prints process.seen=1 when it was
//                          seen running at all (in this step or an earlier one)
//   children               prints child=<class>|<id>|<text>|<visible> for every descendant
//                          (for writing new scenarios)
//   reading-order ID       judges from the pixels on the screen whether control ID (65535: a
//                          message box's text) shows its text as a right-to-left paragraph;
//                          prints order.ID=rtl, ltr or unclear and order.ID.detail=<figures>
//                          (see reading_order_probe.h; the window must be unobscured)
//
// With PELKO_UI_SIGNAL_READY set, the first line is driver.ready=1, printed before any step,
// for a caller that must know the driver runs before it starts the setup.
//
// Waits, and messages sent to the watched process's windows, give up after PELKO_UI_TIMEOUT_MS
// (default 120000): the driver then prints error=<what>, ends the watched process (so that the
// test fails instead of hanging) and exits with 3. Exit 0 when every step was carried out, 2 for
// a usage error.

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "setup/e2e/reading_order_probe.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailed = 3;
constexpr DWORD kPollMs = 15;
constexpr int kCustomizeDialogMarker = 306;  // the install folder display
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kModernPickerNameBox = 1152;    // the file dialog's name edit
constexpr int kClassicPickerNameBox = 14148;  // the folder browser's edit box
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kProgressClass[] = L"Tavrin Pelko Setup Progress";

std::wstring g_process_name = L"setup.exe";
DWORD g_timeout_ms = 120000;
HWND g_dialog = nullptr;   // the customize dialog
HWND g_current = nullptr;  // the window the steps act on
// Whether the watched process was ever seen running. A step that waits for its end must know:
// a process that ended before the step began is not one that never started.
bool g_process_seen = false;

void PrintUtf8(const std::wstring& text) {
  std::wstring escaped;
  for (wchar_t c : text) {
    if (c == L'\r') {
      escaped += L"\\r";
    } else if (c == L'\n') {
      escaped += L"\\n";
    } else {
      escaped += c;
    }
  }
  int size = WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), static_cast<int>(escaped.size()),
                                 nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), static_cast<int>(escaped.size()),
                        bytes.data(), size, nullptr, nullptr);
  }
  bytes += '\n';
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

void Print(const std::wstring& key, const std::wstring& value) { PrintUtf8(key + L"=" + value); }

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// Ids of the running processes whose image file name is the watched one.
std::set<DWORD> WatchedProcesses() {
  std::set<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (Lower(entry.szExeFile) == Lower(g_process_name)) ids.insert(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  if (!ids.empty()) g_process_seen = true;
  return ids;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT across processes: the system copies the text for us.
  wchar_t text[2048] = {};
  GetWindowTextW(window, text, 2048);
  return text;
}

std::vector<HWND> TopLevelWindowsOfWatched() {
  struct Search {
    std::set<DWORD> ids;
    std::vector<HWND> found;
  } search{WatchedProcesses(), {}};
  if (search.ids.empty()) return {};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (s->ids.count(process)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsVisibleDialog(HWND window) {
  return IsWindowVisible(window) && ClassOf(window) == kDialogClass;
}

HWND FindCustomizeDialog() {
  for (HWND window : TopLevelWindowsOfWatched()) {
    if (IsVisibleDialog(window) && GetDlgItem(window, kCustomizeDialogMarker)) return window;
  }
  return nullptr;
}

HWND FindPicker() {
  for (HWND window : TopLevelWindowsOfWatched()) {
    if (window != g_dialog && IsVisibleDialog(window) && GetWindow(window, GW_OWNER) == g_dialog &&
        !GetDlgItem(window, kMessageBoxTextId)) {
      return window;
    }
  }
  return nullptr;
}

HWND FindMessageBox() {
  for (HWND window : TopLevelWindowsOfWatched()) {
    if (IsVisibleDialog(window) && GetDlgItem(window, kMessageBoxTextId) &&
        !GetDlgItem(window, kCustomizeDialogMarker)) {
      return window;
    }
  }
  return nullptr;
}

HWND FindProgressWindow() {
  for (HWND window : TopLevelWindowsOfWatched()) {
    if (ClassOf(window) == kProgressClass) return window;
  }
  return nullptr;
}

[[noreturn]] void GiveUp(const std::wstring& what) {
  Print(L"error", what);
  for (DWORD id : WatchedProcesses()) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    if (process) {
      TerminateProcess(process, 0xDEAD);
      CloseHandle(process);
    }
  }
  exit(kExitFailed);
}

// A message to a window of the watched process, answered within the timeout: a setup whose
// window thread stops answering then fails the test with a reason instead of hanging it.
LRESULT Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const std::wstring& what) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, g_timeout_ms, &answer)) {
    if (!IsWindow(window)) return 0;  // gone while asked: there is nothing to wait for
    GiveUp(what + L": the window did not answer");
  }
  return static_cast<LRESULT>(answer);
}

std::wstring ItemText(HWND window, int id) {
  wchar_t text[2048] = {};
  if (HWND item = GetDlgItem(window, id)) {
    Ask(item, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), L"text " + std::to_wstring(id));
  }
  return text;
}

// Polls `find` until it gives a window or the time is up.
template <typename Find>
HWND WaitFor(const wchar_t* what, Find find) {
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms;
  for (;;) {
    if (HWND window = find()) return window;
    if (GetTickCount64() > deadline) GiveUp(std::wstring(L"timeout waiting for ") + what);
    Sleep(kPollMs);
  }
}

HWND Current(const wchar_t* step) {
  if (!g_current || !IsWindow(g_current)) GiveUp(std::wstring(step) + L": no window to act on");
  return g_current;
}

HWND Control(const wchar_t* step, const std::wstring& id_text) {
  HWND control = GetDlgItem(Current(step), _wtoi(id_text.c_str()));
  if (!control) GiveUp(std::wstring(step) + L": no control " + id_text);
  return control;
}

std::wstring KindOf(HWND window) {
  const std::wstring name = ClassOf(window);
  if (name == kProgressClass) return L"progress";
  if (name != kDialogClass) return L"other";
  return GetDlgItem(window, kMessageBoxTextId) ? L"box" : L"dialog";
}

void WatchProgress() {
  HWND progress = WaitFor(L"the progress window", FindProgressWindow);
  std::wstring last;
  bool first = true;
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms * 5;
  while (IsWindow(progress)) {
    const std::wstring text = TextOf(progress);
    if (first || text != last) Print(L"progress.text", text);
    first = false;
    last = text;
    if (GetTickCount64() > deadline) GiveUp(L"the progress window stayed");
    Sleep(5);
  }
  Print(L"progress.gone", L"1");
}

void FreezeProgress(int minimum, DWORD hold_ms) {
  HWND progress = WaitFor(L"the progress window", FindProgressWindow);
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms;
  for (;;) {
    const std::wstring text = TextOf(progress);
    if (!text.empty() && text.back() == L'%' && _wtoi(text.c_str()) >= minimum) break;
    if (!IsWindow(progress) || GetTickCount64() > deadline) GiveUp(L"no percentage to show");
    Sleep(1);
  }
  HANDLE thread =
      OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(progress, nullptr));
  if (!thread) GiveUp(L"cannot hold the progress window's thread");
  SuspendThread(thread);
  Print(L"frozen", TextOf(progress));
  Sleep(hold_ms);
  ResumeThread(thread);
  CloseHandle(thread);
}

void WatchWindows() {
  std::set<HWND> seen;
  int visible = 0;
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms * 5;
  for (;;) {
    if (WatchedProcesses().empty() && (g_process_seen || GetTickCount64() > deadline)) break;
    for (HWND window : TopLevelWindowsOfWatched()) {
      if (seen.insert(window).second) {
        const bool shown = IsWindowVisible(window) != FALSE;
        Print(L"window", KindOf(window) + L"|" + ClassOf(window) + L"|" + TextOf(window) + L"|" +
                             (shown ? L"1" : L"0"));
        if (shown) ++visible;
      }
    }
    if (GetTickCount64() > deadline) GiveUp(L"the process did not end");
    Sleep(2);
  }
  Print(L"process.seen", g_process_seen ? L"1" : L"0");
  Print(L"windows.seen", std::to_wstring(seen.size()));
  Print(L"windows.visible", std::to_wstring(visible));
}

void WaitExit() {
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms;
  for (;;) {
    if (WatchedProcesses().empty() && (g_process_seen || GetTickCount64() > deadline)) break;
    if (GetTickCount64() > deadline) GiveUp(L"the process did not end");
    Sleep(kPollMs);
  }
  Print(L"process.seen", g_process_seen ? L"1" : L"0");
}

void PressEscape() {
  HWND window = Current(L"escape");
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
    target = info.hwndFocus;
  }
  PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

// The focused window of the thread that owns `window`; null when none is known.
HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Where keys go: the focused control, or the window itself.
HWND KeyTarget(const wchar_t* step) {
  HWND window = Current(step);
  HWND focus = FocusOf(window);
  return focus ? focus : window;
}

void PostKey(HWND target, UINT down, UINT up, WPARAM key, LPARAM flags) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC))
                      << 16;
  PostMessageW(target, down, key, 1 | scan | flags);
  PostMessageW(target, up, key, 1 | scan | flags | 0xC0000000);
}

// Waits until the focus of `window`'s thread leaves `from`, or `window` is gone; the new
// focus then, null when the window went.
HWND WaitFocusLeaves(HWND window, HWND from, const wchar_t* what) {
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms;
  for (;;) {
    if (!IsWindow(window)) return nullptr;
    HWND focus = FocusOf(window);
    if (focus && focus != from) return focus;
    if (GetTickCount64() > deadline) GiveUp(std::wstring(L"the focus stayed after ") + what);
    Sleep(kPollMs);
  }
}

// Waits until the focus is in `window` (after a picker closed, it comes back a moment later),
// and gives the focused window.
HWND WaitFocusInside(HWND window, const wchar_t* what) {
  const ULONGLONG deadline = GetTickCount64() + g_timeout_ms;
  for (;;) {
    HWND focus = FocusOf(window);
    if (focus && (focus == window || IsChild(window, focus))) return focus;
    if (GetTickCount64() > deadline) GiveUp(std::wstring(L"no focus in the window for ") + what);
    Sleep(kPollMs);
  }
}

// Once the focus has moved: lets `window`'s thread finish what the key started (a label's key
// moves the focus twice, through the label), then gives the focus it settled on; null when
// the window went.
HWND SettledFocus(HWND window) {
  DWORD_PTR ignored = 0;
  // Answered only when the thread looks at its messages again, so after the key's handling.
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, g_timeout_ms, &ignored);
  return IsWindow(window) ? FocusOf(window) : nullptr;
}

std::wstring FocusName(HWND focus) {
  return focus ? std::to_wstring(GetDlgCtrlID(focus)) : L"gone";
}

void PressTab(int times) {
  HWND window = Current(L"tab");
  for (int i = 0; i < times; ++i) {
    HWND from = WaitFocusInside(window, L"Tab");
    PostKey(from, WM_KEYDOWN, WM_KEYUP, VK_TAB, 0);
    const bool stays = WaitFocusLeaves(window, from, L"Tab") != nullptr;
    Print(L"tab", FocusName(stays ? SettledFocus(window) : nullptr));
  }
}

void PressAlt(const std::wstring& character) {
  HWND window = Current(L"alt");
  if (character.size() != 1) GiveUp(L"alt: one character expected");
  const SHORT key = VkKeyScanW(static_cast<wchar_t>(std::towlower(character[0])));
  if (key == -1) GiveUp(L"alt: no key types " + character);
  HWND from = WaitFocusInside(window, L"Alt");
  constexpr LPARAM kAltDown = 1 << 29;  // the context code: Alt held
  PostKey(from, WM_SYSKEYDOWN, WM_SYSKEYUP, LOBYTE(key), kAltDown);
  const bool stays = WaitFocusLeaves(window, from, L"Alt") != nullptr;
  Print(L"alt." + character, FocusName(stays ? SettledFocus(window) : nullptr));
}

bool Usage() {
  fwprintf(stderr, L"ui_driver: see the comment at the top of ui_driver.cc for the steps\n");
  return false;
}

bool RunSteps(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring step = argv[i];
    const bool has_one = i + 1 < argc;
    const bool has_two = i + 2 < argc;
    if (step == L"wait-dialog") {
      g_dialog = g_current = WaitFor(L"the customize dialog", FindCustomizeDialog);
    } else if (step == L"wait-picker") {
      if (!g_dialog) GiveUp(L"wait-picker before wait-dialog");
      g_current = WaitFor(L"the folder picker", FindPicker);
      Print(L"picker.kind", GetDlgItem(g_current, kModernPickerNameBox) ? L"modern" : L"classic");
    } else if (step == L"wait-box") {
      g_current = WaitFor(L"a message box", FindMessageBox);
      Print(L"box.caption", TextOf(g_current));
      Print(L"box.text", ItemText(g_current, kMessageBoxTextId));
      Print(L"box.progress_open", FindProgressWindow() ? L"1" : L"0");
    } else if (step == L"back") {
      if (!g_dialog || !IsWindow(g_dialog)) GiveUp(L"back: the customize dialog is gone");
      // Let the picker's modal loop end before acting on the dialog again.
      const ULONGLONG deadline = GetTickCount64() + g_timeout_ms;
      while (FindPicker()) {
        if (GetTickCount64() > deadline) GiveUp(L"the folder picker stayed");
        Sleep(kPollMs);
      }
      g_current = g_dialog;
    } else if (step == L"caption") {
      Print(L"caption", TextOf(Current(L"caption")));
    } else if (step == L"exstyle") {
      wchar_t hex[16];
      swprintf(hex, 16, L"%08lx",
               static_cast<unsigned long>(GetWindowLongW(Current(L"exstyle"), GWL_EXSTYLE)));
      Print(L"exstyle", hex);
    } else if (step == L"text" && has_one) {
      const std::wstring id = argv[++i];
      Print(L"text." + id, ItemText(Current(L"text"), _wtoi(id.c_str())));
    } else if (step == L"check" && has_one) {
      const std::wstring id = argv[++i];
      HWND box = Control(L"check", id);
      Print(L"check." + id, std::to_wstring(Ask(box, BM_GETCHECK, 0, 0, L"check " + id)));
    } else if (step == L"click" && has_one) {
      const std::wstring id = argv[++i];
      Ask(Control(L"click", id), BM_CLICK, 0, 0, L"click " + id);
    } else if (step == L"open" && has_one) {
      PostMessageW(Control(L"open", argv[++i]), BM_CLICK, 0, 0);
    } else if (step == L"set-text" && has_two) {
      HWND control = Control(L"set-text", argv[i + 1]);
      Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[i + 2]), L"set-text");
      i += 2;
    } else if (step == L"set-folder" && has_one) {
      HWND picker = Current(L"set-folder");
      HWND box = GetDlgItem(picker, kModernPickerNameBox);
      if (!box) box = GetDlgItem(picker, kClassicPickerNameBox);
      if (!box) GiveUp(L"set-folder: the picker has no name box");
      Ask(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[++i]), L"set-folder");
    } else if (step == L"escape") {
      PressEscape();
    } else if (step == L"enter") {
      PostKey(KeyTarget(L"enter"), WM_KEYDOWN, WM_KEYUP, VK_RETURN, 0);
    } else if (step == L"focus") {
      HWND focus = FocusOf(Current(L"focus"));
      Print(L"focus", focus ? std::to_wstring(GetDlgCtrlID(focus)) : L"none");
    } else if (step == L"tab" && has_one) {
      PressTab(_wtoi(argv[++i]));
    } else if (step == L"alt" && has_one) {
      PressAlt(argv[++i]);
    } else if (step == L"close-box") {
      PostMessageW(Current(L"close-box"), WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (step == L"freeze-progress" && has_two) {
      FreezeProgress(_wtoi(argv[i + 1]), static_cast<DWORD>(_wtoi(argv[i + 2])));
      i += 2;
    } else if (step == L"watch-progress") {
      WatchProgress();
    } else if (step == L"watch-windows") {
      WatchWindows();
    } else if (step == L"wait-exit") {
      WaitExit();
    } else if (step == L"reading-order" && has_one) {
      const std::wstring id = argv[++i];
      const bool in_box = KindOf(Current(L"reading-order")) == L"box";
      const pelko::setup::ReadingOrderVerdict verdict =
          pelko::setup::JudgeReadingOrder(Control(L"reading-order", id), in_box, g_timeout_ms);
      Print(L"order." + id, verdict.order);
      Print(L"order." + id + L".detail", verdict.detail);
    } else if (step == L"children") {
      EnumChildWindows(
          Current(L"children"),
          [](HWND child, LPARAM) -> BOOL {
            Print(L"child", ClassOf(child) + L"|" + std::to_wstring(GetDlgCtrlID(child)) + L"|" +
                                TextOf(child) + L"|" + (IsWindowVisible(child) ? L"1" : L"0"));
            return TRUE;
          },
          0);
    } else {
      fwprintf(stderr, L"ui_driver: unknown or incomplete step '%ls'\n", step.c_str());
      return Usage();
    }
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t value[256] = {};
  if (GetEnvironmentVariableW(L"PELKO_UI_PROCESS", value, 256) > 0) g_process_name = value;
  if (GetEnvironmentVariableW(L"PELKO_UI_TIMEOUT_MS", value, 256) > 0) {
    g_timeout_ms = static_cast<DWORD>(wcstoul(value, nullptr, 10));
  }
  if (argc < 2) return Usage() ? 0 : kExitUsage;
  if (GetEnvironmentVariableW(L"PELKO_UI_SIGNAL_READY", value, 256) > 0) {
    Print(L"driver.ready", L"1");
  }
  return RunSteps(argc, argv) ? 0 : kExitUsage;
}
