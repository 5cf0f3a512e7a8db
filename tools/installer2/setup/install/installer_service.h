#ifndef PELKO_SETUP_INSTALL_INSTALLER_SERVICE_H_
#define PELKO_SETUP_INSTALL_INSTALLER_SERVICE_H_

#include <cstdint>
#include <string>

namespace pelko::setup {

class InstallUiBridge;

// The four Windows Installer calls the install session makes. On Windows they are msi.dll's
// ordinals 169, 141, 137 and 88; tests substitute a recorder.
class InstallerService {
 public:
  virtual ~InstallerService() = default;
  virtual void EnableLog(uint32_t log_mode, const std::u16string& log_path,
                         uint32_t attributes) = 0;
  // Sets the internal UI level (window pointer always null); returns the previous level.
  virtual uint32_t SetInternalUi(uint32_t ui_level) = 0;
  // Registers the external UI handler, which forwards every message to `bridge`. A null bridge
  // with filter 0 registers no handler.
  virtual void SetExternalUi(InstallUiBridge* bridge, uint32_t message_filter) = 0;
  virtual uint32_t InstallProduct(const std::u16string& package_path,
                                  const std::u16string& command_line) = 0;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_INSTALLER_SERVICE_H_
