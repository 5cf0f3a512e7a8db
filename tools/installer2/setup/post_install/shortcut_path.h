#ifndef PELKO_SETUP_POST_INSTALL_SHORTCUT_PATH_H_
#define PELKO_SETUP_POST_INSTALL_SHORTCUT_PATH_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelko::setup {

// Keys under HKEY_CURRENT_USER that hold each edition's Start Menu folder, by edition number.
// Row 3 is not chosen by any edition profile.
inline constexpr const char16_t* EditionRegistryKeys[] = {
    u"Software\\Tavrin\\Tavrin Pelko Vanta",
    u"Software\\Tavrin\\Tavrin Pelko Qx",
    u"Software\\Tavrin\\Tavrin Pelko Brisa",
    u"Software\\Tavrin\\Tavrin Pelko Dorel",
};
inline constexpr char16_t kStartMenuPathValue[] = u"StartMenuPath";
inline constexpr char16_t kShortcutExtension[] = u".lnk";

// A shortcut path and its terminator.
constexpr size_t kShortcutPathCapacity = 512;

// The key of `edition`, or null for a number outside the table.
const char16_t* EditionRegistryKey(int32_t edition);

// Writes folder + name + ".lnk" and a terminator into `buffer`. The folder is a prefix: no
// separator is added. Refuses, writing nothing, a path that does not fit in `capacity` (the
// terminator included) and a name holding a null, which the platform would cut short.
bool ComposeShortcutPath(std::u16string_view folder, std::u16string_view name, char16_t* buffer,
                         size_t capacity);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_SHORTCUT_PATH_H_
