#ifndef PELKO_SETUP_SETUP_STAGES_WIN32_H_
#define PELKO_SETUP_SETUP_STAGES_WIN32_H_

#include <cstdint>

#include "setup/install/package_extraction_win32.h"
#include "setup/setup_stages.h"

namespace pelko::setup {

// The run's stages on Windows: each forwards to its subsystem.
class SetupStagesWin32 : public SetupStages {
 public:
  explicit SetupStagesWin32(int32_t edition) : edition_(edition) {}

  std::u16string ReadCommandLine() override;
  uint16_t UserDefaultUiLanguage() override;
  void SetUiLanguage(uint16_t language) override;
  bool IsRightToLeftUi() override;
  void SetRightToLeftLayout() override;
  std::u16string LocalizedString(uint32_t id) override;
  bool RunCustomizeDialog(PropertyMap& properties) override;
  bool GetTempDirectory(std::u16string& directory) override;
  bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                      const std::u16string& path) override;
  void RemovePackage() override;
  std::unique_ptr<ExternalUi> CreateSink(bool managed) override;
  uint32_t InstallPackage(const std::u16string& package_path, const std::u16string& command_line,
                          ExternalUi* sink, bool unregister_at_end,
                          const std::u16string* log_path) override;
  bool RemoveFile(const std::u16string& path) override;
  std::u16string TakePostInstallLaunch() override;
  void LocalizeShortcut(uint32_t string_id) override;
  void LaunchThroughShell(const std::u16string& program_path) override;
  void ShowMessageBox(const std::u16string& text, const std::u16string& caption) override;

 private:
  const int32_t edition_;
  ExtractedPackage package_;
};

// Restricts run-time DLL loading to the system directory, so that a DLL planted beside the setup
// (a Downloads folder, say) is never picked up. Call first thing in the process.
void RestrictDllSearchToSystemDirectory();

}  // namespace pelko::setup

#endif  // PELKO_SETUP_SETUP_STAGES_WIN32_H_
