// Reading order from pixels: whether a control on the screen lays its text out as a
// right-to-left paragraph, judged from what it shows, not from its styles.
//
// The probe takes the control's pixels from the screen and draws two references of the same
// text in the same font: DrawTextW with DT_RTLREADING (a right-to-left paragraph) and without
// (a left-to-right one). It compares order, not raw pixels: where the product's Latin name sits
// between the ends of the line, and at which end the sentence's tail (its full stop, or the
// number after the last blank) has its ink. The control reads right to left when its tail is at
// the left end and its name sits where the right-to-left reference puts it; each landmark counts
// only where the references tell the two orders apart by it.
//
// With PELKO_UI_CAPTURE_DIR set (a Windows path), the capture and both references are also
// written there as PBM pictures, to look at when a verdict surprises.

#ifndef PELKO_SETUP_E2E_READING_ORDER_PROBE_H_
#define PELKO_SETUP_E2E_READING_ORDER_PROBE_H_

#include <windows.h>

#include <string>

namespace pelko::setup {

struct ReadingOrderVerdict {
  std::wstring order;   // "rtl", "ltr" or "unclear"
  std::wstring detail;  // the figures the verdict rests on, for the log
};

// `control` belongs to another process and must be unobscured on the screen; `message_font`
// chooses the message-box font, else the dialogs' "MS Shell Dlg" 8 pt. Waits until the control's
// pixels have settled (at most timeout_ms).
ReadingOrderVerdict JudgeReadingOrder(HWND control, bool message_font, DWORD timeout_ms);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_E2E_READING_ORDER_PROBE_H_
