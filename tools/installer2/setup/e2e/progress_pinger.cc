// progress_pinger: asks the setup's progress window for an answer while an install runs, the way
// the system decides whether a window has stopped responding.
//
//   progress_pinger [INTERVAL_MS [TIMEOUT_MS]]     (defaults 200 and 1000)
//
// It waits for the window of class "Tavrin Pelko Setup Progress" (PELKO_UI_TIMEOUT_MS, default
// 120000), then until the window is gone sends it WM_NULL every INTERVAL_MS with
// SendMessageTimeoutW (TIMEOUT_MS), and after each question copies the bar's middle row from the
// screen and counts its filled columns. Lines on standard output (key=value):
//
//   shot=<ms>|<answered 0/1>|<filled columns>|<bar columns>|<window text>   one per question
//   asked=<n>  answered=<n>  longest_silence_ms=<ms>  window_ms=<ms>
//   bar.first=<filled>  bar.most=<filled>  bar.grew=<1 when a later shot had more filled
//   columns than the first one>
//
// Times are milliseconds since the window was found. A silence runs from the window's discovery
// or an answer to the next answer, or to the window's end. Exit 0 once the window was watched to
// its end, 3 when no progress window appeared in time, 2 for a usage error.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailed = 3;
constexpr wchar_t kProgressClass[] = L"Tavrin Pelko Setup Progress";
constexpr wchar_t kBarClass[] = L"msctls_progress32";
// Between questions the window is only watched for its end: often enough to time the last silence,
// seldom enough to leave the machine to the install.
constexpr DWORD kWatchStepMs = 20;
// A filled column is clearly blue: the bar's fill in every theme the tests meet, while its empty
// part, its border and the window background are grey or white.
constexpr int kBlueMargin = 60;

double Milliseconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void PrintLine(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);  // the scenario script reads the lines while the install runs
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[64] = L"";
  GetWindowTextW(window, buffer, 64);
  return buffer;
}

// The bar's middle row as the screen shows it; -1 when it cannot be read.
struct BarShot {
  int filled = -1;
  int columns = 0;
};

BarShot ShootBar(HWND bar) {
  BarShot shot;
  RECT rect = {};
  if (!GetWindowRect(bar, &rect)) return shot;
  const int width = rect.right - rect.left;
  if (width <= 0 || rect.bottom <= rect.top) return shot;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC screen = GetDC(nullptr);
  if (memory && bitmap && screen) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, 1, screen, rect.left, (rect.top + rect.bottom) / 2, SRCCOPY)) {
      GdiFlush();
      const auto* pixels = static_cast<const uint32_t*>(bits);
      shot.filled = 0;
      shot.columns = width;
      for (int x = 0; x < width; ++x) {
        const int red = (pixels[x] >> 16) & 0xFF;
        const int blue = pixels[x] & 0xFF;
        if (blue - red > kBlueMargin) ++shot.filled;
      }
    }
    SelectObject(memory, old);
  }
  if (screen) ReleaseDC(nullptr, screen);
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  return shot;
}

// When the window went, as a thread of its own sees it: a question may still be waiting for its
// answer then, and the system wakes the asker only once the window's thread takes up its messages
// again, which can be long after the window is gone.
struct WindowWatch {
  HWND window;
  volatile LONG gone = 0;
  double gone_at = 0;
};

DWORD WINAPI WatchWindow(void* context) {
  auto* watch = static_cast<WindowWatch*>(context);
  while (IsWindow(watch->window)) Sleep(kWatchStepMs);
  watch->gone_at = Milliseconds();
  InterlockedExchange(&watch->gone, 1);
  return 0;
}

DWORD EnvironmentMs(const wchar_t* name, DWORD fallback) {
  wchar_t value[32] = L"";
  if (GetEnvironmentVariableW(name, value, 32) == 0) return fallback;
  return static_cast<DWORD>(_wtoi(value));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 3) {
    fwprintf(stderr, L"usage: progress_pinger [INTERVAL_MS [TIMEOUT_MS]]\n");
    return kExitUsage;
  }
  const DWORD interval_ms = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 200;
  const UINT timeout_ms = argc > 2 ? static_cast<UINT>(_wtoi(argv[2])) : 1000;
  if (interval_ms == 0 || timeout_ms == 0) return kExitUsage;

  const ULONGLONG give_up = GetTickCount64() + EnvironmentMs(L"PELKO_UI_TIMEOUT_MS", 120000);
  HWND window = nullptr;
  while ((window = FindWindowW(kProgressClass, nullptr)) == nullptr) {
    if (GetTickCount64() > give_up) {
      PrintLine(L"error=no progress window appeared");
      return kExitFailed;
    }
    Sleep(1);  // the first question should come while the installer is still busy
  }
  const double found = Milliseconds();
  // Looked up again until found: the window is seen while it is still creating its controls.
  HWND bar = nullptr;

  WindowWatch watch{window};
  HANDLE watcher = CreateThread(nullptr, 0, WatchWindow, &watch, 0, nullptr);
  if (watcher == nullptr) {
    PrintLine(L"error=cannot watch the window");
    return kExitFailed;
  }

  int asked = 0;
  int answered = 0;
  double silence_from = found;
  double longest_silence = 0;
  int first_filled = -1;
  int most_filled = -1;
  bool grew = false;
  double next_question = found;
  while (!watch.gone) {
    const double now = Milliseconds();
    if (now < next_question) {
      Sleep(kWatchStepMs);
      continue;
    }
    next_question = now + interval_ms;
    ++asked;
    DWORD_PTR result = 0;
    const bool answer =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &result) != 0;
    const double after = Milliseconds();
    // A question that met the window's destruction was put to a window that is going away, not
    // to one that stopped answering: it is not counted (an answer now would only be the system
    // giving up on the window).
    if (watch.gone || (!answer && !IsWindow(window))) {
      --asked;
      break;
    }
    if (answer) {
      ++answered;
      if (after - silence_from > longest_silence) longest_silence = after - silence_from;
      silence_from = after;
    }
    if (bar == nullptr) bar = FindWindowExW(window, nullptr, kBarClass, nullptr);
    const BarShot shot = bar ? ShootBar(bar) : BarShot{};
    if (shot.filled >= 0) {
      if (first_filled < 0) first_filled = shot.filled;
      if (shot.filled > first_filled) grew = true;
      if (shot.filled > most_filled) most_filled = shot.filled;
    }
    wchar_t line[160];
    swprintf(line, 160, L"shot=%.0f|%d|%d|%d|", after - found, answer ? 1 : 0, shot.filled,
             shot.columns);
    PrintLine(line + TextOf(window));
  }
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  const double gone = watch.gone_at;
  if (gone - silence_from > longest_silence) longest_silence = gone - silence_from;

  wchar_t summary[400];
  swprintf(summary, 400,
           L"asked=%d\nanswered=%d\nlongest_silence_ms=%.0f\nwindow_ms=%.0f\nbar.first=%d\n"
           L"bar.most=%d\nbar.grew=%d",
           asked, answered, longest_silence, gone - found, first_filled, most_filled, grew ? 1 : 0);
  PrintLine(summary);
  return 0;
}
