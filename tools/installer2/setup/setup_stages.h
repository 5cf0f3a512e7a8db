#ifndef PELKO_SETUP_SETUP_STAGES_H_
#define PELKO_SETUP_SETUP_STAGES_H_

#include <cstdint>
#include <memory>
#include <string>

#include "setup/install/external_ui.h"
#include "setup/properties/property_map.h"

namespace pelko::setup {

// The operations a setup run is made of, in the words of the run. The Win32 implementation
// calls the real subsystems; tests record the calls.
class SetupStages {
 public:
  virtual ~SetupStages() = default;

  // Names here avoid the Win32 header macros (GetCommandLine, DeleteFile, MessageBox).
  virtual std::u16string ReadCommandLine() = 0;
  virtual uint16_t UserDefaultUiLanguage() = 0;
  virtual void SetUiLanguage(uint16_t language) = 0;
  virtual bool IsRightToLeftUi() = 0;
  // Right-to-left layout for every window created afterwards.
  virtual void SetRightToLeftLayout() = 0;
  virtual std::u16string LocalizedString(uint32_t id) = 0;

  // Shows the customize dialog modally; false only when the user cancelled.
  virtual bool RunCustomizeDialog(PropertyMap& properties) = 0;

  // The temporary folder, ending in a backslash (empty when the platform failed). False when the
  // path does not fit the platform buffer, which the run treats as an extraction failure.
  virtual bool GetTempDirectory(std::u16string& directory) = 0;
  // Writes the package to `path` and holds it there until RemovePackage: the installer can read
  // it, nobody can change it. True only when the whole package is on disk and held; on false
  // nothing of it is left.
  virtual bool ExtractPackage(const std::u16string& resource_name,
                              const std::u16string& resource_type, const std::u16string& path) = 0;
  // Deletes the package that ExtractPackage holds, through its handle: the file deleted is the
  // one written, whatever its name points at by then.
  virtual void RemovePackage() = 0;
  // The silent base when managed, else the progress window adapter.
  virtual std::unique_ptr<ExternalUi> CreateSink(bool managed) = 0;
  virtual uint32_t InstallPackage(const std::u16string& package_path,
                                  const std::u16string& command_line, ExternalUi* sink,
                                  bool unregister_at_end, const std::u16string* log_path) = 0;
  // Removes the entry at `path` itself (a link, never what it points at); true when nothing is
  // left there.
  virtual bool RemoveFile(const std::u16string& path) = 0;

  // Reads and deletes the one-shot launch request; empty when there is none.
  virtual std::u16string TakePostInstallLaunch() = 0;
  virtual void LocalizeShortcut(uint32_t string_id) = 0;
  virtual void LaunchThroughShell(const std::u16string& program_path) = 0;

  // MB_OK, no owner; returns when the user has closed the box.
  virtual void ShowMessageBox(const std::u16string& text, const std::u16string& caption) = 0;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_SETUP_STAGES_H_
