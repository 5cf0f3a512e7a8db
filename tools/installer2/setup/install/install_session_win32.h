#ifndef PELKO_SETUP_INSTALL_INSTALL_SESSION_WIN32_H_
#define PELKO_SETUP_INSTALL_INSTALL_SESSION_WIN32_H_

#include <cstdint>
#include <string>

#include "setup/install/external_ui.h"

namespace pelko::setup {

// InstallPackage through the system's msi.dll (loaded from the system directory only, its
// functions reached by ordinal), with diagnostics on standard output.
uint32_t InstallPackage(const std::u16string& package_path, const std::u16string& command_line,
                        ExternalUi* sink, bool unregister_at_end, const std::u16string* log_path);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_INSTALL_SESSION_WIN32_H_
