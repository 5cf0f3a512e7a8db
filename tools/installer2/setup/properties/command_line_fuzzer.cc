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

// Names the installer can read back: no blank, equals sign or double quote in them.
bool NamesArePlain(const pelko::setup::PropertyMap& map) {
  for (const auto& [name, value] : map.entries()) {
    if (name.empty() || name.find_first_of(u" =\"") != std::u16string::npos) return false;
  }
  return true;
}

// Whether the setup's own parser can read a built command line back: it knows no doubled quotes,
// it takes a value's leading single quote as an opening one, and it skips blanks and tabs before
// a name.
bool SetupCanReadBack(const pelko::setup::PropertyMap& map) {
  for (const auto& [name, value] : map.entries()) {
    if (!name.empty() && (name.front() == u' ' || name.front() == u'\t')) return false;
    if (value.find(u'"') != std::u16string::npos) return false;
    if (value.find(u' ') == std::u16string::npos && value.front() == u'\'') return false;
  }
  return true;
}

// The installer's reading of a property command line: NAME=VALUE separated by blanks, a value
// either bare up to the next blank or between double quotes with "" standing for one quote.
pelko::setup::PropertyMap::Entries ReadAsInstaller(const std::u16string& line) {
  pelko::setup::PropertyMap::Entries entries;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == u' ') ++i;
    if (i == line.size()) break;
    const size_t equals = line.find(u'=', i);
    Check(equals != std::u16string::npos);
    const std::u16string name = line.substr(i, equals - i);
    std::u16string value;
    i = equals + 1;
    if (i < line.size() && line[i] == u'"') {
      ++i;
      for (;;) {
        Check(i < line.size());
        if (line[i] == u'"') {
          if (i + 1 < line.size() && line[i + 1] == u'"') {
            value += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += line[i++];
      }
    } else {
      while (i < line.size() && line[i] != u' ') {
        Check(line[i] != u'"');
        value += line[i++];
      }
    }
    entries[name] = value;
  }
  return entries;
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
  // Read back the way the installer reads it: the same values come out.
  if (NamesArePlain(map)) Check(ReadAsInstaller(built) == map.entries());
  // Handed to the setup itself behind a program token, it gives the same properties.
  if (SetupCanReadBack(map)) {
    PropertyMap reread;
    reread.Set(u"SENTINEL", u"y");
    Check(ParseCommandLine(u"setup.exe " + built, reread) && reread == map);
  }
  return 0;
}
