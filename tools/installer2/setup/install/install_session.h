#ifndef PELKO_SETUP_INSTALL_INSTALL_SESSION_H_
#define PELKO_SETUP_INSTALL_INSTALL_SESSION_H_

#include <cstdint>
#include <string>

#include "setup/diagnostic_output.h"
#include "setup/install/external_ui.h"
#include "setup/install/installer_service.h"

namespace pelko::setup {

constexpr uint32_t kInstallLogMode = 0x3c00;  // property dump, common data, verbose, extra debug
constexpr uint32_t kInstallLogAttributes = 0;  // written afresh, not flushed per line

// One install of the extracted package; returns the installer's result unchanged. A null log
// path requests no log.
uint32_t InstallPackage(InstallerService& service, DiagnosticOutput& output,
                        const std::u16string& package_path, const std::u16string& command_line,
                        ExternalUi* sink, bool unregister_at_end, const std::u16string* log_path);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_INSTALL_SESSION_H_
