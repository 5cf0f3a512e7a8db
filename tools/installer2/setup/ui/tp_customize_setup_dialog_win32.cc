#include "setup/ui/tp_customize_setup_dialog_win32.h"

#include "setup/diagnostic_output_win32.h"
#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/accessible_names.h"
#include "setup/ui/folder_selection_win32.h"
#include "setup/ui/high_contrast_win32.h"
#include "setup/win32_text.h"

namespace pelko::setup {

namespace {

DiagnosticOutput& ProcessStdout() {
  static StdoutDiagnosticOutput output;
  return output;
}

void SetItemText(HWND dialog, int control_id, const std::u16string& text) {
  ::SetDlgItemTextW(dialog, control_id, AsWide(text));
}

std::u16string ItemText(HWND dialog, int control_id) {
  wchar_t text[512] = {};
  ::GetDlgItemTextW(dialog, control_id, text, 512);
  return FromWide(text);
}

bool IsFolderDisplay(int id) {
  return id == kInstallFolderDisplayId || id == kCacheFolderDisplayId || id == kKmlFolderDisplayId;
}

struct FolderRow {
  int label_id;
  int display_id;
  int browse_id;
};
constexpr FolderRow kFolderRows[] = {
    {kInstallFolderLabelId, kInstallFolderDisplayId, kInstallFolderBrowseId},
    {kCacheFolderLabelId, kCacheFolderDisplayId, kCacheFolderBrowseId},
    {kKmlFolderLabelId, kKmlFolderDisplayId, kKmlFolderBrowseId},
};

}  // namespace

const MessageEntry<TpCustomizeSetupDialog> TpCustomizeSetupDialog::kMessageMap[] = {
    {WM_INITDIALOG, &TpCustomizeSetupDialog::OnInitDialog},
    {WM_COMMAND, &TpCustomizeSetupDialog::OnCommand},
    {WM_PAINT, &TpCustomizeSetupDialog::OnPaint},
    {WM_ERASEBKGND, &TpCustomizeSetupDialog::OnEraseBackground},
    {WM_CTLCOLORSTATIC, &TpCustomizeSetupDialog::OnCtlColorStatic},
    {WM_SYSCOLORCHANGE, &TpCustomizeSetupDialog::OnContrastChange},
    {WM_SETTINGCHANGE, &TpCustomizeSetupDialog::OnContrastChange},
    {WM_THEMECHANGED, &TpCustomizeSetupDialog::OnContrastChange},
    {WM_DESTROY, &TpCustomizeSetupDialog::OnDestroy},
};

TpCustomizeSetupDialog::TpCustomizeSetupDialog()
    : TpCustomizeSetupDialog(ProcessStdout(), &BrowseForFolder) {}

TpCustomizeSetupDialog::TpCustomizeSetupDialog(DiagnosticOutput& output, FolderPicker picker)
    : TpCustomizeSetupDialog(output, picker, SystemHighContrastQuery(), own_naming_) {}

// `own_naming_` is only bound here, not used, before it is constructed.
TpCustomizeSetupDialog::TpCustomizeSetupDialog(DiagnosticOutput& output, FolderPicker picker,
                                               const HighContrastQuery& contrast,
                                               AccessibleNaming& naming)
    : output_(output),
      picker_(picker),
      template_id_(ProcessUiLanguage().IsRightToLeftUi() ? kCustomizeDialogTemplateRtl
                                                         : kCustomizeDialogTemplate),
      contrast_(contrast),
      naming_(naming) {
  const DefaultFolders defaults = GetDefaultFolders();
  options_.install_folder = FolderChoice(defaults.install);
  options_.cache_folder = FolderChoice(defaults.cache);
  options_.kml_folder = FolderChoice(defaults.kml);
}

intptr_t TpCustomizeSetupDialog::RunModal() { return DoModal(template_id_, nullptr, 0); }

bool TpCustomizeSetupDialog::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam,
                                                  LPARAM lparam, LRESULT& result, DWORD map_id) {
  return DispatchMessageTable(*this, kMessageMap, message, wparam, lparam, result);
}

LRESULT TpCustomizeSetupDialog::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  SetDialogIcons(hwnd_);
  // The template's caption is English; the caption string is in the UI language.
  const std::u16string caption =
      ProcessUiLanguage().LocalizedString(kCustomizeDialogCaptionStringId);
  if (!caption.empty()) ::SetWindowTextW(hwnd_, AsWide(caption));
  SetControlTexts();
  KeepFolderDisplaysLeftToRight();
  SetItemText(hwnd_, kInstallFolderDisplayId, options_.install_folder.current());
  SetItemText(hwnd_, kCacheFolderDisplayId, options_.cache_folder.current());
  SetItemText(hwnd_, kKmlFolderDisplayId, options_.kml_folder.current());
  ::CheckDlgButton(hwnd_, kDesktopShortcutBoxId,
                   options_.desktop_shortcut ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(hwnd_, kAutoLaunchBoxId, options_.auto_launch ? BST_CHECKED : BST_UNCHECKED);
  NameFolderControls();
  background_.SetUp(hwnd_, output_);
  // Focus rectangles and access-key underlines show at once when the dialog was opened from the
  // keyboard; otherwise from the first key pressed in it (the dialog manager's part).
  ::SendMessageW(hwnd_, WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  return 1;  // the system sets the default focus: the first folder display
}

void TpCustomizeSetupDialog::NameFolderControls() {
  // A display takes its label's name from the platform (the static right before it); the three
  // Browse buttons read alike and get the folder each one changes. The names come from the
  // texts shown, so they are in the UI language.
  std::vector<AccessibleNaming::WindowName> names;
  for (const FolderRow& row : kFolderRows) {
    const std::u16string label = ItemText(hwnd_, row.label_id);
    names.push_back({::GetDlgItem(hwnd_, row.display_id), FolderLabelName(label)});
    names.push_back({::GetDlgItem(hwnd_, row.browse_id),
                     BrowseButtonName(ItemText(hwnd_, row.browse_id), label)});
  }
  naming_.NameAll(names);
}

LRESULT TpCustomizeSetupDialog::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  naming_.ClearNames();
  handled = false;
  return 0;
}

