#ifndef PELKO_SETUP_NARROW_TEXT_TEST_H_
#define PELKO_SETUP_NARROW_TEXT_TEST_H_

// Test messages: UTF-16 text as printable ASCII, every other unit as \uXXXX.

#include <cstdio>
#include <string>

namespace pelko::setup {

inline std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit >= 0x20 && unit < 0x7f) {
      out += static_cast<char>(unit);
    } else {
      char buffer[12];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(unit));
      out += buffer;
    }
  }
  return out;
}

}  // namespace pelko::setup

#endif  // PELKO_SETUP_NARROW_TEXT_TEST_H_
