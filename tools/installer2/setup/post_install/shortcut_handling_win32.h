#ifndef PELKO_SETUP_POST_INSTALL_SHORTCUT_HANDLING_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_SHORTCUT_HANDLING_WIN32_H_

#include <cstdint>

namespace pelko::setup {

// Renames the edition's Start Menu shortcut named by `string_id` from its system-language name
// into the UI language. Does its work or nothing; reports nothing.
void LocalizeShortcut(int32_t edition, uint32_t string_id);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_SHORTCUT_HANDLING_WIN32_H_
