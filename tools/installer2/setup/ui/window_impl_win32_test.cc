#include "setup/ui/window_impl_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "setup/ui/window_binding_win32.h"
#include "setup/win32_raii.h"

namespace pelko::setup {
namespace {

constexpr UINT kAnswer = WM_APP + 1;          // handled, result 42 + lParam
constexpr UINT kDestroyInside = WM_APP + 2;   // destroys the window from inside a handler
constexpr LRESULT kAnswerBase = 42;

enum class TextMode { kHandle, kDecline };

class RecordingWindow
    : public CWindowImpl<RecordingWindow, CWindow, CWinTraits<WS_POPUP | WS_CLIPCHILDREN, 0>> {
 public:
  static WindowClassInfo& GetWndClassInfo() {
    static WindowClassInfo info{L"Pelko Test Recording Window", CS_DBLCLKS, COLOR_BTNFACE,
                                32512 /* IDC_ARROW */, false};
    return info;
  }

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result, DWORD map_id) override {
    messages.push_back(message);
    return DispatchMessageTable(*this, kTable, message, wparam, lparam, result);
  }

  void OnFinalMessage(HWND hwnd) override {
    ++final_calls;
    final_hwnd = hwnd;
    handle_at_final = this->hwnd();
  }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, bool&) {
    handle_at_create = this->hwnd();
    return fail_create ? -1 : 0;
  }
  LRESULT OnAnswer(UINT, WPARAM, LPARAM lparam, bool&) { return kAnswerBase + lparam; }
  // Two rows for WM_SETTEXT: the first declines, so the second decides.
  LRESULT OnSetTextFirst(UINT, WPARAM, LPARAM, bool& handled) {
    ++first_text_calls;
    handled = false;
    return 7;
  }
  LRESULT OnSetTextSecond(UINT, WPARAM, LPARAM, bool& handled) {
    if (text_mode == TextMode::kDecline) handled = false;
    return TRUE;
  }
  LRESULT OnDestroyInside(UINT, WPARAM, LPARAM, bool&) {
    DestroyWindow();
    handle_after_inner_destroy = this->hwnd();
    final_calls_inside = final_calls;
    return 5;
  }

  std::vector<UINT> messages;
  TextMode text_mode = TextMode::kHandle;
  bool fail_create = false;
  int first_text_calls = 0;
  int final_calls = 0;
  int final_calls_inside = -1;
  HWND final_hwnd = nullptr;
  HWND handle_at_final = reinterpret_cast<HWND>(1);
  HWND handle_at_create = nullptr;
  HWND handle_after_inner_destroy = nullptr;

 private:
  static const MessageEntry<RecordingWindow> kTable[5];
};

const MessageEntry<RecordingWindow> RecordingWindow::kTable[5] = {
    {WM_CREATE, &RecordingWindow::OnCreate},
    {kAnswer, &RecordingWindow::OnAnswer},
    {WM_SETTEXT, &RecordingWindow::OnSetTextFirst},
    {WM_SETTEXT, &RecordingWindow::OnSetTextSecond},
    {kDestroyInside, &RecordingWindow::OnDestroyInside},
};

constexpr RECT kRect = {10, 20, 110, 70};

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[64] = {};
  GetWindowTextW(hwnd, buffer, 64);
  return buffer;
}

TEST(WindowImplTest, RoutesMessagesFromTheFirstOneOn) {
  RecordingWindow window;
  HWND hwnd = window.Create(nullptr, kRect, L"start");
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window.hwnd(), hwnd);
  EXPECT_EQ(window.handle_at_create, hwnd);
  ASSERT_FALSE(window.messages.empty());
  // The messages sent before WM_NCCREATE reach the object too.
  auto nccreate = std::find(window.messages.begin(), window.messages.end(), WM_NCCREATE);
  auto create = std::find(window.messages.begin(), window.messages.end(), WM_CREATE);
  EXPECT_NE(nccreate, window.messages.end());
  EXPECT_LT(nccreate, create);
  EXPECT_EQ(GetWindowLongW(hwnd, GWL_STYLE) & (WS_POPUP | WS_CLIPCHILDREN),
            WS_POPUP | WS_CLIPCHILDREN);

  EXPECT_EQ(SendMessageW(hwnd, kAnswer, 0, 8), kAnswerBase + 8);
  // The default procedure set the creation text, since WM_CREATE left WM_NCCREATE to it.
  EXPECT_EQ(TextOf(hwnd), L"start");
  window.DestroyWindow();
}

