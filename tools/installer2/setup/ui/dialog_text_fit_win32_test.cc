// Every text of the customize dialog fits its control in every shipped language, measured as the
// controls draw it: with the control's font from the template, the access key's "&" left out
// (it is drawn as an underline, not a character), the statics wrapped at word breaks within
// their rectangle, and the buttons and check boxes on one line within the room their frame and
// box leave. A Chinese, Japanese or Korean key "(&B)" is measured with the rest of the text.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/tp_customize_setup_dialog_win32.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr size_t kShippedLanguageCount = 71;

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// One hidden instance of a dialog template of the program, with no behaviour of its own: only
// its controls' rectangles, styles and fonts are read.
class TemplateDialog {
 public:
  explicit TemplateDialog(WORD template_id)
      : window_(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id),
                                   nullptr, &InertDialogProc, 0)) {}
  ~TemplateDialog() {
    if (window_) DestroyWindow(window_);
  }
  TemplateDialog(const TemplateDialog&) = delete;
  TemplateDialog& operator=(const TemplateDialog&) = delete;

  HWND get() const { return window_; }

 private:
  HWND window_;
};

enum class ControlKind { kWrappedText, kPushButton, kCheckBox };

ControlKind KindOf(HWND control) {
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  if (lstrcmpiW(name, L"Button") != 0) return ControlKind::kWrappedText;
  const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                 type == BS_AUTO3STATE
             ? ControlKind::kCheckBox
             : ControlKind::kPushButton;
}

// The room a control leaves its text, in pixels.
RECT TextRoom(HWND control, ControlKind kind, const TEXTMETRICW& metrics) {
  RECT room = {};
  GetClientRect(control, &room);
  if (kind == ControlKind::kPushButton) {
    // The text stays inside the focus rectangle, which lies one pixel inside the 3-D edge.
    const int inset = GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFOCUSBORDER) + 1;
    InflateRect(&room, -inset, -GetSystemMetrics(SM_CYEDGE));
  } else if (kind == ControlKind::kCheckBox) {
    // The box, then a gap of an average character before the text.
    room.left += GetSystemMetrics(SM_CXMENUCHECK) + metrics.tmAveCharWidth;
  }
  return room;
}

struct Misfit {
  uint16_t language;
  int control_id;
  SIZE needed;
  SIZE room;
};

