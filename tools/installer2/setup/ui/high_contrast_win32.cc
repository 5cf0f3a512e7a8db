#include "setup/ui/high_contrast_win32.h"

namespace pelko::setup {

bool SystemHighContrast::IsHighContrastOn() const {
  HIGHCONTRASTW state = {};
  state.cbSize = sizeof(state);
  if (!::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(state), &state, 0)) return false;
  return (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

const HighContrastQuery& SystemHighContrastQuery() {
  static const SystemHighContrast query;
  return query;
}

bool IsContrastChangeMessage(UINT message, WPARAM wparam) {
  if (message == WM_SYSCOLORCHANGE || message == WM_THEMECHANGED) return true;
  // The system broadcasts the setting's change with its SPI code; other settings leave the
  // colours alone.
  return message == WM_SETTINGCHANGE && wparam == SPI_SETHIGHCONTRAST;
}

void RepaintWholeWindow(HWND window) {
  // Common controls keep their own copies of the system colours until told.
  for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  }
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace pelko::setup
