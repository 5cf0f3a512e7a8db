#include "setup/ui/window_win32.h"

#include "setup/ui/window_geometry.h"

namespace pelko::setup {
namespace {

GeometryRect ToGeometry(const RECT& rect) {
  return GeometryRect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

bool CWindow::CenterWindow() const {
  HWND reference = ::GetWindow(hwnd_, GW_OWNER);
  if (reference) {
    const LONG style = ::GetWindowLongW(reference, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0 || (style & WS_MINIMIZE) != 0) reference = nullptr;
  }
  HMONITOR monitor = ::MonitorFromWindow(reference ? reference : hwnd_, MONITOR_DEFAULTTONEAREST);
  if (!monitor) return false;
  MONITORINFO monitor_info = {};
  monitor_info.cbSize = sizeof(monitor_info);
  if (!::GetMonitorInfoW(monitor, &monitor_info)) return false;

  RECT target = monitor_info.rcWork;
  if (reference) ::GetWindowRect(reference, &target);
  RECT own = {};
  ::GetWindowRect(hwnd_, &own);
  const GeometryPoint position = CenterPosition(ToGeometry(target), ToGeometry(monitor_info.rcWork),
                                                own.right - own.left, own.bottom - own.top);
  return ::SetWindowPos(hwnd_, nullptr, position.x, position.y, -1, -1,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

}  // namespace pelko::setup
