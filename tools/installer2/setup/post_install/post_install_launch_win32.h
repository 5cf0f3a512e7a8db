#ifndef PELKO_SETUP_POST_INSTALL_POST_INSTALL_LAUNCH_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_POST_INSTALL_LAUNCH_WIN32_H_

#include <string>

namespace pelko::setup {

// Reads and deletes HKCU\Software\Tavrin "PostInstallLaunch"; empty when nothing is to launch.
std::u16string TakePostInstallLaunch();

// Starts the program through the desktop shell, or directly when the shell route fails.
void LaunchThroughShell(const std::u16string& program_path);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_POST_INSTALL_LAUNCH_WIN32_H_
