#ifndef PELKO_SETUP_POST_INSTALL_SHORTCUT_HANDLING_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_SHORTCUT_HANDLING_WIN32_H_

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "setup/post_install/shortcut_path.h"

namespace pelko::setup {

// Renames the edition's Start Menu shortcut named by `string_id` from its system-language name
// into the UI language. Does its work or nothing; reports nothing.
void LocalizeShortcut(int32_t edition, uint32_t string_id);

// The steps of LocalizeShortcut once both names are known: nothing when they are equal; else the
// shortcut is saved under `ui_name` and the one under `system_name` deleted, unless both paths
// name the same file (names differing only in letter case).
void RenameShortcut(int32_t edition, const std::u16string& system_name,
                    const std::u16string& ui_name);

// The string as the platform's loader returns it from the program's own module, in the system's
// language; empty when it is missing.
std::u16string SystemLanguageString(uint32_t string_id);

using ShortcutPathBuffer = std::array<wchar_t, kShortcutPathCapacity>;

// The edition's "StartMenuPath" + name + ".lnk". False, with `path` unchanged, when the folder
// cannot be read or the path does not fit.
bool BuildShortcutPath(int32_t edition, const std::u16string& name, ShortcutPathBuffer& path);

// The status when a shortcut path cannot be built.
constexpr HRESULT kShortcutPathUnavailable = 3;

// Loads the shortcut under `old_name`, sets `new_name` as its description and saves it under
// `new_name`. 0 on success, else the failing call's HRESULT or kShortcutPathUnavailable. Files are
// unchanged on failure.
HRESULT SaveShortcutAs(int32_t edition, const std::u16string& old_name,
                       const std::u16string& new_name);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_SHORTCUT_HANDLING_WIN32_H_
