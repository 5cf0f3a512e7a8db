#ifndef PELKO_SETUP_SETUP_APPLICATION_H_
#define PELKO_SETUP_SETUP_APPLICATION_H_

#include <cstdint>

#include "setup/edition_profile.h"
#include "setup/setup_stages.h"

namespace pelko::setup {

// Installer result codes the run produces itself; every other code comes from the installer.
constexpr uint32_t kResultSuccess = 0;
constexpr uint32_t kResultUserExit = 1602;          // ERROR_INSTALL_USEREXIT
constexpr uint32_t kResultPackageUnavailable = 1612;  // ERROR_INSTALL_SOURCE_ABSENT
constexpr uint32_t kResultInvalidCommandLine = 1639;  // ERROR_INVALID_COMMAND_LINE
// Installs that succeeded but are not finished until the machine restarts. The run passes them
// on as they are: deployment tools read them to plan the restart.
constexpr uint32_t kResultRestartRequired = 3010;  // ERROR_SUCCESS_REBOOT_REQUIRED
constexpr uint32_t kResultRestartStarted = 1641;   // ERROR_SUCCESS_REBOOT_INITIATED

// String IDs the run shows.
constexpr uint32_t kSuccessMessageId = 216;
constexpr uint32_t kFailureMessageId = 217;
constexpr uint32_t kMessageCaptionId = 223;

// One setup run of the built edition, from command line to exit code.
class SetupApplication {
 public:
  explicit SetupApplication(int32_t edition) : profile_(MakeEditionProfile(edition)) {}

  const EditionProfile& profile() const { return profile_; }
  uint32_t Run(SetupStages& stages) const;

 private:
  const EditionProfile profile_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_SETUP_APPLICATION_H_
