#include "setup/ui/tp_setup_progress_window_win32.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace pelko::setup {
namespace {

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[64] = {};
  GetWindowTextW(hwnd, buffer, 64);
  return buffer;
}

// Delivers what was posted to this thread's windows, as the installer's message delivery would.
void DrainMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

RECT WindowRectOf(HWND hwnd) {
  RECT rect = {};
  GetWindowRect(hwnd, &rect);
  return rect;
}

// The child's rectangle in its parent's client coordinates.
RECT ChildRectOf(HWND child) {
  RECT rect = WindowRectOf(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int ScrollHeight() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) return -1;
  return metrics.iScrollHeight;
}

class DeviceContext {
 public:
  DeviceContext() : dc_(CreateCompatibleDC(nullptr)) {}
  ~DeviceContext() {
    if (dc_) DeleteDC(dc_);
  }
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

TEST(TpSetupProgressWindowTest, ShowCreatesTheCentredWindowWithItsControls) {
  TpSetupProgressWindow window;
  EXPECT_EQ(window.hwnd(), nullptr);
  window.Show();
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(FindWindowW(kProgressWindowClass, nullptr), hwnd);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(TextOf(hwnd), L"");
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
            kProgressWindowStyle | WS_VISIBLE);
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr);

  WNDCLASSEXW info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kProgressWindowClass, &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
  EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(info.hIcon, nullptr);

  const RECT rect = WindowRectOf(hwnd);
  EXPECT_EQ(rect.right - rect.left, 600);
  EXPECT_EQ(rect.bottom - rect.top, 200);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor));
  EXPECT_EQ(rect.left, (monitor.rcWork.left + monitor.rcWork.right) / 2 - 300);
  EXPECT_EQ(rect.top, (monitor.rcWork.top + monitor.rcWork.bottom) / 2 - 100);

  HWND icon = window.icon_control();
  HWND bar = window.progress_bar();
  ASSERT_NE(icon, nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetWindow(hwnd, GW_CHILD), icon) << "the icon control comes first";
  wchar_t class_name[64] = {};
  GetClassNameW(bar, class_name, 64);
  EXPECT_STREQ(class_name, L"msctls_progress32");
  GetClassNameW(icon, class_name, 64);
  EXPECT_EQ(CompareStringOrdinal(class_name, -1, L"STATIC", -1, TRUE), CSTR_EQUAL);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(icon, GWL_STYLE)), 0x50000803u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(bar, GWL_STYLE)), 0x50000000u);
  EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0) << "the icon comes from ID_APP_ICON";
  RECT icon_client = {};
  GetClientRect(icon, &icon_client);
  EXPECT_EQ(icon_client.right, 32) << "the control keeps the size of the group's first image";
  EXPECT_EQ(icon_client.bottom, 32);
  EXPECT_EQ(GetDlgCtrlID(icon), 0);
  EXPECT_EQ(GetDlgCtrlID(bar), 0);
  window.DestroyWindow();
}

// The window asks for the metrics in their short form (without the padded-border member); the
// platform must accept it, or the margin would silently come from the fallback.
TEST(TpSetupProgressWindowTest, PlatformAcceptsTheShortNonClientMetrics) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = 500;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0));
  EXPECT_EQ(metrics.iScrollHeight, ScrollHeight());
  EXPECT_GT(metrics.iScrollHeight, 0);
}

