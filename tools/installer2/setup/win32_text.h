#ifndef PELKO_SETUP_WIN32_TEXT_H_
#define PELKO_SETUP_WIN32_TEXT_H_

// Conversions at the Win32 boundary. On Windows wchar_t and char16_t are both UTF-16 code units
// of the same size, so the portable strings are handed over without copying.

#include <string>

namespace pelko::setup {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

inline const wchar_t* AsWide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline std::u16string FromWide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string FromWide(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace pelko::setup

#endif  // PELKO_SETUP_WIN32_TEXT_H_
