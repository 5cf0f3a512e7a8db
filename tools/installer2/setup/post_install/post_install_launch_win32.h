#ifndef PELKO_SETUP_POST_INSTALL_POST_INSTALL_LAUNCH_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_POST_INSTALL_LAUNCH_WIN32_H_

#include <windows.h>

#include <string>

namespace pelko::setup {

// Reads and deletes HKCU\Software\Tavrin "PostInstallLaunch"; empty when nothing is to launch.
std::u16string TakePostInstallLaunch();

// Starts the program through the desktop shell, or directly when the shell route fails.
void LaunchThroughShell(const std::u16string& program_path);

// How far the shell route got: the step that failed, or kDone when the shell took the request.
enum class ShellRouteStep {
  kShellWindows,
  kDesktopWindow,
  kTopLevelBrowser,
  kActiveShellView,
  kBackgroundObject,
  kFolderView,
  kApplication,
  kShellDispatch,
  kPathCopy,
  kShellExecute,
  kDone,
};

struct LaunchOutcome {
  ShellRouteStep reached = ShellRouteStep::kShellWindows;
  HRESULT shell_status = E_FAIL;
  bool started_directly = false;
};

// LaunchThroughShell with the class of the shell windows server given, and what happened.
// Tests name a class nobody serves to take the direct start for real.
LaunchOutcome LaunchProgram(const std::u16string& program_path, const CLSID& shell_windows_class);

// CreateProcessW with the path as application name and no command line; the handles are closed,
// the program is not waited for. False when it could not be started.
bool StartProgramDirectly(const std::u16string& program_path);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_POST_INSTALL_LAUNCH_WIN32_H_
