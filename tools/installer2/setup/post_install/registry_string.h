#ifndef PELKO_SETUP_POST_INSTALL_REGISTRY_STRING_H_
#define PELKO_SETUP_POST_INSTALL_REGISTRY_STRING_H_

// Checks of registry string data as the registry hands it over: the value's type and its raw
// bytes (UTF-16, little-endian). String values are taken as stored, never expanded.

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelko::setup {

constexpr uint32_t kRegSz = 1;        // REG_SZ
constexpr uint32_t kRegExpandSz = 2;  // REG_EXPAND_SZ

// The buffer a bounded string is read into, terminator included.
constexpr size_t kRegistryStringCapacity = 260;

// A bounded string such as "StartMenuPath": REG_SZ or REG_EXPAND_SZ, an even byte count whose
// last character is a null, and 2 <= n <= 260 characters with that terminator. The text ends at
// the first null: the paths built from it are handed to the platform as C strings, and a value
// that reads as empty there must not turn into a path relative to the working directory.
// Returns false, leaving `text` alone, when the value is refused.
bool ParseRegistryString(uint32_t type, const uint8_t* data, size_t byte_count,
                         std::u16string& text);

// The launch request "PostInstallLaunch": REG_SZ or REG_EXPAND_SZ, and either no bytes at all or
// an even byte count ending in a null character; no upper bound. The text ends at the first null,
// which is where both ways of starting the program stop reading it. Returns false, leaving
// `text` alone, when the value is unusable.
bool ParseLaunchRequest(uint32_t type, const uint8_t* data, size_t byte_count,
                        std::u16string& text);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_POST_INSTALL_REGISTRY_STRING_H_
