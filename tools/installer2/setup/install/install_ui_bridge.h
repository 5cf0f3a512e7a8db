#ifndef PELKO_SETUP_INSTALL_INSTALL_UI_BRIDGE_H_
#define PELKO_SETUP_INSTALL_INSTALL_UI_BRIDGE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "setup/diagnostic_output.h"
#include "setup/install/external_ui.h"
#include "setup/install/installer_service.h"

namespace pelko::setup {

// Installer message types the handler tells apart (compared whole, never masked).
constexpr uint32_t kMessageFatalExit = 0x00000000;
constexpr uint32_t kMessageError = 0x01000000;
constexpr uint32_t kMessageWarning = 0x02000000;
constexpr uint32_t kMessageUser = 0x03000000;
constexpr uint32_t kMessageInfo = 0x04000000;
constexpr uint32_t kMessageActionData = 0x09000000;
constexpr uint32_t kMessageProgress = 0x0A000000;
constexpr uint32_t kMessageInitialize = 0x0C000000;
constexpr uint32_t kMessageTerminate = 0x0D000000;

constexpr uint32_t kInstallUiLevel = 0x102;        // no UI, source resolution still allowed
constexpr uint32_t kInstallMessageFilter = 0x7003600;

// Fields of a progress record text such as "1: 0 2: 1500 3: 0 4: 1". Element 0 is the
// placeholder -1, element k holds field k. Any text that is not wholly well formed gives an
// empty list.
std::vector<int32_t> ParseProgressFields(const char16_t* text);

// One per install: silences the installer's own UI, registers the external handler with itself
// as context, and turns the installer's messages into calls on the sink.
class InstallUiBridge {
 public:
  // With a null sink nothing is registered and the UI level is left alone.
  InstallUiBridge(InstallerService& service, DiagnosticOutput& output, ExternalUi* sink,
                  bool unregister_at_end);
  ~InstallUiBridge();
  InstallUiBridge(const InstallUiBridge&) = delete;
  InstallUiBridge& operator=(const InstallUiBridge&) = delete;

  // The handler's answer: always 1, so the install can never be cancelled from here.
  int OnInstallerMessage(uint32_t type, const char16_t* text);
  void ApplyProgressRecord(const char16_t* text);
  void NotifyProgress();

  int32_t position() const { return position_; }
  int32_t total() const { return total_; }
  int32_t step() const { return step_; }
  bool backward() const { return backward_; }

 private:
  void RouteMessage(uint32_t type, const char16_t* text);
  void AdvanceOnActionData();

  InstallerService& service_;
  DiagnosticOutput& output_;
  uint32_t previous_ui_level_ = 1;
  ExternalUi* sink_;
  int32_t position_ = 0;
  int32_t total_ = 0;
  int32_t step_ = 0;
  bool backward_ = false;
  bool unregister_at_end_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_INSTALL_UI_BRIDGE_H_
