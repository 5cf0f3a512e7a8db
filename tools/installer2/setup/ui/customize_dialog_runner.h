#ifndef PELKO_SETUP_UI_CUSTOMIZE_DIALOG_RUNNER_H_
#define PELKO_SETUP_UI_CUSTOMIZE_DIALOG_RUNNER_H_

// What the customize-setup dialog decides, apart from its window: the folder values it starts
// from, what the user changed, and how the outcome becomes installer properties.

#include <cstdint>
#include <string>
#include <utility>

#include "setup/properties/property_map.h"

namespace pelko::setup {

// Results of the modal run, as the dialog box call returns them.
constexpr intptr_t kDialogResultOk = 1;      // IDOK
constexpr intptr_t kDialogResultCancel = 2;  // IDCANCEL

// Check-box states as the button control reports them.
constexpr int kCheckStateUnchecked = 0;      // BST_UNCHECKED
constexpr int kCheckStateChecked = 1;        // BST_CHECKED
constexpr int kCheckStateIndeterminate = 2;  // BST_INDETERMINATE

// One folder of the dialog: the reference value and the value shown.
class FolderChoice {
 public:
  FolderChoice() = default;
  explicit FolderChoice(std::u16string default_value)
      : default_(std::move(default_value)), current_(default_) {}

  // A value given on the command line becomes the reference value as well as the value shown.
  void Set(const std::u16string& path) {
    default_ = path;
    current_ = path;
  }
  // Takes a picked folder; true when it differs from the value shown and so replaced it.
  bool Choose(const std::u16string& picked);
  // Exact code-unit comparison: letter case and trailing backslashes count.
  bool Changed() const { return current_ != default_; }

  const std::u16string& default_value() const { return default_; }
  const std::u16string& current() const { return current_; }

 private:
  std::u16string default_;
  std::u16string current_;
};

// The dialog's choices; both boxes start checked whatever the command line says.
struct CustomizeOptions {
  FolderChoice install_folder;
  FolderChoice cache_folder;
  FolderChoice kml_folder;
  bool desktop_shortcut = true;
  bool auto_launch = true;
};

// A click on a check box: checked and unchecked set the flag, any other state leaves it.
void ApplyCheckState(int state, bool& flag);

// The one modal run of the dialog over `options`, which it changes as the user acts.
class CustomizeDialogModal {
 public:
  virtual ~CustomizeDialogModal() = default;
  virtual CustomizeOptions& options() = 0;
  // 1 for OK, 2 for Cancel; anything else means the dialog could not be created.
  virtual intptr_t RunModal() = 0;
};

// Pre-fills the dialog from INSTALLDIR, CACHEDIR and KMLDIR, runs it and writes the outcome into
// `properties`. False only when the user cancelled, and then nothing was written.
bool RunCustomizeDialogOver(CustomizeDialogModal& dialog, PropertyMap& properties);

// The write-back after OK: changed folders only, and "1" for each checked box (never "0").
void WriteCustomizeResult(const CustomizeOptions& options, PropertyMap& properties);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_CUSTOMIZE_DIALOG_RUNNER_H_
