#include "setup/install/install_session_win32.h"

#include "setup/diagnostic_output_win32.h"
#include "setup/install/install_session.h"
#include "setup/install/msi_installer_service_win32.h"

namespace pelko::setup {

uint32_t InstallPackage(const std::u16string& package_path, const std::u16string& command_line,
                        ExternalUi* sink, bool unregister_at_end, const std::u16string* log_path) {
  MsiInstallerService service;
  StdoutDiagnosticOutput output;
  return InstallPackage(service, output, package_path, command_line, sink, unregister_at_end,
                        log_path);
}

}  // namespace pelko::setup