TEST(TpSetupProgressWindowTest, LaysOutIconAndBarInOneRow) {
  TpSetupProgressWindow window;
  window.Show();
  ASSERT_NE(window.hwnd(), nullptr);
  const int m = ScrollHeight();
  ASSERT_GT(m, 0);
  RECT client = {};
  GetClientRect(window.hwnd(), &client);
  const RECT icon = ChildRectOf(window.icon_control());
  const RECT bar = ChildRectOf(window.progress_bar());
  const int icon_height = icon.bottom - icon.top;

  EXPECT_EQ(icon.left, client.left + m);
  EXPECT_EQ(icon.top, client.top + m + (client.bottom - client.top - 2 * m - icon_height) / 2);
  EXPECT_EQ(bar.left, icon.right + m);
  EXPECT_EQ(bar.right, client.right - m);
  EXPECT_EQ(bar.bottom - bar.top, m);
  EXPECT_EQ(bar.top, icon.top + (icon_height - m) / 2);

  // A resize lays the row out again.
  SetWindowPos(window.hwnd(), nullptr, 0, 0, 400, 120, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(ChildRectOf(window.progress_bar()).right, client.right - m);
  window.DestroyWindow();
}

struct TextCase {
  const char* name;
  int32_t total;
  int32_t position;
  const wchar_t* text;
  int bar_position;
};

constexpr TextCase kTextCases[] = {
    {"start", 100, 0, L"0%", 0},
    {"half", 100, 50, L"50%", 50},
    {"full", 100, 100, L"100%", 100},
    {"above the total shows 0% while the bar stays full", 100, 150, L"0%", 100},
    {"below zero shows a negative percentage and an empty bar", 100, -5, L"-5%", 0},
    {"2 of 3 truncates", 3, 2, L"66%", 2},
    {"1 of 3", 3, 1, L"33%", 1},
    {"999 of 1000", 1000, 999, L"99%", 999},
    {"large byte totals", 2000000000, 1000000000, L"50%", 1000000000},
};

TEST(TpSetupProgressWindowTest, ShowsThePercentageOfEachStep) {
  TpSetupProgressWindow window;
  window.Show();
  ASSERT_NE(window.hwnd(), nullptr);
  for (const TextCase& row : kTextCases) {
    SCOPED_TRACE(row.name);
    window.SetTotal(row.total);
    window.SetPosition(row.position);
    EXPECT_EQ(TextOf(window.hwnd()), row.text);
    EXPECT_EQ(TextOf(window.progress_bar()), L"") << "the text goes on the window, not the bar";
    PBRANGE range = {-1, -1};
    SendMessageW(window.progress_bar(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, row.total);
    EXPECT_EQ(SendMessageW(window.progress_bar(), PBM_GETPOS, 0, 0), row.bar_position);
  }
  window.DestroyWindow();
}

TEST(TpSetupProgressWindowTest, StepsWithoutAWindowChangeNothing) {
  TpSetupProgressWindow window;
  window.SetTotal(100);
  window.SetPosition(50);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(FindWindowW(kProgressWindowClass, nullptr), nullptr);

  window.Show();
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(TextOf(hwnd), L"") << "a step before Show must leave nothing behind";
  window.SetTotal(10);
  window.SetPosition(3);
  EXPECT_EQ(TextOf(hwnd), L"30%");
  window.DestroyWindow();
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.progress_bar(), nullptr);
  window.SetTotal(10);
  window.SetPosition(5);
  EXPECT_EQ(FindWindowW(kProgressWindowClass, nullptr), nullptr);
}

TEST(TpSetupProgressWindowTest, ClosedByTheUserThenMoreProgressIsHarmless) {
  TpSetupProgressWindow window;
  window.Show();
  HWND hwnd = window.hwnd();
  ASSERT_NE(hwnd, nullptr);
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  DrainMessages();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.hwnd(), nullptr);
  window.SetTotal(100);
  window.SetPosition(60);
  EXPECT_FALSE(window.DestroyWindow());
}

TEST(TpSetupProgressWindowTest, SecondShowKeepsTheOpenWindow) {
  TpSetupProgressWindow window;
  window.Show();
  HWND first = window.hwnd();
  ASSERT_NE(first, nullptr);
  window.SetTotal(4);
  window.SetPosition(1);
  window.Show();
  EXPECT_EQ(window.hwnd(), first);
  EXPECT_EQ(FindWindowExW(nullptr, first, kProgressWindowClass, nullptr), nullptr)
      << "no second window of the class";
  window.SetPosition(2);
  EXPECT_EQ(TextOf(first), L"50%");
  window.DestroyWindow();
}

TEST(TpSetupProgressWindowTest, StaticControlsDrawOnTheWindowColour) {
  TpSetupProgressWindow window;
  window.Show();
  ASSERT_NE(window.hwnd(), nullptr);
  DeviceContext dc;
  ASSERT_NE(dc.get(), nullptr);
  SetBkColor(dc.get(), RGB(1, 2, 3));
  const LRESULT brush = SendMessageW(window.hwnd(), WM_CTLCOLORSTATIC,
                                     reinterpret_cast<WPARAM>(dc.get()),
                                     reinterpret_cast<LPARAM>(window.icon_control()));
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
  EXPECT_EQ(GetBkColor(dc.get()), GetSysColor(COLOR_WINDOW));
  window.DestroyWindow();
}

}  // namespace
}  // namespace pelko::setup
