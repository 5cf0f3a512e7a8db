#include "setup/ui/dialog_impl_win32.h"

#include <gtest/gtest.h>

#include <vector>

#include "setup/ui/window_binding_win32.h"

namespace pelko::setup {
namespace {

constexpr UINT kRunChecks = WM_APP + 10;
constexpr LRESULT kHandlerResult = 0x5A5A;
constexpr INT_PTR kEndValue = 77;
constexpr WORD kMissingTemplate = 9999;

// A dialog template with a caption and no controls, laid out as the dialog manager reads it.
std::vector<DWORD> EmptyDialogTemplate() {
  std::vector<DWORD> storage(32, 0);
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(storage.data());
  dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  dialog->cx = 120;
  dialog->cy = 60;
  WORD* words = reinterpret_cast<WORD*>(dialog + 1);
  *words++ = 0;  // no menu
  *words++ = 0;  // the standard dialog class
  for (const wchar_t* title = L"Test"; ; ++title) {
    *words++ = static_cast<WORD>(*title);
    if (*title == 0) break;
  }
  return storage;
}

struct ResultCase {
  const char* name;
  UINT message;
  bool direct;
};

constexpr ResultCase kResultCases[] = {
    {"WM_INITDIALOG", WM_INITDIALOG, true},
    {"WM_VKEYTOITEM", WM_VKEYTOITEM, true},
    {"WM_CHARTOITEM", WM_CHARTOITEM, true},
    {"WM_QUERYDRAGICON", WM_QUERYDRAGICON, true},
    {"WM_COMPAREITEM", WM_COMPAREITEM, true},
    {"WM_CTLCOLORMSGBOX", WM_CTLCOLORMSGBOX, true},
    {"WM_CTLCOLOREDIT", WM_CTLCOLOREDIT, true},
    {"WM_CTLCOLORLISTBOX", WM_CTLCOLORLISTBOX, true},
    {"WM_CTLCOLORBTN", WM_CTLCOLORBTN, true},
    {"WM_CTLCOLORDLG", WM_CTLCOLORDLG, true},
    {"WM_CTLCOLORSCROLLBAR", WM_CTLCOLORSCROLLBAR, true},
    {"WM_CTLCOLORSTATIC", WM_CTLCOLORSTATIC, true},
    {"0x0131 below the colour range", 0x0131, false},
    {"0x0139 above the colour range", 0x0139, false},
    {"WM_COMMAND", WM_COMMAND, false},
    {"WM_NOTIFY", WM_NOTIFY, false},
    {"WM_APP + 20", WM_APP + 20, false},
};

struct Observed {
  INT_PTR answer = 0;
  LONG_PTR stored = 0;
};

class TestDialog : public CDialogImpl<TestDialog> {
 public:
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result, DWORD map_id) override {
    ++message_count;
    if (message == WM_INITDIALOG && !checks_started) {
      handle_at_init = this->hwnd();
      PostMessageW(hwnd, kRunChecks, 0, 0);
      result = TRUE;
      return true;
    }
    if (message == kRunChecks) {
      checks_started = true;
      RunChecks(hwnd);
      EndDialog(kEndValue);
      result = 0;
      return true;
    }
    if (handle_all) {
      result = kHandlerResult;
      return true;
    }
    return false;
  }

  void OnFinalMessage(HWND hwnd) override {
    ++final_calls;
    handle_at_final = this->hwnd();
  }

  // Calls the dialog procedure the dialog manager calls, for each message of the table handled and
  // once unhandled.
  void RunChecks(HWND hwnd) {
    DLGPROC procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hwnd, DWLP_DLGPROC));
    installed_procedure = procedure;
    for (const ResultCase& row : kResultCases) {
      handle_all = true;
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
      handled.push_back(Observed{procedure(hwnd, row.message, 0, 0),
                                 GetWindowLongPtrW(hwnd, DWLP_MSGRESULT)});
      handle_all = false;
      SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
      unhandled.push_back(Observed{procedure(hwnd, row.message, 0, 0),
                                   GetWindowLongPtrW(hwnd, DWLP_MSGRESULT)});
    }
  }

  int message_count = 0;
  bool checks_started = false;
  bool handle_all = false;
  int final_calls = 0;
  HWND handle_at_init = nullptr;
  HWND handle_at_final = reinterpret_cast<HWND>(1);
  DLGPROC installed_procedure = nullptr;
  std::vector<Observed> handled;
  std::vector<Observed> unhandled;
};

TEST(DialogImplTest, ModalRunReturnsTheEndValueAndAppliesTheResultRules) {
  std::vector<DWORD> dialog_template = EmptyDialogTemplate();
  TestDialog dialog;
  const INT_PTR result =
      dialog.DoModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(dialog_template.data()));
  EXPECT_EQ(result, kEndValue);
  EXPECT_NE(dialog.handle_at_init, nullptr);
  EXPECT_EQ(dialog.installed_procedure, &CDialogImplBaseT<CWindow>::DialogProc);

  ASSERT_EQ(dialog.handled.size(), std::size(kResultCases));
  ASSERT_EQ(dialog.unhandled.size(), std::size(kResultCases));
  for (size_t i = 0; i < std::size(kResultCases); ++i) {
    const ResultCase& row = kResultCases[i];
    SCOPED_TRACE(row.name);
    if (row.direct) {
      EXPECT_EQ(dialog.handled[i].answer, kHandlerResult);
      EXPECT_EQ(dialog.handled[i].stored, 0);
    } else {
      EXPECT_EQ(dialog.handled[i].answer, TRUE);
      EXPECT_EQ(dialog.handled[i].stored, kHandlerResult);
    }
    EXPECT_EQ(dialog.unhandled[i].answer, FALSE);
    EXPECT_EQ(dialog.unhandled[i].stored, 0);
  }

  // The window is gone: the object let go of it once, after its last message.
  EXPECT_EQ(dialog.hwnd(), nullptr);
  EXPECT_EQ(dialog.final_calls, 1);
  EXPECT_EQ(dialog.handle_at_final, nullptr);
  EXPECT_FALSE(IsWindow(dialog.handle_at_init));
}

TEST(DialogImplTest, SameObjectRunsASecondDialogAfterTheFirst) {
  std::vector<DWORD> dialog_template = EmptyDialogTemplate();
  const auto* data = reinterpret_cast<const DLGTEMPLATE*>(dialog_template.data());
  TestDialog dialog;
  ASSERT_EQ(dialog.DoModalIndirect(data), kEndValue);
  dialog.checks_started = false;
  EXPECT_EQ(dialog.DoModalIndirect(data), kEndValue);
  EXPECT_EQ(dialog.final_calls, 2);
}

TEST(DialogImplTest, UnboundableDialogFailsWithOutOfMemoryBeforeTheDialogManager) {
  TestDialog dialog;
  SetWindowBindingFailureForTesting(true);
  SetLastError(0);
  // Had the dialog manager been called, the missing template would have set its own error.
  const INT_PTR result = dialog.DoModal(kMissingTemplate);
  const DWORD error = GetLastError();
  SetWindowBindingFailureForTesting(false);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_EQ(dialog.message_count, 0);
}

TEST(DialogImplTest, MissingTemplateFailsAndLeavesTheObjectUsable) {
  TestDialog dialog;
  EXPECT_EQ(dialog.DoModal(kMissingTemplate), -1);
  EXPECT_EQ(dialog.message_count, 0);

  std::vector<DWORD> dialog_template = EmptyDialogTemplate();
  EXPECT_EQ(dialog.DoModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(dialog_template.data())),
            kEndValue);
}

}  // namespace
}  // namespace pelko::setup
