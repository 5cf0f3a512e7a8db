// Feeds arbitrary UTF-16 text to the command-line parser and checks what must hold for any input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "setup/properties/command_line_parser.h"
#include "setup/properties/property_map.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using pelko::setup::ParseCommandLine;
  using pelko::setup::PropertyMap;

  std::u16string line(size / sizeof(char16_t), u'\0');
  if (!line.empty()) std::memcpy(line.data(), data, line.size() * sizeof(char16_t));

  PropertyMap before;
  before.Set(u"SENTINEL", u"x");
  PropertyMap map = before;
  const bool ok = ParseCommandLine(line, map);
  if (!ok) {
    Check(map == before);
    return 0;
  }

  const std::u16string text = line.substr(0, line.find(u'\0'));
  for (const auto& [name, value] : map.entries()) {
    Check(!value.empty());
    Check(name.find(u'=') == std::u16string::npos);
    Check(name.find(u'\0') == std::u16string::npos);
    Check(value.find(u'\0') == std::u16string::npos);
    // Every name and value stands on the line as it is.
    Check(text.find(name) != std::u16string::npos);
    Check(text.find(value) != std::u16string::npos);
    Check(map.Has(name) && map.Get(name) == value);
  }
  // Parsing is a function of the text alone.
  PropertyMap again;
  Check(ParseCommandLine(line, again) && again == map);

  const std::u16string built = map.BuildCommandLine();
  Check(built.empty() == map.entries().empty());
  size_t expected_length = map.entries().empty() ? 0 : map.entries().size() - 1;
  for (const auto& [name, value] : map.entries()) expected_length += name.size() + 1 + value.size();
  // At most two quote characters per value come on top.
  Check(built.size() >= expected_length &&
        built.size() <= expected_length + 2 * map.entries().size());
  return 0;
}
