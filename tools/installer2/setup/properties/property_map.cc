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
    // Nothing is escaped: a value holding a blank and both quote characters goes out bare.
    char16_t quote = 0;
    if (value.find(u' ') != std::u16string::npos) {
      if (value.find(u'"') == std::u16string::npos) {
        quote = u'"';
      } else if (value.find(u'\'') == std::u16string::npos) {
        quote = u'\'';
      }
    }
    result += name;
    result += u'=';
    if (quote) result += quote;
    result += value;
    if (quote) result += quote;
  }
  return result;
}

}  // namespace pelko::setup
