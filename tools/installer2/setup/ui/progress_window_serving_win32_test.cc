// The progress window is served from the installer's notifications: what is pending for it and its
// controls is dispatched, questions from other threads are answered, and nothing else of the
// thread's queue is touched.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "setup/install/install_recorders_test_support.h"
#include "setup/install/install_ui_bridge.h"
#include "setup/ui/tp_setup_progress_window_win32.h"
#include "setup/ui/tp_setup_ui_win32.h"
#include "setup/win32_raii.h"

namespace pelko::setup {
namespace {

constexpr UINT kOtherWindowMessage = WM_APP + 1;
constexpr UINT kThreadMessage = WM_APP + 2;
// The PeekMessageW filter that takes thread messages (posted to no window) only.
const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));

bool HasPendingPaint(HWND hwnd) { return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE; }

// Takes the message out of the queue; false when it was not there.
bool TakeQueued(HWND filter, UINT message) {
  MSG msg;
  return PeekMessageW(&msg, filter, message, message, PM_REMOVE) != FALSE;
}

// A visible top-level window of the same thread (hidden ones gather no paint) that is not the
// setup's.
class OtherWindow {
 public:
  OtherWindow()
      : hwnd_(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~OtherWindow() { DestroyWindow(hwnd_); }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Another thread asks the window for an answer, as the system does to tell whether it still
// responds; `answered` is set once SendMessageTimeoutW has returned with an answer.
class Question {
 public:
  explicit Question(HWND hwnd) : hwnd_(hwnd), done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_.Reset(CreateThread(nullptr, 0, &Question::Ask, this, 0, nullptr));
  }
  ~Question() { WaitForSingleObject(thread_.get(), INFINITE); }
  Question(const Question&) = delete;
  Question& operator=(const Question&) = delete;

  // Until the question sits in this thread's queue (bounded: the asking thread needs no more than
  // its start).
  bool WaitUntilPending() const {
    for (int i = 0; i < 10000; ++i) {
      if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) return true;
      Sleep(1);
    }
    return false;
  }
  // The asking thread returns at once when answered; the bound is for a failing test only.
  bool Answered() const {
    return WaitForSingleObject(done_.get(), 10000) == WAIT_OBJECT_0 && answered_;
  }

 private:
  static DWORD WINAPI Ask(void* context) {
    auto* self = static_cast<Question*>(context);
    DWORD_PTR result = 0;
    self->answered_ =
        SendMessageTimeoutW(self->hwnd_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
    SetEvent(self->done_.get());
    return 0;
  }

  HWND hwnd_;
  UniqueHandle done_;
  UniqueHandle thread_;
  volatile bool answered_ = false;
};

TEST(ProgressWindowServingTest, PostedMessagesForTheWindowAndItsBarAreDispatched) {
  TpSetupProgressWindow window;
  window.Show();
  ASSERT_TRUE(window.IsWindow());
  window.SetTotal(100);
  PostMessageW(window.progress_bar(), PBM_SETPOS, 40, 0);
  EXPECT_EQ(SendMessageW(window.progress_bar(), PBM_GETPOS, 0, 0), 0) << "still queued";
  window.ServeMessages();
  EXPECT_EQ(SendMessageW(window.progress_bar(), PBM_GETPOS, 0, 0), 40);

  // A close from the taskbar reaches the default processing, which destroys the window.
  const HWND hwnd = window.hwnd();
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  window.ServeMessages();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(window.hwnd(), nullptr);
  window.ServeMessages();  // no window: nothing to serve
}

TEST(ProgressWindowServingTest, PendingPaintOfTheWindowAndItsControlsIsDone) {
  TpSetupProgressWindow window;
  window.Show();
  ASSERT_TRUE(window.IsWindow());
  window.ServeMessages();
  const HWND kParts[] = {window.hwnd(), window.progress_bar(), window.icon_control()};
  for (HWND part : kParts) InvalidateRect(part, nullptr, TRUE);
  for (HWND part : kParts) EXPECT_TRUE(HasPendingPaint(part));
  window.ServeMessages();
  for (HWND part : kParts) EXPECT_FALSE(HasPendingPaint(part));
  window.DestroyWindow();
}

TEST(ProgressWindowServingTest, TheThreadsOtherMessagesStayQueued) {
  const bool kWithWindow[] = {true, false};
  for (bool with_window : kWithWindow) {
    SCOPED_TRACE(with_window ? "window open" : "no window: never a filter for the whole thread");
    OtherWindow other;
    ASSERT_NE(other.get(), nullptr);
    TpSetupProgressWindow window;
    if (with_window) window.Show();
    PostMessageW(other.get(), kOtherWindowMessage, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), kThreadMessage, 0, 0);
    InvalidateRect(other.get(), nullptr, TRUE);
    window.ServeMessages();
    EXPECT_TRUE(TakeQueued(other.get(), kOtherWindowMessage));
    EXPECT_TRUE(TakeQueued(kThreadMessagesOnly, kThreadMessage));
    EXPECT_TRUE(HasPendingPaint(other.get()));
    if (with_window) window.DestroyWindow();
  }
}

TEST(ProgressWindowServingTest, AQuestionFromAnotherThreadIsAnsweredWhileServing) {
  TpSetupUi ui;
  ui.OnInstallStart();
  ASSERT_TRUE(ui.window().IsWindow());
  Question question(ui.window().hwnd());
  ASSERT_TRUE(question.WaitUntilPending());
  ui.ServeUi();
  EXPECT_TRUE(question.Answered());
  ui.OnInstallEnd();
}

TEST(ProgressWindowServingTest, AQuestionPendingAtTheEndIsAnsweredBeforeTheWindowGoes) {
  TpSetupUi ui;
  ui.OnInstallStart();
  ASSERT_TRUE(ui.window().IsWindow());
  Question question(ui.window().hwnd());
  ASSERT_TRUE(question.WaitUntilPending());
  ui.OnInstallEnd();
  EXPECT_FALSE(ui.window().IsWindow());
  EXPECT_TRUE(question.Answered());
}

// The whole way: the installer's messages reach the bridge, which has the adapter serve its window
// after each of them, even after one that routes nowhere.
TEST(ProgressWindowServingTest, EveryInstallerMessageServesTheWindow) {
  testing::Events events;
  testing::RecordingInstaller installer(events);
  testing::RecordingOutput output(events);
  TpSetupUi ui;
  InstallUiBridge bridge(installer, output, &ui, false);
  bridge.OnInstallerMessage(kMessageInitialize, u"");
  const TpSetupProgressWindow& window = ui.window();
  ASSERT_TRUE(window.IsWindow());

  struct Case {
    const char* name;
    uint32_t type;
    const char16_t* text;
  };
  const Case kCases[] = {
      {"reset", kMessageProgress, u"1: 0 2: 100 3: 0 4: 0"},
      {"action data without a step", kMessageActionData, u"File: payload.bin"},
      {"install start", 0x1A000000, u"1: Tavrin Pelko"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    InvalidateRect(window.progress_bar(), nullptr, TRUE);
    PostMessageW(window.progress_bar(), PBM_SETPOS, 7, 0);
    bridge.OnInstallerMessage(c.type, c.text);
    EXPECT_FALSE(HasPendingPaint(window.progress_bar()));
    EXPECT_EQ(SendMessageW(window.progress_bar(), PBM_GETPOS, 0, 0), 7);
    SendMessageW(window.progress_bar(), PBM_SETPOS, 0, 0);
  }
  bridge.OnInstallerMessage(kMessageTerminate, nullptr);
  EXPECT_FALSE(window.IsWindow());
}

}  // namespace
}  // namespace pelko::setup
