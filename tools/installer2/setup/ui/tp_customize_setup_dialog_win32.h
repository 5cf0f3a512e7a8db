#ifndef PELKO_SETUP_UI_TP_CUSTOMIZE_SETUP_DIALOG_WIN32_H_
#define PELKO_SETUP_UI_TP_CUSTOMIZE_SETUP_DIALOG_WIN32_H_

#include "setup/properties/property_map.h"

namespace pelko::setup {

// Shows the customize-setup dialog modally and writes the user's choices into `properties`;
// false only when the user cancelled.
bool RunCustomizeDialog(PropertyMap& properties);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_TP_CUSTOMIZE_SETUP_DIALOG_WIN32_H_
