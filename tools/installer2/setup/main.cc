// The entry point of setup.exe: one setup run of the built edition; its result is the exit code.

#include <windows.h>

#include <cstdlib>

#include "setup/edition_profile.h"
#include "setup/setup_application.h"
#include "setup/setup_stages_win32.h"

// The library's default terminate handler prints the demangled type of the exception, which links
// the whole demangler into a program that has no console to print to. Ours just ends the process.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  pelko::setup::RestrictDllSearchToSystemDirectory();
  pelko::setup::SetupStagesWin32 stages(pelko::setup::kBuiltEdition);
  const pelko::setup::SetupApplication application(pelko::setup::kBuiltEdition);
  return static_cast<int>(application.Run(stages));
}
