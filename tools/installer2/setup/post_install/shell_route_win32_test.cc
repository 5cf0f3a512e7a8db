#include "setup/post_install/shell_route_win32.h"

#include <gtest/gtest.h>

#include <vector>

#include "setup/post_install/fake_shell_win32_test_support.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

using test::FakeShell;

const std::u16string kProgram = u"C:\\Program Files\\Tavrin\\Tavrin Pelko\\TavrinPelko.exe";

HRESULT RunOver(FakeShell& shell, ShellRouteStep& reached) {
  ShellRouteObjects objects;
  shell.AddRef();
  *objects.windows.Put() = &shell;
  return RunShellRoute(kProgram, objects, reached);
}

TEST(ShellRouteTest, TheDesktopShellOpensThePathWithFourEmptyArguments) {
  FakeShell shell;
  ShellRouteStep reached = ShellRouteStep::kShellWindows;
  EXPECT_EQ(RunOver(shell, reached), S_OK);
  EXPECT_EQ(reached, ShellRouteStep::kDone);
  EXPECT_EQ(shell.find_class, SWC_DESKTOP);
  EXPECT_EQ(shell.find_options, SWFO_NEEDDISPATCH);
  EXPECT_EQ(shell.find_location_type, VT_EMPTY);
  EXPECT_EQ(shell.find_root_type, VT_EMPTY);
  EXPECT_TRUE(shell.service_asked_right);
  EXPECT_EQ(shell.item_asked, static_cast<UINT>(SVGIO_BACKGROUND));
  EXPECT_TRUE(shell.item_interface_right);
  ASSERT_TRUE(shell.executed);
  EXPECT_EQ(shell.executed_file, AsWide(kProgram));
  EXPECT_EQ(shell.executed_argument_types, (std::vector<VARTYPE>{VT_EMPTY, VT_EMPTY, VT_EMPTY,
                                                                  VT_EMPTY}));
  // Every object the route obtained has been released.
  EXPECT_EQ(shell.outstanding(), 0);
}

TEST(ShellRouteTest, AStepThatFailsOrHandsOutNothingEndsTheRoute) {
  using F = FakeShell::Failure;
  struct Case {
    const char* name;
    ShellRouteStep step;
    F failure;
    bool carries_error;  // the failing call's own status is the route's
  } const kCases[] = {
      {"desktop window: error", ShellRouteStep::kDesktopWindow, F::kError, true},
      {"desktop window: S_FALSE", ShellRouteStep::kDesktopWindow, F::kFalse, false},
      {"desktop window: no object", ShellRouteStep::kDesktopWindow, F::kNoObject, false},
      {"top-level browser: error", ShellRouteStep::kTopLevelBrowser, F::kError, true},
      {"top-level browser: no object", ShellRouteStep::kTopLevelBrowser, F::kNoObject, false},
      {"active view: error", ShellRouteStep::kActiveShellView, F::kError, true},
      {"active view: no object", ShellRouteStep::kActiveShellView, F::kNoObject, false},
      {"background: error", ShellRouteStep::kBackgroundObject, F::kError, true},
      {"background: no object", ShellRouteStep::kBackgroundObject, F::kNoObject, false},
      {"folder view: error", ShellRouteStep::kFolderView, F::kError, true},
      {"folder view: no object", ShellRouteStep::kFolderView, F::kNoObject, false},
      {"application: error", ShellRouteStep::kApplication, F::kError, true},
      {"application: no object", ShellRouteStep::kApplication, F::kNoObject, false},
      {"shell dispatch: error", ShellRouteStep::kShellDispatch, F::kError, true},
      {"shell dispatch: no object", ShellRouteStep::kShellDispatch, F::kNoObject, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeShell shell;
    shell.FailAt(c.step, c.failure);
    ShellRouteStep reached = ShellRouteStep::kDone;
    const HRESULT status = RunOver(shell, reached);
    EXPECT_TRUE(FAILED(status)) << std::hex << status;
    if (c.carries_error) {
      EXPECT_EQ(status, FakeShell::kInjectedError);
    }
    EXPECT_EQ(reached, c.step);
    EXPECT_FALSE(shell.executed);
    EXPECT_EQ(shell.outstanding(), 0);
  }
}

TEST(ShellRouteTest, AFailingShellExecuteFailsTheRoute) {
  FakeShell shell;
  shell.FailAt(ShellRouteStep::kShellExecute, FakeShell::Failure::kError);
  ShellRouteStep reached = ShellRouteStep::kDone;
  EXPECT_EQ(RunOver(shell, reached), FakeShell::kInjectedError);
  EXPECT_EQ(reached, ShellRouteStep::kShellExecute);
  EXPECT_TRUE(shell.executed);
  EXPECT_EQ(shell.outstanding(), 0);
}

TEST(ShellRouteTest, WithoutShellWindowsTheRouteFailsAtOnce) {
  ShellRouteObjects objects;
  ShellRouteStep reached = ShellRouteStep::kDone;
  EXPECT_TRUE(FAILED(RunShellRoute(kProgram, objects, reached)));
  EXPECT_EQ(reached, ShellRouteStep::kShellWindows);
}

TEST(ShellRouteTest, TheShellTakingTheRequestMeansNoDirectStart) {
  FakeShell shell;
  {
    ShellRouteObjects objects;
    shell.AddRef();
    *objects.windows.Put() = &shell;
    const LaunchOutcome outcome = LaunchWithShellWindows(kProgram, objects);
    EXPECT_FALSE(outcome.started_directly);
    EXPECT_EQ(outcome.shell_status, S_OK);
    EXPECT_EQ(outcome.reached, ShellRouteStep::kDone);
  }
  EXPECT_TRUE(shell.executed);
  EXPECT_EQ(shell.outstanding(), 0);
}

}  // namespace
}  // namespace pelko::setup
