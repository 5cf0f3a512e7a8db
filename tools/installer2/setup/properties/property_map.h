#ifndef PELKO_SETUP_PROPERTIES_PROPERTY_MAP_H_
#define PELKO_SETUP_PROPERTIES_PROPERTY_MAP_H_

#include <cstdint>
#include <map>
#include <string>

namespace pelko::setup {

// The installer properties of one run, ordered by UTF-16 code unit (case-sensitive). No stored
// value is empty: Set with an empty value removes the name instead.
class PropertyMap {
 public:
  using Entries = std::map<std::u16string, std::u16string>;

  bool Has(const std::u16string& name) const;
  std::u16string Get(const std::u16string& name) const;
  // 1, or a value starting with T, t, Y or y.
  bool GetBool(const std::u16string& name) const;
  // strtol-like reading with base prefixes, other scripts' decimal digits and clamping.
  int32_t GetInt(const std::u16string& name) const;
  void Set(const std::u16string& name, const std::u16string& value);
  // NAME=VALUE pairs in key order, separated by one blank, quoted as the value needs.
  std::u16string BuildCommandLine() const;

  const Entries& entries() const { return entries_; }
  bool operator==(const PropertyMap& other) const { return entries_ == other.entries_; }

 private:
  Entries entries_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_PROPERTIES_PROPERTY_MAP_H_
