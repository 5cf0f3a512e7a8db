#include "setup/setup_stages_win32.h"

#include <windows.h>

#include "setup/install/install_session_win32.h"
#include "setup/install/package_extraction_win32.h"
#include "setup/install/temp_directory_win32.h"
#include "setup/l10n/ui_language_win32.h"
#include "setup/post_install/post_install_launch_win32.h"
#include "setup/post_install/shortcut_handling_win32.h"
#include "setup/ui/tp_customize_setup_dialog_win32.h"
#include "setup/ui/tp_setup_ui_win32.h"
#include "setup/win32_text.h"

namespace pelko::setup {

std::u16string SetupStagesWin32::ReadCommandLine() { return FromWide(GetCommandLineW()); }

uint16_t SetupStagesWin32::UserDefaultUiLanguage() { return GetUserDefaultUILanguage(); }

void SetupStagesWin32::SetUiLanguage(uint16_t language) {
  ProcessUiLanguage().SetUiLanguage(language);
}

bool SetupStagesWin32::IsRightToLeftUi() { return ProcessUiLanguage().IsRightToLeftUi(); }

void SetupStagesWin32::SetRightToLeftLayout() { SetProcessDefaultLayout(LAYOUT_RTL); }

std::u16string SetupStagesWin32::LocalizedString(uint32_t id) {
  return ProcessUiLanguage().LocalizedString(id);
}

bool SetupStagesWin32::RunCustomizeDialog(PropertyMap& properties) {
  return setup::RunCustomizeDialog(properties);
}

bool SetupStagesWin32::GetTempDirectory(std::u16string& directory) {
  return setup::GetTempDirectory(directory);
}

bool SetupStagesWin32::ExtractPackage(const std::u16string& resource_name,
                                      const std::u16string& resource_type,
                                      const std::u16string& path) {
  return setup::ExtractPackage(resource_name, resource_type, path, package_);
}

void SetupStagesWin32::RemovePackage() { package_.Remove(); }

std::unique_ptr<ExternalUi> SetupStagesWin32::CreateSink(bool managed) {
  if (managed) return std::make_unique<ExternalUi>();
  return MakeTpSetupUi();
}

uint32_t SetupStagesWin32::InstallPackage(const std::u16string& package_path,
                                          const std::u16string& command_line, ExternalUi* sink,
                                          bool unregister_at_end, const std::u16string* log_path) {
  return setup::InstallPackage(package_path, command_line, sink, unregister_at_end, log_path);
}

bool SetupStagesWin32::RemoveFile(const std::u16string& path) { return RemoveFileEntry(path); }

std::u16string SetupStagesWin32::TakePostInstallLaunch() { return setup::TakePostInstallLaunch(); }

void SetupStagesWin32::LocalizeShortcut(uint32_t string_id) {
  setup::LocalizeShortcut(edition_, string_id);
}

void SetupStagesWin32::LaunchThroughShell(const std::u16string& program_path) {
  setup::LaunchThroughShell(program_path);
}

void SetupStagesWin32::ShowMessageBox(const std::u16string& text, const std::u16string& caption) {
  MessageBoxW(nullptr, AsWide(text), AsWide(caption), MB_OK);
}

void RestrictDllSearchToSystemDirectory() {
  // Looked up at run time: Windows 7 has it only with an update installed.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (set_default) {
    set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
  } else {
    // Without it, at least take the current directory out of the search.
    SetDllDirectoryW(L"");
  }
}

}  // namespace pelko::setup
