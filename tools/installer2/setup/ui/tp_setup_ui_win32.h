#ifndef PELKO_SETUP_UI_TP_SETUP_UI_WIN32_H_
#define PELKO_SETUP_UI_TP_SETUP_UI_WIN32_H_

#include <memory>

#include "setup/install/external_ui.h"

namespace pelko::setup {

// The interactive progress sink: opens, advances and closes TpSetupProgressWindow.
std::unique_ptr<ExternalUi> MakeTpSetupUi();

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_TP_SETUP_UI_WIN32_H_
