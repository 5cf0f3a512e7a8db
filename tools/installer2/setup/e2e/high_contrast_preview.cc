// high_contrast_preview: the customize dialog as a person with the system's high-contrast mode
// sees it, for the README's picture. Wine cannot switch the mode on (SPI_SETHIGHCONTRAST fails
// there), so the dialog is asked through its test seam, with the answer "on", and the system
// colours of a white-on-black scheme are set for the session while it is open (and put back).
// Not part of the setup; scripts/screenshots.sh runs it and ends it with the dialog's Cancel.
//
//   high_contrast_preview.exe [LANGID]   (decimal; default 1033)

#include <windows.h>

#include <cwchar>

#include "setup/diagnostic_output_win32.h"
#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/folder_selection_win32.h"
#include "setup/ui/tp_customize_setup_dialog_win32.h"
#include "setup/ui/ui_win32_test_support.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  using namespace pelko::setup;
  constexpr uint16_t kEnglishUnitedStates = 0x0409;
  const int given = command_line ? _wtoi(command_line) : 0;
  ProcessUiLanguage().SetUiLanguage(given > 0 ? static_cast<uint16_t>(given)
                                              : kEnglishUnitedStates);
  if (ProcessUiLanguage().IsRightToLeftUi()) SetProcessDefaultLayout(LAYOUT_RTL);

  ScopedHighContrastColours colours;
  FakeHighContrast contrast(true);
  OleaccNaming naming;
  StdoutDiagnosticOutput output;
  TpCustomizeSetupDialog dialog(output, &BrowseForFolder, contrast, naming);
  dialog.RunModal();
  return 0;
}