LRESULT TpCustomizeSetupDialog::OnContrastChange(UINT message, WPARAM wparam, LPARAM,
                                                 bool& handled) {
  if (IsContrastChangeMessage(message, wparam)) RepaintWholeWindow(hwnd_);
  handled = false;
  return 0;
}

void TpCustomizeSetupDialog::KeepFolderDisplaysLeftToRight() {
  // Paths read left to right in every language; in the mirrored template the displays would
  // otherwise inherit the mirroring and show "C:\" at the far end.
  for (int id : {kInstallFolderDisplayId, kCacheFolderDisplayId, kKmlFolderDisplayId}) {
    HWND display = ::GetDlgItem(hwnd_, id);
    const LONG_PTR ex_style = display ? ::GetWindowLongPtrW(display, GWL_EXSTYLE) : 0;
    if (ex_style & WS_EX_LAYOUTRTL) {
      ::SetWindowLongPtrW(display, GWL_EXSTYLE, ex_style & ~static_cast<LONG_PTR>(WS_EX_LAYOUTRTL));
    }
  }
}

void TpCustomizeSetupDialog::SetControlTexts() {
  for (const ControlText& entry : ControlTextTable) {
    const std::u16string text = ProcessUiLanguage().LocalizedString(entry.string_id);
    if (!text.empty()) SetItemText(hwnd_, entry.control_id, text);
  }
}

LRESULT TpCustomizeSetupDialog::OnCommand(UINT, WPARAM wparam, LPARAM lparam, bool& handled) {
  // The control alone decides; the notification code is not looked at.
  switch (LOWORD(wparam)) {
    case IDOK:
      EndDialog(kDialogResultOk);
      break;
    case IDCANCEL:
      EndDialog(kDialogResultCancel);
      break;
    case kInstallFolderBrowseId:
      ChooseFolder(kInstallFolderDisplayId, options_.install_folder);
      break;
    case kCacheFolderBrowseId:
      ChooseFolder(kCacheFolderDisplayId, options_.cache_folder);
      break;
    case kKmlFolderBrowseId:
      ChooseFolder(kKmlFolderDisplayId, options_.kml_folder);
      break;
    case kDesktopShortcutBoxId:
      UpdateCheckBox(kDesktopShortcutBoxId, lparam, options_.desktop_shortcut);
      break;
    case kAutoLaunchBoxId:
      UpdateCheckBox(kAutoLaunchBoxId, lparam, options_.auto_launch);
      break;
    default:
      handled = false;
      return 0;
  }
  return 1;
}

void TpCustomizeSetupDialog::ChooseFolder(int display_id, FolderChoice& folder) {
  // The pickers answer with the value they were given on cancel or error: no change then.
  if (folder.Choose(picker_(hwnd_, folder.current()))) {
    SetItemText(hwnd_, display_id, folder.current());
  }
}

void TpCustomizeSetupDialog::UpdateCheckBox(int box_id, LPARAM box_window, bool& flag) {
  // A command without the control's handle (an accelerator, or a message sent by another
  // program) asks the box itself rather than reading "unchecked" from no window.
  HWND box = box_window ? reinterpret_cast<HWND>(box_window) : ::GetDlgItem(hwnd_, box_id);
  ApplyCheckState(static_cast<int>(::SendMessageW(box, BM_GETCHECK, 0, 0)), flag);
}

// In high contrast the picture stays away and the dialog paints as a plain one, in the colours
// the person chose.
LRESULT TpCustomizeSetupDialog::OnPaint(UINT, WPARAM, LPARAM, bool& handled) {
  if (contrast_.IsHighContrastOn()) {
    handled = false;
    return 0;
  }
  return background_.OnPaint(hwnd_, handled);
}

LRESULT TpCustomizeSetupDialog::OnEraseBackground(UINT, WPARAM, LPARAM, bool& handled) {
  if (contrast_.IsHighContrastOn()) {
    handled = false;
    return 0;
  }
  return background_.OnEraseBackground(hwnd_, handled);
}

LRESULT TpCustomizeSetupDialog::OnCtlColorStatic(UINT, WPARAM wparam, LPARAM lparam,
                                                 bool& handled) {
  // Wine lays out each wrapped line of a text on its own, so the right-to-left embedding a text
  // opens with reaches only its first line; the device context's reading order holds for every
  // line. Not for the folder displays: their paths read left to right.
  HDC dc = reinterpret_cast<HDC>(wparam);
  const bool folder_display = IsFolderDisplay(::GetDlgCtrlID(reinterpret_cast<HWND>(lparam)));
  if (ProcessUiLanguage().IsRightToLeftUi() && !folder_display) {
    ::SetTextAlign(dc, ::GetTextAlign(dc) | TA_RTLREADING);
  }
  if (contrast_.IsHighContrastOn()) {
    // The displays look like the fields they are, texts and boxes like the dialog's face.
    const int back = folder_display ? COLOR_WINDOW : COLOR_BTNFACE;
    ::SetTextColor(dc, ::GetSysColor(folder_display ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    ::SetBkColor(dc, ::GetSysColor(back));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(back));
  }
  return background_.OnCtlColorStatic(handled);
}

bool RunCustomizeDialog(PropertyMap& properties) {
  TpCustomizeSetupDialog dialog;
  return RunCustomizeDialogOver(dialog, properties);
}

}  // namespace pelko::setup
