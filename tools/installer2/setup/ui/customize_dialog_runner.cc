#include "setup/ui/customize_dialog_runner.h"

namespace pelko::setup {

namespace {

constexpr char16_t kInstallDirProperty[] = u"INSTALLDIR";
constexpr char16_t kCacheDirProperty[] = u"CACHEDIR";
constexpr char16_t kKmlDirProperty[] = u"KMLDIR";
constexpr char16_t kDesktopShortcutProperty[] = u"DESKTOPSHORTCUT";
constexpr char16_t kAutoLaunchProperty[] = u"KORVO_AUTO_LAUNCH";
constexpr char16_t kFlagOn[] = u"1";

void PrefillFolder(const PropertyMap& properties, const char16_t* name, FolderChoice& folder) {
  if (properties.Has(name)) folder.Set(properties.Get(name));
}

void WriteFolderIfChanged(const FolderChoice& folder, const char16_t* name,
                          PropertyMap& properties) {
  if (folder.Changed()) properties.Set(name, folder.current());
}

}  // namespace

bool FolderChoice::Choose(const std::u16string& picked) {
  if (picked == current_) return false;
  current_ = picked;
  return true;
}

void ApplyCheckState(int state, bool& flag) {
  if (state == kCheckStateChecked) {
    flag = true;
  } else if (state == kCheckStateUnchecked) {
    flag = false;
  }
}

void WriteCustomizeResult(const CustomizeOptions& options, PropertyMap& properties) {
  WriteFolderIfChanged(options.install_folder, kInstallDirProperty, properties);
  WriteFolderIfChanged(options.cache_folder, kCacheDirProperty, properties);
  WriteFolderIfChanged(options.kml_folder, kKmlDirProperty, properties);
  if (options.desktop_shortcut) properties.Set(kDesktopShortcutProperty, kFlagOn);
  if (options.auto_launch) properties.Set(kAutoLaunchProperty, kFlagOn);
}

bool RunCustomizeDialogOver(CustomizeDialogModal& dialog, PropertyMap& properties) {
  CustomizeOptions& options = dialog.options();
  PrefillFolder(properties, kInstallDirProperty, options.install_folder);
  PrefillFolder(properties, kCacheDirProperty, options.cache_folder);
  PrefillFolder(properties, kKmlDirProperty, options.kml_folder);

  const intptr_t result = dialog.RunModal();
  if (result == kDialogResultCancel) return false;
  // A dialog that could not be created counts as confirmed without changes.
  if (result == kDialogResultOk) WriteCustomizeResult(options, properties);
  return true;
}

}  // namespace pelko::setup
