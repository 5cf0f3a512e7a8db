#ifndef PELKO_SETUP_PROPERTIES_WIDE_NUMBER_H_
#define PELKO_SETUP_PROPERTIES_WIDE_NUMBER_H_

#include <cstddef>
#include <cstdint>

namespace pelko::setup {

// The classic white space of the C locale: the blank and 0x09 to 0x0D.
bool IsClassicSpace(char16_t unit);

// The value of a decimal digit of ASCII or of one of the other scripts whose ten digits the
// platform's wide conversions accept; -1 for anything else.
int DecimalDigitValue(char16_t unit);

struct WideNumber {
  int32_t value = 0;        // clamped to the 32-bit range when out_of_range is set
  size_t end = 0;           // index after the last unit read; the start when no digits were read
  bool has_digits = false;
  bool out_of_range = false;
};

// Reads an optionally signed integer from text[start, length) as the platform's wide strtol
// does, without skipping white space first. Base 0 picks the base from the text (0x or 0X for
// 16, a leading zero digit for 8, else 10); base 10 reads decimal only.
WideNumber ReadWideNumber(const char16_t* text, size_t length, size_t start, int base);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_PROPERTIES_WIDE_NUMBER_H_
