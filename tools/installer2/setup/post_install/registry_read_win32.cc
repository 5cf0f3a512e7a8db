#include "setup/post_install/registry_read_win32.h"

#include "setup/post_install/registry_string.h"
#include "setup/win32_raii.h"

namespace pelko::setup {

bool ReadRegistryString(HKEY root, const wchar_t* key_path, const wchar_t* value_name,
                        std::u16string& text) {
  RegKey key;
  if (key.Open(root, key_path, KEY_READ) != ERROR_SUCCESS) return false;
  wchar_t buffer[kRegistryStringCapacity] = {};
  DWORD type = 0;
  DWORD byte_count = sizeof(buffer);
  // A value larger than the buffer answers ERROR_MORE_DATA and is refused with the rest.
  if (RegQueryValueExW(key.get(), value_name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                       &byte_count) != ERROR_SUCCESS) {
    return false;
  }
  if (byte_count > sizeof(buffer)) return false;
  return ParseRegistryString(type, reinterpret_cast<const uint8_t*>(buffer), byte_count, text);
}

}  // namespace pelko::setup