// A control's device context with the control's font selected, released on every path.
class ControlDc {
 public:
  explicit ControlDc(HWND control) : control_(control), dc_(GetDC(control)) {
    previous_ = SelectObject(dc_, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  }
  ~ControlDc() {
    SelectObject(dc_, previous_);
    ReleaseDC(control_, dc_);
  }
  ControlDc(const ControlDc&) = delete;
  ControlDc& operator=(const ControlDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND control_;
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
};

// The size the text takes in `control` laid out in `room`; the width grows past the room only
// where a single word is wider than it.
SIZE MeasureText(HWND control, ControlKind kind, const std::u16string& text, const RECT& room,
                 bool right_to_left) {
  ControlDc dc(control);
  RECT bounds = room;
  UINT format = DT_CALCRECT | (kind == ControlKind::kWrappedText ? DT_WORDBREAK : DT_SINGLELINE);
  if (right_to_left) format |= DT_RTLREADING;
  DrawTextW(dc.get(), AsWide(text), static_cast<int>(text.size()), &bounds, format);
  return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

TEXTMETRICW MetricsOf(HWND control) {
  TEXTMETRICW metrics = {};
  ControlDc dc(control);
  GetTextMetricsW(dc.get(), &metrics);
  return metrics;
}

// Whether `text` fits control `control_id` of `dialog`; a misfit is appended to `misfits`.
bool Fits(HWND dialog, int control_id, uint16_t language, const std::u16string& text,
          std::vector<Misfit>& misfits) {
  HWND control = GetDlgItem(dialog, control_id);
  if (!control) {
    ADD_FAILURE() << "control " << control_id << " is missing from the template";
    return false;
  }
  const ControlKind kind = KindOf(control);
  const RECT room = TextRoom(control, kind, MetricsOf(control));
  const bool right_to_left = (GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  const SIZE needed = MeasureText(control, kind, text, room, right_to_left);
  const SIZE available = {room.right - room.left, room.bottom - room.top};
  if (needed.cx <= available.cx && needed.cy <= available.cy) return true;
  misfits.push_back({language, control_id, needed, available});
  return false;
}

std::string Describe(const std::vector<Misfit>& misfits) {
  std::ostringstream out;
  for (const Misfit& m : misfits) {
    out << "\n  language " << m.language << ", control " << m.control_id << ": needs "
        << m.needed.cx << "x" << m.needed.cy << " px, has " << m.room.cx << "x" << m.room.cy;
  }
  return out.str();
}

bool IsRightToLeft(uint16_t language) {
  const uint16_t primary = language & 0x3FF;
  return primary == LANG_ARABIC || primary == LANG_HEBREW || primary == LANG_PERSIAN;
}

TEST(DialogTextFitWin32Test, EveryTextFitsItsControlInEveryLanguage) {
  const ResourceStringStore store(GetModuleHandleW(nullptr));
  const std::vector<uint16_t> languages = store.ListStringBlockLanguages(209);
  ASSERT_EQ(languages.size(), kShippedLanguageCount);
  TemplateDialog left_to_right(kCustomizeDialogTemplate);
  TemplateDialog right_to_left(kCustomizeDialogTemplateRtl);
  ASSERT_NE(left_to_right.get(), nullptr);
  ASSERT_NE(right_to_left.get(), nullptr);

  std::vector<Misfit> misfits;
  size_t languages_that_fit = 0;
  for (uint16_t language : languages) {
    HWND dialog = IsRightToLeft(language) ? right_to_left.get() : left_to_right.get();
    bool all_fit = true;
    for (const ControlText& entry : ControlTextTable) {
      const std::u16string text = store.ReadStringTableEntry(entry.string_id, language);
      if (text.empty()) {
        ADD_FAILURE() << "string " << entry.string_id << " is missing in " << language;
        all_fit = false;
        continue;
      }
      all_fit &= Fits(dialog, entry.control_id, language, text, misfits);
    }
    if (all_fit) ++languages_that_fit;
  }
  std::cout << "[          ] texts fit in " << languages_that_fit << " of " << languages.size()
            << " languages\n";
  EXPECT_EQ(languages_that_fit, languages.size()) << Describe(misfits);
}

// The measure can fail: texts too long for each kind of control are found, and an access key's
// "&" is not counted as a character.
TEST(DialogTextFitWin32Test, TheMeasureFindsTextsThatDoNotFit) {
  TemplateDialog dialog(kCustomizeDialogTemplate);
  ASSERT_NE(dialog.get(), nullptr);
  const std::u16string long_line(120, u'W');
  std::u16string long_paragraph;
  for (int i = 0; i < 60; ++i) long_paragraph += u"Tavrin Pelko ";
  struct Case {
    const char* name;
    int control_id;
    std::u16string text;
    bool fits;
  };
  const Case kCases[] = {
      {"Browse button, English", kInstallFolderBrowseId, u"&Browse...", true},
      {"Browse button, a line too long", kInstallFolderBrowseId, long_line, false},
      {"Browse button, ampersands not drawn", kInstallFolderBrowseId,
       u"&B&r&o&w&s&e&.&.&.", true},
      {"Install button, a line too long", IDOK, long_line, false},
      {"check box, English", kDesktopShortcutBoxId, u"Create a shortcut on the &desktop", true},
      {"check box, a line too long", kDesktopShortcutBoxId, long_line, false},
      {"one-line label, one word too wide", 305, long_line, false},
      {"two-line text, too many lines", 302, long_paragraph, false},
      {"two-line text, one short line", 302, u"Tavrin Pelko", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<Misfit> misfits;
    EXPECT_EQ(Fits(dialog.get(), c.control_id, 9, c.text, misfits), c.fits) << Describe(misfits);
  }
}

}  // namespace
}  // namespace pelko::setup
