#include "setup/post_install/registry_string.h"

namespace pelko::setup {
namespace {

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

char16_t CodeUnitAt(const uint8_t* data, size_t index) {
  return static_cast<char16_t>(data[2 * index] | (data[2 * index + 1] << 8));
}

// The characters before the first null among the first `count` code units.
std::u16string TextBeforeNull(const uint8_t* data, size_t count) {
  std::u16string text;
  for (size_t i = 0; i < count; ++i) {
    const char16_t unit = CodeUnitAt(data, i);
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

// Even byte count and a null as the last character; a zero byte count passes too.
bool IsTerminatedOrEmpty(const uint8_t* data, size_t byte_count) {
  if (byte_count % 2 != 0) return false;
  if (byte_count == 0) return true;
  return data != nullptr && CodeUnitAt(data, byte_count / 2 - 1) == u'\0';
}

}  // namespace

bool ParseRegistryString(uint32_t type, const uint8_t* data, size_t byte_count,
                         std::u16string& text) {
  if (!IsStringType(type) || !IsTerminatedOrEmpty(data, byte_count)) return false;
  const size_t count = byte_count / 2;  // terminator included
  if (count < 2 || count > kRegistryStringCapacity) return false;
  std::u16string value = TextBeforeNull(data, count - 1);
  if (value.empty()) return false;
  text = std::move(value);
  return true;
}

bool ParseLaunchRequest(uint32_t type, const uint8_t* data, size_t byte_count,
                        std::u16string& text) {
  if (!IsStringType(type) || !IsTerminatedOrEmpty(data, byte_count)) return false;
  text = byte_count == 0 ? std::u16string() : TextBeforeNull(data, byte_count / 2 - 1);
  return true;
}

}  // namespace pelko::setup
