#ifndef PELKO_SETUP_POST_INSTALL_REGISTRY_READ_WIN32_H_
#define PELKO_SETUP_POST_INSTALL_REGISTRY_READ_WIN32_H_

#include <windows.h>

#include <string>

namespace pelko::setup {

// A bounded string value (at most 259 characters, terminated, REG_SZ or REG_EXPAND_SZ, never
// expanded) read with KEY_READ. False, leaving `text` alone, when the key or value is missing or
// the value is refused. The key is closed on every path.
bool ReadRegistryString(HKEY root, const wchar_t* key_path, const wchar_t* value_name,
                        std::u16string& text);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_REGISTRY_READ_WIN32_H_
