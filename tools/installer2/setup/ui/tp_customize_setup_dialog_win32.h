#ifndef PELKO_SETUP_UI_TP_CUSTOMIZE_SETUP_DIALOG_WIN32_H_
#define PELKO_SETUP_UI_TP_CUSTOMIZE_SETUP_DIALOG_WIN32_H_

#include <windows.h>

#include <string>

#include "setup/diagnostic_output.h"
#include "setup/properties/property_map.h"
#include "setup/ui/accessible_names_win32.h"
#include "setup/ui/customize_dialog_runner.h"
#include "setup/ui/dialog_background_win32.h"
#include "setup/ui/dialog_impl_win32.h"
#include "setup/ui/high_contrast.h"

namespace pelko::setup {

// Shows the customize-setup dialog modally and writes the user's choices into `properties`;
// false only when the user cancelled.
bool RunCustomizeDialog(PropertyMap& properties);

// Dialog templates and the controls the code addresses.
constexpr WORD kCustomizeDialogTemplate = 300;
constexpr WORD kCustomizeDialogTemplateRtl = 301;
constexpr int kInstallFolderDisplayId = 306;
constexpr int kInstallFolderBrowseId = 307;
constexpr int kCacheFolderDisplayId = 309;
constexpr int kCacheFolderBrowseId = 310;
constexpr int kKmlFolderDisplayId = 312;
constexpr int kKmlFolderBrowseId = 313;
constexpr int kDesktopShortcutBoxId = 314;
constexpr int kAutoLaunchBoxId = 315;
constexpr int kInstallFolderLabelId = 305;
constexpr int kCacheFolderLabelId = 308;
constexpr int kKmlFolderLabelId = 311;
constexpr UINT kCustomizeDialogCaptionStringId = 223;
// The Browse text, once per button, so that each button carries an access key of its own.
constexpr UINT kInstallFolderBrowseStringId = 209;
constexpr UINT kCacheFolderBrowseStringId = 218;
constexpr UINT kKmlFolderBrowseStringId = 219;

struct ControlText {
  int control_id;
  UINT string_id;
};
// The texts set at WM_INITDIALOG, in this order; an empty string keeps the template's text.
constexpr ControlText ControlTextTable[] = {
    {301, 202}, {302, 203}, {303, 204}, {304, 205}, {305, 206}, {307, 209}, {308, 207}, {310, 218},
    {311, 208}, {313, 219}, {1, 210},   {2, 211},   {314, 213}, {315, 214}, {316, 215},
};

class TpCustomizeSetupDialog : public CDialogImpl<TpCustomizeSetupDialog, CWindow>,
                               public CustomizeDialogModal {
 public:
  using FolderPicker = std::u16string (*)(HWND owner, const std::u16string& initial_path);

  // Template 301 for a right-to-left UI language, else 300; the three default folders.
  TpCustomizeSetupDialog();
  // The same with the diagnostics and the Browse buttons' picker given (tests).
  TpCustomizeSetupDialog(DiagnosticOutput& output, FolderPicker picker);
  // The same with the high-contrast question and the accessible naming given as well (tests).
  TpCustomizeSetupDialog(DiagnosticOutput& output, FolderPicker picker,
                         const HighContrastQuery& contrast, AccessibleNaming& naming);

  WORD template_id() const { return template_id_; }

  // Each setter makes `path` the reference value and the value shown.
  void SetInstallFolder(const std::u16string& path) { options_.install_folder.Set(path); }
  void SetCacheFolder(const std::u16string& path) { options_.cache_folder.Set(path); }
  void SetKmlFolder(const std::u16string& path) { options_.kml_folder.Set(path); }
  bool InstallFolderChanged() const { return options_.install_folder.Changed(); }
  bool CacheFolderChanged() const { return options_.cache_folder.Changed(); }
  bool KmlFolderChanged() const { return options_.kml_folder.Changed(); }

  CustomizeOptions& options() override { return options_; }
  // DialogBoxParamW with the template, no owner and initialisation value 0.
  intptr_t RunModal() override;

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result, DWORD map_id) override;

  const DialogBackground& background() const { return background_; }

 private:
  LRESULT OnInitDialog(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnCommand(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnPaint(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnEraseBackground(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnCtlColorStatic(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnContrastChange(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  LRESULT OnDestroy(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);

  void SetControlTexts();
  void NameFolderControls();
  void KeepFolderDisplaysLeftToRight();
  void ChooseFolder(int display_id, FolderChoice& folder);
  void UpdateCheckBox(int box_id, LPARAM box_window, bool& flag);

  static const MessageEntry<TpCustomizeSetupDialog> kMessageMap[];

  DiagnosticOutput& output_;
  FolderPicker picker_;
  WORD template_id_;
  CustomizeOptions options_;
  DialogBackground background_;
  const HighContrastQuery& contrast_;
  OleaccNaming own_naming_;
  AccessibleNaming& naming_;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_TP_CUSTOMIZE_SETUP_DIALOG_WIN32_H_
