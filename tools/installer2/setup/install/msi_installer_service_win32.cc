#include "setup/install/msi_installer_service_win32.h"

#include "setup/install/install_ui_bridge.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// The handler msi.dll calls with every filtered message while an install runs; the context is
// the bridge that registered it.
int WINAPI ForwardToBridge(void* context, UINT message_type, LPCWSTR message) {
  auto* bridge = static_cast<InstallUiBridge*>(context);
  if (bridge == nullptr) return 0;  // 0: the installer handles the message itself
  return bridge->OnInstallerMessage(message_type, reinterpret_cast<const char16_t*>(message));
}

template <typename Function>
Function ProcByOrdinal(HMODULE library, WORD ordinal) {
  FARPROC proc = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
  // Through void*: the real signature is known to us, not to FARPROC.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}

}  // namespace

MsiInstallerService::MsiInstallerService(const wchar_t* library_name)
    : library_(LoadLibraryExW(library_name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
  if (library_.get() == nullptr) return;
  auto enable_log = ProcByOrdinal<EnableLogFunction>(library_.get(), kMsiEnableLogOrdinal);
  auto set_internal_ui =
      ProcByOrdinal<SetInternalUiFunction>(library_.get(), kMsiSetInternalUiOrdinal);
  auto set_external_ui =
      ProcByOrdinal<SetExternalUiFunction>(library_.get(), kMsiSetExternalUiOrdinal);
  auto install_product =
      ProcByOrdinal<InstallProductFunction>(library_.get(), kMsiInstallProductOrdinal);
  // All four or none: an install without the UI calls could show the installer's own dialogs
  // in a run that must show none.
  if (!enable_log || !set_internal_ui || !set_external_ui || !install_product) {
    library_.Reset();
    return;
  }
  enable_log_ = enable_log;
  set_internal_ui_ = set_internal_ui;
  set_external_ui_ = set_external_ui;
  install_product_ = install_product;
}

MsiInstallerService::~MsiInstallerService() {
  if (registered_bridge_ != nullptr) set_external_ui_(nullptr, 0, nullptr);
}

void MsiInstallerService::EnableLog(uint32_t log_mode, const std::u16string& log_path,
                                    uint32_t attributes) {
  if (!available()) return;
  enable_log_(log_mode, AsWide(log_path), attributes);
}

uint32_t MsiInstallerService::SetInternalUi(uint32_t ui_level) {
  if (!available()) return kUiLevelNoChange;
  return static_cast<uint32_t>(set_internal_ui_(static_cast<INT>(ui_level), nullptr));
}

void MsiInstallerService::SetExternalUi(InstallUiBridge* bridge, uint32_t message_filter) {
  if (!available()) return;
  // The handler registered before is not kept: the setup is the installer's only client.
  set_external_ui_(bridge != nullptr ? ForwardToBridge : nullptr, message_filter, bridge);
  registered_bridge_ = bridge;
}

uint32_t MsiInstallerService::InstallProduct(const std::u16string& package_path,
                                             const std::u16string& command_line) {
  if (!available()) return kInstallServiceFailure;
  return install_product_(AsWide(package_path), AsWide(command_line));
}

}  // namespace pelko::setup