TEST(WindowImplTest, HandledFlagDecidesBetweenHandlerAndDefault) {
  RecordingWindow window;
  HWND hwnd = window.Create(nullptr, kRect, L"before");
  ASSERT_NE(hwnd, nullptr);

  window.text_mode = TextMode::kHandle;
  window.first_text_calls = 0;
  EXPECT_EQ(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"handled")), TRUE);
  EXPECT_EQ(window.first_text_calls, 1);
  EXPECT_EQ(TextOf(hwnd), L"before") << "a handled message must skip the default procedure";

  window.text_mode = TextMode::kDecline;
  EXPECT_EQ(SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"default")), TRUE);
  EXPECT_EQ(window.first_text_calls, 2);
  EXPECT_EQ(TextOf(hwnd), L"default") << "a declined message must reach the default procedure";
  window.DestroyWindow();
}

TEST(WindowImplTest, FinalMessageAfterDestroyClearsTheHandleOnce) {
  RecordingWindow window;
  HWND hwnd = window.Create(nullptr, kRect);
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(window.DestroyWindow());
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.final_calls, 1);
  EXPECT_EQ(window.final_hwnd, hwnd);
  EXPECT_EQ(window.handle_at_final, nullptr);
  EXPECT_EQ(window.messages.back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(window.IsWindow());
}

TEST(WindowImplTest, DestroyInsideAHandlerFinishesWhenTheOutermostMessageReturns) {
  RecordingWindow window;
  HWND hwnd = window.Create(nullptr, kRect);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(SendMessageW(hwnd, kDestroyInside, 0, 0), 5);
  EXPECT_EQ(window.handle_after_inner_destroy, hwnd);
  EXPECT_EQ(window.final_calls_inside, 0);
  EXPECT_EQ(window.final_calls, 1);
  EXPECT_EQ(window.hwnd(), nullptr);
}

TEST(WindowImplTest, ObjectServesOneWindowAtATimeAndCanBeReused) {
  RecordingWindow window;
  HWND first = window.Create(nullptr, kRect);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(window.Create(nullptr, kRect), nullptr);
  EXPECT_EQ(window.hwnd(), first);
  EXPECT_EQ(SendMessageW(first, kAnswer, 0, 1), kAnswerBase + 1);
  window.DestroyWindow();

  HWND second = window.Create(nullptr, kRect);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(SendMessageW(second, kAnswer, 0, 2), kAnswerBase + 2);
  window.DestroyWindow();
  EXPECT_EQ(window.final_calls, 2);
}

TEST(WindowImplTest, FailedCreationLeavesNoBindingBehind) {
  RecordingWindow window;
  window.fail_create = true;
  EXPECT_EQ(window.Create(nullptr, kRect), nullptr);
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_EQ(window.final_calls, 1);

  window.fail_create = false;
  HWND hwnd = window.Create(nullptr, kRect);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(SendMessageW(hwnd, kAnswer, 0, 3), kAnswerBase + 3);
  window.DestroyWindow();
}

TEST(WindowImplTest, BindingAllocationFailureCreatesNoWindow) {
  RecordingWindow window;
  SetWindowBindingFailureForTesting(true);
  SetLastError(0);
  HWND hwnd = window.Create(nullptr, kRect);
  const DWORD error = GetLastError();
  SetWindowBindingFailureForTesting(false);
  EXPECT_EQ(hwnd, nullptr);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_TRUE(window.messages.empty());
}

