#include "setup/ui/tp_setup_ui_win32.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "setup/ui/tp_setup_progress_window_win32.h"

namespace pelko::setup {
namespace {

HWND FindProgressWindow() { return FindWindowW(kProgressWindowClass, nullptr); }

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[64] = {};
  GetWindowTextW(hwnd, buffer, 64);
  return buffer;
}

int CountProgressWindows() {
  int count = 0;
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, kProgressWindowClass, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, kProgressWindowClass, nullptr)) {
    ++count;
  }
  return count;
}

TEST(TpSetupUiTest, OneInstallOpensAdvancesAndClosesTheWindow) {
  std::unique_ptr<ExternalUi> ui = MakeTpSetupUi();
  EXPECT_EQ(FindProgressWindow(), nullptr) << "the adapter makes no window before the start";
  ui->OnInstallStart();
  HWND hwnd = FindProgressWindow();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(TextOf(hwnd), L"");

  ui->OnScriptGeneration();
  EXPECT_EQ(TextOf(hwnd), L"");
  ui->OnProgress(1, 4, false);
  EXPECT_EQ(TextOf(hwnd), L"25%");
  ui->OnScriptGeneration();
  EXPECT_EQ(TextOf(hwnd), L"25%");

  ui->OnInstallEnd();
  EXPECT_FALSE(IsWindow(hwnd));
  ui->OnProgress(3, 4, false);
  EXPECT_EQ(FindProgressWindow(), nullptr);
  ui->OnInstallEnd();
}

TEST(TpSetupUiTest, BackwardFlagChangesNothing) {
  const bool kFlags[] = {false, true};
  for (bool backward : kFlags) {
    SCOPED_TRACE(backward ? "backward" : "forward");
    TpSetupUi ui;
    ui.OnInstallStart();
    ui.OnProgress(5, 10, backward);
    HWND bar = ui.window().progress_bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(TextOf(ui.window().hwnd()), L"50%");
    PBRANGE range = {-1, -1};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 10);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 5);
    ui.OnInstallEnd();
  }
}

TEST(TpSetupUiTest, ProgressAndEndBeforeTheStartShowNothing) {
  TpSetupUi ui;
  ui.OnProgress(5, 10, false);
  ui.OnInstallEnd();
  EXPECT_EQ(FindProgressWindow(), nullptr);
  EXPECT_EQ(ui.window().hwnd(), nullptr);
}

TEST(TpSetupUiTest, SecondStartKeepsTheOneWindow) {
  TpSetupUi ui;
  ui.OnInstallStart();
  HWND first = ui.window().hwnd();
  ASSERT_NE(first, nullptr);
  ui.OnInstallStart();
  EXPECT_EQ(ui.window().hwnd(), first);
  EXPECT_EQ(CountProgressWindows(), 1);
  ui.OnProgress(3, 4, false);
  EXPECT_EQ(TextOf(first), L"75%");
  ui.OnInstallEnd();
  EXPECT_EQ(CountProgressWindows(), 0);
}

TEST(TpSetupUiTest, DeletingTheAdapterWithItsWindowOpenDestroysTheWindow) {
  HWND hwnd = nullptr;
  {
    std::unique_ptr<ExternalUi> ui = MakeTpSetupUi();
    ui->OnInstallStart();
    hwnd = FindProgressWindow();
    ASSERT_NE(hwnd, nullptr);
  }
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(FindProgressWindow(), nullptr);
}

TEST(TpSetupUiTest, WindowClosedByTheUserLeavesTheInstallUndisturbed) {
  TpSetupUi ui;
  ui.OnInstallStart();
  HWND hwnd = ui.window().hwnd();
  ASSERT_NE(hwnd, nullptr);
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  ui.OnProgress(2, 4, false);
  ui.OnInstallEnd();
  EXPECT_EQ(FindProgressWindow(), nullptr);
}

}  // namespace
}  // namespace pelko::setup
