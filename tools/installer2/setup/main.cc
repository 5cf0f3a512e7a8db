// The entry point of setup.exe: one setup run of the built edition; its result is the exit code.

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "setup/setup_application.h"
#include "setup/setup_stages_win32.h"

// The build chooses the edition (the cache variable SETUP_EDITION) for this file alone, so the
// libraries stay the same for every edition.
#ifndef PELKO_SETUP_EDITION
#error "PELKO_SETUP_EDITION must name the edition this program is built for"
#endif
constexpr int32_t kBuiltEdition = PELKO_SETUP_EDITION;
static_assert(kBuiltEdition >= 0 && kBuiltEdition <= 2, "the setup has profiles for 0, 1 and 2");

// The library's default terminate handler prints the demangled type of the exception, which links
// the whole demangler into a program that has no console to print to. Ours just ends the process.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  pelko::setup::RestrictDllSearchToSystemDirectory();
  pelko::setup::SetupStagesWin32 stages(kBuiltEdition);
  const pelko::setup::SetupApplication application(kBuiltEdition);
  return static_cast<int>(application.Run(stages));
}
