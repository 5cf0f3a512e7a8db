#include "setup/install/install_session.h"

#include "setup/install/install_ui_bridge.h"

namespace pelko::setup {

uint32_t InstallPackage(InstallerService& service, DiagnosticOutput& output,
                        const std::u16string& package_path, const std::u16string& command_line,
                        ExternalUi* sink, bool unregister_at_end, const std::u16string* log_path) {
  // The log setting stays in force for the rest of the process; its result changes nothing.
  if (log_path != nullptr) service.EnableLog(kInstallLogMode, *log_path, kInstallLogAttributes);
  uint32_t result = 0;
  {
    // The installer calls the handler only while InstallProduct runs, so the bridge lives
    // exactly that long.
    InstallUiBridge bridge(service, output, sink, unregister_at_end);
    result = service.InstallProduct(package_path, command_line);
  }
  return result;
}

}  // namespace pelko::setup
