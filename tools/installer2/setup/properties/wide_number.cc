#include "setup/properties/wide_number.h"

#include <limits>

namespace pelko::setup {
namespace {

// First code point of each run of ten decimal digits, besides ASCII.
constexpr char16_t kDigitZeros[] = {
    0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66, 0x0CE6,
    0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10,
};

constexpr uint64_t kMaxPositive = std::numeric_limits<int32_t>::max();
constexpr uint64_t kMaxNegative = kMaxPositive + 1;

// Letters are digits only in base 16, and only the ASCII ones.
int DigitValueInBase(char16_t unit, int base) {
  int value = DecimalDigitValue(unit);
  if (value < 0 && base == 16) {
    if (unit >= u'a' && unit <= u'f') value = unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F') value = unit - u'A' + 10;
  }
  return value >= 0 && value < base ? value : -1;
}

}  // namespace

bool IsClassicSpace(char16_t unit) { return unit == u' ' || (unit >= 0x09 && unit <= 0x0D); }

int DecimalDigitValue(char16_t unit) {
  if (unit >= u'0' && unit <= u'9') return unit - u'0';
  for (char16_t zero : kDigitZeros) {
    if (unit >= zero && unit < zero + 10) return unit - zero;
  }
  return -1;
}

WideNumber ReadWideNumber(const char16_t* text, size_t length, size_t start, int base) {
  WideNumber result;
  result.end = start;
  size_t pos = start;
  auto at = [&](size_t i) -> char16_t { return i < length ? text[i] : u'\0'; };

  bool negative = false;
  if (at(pos) == u'+' || at(pos) == u'-') {
    negative = at(pos) == u'-';
    ++pos;
  }

  if (base == 0) {
    if (DecimalDigitValue(at(pos)) == 0) {
      if ((at(pos + 1) == u'x' || at(pos + 1) == u'X') &&
          DigitValueInBase(at(pos + 2), 16) >= 0) {
        base = 16;
        pos += 2;
      } else {
        // A bare 0x reads as the single digit 0, the x being the first unread unit.
        base = 8;
      }
    } else {
      base = 10;
    }
  }

  const uint64_t limit = negative ? kMaxNegative : kMaxPositive;
  uint64_t magnitude = 0;
  for (int digit; (digit = DigitValueInBase(at(pos), base)) >= 0; ++pos) {
    result.has_digits = true;
    if (!result.out_of_range) {
      magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
      if (magnitude > limit) result.out_of_range = true;
    }
  }
  if (!result.has_digits) return result;

  if (result.out_of_range) magnitude = limit;
  result.value = negative ? static_cast<int32_t>(0 - static_cast<uint32_t>(magnitude))
                          : static_cast<int32_t>(magnitude);
  result.end = pos;
  return result;
}

}  // namespace pelko::setup
