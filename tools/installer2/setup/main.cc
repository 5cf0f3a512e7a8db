// The entry point of setup.exe: one setup run of the built edition; its result is the exit code.

#include <windows.h>

#include "setup/edition_profile.h"
#include "setup/setup_application.h"
#include "setup/setup_stages_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  pelko::setup::RestrictDllSearchToSystemDirectory();
  pelko::setup::SetupStagesWin32 stages(pelko::setup::kBuiltEdition);
  const pelko::setup::SetupApplication application(pelko::setup::kBuiltEdition);
  return static_cast<int>(application.Run(stages));
}
