#ifndef PELKO_SETUP_UI_HIGH_CONTRAST_H_
#define PELKO_SETUP_UI_HIGH_CONTRAST_H_

namespace pelko::setup {

// Whether the person has switched on the system's high-contrast mode. The windows ask at every
// paint, so a change while they are open shows at their next repaint.
class HighContrastQuery {
 public:
  virtual ~HighContrastQuery() = default;
  virtual bool IsHighContrastOn() const = 0;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_HIGH_CONTRAST_H_
