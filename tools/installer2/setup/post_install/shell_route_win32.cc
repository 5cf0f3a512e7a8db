#include "setup/post_install/shell_route_win32.h"

#include <shlguid.h>
#include <shlwapi.h>

#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// A step that reports success without handing out its object ends the route too. Called only
// after the step itself: the object is read once the call has filled it in.
HRESULT Obtained(HRESULT status, const void* object) {
  if (FAILED(status)) return status;
  return object != nullptr ? status : E_NOINTERFACE;
}

}  // namespace

HRESULT RunShellRoute(const std::u16string& program_path, ShellRouteObjects& o,
                      ShellRouteStep& reached) {
  reached = ShellRouteStep::kShellWindows;
  if (!o.windows) return E_POINTER;

  reached = ShellRouteStep::kDesktopWindow;
  VARIANT empty;
  VariantInit(&empty);
  LONG desktop_window = 0;
  HRESULT status = o.windows->FindWindowSW(&empty, &empty, SWC_DESKTOP, &desktop_window,
                                           SWFO_NEEDDISPATCH, o.desktop.Put());
  // S_FALSE is the answer when no desktop window is registered: only S_OK counts.
  if (status != S_OK) return FAILED(status) ? status : E_FAIL;
  status = Obtained(status, o.desktop.get());
  if (FAILED(status)) return status;

  reached = ShellRouteStep::kTopLevelBrowser;
  status = IUnknown_QueryService(o.desktop.get(), SID_STopLevelBrowser, IID_IShellBrowser,
                                 o.browser.PutVoid());
  status = Obtained(status, o.browser.get());
  if (FAILED(status)) return status;

  reached = ShellRouteStep::kActiveShellView;
  status = o.browser->QueryActiveShellView(o.view.Put());
  status = Obtained(status, o.view.get());
  if (FAILED(status)) return status;

  reached = ShellRouteStep::kBackgroundObject;
  status = o.view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, o.background.PutVoid());
  status = Obtained(status, o.background.get());
  if (FAILED(status)) return status;

  reached = ShellRouteStep::kFolderView;
  status = o.background->QueryInterface(IID_IShellFolderViewDual, o.folder_view.PutVoid());
  status = Obtained(status, o.folder_view.get());
  if (FAILED(status)) return status;

  reached = ShellRouteStep::kApplication;
  status = o.folder_view->get_Application(o.application.Put());
  status = Obtained(status, o.application.get());
  if (FAILED(status)) return status;

  reached = ShellRouteStep::kShellDispatch;
  status = o.application->QueryInterface(IID_IShellDispatch2, o.shell.PutVoid());
  status = Obtained(status, o.shell.get());
  if (FAILED(status)) return status;

  // Out of memory for the copy: the route fails and the program is started directly.
  reached = ShellRouteStep::kPathCopy;
  ScopedBstr file(AsWide(program_path));
  if (file.get() == nullptr) return E_OUTOFMEMORY;

  reached = ShellRouteStep::kShellExecute;
  // No arguments, default directory, default verb, default show state.
  status = o.shell->ShellExecute(file.get(), empty, empty, empty, empty);
  if (FAILED(status)) return status;
  reached = ShellRouteStep::kDone;
  return status;
}

LaunchOutcome LaunchWithShellWindows(const std::u16string& program_path,
                                     ShellRouteObjects& objects) {
  LaunchOutcome outcome;
  outcome.shell_status = RunShellRoute(program_path, objects, outcome.reached);
  if (FAILED(outcome.shell_status)) {
    StartProgramDirectly(program_path);
    outcome.started_directly = true;
  }
  return outcome;
}

LaunchOutcome LaunchProgram(const std::u16string& program_path, const CLSID& shell_windows_class) {
  // COM lives for this call only; the objects go before CoUninitialize.
  ScopedCoInit com;
  ShellRouteObjects objects;
  HRESULT created = CoCreateInstance(shell_windows_class, nullptr, CLSCTX_LOCAL_SERVER,
                                     IID_IShellWindows, objects.windows.PutVoid());
  created = Obtained(created, objects.windows.get());
  if (SUCCEEDED(created)) return LaunchWithShellWindows(program_path, objects);
  LaunchOutcome outcome;
  outcome.shell_status = created;
  StartProgramDirectly(program_path);
  outcome.started_directly = true;
  return outcome;
}

}  // namespace pelko::setup
