#ifndef PELKO_SETUP_UI_HIGH_CONTRAST_WIN32_H_
#define PELKO_SETUP_UI_HIGH_CONTRAST_WIN32_H_

#include <windows.h>

#include "setup/ui/high_contrast.h"

namespace pelko::setup {

// The system's answer: SPI_GETHIGHCONTRAST with HCF_HIGHCONTRASTON set. A failed query counts
// as off, which keeps the ordinary look.
class SystemHighContrast : public HighContrastQuery {
 public:
  bool IsHighContrastOn() const override;
};

// The one system query the windows use unless a test gives them another.
const HighContrastQuery& SystemHighContrastQuery();

// True for the messages after which a window must repaint in the colours now chosen: a change
// of the system colours, or of the high-contrast setting itself.
bool IsContrastChangeMessage(UINT message, WPARAM wparam);

// Invalidates the window and every child, frames and backgrounds included.
void RepaintWholeWindow(HWND window);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_HIGH_CONTRAST_WIN32_H_
