#ifndef PELKO_SETUP_INSTALL_MSI_INSTALLER_SERVICE_WIN32_H_
#define PELKO_SETUP_INSTALL_MSI_INSTALLER_SERVICE_WIN32_H_

#include <windows.h>

#include <cstdint>
#include <string>

#include "setup/install/installer_service.h"
#include "setup/win32_raii.h"

namespace pelko::setup {

// Ordinals of the Windows Installer functions in msi.dll. The setup imports nothing from msi.dll
// by name, so its import table names no installer function.
constexpr WORD kMsiEnableLogOrdinal = 169;
constexpr WORD kMsiSetInternalUiOrdinal = 141;
constexpr WORD kMsiSetExternalUiOrdinal = 137;
constexpr WORD kMsiInstallProductOrdinal = 88;

constexpr uint32_t kInstallServiceFailure = 1601;  // ERROR_INSTALL_SERVICE_FAILURE
constexpr uint32_t kUiLevelNoChange = 0;           // INSTALLUILEVEL_NOCHANGE

// The installer's external UI handler, as msi.dll calls it.
using InstallUiHandler = int(WINAPI*)(void* context, UINT message_type, LPCWSTR message);

// InstallerService over the system's msi.dll. The library is loaded from the system directory
// only: msi.dll is no KnownDLL, so a setup started from a folder others can write would otherwise
// load an msi.dll planted beside it. When the library or any of the four functions cannot be had,
// InstallProduct answers kInstallServiceFailure and the other calls do nothing.
class MsiInstallerService : public InstallerService {
 public:
  MsiInstallerService() : MsiInstallerService(L"msi.dll") {}
  // Another library name, still searched in the system directory only; tests use it to stand
  // for a system whose msi.dll is missing or lacks an ordinal.
  explicit MsiInstallerService(const wchar_t* library_name);
  ~MsiInstallerService() override;
  MsiInstallerService(const MsiInstallerService&) = delete;
  MsiInstallerService& operator=(const MsiInstallerService&) = delete;

  bool available() const { return install_product_ != nullptr; }

  void EnableLog(uint32_t log_mode, const std::u16string& log_path, uint32_t attributes) override;
  uint32_t SetInternalUi(uint32_t ui_level) override;
  void SetExternalUi(InstallUiBridge* bridge, uint32_t message_filter) override;
  uint32_t InstallProduct(const std::u16string& package_path,
                          const std::u16string& command_line) override;

 private:
  using EnableLogFunction = UINT(WINAPI*)(DWORD log_mode, LPCWSTR log_file, DWORD attributes);
  using SetInternalUiFunction = INT(WINAPI*)(INT ui_level, HWND* window);
  using SetExternalUiFunction = InstallUiHandler(WINAPI*)(InstallUiHandler handler,
                                                          DWORD message_filter, void* context);
  using InstallProductFunction = UINT(WINAPI*)(LPCWSTR package_path, LPCWSTR command_line);

  ModuleHandle library_;
  EnableLogFunction enable_log_ = nullptr;
  SetInternalUiFunction set_internal_ui_ = nullptr;
  SetExternalUiFunction set_external_ui_ = nullptr;
  InstallProductFunction install_product_ = nullptr;
  // The bridge named by our last registration, so that it can be withdrawn before the library
  // goes: a registration left in place would name a bridge that no longer exists.
  InstallUiBridge* registered_bridge_ = nullptr;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_MSI_INSTALLER_SERVICE_WIN32_H_
