// Feeds arbitrary registry data to the string checks: the first byte is the value's type, the
// rest its bytes as the registry would hand them over. Checks what must hold for any value.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/post_install/registry_string.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

char16_t UnitAt(const uint8_t* data, size_t index) {
  return static_cast<char16_t>(data[2 * index] | (data[2 * index + 1] << 8));
}

bool IsStringType(uint32_t type) {
  return type == pelko::setup::kRegSz || type == pelko::setup::kRegExpandSz;
}

// The text is what the data holds from its start up to its first null, unit for unit.
void CheckIsLeadingText(const std::u16string& text, const uint8_t* data, size_t byte_count) {
  const size_t units = byte_count / 2;
  Check(text.size() < units || (units == 0 && text.empty()));
  for (size_t i = 0; i < text.size(); ++i) Check(text[i] != u'\0' && UnitAt(data, i) == text[i]);
  if (units != 0) Check(UnitAt(data, text.size()) == u'\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  using namespace pelko::setup;
  if (size == 0) return 0;
  // Types near the string types are the interesting ones; others are spread over the range.
  const uint32_t type = input[0] < 0xF0 ? input[0] % 8 : 0xFFFFFF00u | input[0];
  const uint8_t* data = size > 1 ? input + 1 : nullptr;
  const size_t byte_count = size - 1;
  const bool terminated =
      byte_count % 2 == 0 && byte_count != 0 && UnitAt(data, byte_count / 2 - 1) == u'\0';

  const std::u16string untouched = u"untouched";
  std::u16string bounded = untouched;
  if (ParseRegistryString(type, data, byte_count, bounded)) {
    Check(IsStringType(type) && terminated);
    Check(byte_count / 2 >= 2 && byte_count / 2 <= kRegistryStringCapacity);
    // Never empty, and it fits the bounded buffer with its terminator.
    Check(!bounded.empty() && bounded.size() + 1 <= kRegistryStringCapacity);
    CheckIsLeadingText(bounded, data, byte_count);
  } else {
    Check(bounded == untouched);
    // Refused only for a reason: wrong type, bad shape, size out of bounds or no text before the
    // first null.
    const bool shaped = IsStringType(type) && terminated && byte_count / 2 >= 2 &&
                        byte_count / 2 <= kRegistryStringCapacity;
    Check(!shaped || UnitAt(data, 0) == u'\0');
  }

  std::u16string launch = untouched;
  if (ParseLaunchRequest(type, data, byte_count, launch)) {
    Check(IsStringType(type) && (byte_count == 0 || terminated));
    CheckIsLeadingText(launch, data, byte_count);
    // Whatever the bounded check takes, the launch check takes the same way.
    std::u16string again = untouched;
    if (ParseRegistryString(type, data, byte_count, again)) Check(again == launch);
  } else {
    Check(launch == untouched);
    Check(!IsStringType(type) || (byte_count != 0 && !terminated));
  }
  return 0;
}
