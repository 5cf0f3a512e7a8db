#include "setup/edition_profile.h"

namespace pelko::setup {

EditionProfile MakeEditionProfile(int32_t edition) {
  switch (edition) {
    case 1:
      return {1, {221, 200, 227, 230, 233}, u"TavrinPelko-Qx.msi"};
    case 2:
      return {2, {222, 201, 228, 231, 234}, u"TavrinPelko-Brisa.msi"};
    default:
      return {0, {220, 223, 226, 229, 232}, u"TavrinPelko-Larkin.msi"};
  }
}

}  // namespace pelko::setup
