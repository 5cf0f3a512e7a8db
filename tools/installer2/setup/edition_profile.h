#ifndef PELKO_SETUP_EDITION_PROFILE_H_
#define PELKO_SETUP_EDITION_PROFILE_H_

#include <array>
#include <cstdint>
#include <string>

namespace pelko::setup {

// What differs between the editions the same source can be built for.
struct EditionProfile {
  int32_t edition = 0;
  // ID 1 to ID 5: ID 1, 3, 4 and 5 name the Start Menu shortcuts; ID 2 is carried but not read.
  std::array<uint32_t, 5> string_ids{};
  std::u16string package_file_name;
};

// Fills the profile of edition 0, 1 or 2; any other number yields the profile of edition 0.
EditionProfile MakeEditionProfile(int32_t edition);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_EDITION_PROFILE_H_
