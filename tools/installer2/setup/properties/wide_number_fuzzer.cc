// Feeds arbitrary UTF-16 text to the number and flag readings of property values and compares
// the numbers with the C library's strtol over the same text spelt in ASCII.

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "setup/properties/property_map.h"
#include "setup/properties/wide_number.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The text with every decimal digit of another script turned into its ASCII digit and every
// other unit beyond ASCII into a character that no number reading takes.
std::string SpellInAscii(const std::u16string& text) {
  std::string ascii;
  for (char16_t unit : text) {
    const int digit = pelko::setup::DecimalDigitValue(unit);
    if (digit >= 0) {
      ascii += static_cast<char>('0' + digit);
    } else if (unit < 0x80) {
      ascii += static_cast<char>(unit);
    } else {
      ascii += '#';
    }
  }
  return ascii;
}

int32_t ClampToInt32(long long value) {
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

void CheckAgainstStrtol(const std::u16string& text, size_t start, int base) {
  using pelko::setup::ReadWideNumber;
  const pelko::setup::WideNumber number = ReadWideNumber(text.data(), text.size(), start, base);
  Check(number.has_digits == (number.end > start));
  if (!number.has_digits) Check(number.value == 0 && !number.out_of_range && number.end == start);
  if (number.out_of_range) {
    Check(number.value == std::numeric_limits<int32_t>::max() ||
          number.value == std::numeric_limits<int32_t>::min());
  }
  // Past the end of the text there is nothing to read.
  if (start >= text.size()) {
    Check(!number.has_digits);
    return;
  }
  Check(number.end <= text.size());

  // strtol skips white space first; ReadWideNumber leaves that to its callers.
  const std::string ascii = SpellInAscii(text.substr(start));
  if (!ascii.empty() && std::isspace(static_cast<unsigned char>(ascii[0]))) return;
  char* end = nullptr;
  errno = 0;
  const long long expected = std::strtoll(ascii.c_str(), &end, base);
  const size_t read = static_cast<size_t>(end - ascii.c_str());
  Check(number.value == ClampToInt32(expected));
  Check(number.end == start + read);
  const bool beyond = errno == ERANGE || expected != ClampToInt32(expected);
  Check(number.out_of_range == beyond);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelko::setup;
  std::u16string text(size / sizeof(char16_t), u'\0');
  if (!text.empty()) std::memcpy(text.data(), data, text.size() * sizeof(char16_t));
  // The property value a parse would store ends at the first NUL.
  const std::u16string value = text.substr(0, text.find(u'\0'));

  CheckAgainstStrtol(text, 0, 0);
  CheckAgainstStrtol(text, 0, 10);
  // A reading that starts inside the text, as the progress fields do.
  if (!text.empty()) CheckAgainstStrtol(text, text.size() / 2, 10);
  CheckAgainstStrtol(text, text.size() + 1, 0);

  PropertyMap map;
  map.Set(u"N", value);
  // GetInt is strtol of the value after the classic white space, within 32 bits.
  size_t start = 0;
  while (start < value.size() && IsClassicSpace(value[start])) ++start;
  const std::string ascii = SpellInAscii(value.substr(start));
  Check(map.GetInt(u"N") == ClampToInt32(std::strtoll(ascii.c_str(), nullptr, 0)));
  Check(map.GetInt(u"absent") == 0 && !map.GetBool(u"absent"));

  // GetBool: exactly "1", or a first unit of T, t, Y or y; whatever follows that unit counts
  // for nothing else.
  const bool flag = map.GetBool(u"N");
  if (value.empty() || value == u"1") {
    Check(flag == !value.empty());
  } else {
    PropertyMap first_only;
    first_only.Set(u"N", value.substr(0, 1) + u"-");
    Check(flag == first_only.GetBool(u"N"));
    if (flag) Check(std::u16string_view(u"TtYy").find(value[0]) != std::u16string_view::npos);
  }
  return 0;
}
