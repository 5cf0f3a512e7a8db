#ifndef PELKO_SETUP_L10N_UI_LANGUAGE_WIN32_H_
#define PELKO_SETUP_L10N_UI_LANGUAGE_WIN32_H_

#include "setup/l10n/ui_language.h"

namespace pelko::setup {

// The process-wide UI language over the program's own string resources.
UiLanguage& ProcessUiLanguage();

}  // namespace pelko::setup

#endif  // PELKO_SETUP_L10N_UI_LANGUAGE_WIN32_H_
