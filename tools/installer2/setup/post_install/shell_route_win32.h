#ifndef PELKO_SETUP_POST_INSTALL_SHELL_ROUTE_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_SHELL_ROUTE_WIN32_H_

#include <windows.h>
// Before the shell headers, so that IShellDispatch2::ShellExecute is declared under the same
// (macro) name in every file.
#include <shellapi.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shobjidl.h>

#include <string>

#include "setup/post_install/post_install_launch_win32.h"
#include "setup/win32_raii.h"

namespace pelko::setup {

// Every object the shell route obtains, in the order it obtains them: members are destroyed in
// reverse order of declaration, so the objects are released in reverse order of obtaining.
struct ShellRouteObjects {
  ComPtr<IShellWindows> windows;
  ComPtr<IDispatch> desktop;
  ComPtr<IShellBrowser> browser;
  ComPtr<IShellView> view;
  ComPtr<IDispatch> background;
  ComPtr<IShellFolderViewDual> folder_view;
  ComPtr<IDispatch> application;
  ComPtr<IShellDispatch2> shell;
};

// Asks the running desktop shell, through `objects.windows` (already obtained), to open
// `program_path`: its desktop window, the top-level browser, the active view, its background
// object, the folder view, the shell application and its ShellExecute. COM must be initialised.
// Returns the status of the route (a failure when any step failed or handed out no object) and
// the step reached.
HRESULT RunShellRoute(const std::u16string& program_path, ShellRouteObjects& objects,
                      ShellRouteStep& reached);

// RunShellRoute, then the direct start when it failed. The objects stay with the caller, who
// releases them after the start.
LaunchOutcome LaunchWithShellWindows(const std::u16string& program_path,
                                     ShellRouteObjects& objects);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_SHELL_ROUTE_WIN32_H_
