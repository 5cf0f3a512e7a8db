#ifndef PELKO_SETUP_UI_TP_SETUP_UI_WIN32_H_
#define PELKO_SETUP_UI_TP_SETUP_UI_WIN32_H_

#include <cstdint>
#include <memory>

#include "setup/install/external_ui.h"

namespace pelko::setup {

class TpSetupProgressWindow;

// The interactive progress sink: opens, advances and closes TpSetupProgressWindow.
std::unique_ptr<ExternalUi> MakeTpSetupUi();

class TpSetupUi : public ExternalUi {
 public:
  TpSetupUi();
  // A window still open is destroyed first, so that no message can reach a released object.
  ~TpSetupUi() override;
  TpSetupUi(const TpSetupUi&) = delete;
  TpSetupUi& operator=(const TpSetupUi&) = delete;

  void OnInstallStart() override;
  void OnProgress(int32_t position, int32_t total, bool backward) override;
  void OnInstallEnd() override;
  void ServeUi() override;

  const TpSetupProgressWindow& window() const { return *window_; }

 private:
  std::unique_ptr<TpSetupProgressWindow> window_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_TP_SETUP_UI_WIN32_H_