TEST(WindowImplTest, WindowOutlivingItsObjectFallsBackToTheDefault) {
  auto window = std::make_unique<RecordingWindow>();
  HWND hwnd = window->Create(nullptr, kRect);
  ASSERT_NE(hwnd, nullptr);
  window.reset();
  EXPECT_EQ(SendMessageW(hwnd, kAnswer, 0, 4), 0);
  EXPECT_TRUE(DestroyWindow(hwnd));
}

TEST(WindowImplTest, RegistersTheClassFromItsDescription) {
  RecordingWindow window;
  ASSERT_NE(window.Create(nullptr, kRect), nullptr);
  EXPECT_TRUE(RecordingWindow::GetWndClassInfo().registered);
  WNDCLASSEXW info = {};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"Pelko Test Recording Window", &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(info.cbClsExtra, 0);
  EXPECT_EQ(info.cbWndExtra, 0);
  window.DestroyWindow();
}

// A class of this name registered before the first window is used as it stands.
class ReusingWindow : public CWindowImpl<ReusingWindow, CWindow, CWinTraits<WS_POPUP, 0>> {
 public:
  static WindowClassInfo& GetWndClassInfo() {
    static WindowClassInfo info{L"Pelko Test Existing Class", 0, COLOR_WINDOW, 32512, false};
    return info;
  }
  bool ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM lparam, LRESULT& result,
                            DWORD) override {
    if (message != kAnswer) return false;
    result = kAnswerBase + lparam;
    return true;
  }
};

TEST(WindowImplTest, ReusesAClassAlreadyRegistered) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  existing.lpfnWndProc = &CWindowImplBaseT<CWindow>::StartWindowProc;
  existing.hInstance = GetModuleHandleW(nullptr);
  existing.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
  existing.lpszClassName = L"Pelko Test Existing Class";
  ASSERT_NE(RegisterClassExW(&existing), 0);

  ReusingWindow window;
  HWND hwnd = window.Create(nullptr, kRect);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_HIGHLIGHT + 1));
  EXPECT_EQ(SendMessageW(hwnd, kAnswer, 0, 9), kAnswerBase + 9);
  window.DestroyWindow();
}

// Each thread creates its first window of a class nobody has registered yet; with the
// registration under the lock both succeed.
class ThreadWindow : public CWindowImpl<ThreadWindow, CWindow, CWinTraits<WS_POPUP, 0>> {
 public:
  static WindowClassInfo& GetWndClassInfo() {
    static WindowClassInfo info{L"Pelko Test Thread Window", 0, COLOR_WINDOW, 32512, false};
    return info;
  }
  bool ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM lparam, LRESULT& result,
                            DWORD) override {
    if (message != kAnswer) return false;
    result = kAnswerBase + lparam;
    return true;
  }
};

DWORD WINAPI CreateOnThread(void* start_event) {
  WaitForSingleObject(static_cast<HANDLE>(start_event), INFINITE);
  ThreadWindow window;
  HWND hwnd = window.Create(nullptr, kRect);
  if (!hwnd) return 1;
  const bool answered = SendMessageW(hwnd, kAnswer, 0, 1) == kAnswerBase + 1;
  window.DestroyWindow();
  return answered ? 0 : 2;
}

TEST(WindowImplTest, ThreadsRegisteringAtOnceBothGetTheirWindow) {
  UniqueHandle start(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(start.valid());
  UniqueHandle first(CreateThread(nullptr, 0, &CreateOnThread, start.get(), 0, nullptr));
  UniqueHandle second(CreateThread(nullptr, 0, &CreateOnThread, start.get(), 0, nullptr));
  ASSERT_TRUE(first.valid());
  ASSERT_TRUE(second.valid());
  SetEvent(start.get());
  HANDLE threads[2] = {first.get(), second.get()};
  WaitForMultipleObjects(2, threads, TRUE, INFINITE);
  for (HANDLE thread : threads) {
    DWORD code = 99;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
  }
}

}  // namespace
}  // namespace pelko::setup
