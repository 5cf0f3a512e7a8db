#ifndef PELKO_SETUP_UI_DIALOG_BACKGROUND_H_
#define PELKO_SETUP_UI_DIALOG_BACKGROUND_H_

// The arithmetic and texts of the customize dialog's background, apart from the drawing.

#include <cstdint>
#include <string>

namespace pelko::setup {

// The dialog's own controls, which the background never paints over: OK, Cancel and 300..316.
bool IsControlKeptClearOfBackground(int control_id);

// The first bitmap row copied to the top of the client area. The picture is anchored at the
// bottom: a bitmap taller than the client area shows its lowest rows; otherwise the copy starts
// at the client area's top.
int BackgroundSourceRow(int client_top, int client_height, int bitmap_height);

// The diagnostic for a background that could not be loaded: the system's message text (which
// usually ends with a line end of its own) and the code, as "%s - Error #%d" formats them.
std::u16string FormatBackgroundLoadError(const std::u16string& message, uint32_t code);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_DIALOG_BACKGROUND_H_
