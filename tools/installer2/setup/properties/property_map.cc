#include "setup/properties/property_map.h"

#include "setup/properties/wide_number.h"

namespace pelko::setup {

bool PropertyMap::Has(const std::u16string& name) const { return entries_.count(name) != 0; }

std::u16string PropertyMap::Get(const std::u16string& name) const {
  auto it = entries_.find(name);
  return it == entries_.end() ? std::u16string() : it->second;
}

bool PropertyMap::GetBool(const std::u16string& name) const {
  const std::u16string value = Get(name);
  if (value.empty()) return false;
  if (value == u"1") return true;
  const char16_t first = value.front();
  return first == u'T' || first == u't' || first == u'Y' || first == u'y';
}

int32_t PropertyMap::GetInt(const std::u16string& name) const {
  const std::u16string value = Get(name);
  size_t start = 0;
  while (start < value.size() && IsClassicSpace(value[start])) ++start;
  return ReadWideNumber(value.data(), value.size(), start, 0).value;
}

void PropertyMap::Set(const std::u16string& name, const std::u16string& value) {
  if (value.empty()) {
    entries_.erase(name);
  } else {
    entries_[name] = value;
  }
}

std::u16string PropertyMap::BuildCommandLine() const {
  std::u16string result;
  for (const auto& [name, value] : entries_) {
    if (!result.empty()) result += u' ';
    result += name;
    result += u'=';
    // The installer reads a value up to the next blank, and a double quote in it only as the
    // start or end of a quoted part: such values go between double quotes, with every double
    // quote inside doubled. Single quotes mean nothing to it, so they are never used for quoting.
    if (value.find_first_of(u" \"") == std::u16string::npos) {
      result += value;
      continue;
    }
    result += u'"';
    for (char16_t c : value) {
      if (c == u'"') result += u'"';
      result += c;
    }
    result += u'"';
  }
  return result;
}

}  // namespace pelko::setup
