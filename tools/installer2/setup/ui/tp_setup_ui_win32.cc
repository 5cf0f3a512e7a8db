#include "setup/ui/tp_setup_ui_win32.h"

#include "setup/ui/tp_setup_progress_window_win32.h"

namespace pelko::setup {

std::unique_ptr<ExternalUi> MakeTpSetupUi() { return std::make_unique<TpSetupUi>(); }

TpSetupUi::TpSetupUi() : window_(std::make_unique<TpSetupProgressWindow>()) {}

TpSetupUi::~TpSetupUi() {
  if (window_->IsWindow()) window_->DestroyWindow();
}

// A second start while the window is open keeps that window: Show does nothing then.
void TpSetupUi::OnInstallStart() { window_->Show(); }

void TpSetupUi::OnProgress(int32_t position, int32_t total, bool backward) {
  window_->SetTotal(total);
  window_->SetPosition(position);
}

// What is still pending is served first, so that no question put to the window goes unanswered
// because it was asked just before the end. The handle is null when no window was made or the
// user closed it; DestroyWindow's failure is then of no concern.
void TpSetupUi::OnInstallEnd() {
  window_->ServeMessages();
  ::DestroyWindow(window_->hwnd());
}

void TpSetupUi::ServeUi() { window_->ServeMessages(); }

}  // namespace pelko::setup
