#include "setup/setup_application.h"

#include <memory>
#include <string>

#include "setup/properties/command_line_parser.h"
#include "setup/properties/property_map.h"

namespace pelko::setup {
namespace {

constexpr char16_t kPackageResourceName[] = u"ID_MSI";
constexpr char16_t kPackageResourceType[] = u"BINARY";
constexpr char16_t kLogSuffix[] = u".log";

std::u16string DecimalText(uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

// The lead-in string, one blank and the result code in decimal.
std::u16string FailureText(SetupStages& stages, uint32_t result) {
  return stages.LocalizedString(kFailureMessageId) + u" " + DecimalText(result);
}

// Writes the package out, installs it and removes the temporary files. Returns the result.
uint32_t InstallStage(SetupStages& stages, const EditionProfile& profile,
                      const PropertyMap& properties, bool managed) {
  std::u16string temp_directory;
  if (!stages.GetTempDirectory(temp_directory)) return kResultPackageUnavailable;
  // Not a unique name: every run of an edition must find its package under the same path.
  const std::u16string package_path = temp_directory + profile.package_file_name;
  const std::u16string log_path = package_path + kLogSuffix;
  // The installer opens its log by name with the run's rights: whatever already has that name
  // (a link, say) goes first, and an entry that cannot be removed stops the run.
  if (!stages.RemoveFile(log_path)) return kResultPackageUnavailable;
  // On failure the extraction has removed whatever it wrote itself.
  if (!stages.ExtractPackage(kPackageResourceName, kPackageResourceType, package_path)) {
    return kResultPackageUnavailable;
  }
  const std::u16string command_line = properties.BuildCommandLine();
  std::unique_ptr<ExternalUi> sink = stages.CreateSink(managed);
  // The package stays held, unchangeable, until the installer is done with it.
  const uint32_t result =
      stages.InstallPackage(package_path, command_line, sink.get(), false, &log_path);
  stages.RemovePackage();
  // Only a clean success or a cancel removes the log; every other result, a restart-required
  // success included, keeps it for the user or support to read.
  if (result == kResultSuccess || result == kResultUserExit) stages.RemoveFile(log_path);
  // The progress window, if any, lives until both files are gone.
  sink.reset();
  return result;
}

}  // namespace

uint32_t SetupApplication::Run(SetupStages& stages) const {
  PropertyMap properties;
  uint32_t result = kResultSuccess;
  // A rejected command line still shows the dialog; the map then stays empty.
  if (!ParseCommandLine(stages.ReadCommandLine(), properties)) result = kResultInvalidCommandLine;

  uint16_t language = stages.UserDefaultUiLanguage();
  if (properties.Has(u"INSTALLER_LANGUAGE")) {
    // Only the low 16 bits count; 0 there means the user's language after all.
    language = static_cast<uint16_t>(static_cast<uint32_t>(properties.GetInt(u"INSTALLER_LANGUAGE")));
  }
  stages.SetUiLanguage(language);
  // Before any window exists, so that every window of the run is mirrored.
  if (stages.IsRightToLeftUi()) stages.SetRightToLeftLayout();

  const bool managed = properties.GetBool(u"KORVO");
  if (managed) {
    if (!properties.Has(u"DESKTOPSHORTCUT")) properties.Set(u"DESKTOPSHORTCUT", u"1");
  } else if (!stages.RunCustomizeDialog(properties)) {
    result = kResultUserExit;
  }

  if (result == kResultSuccess) result = InstallStage(stages, profile_, properties, managed);

  // The request is one-shot: it is consumed on every path, whatever the result.
  const std::u16string launch_request = stages.TakePostInstallLaunch();

  // A pending restart does not undo the install: the product is there and its shortcuts are.
  const bool installed = result == kResultSuccess || result == kResultRestartRequired ||
                         result == kResultRestartStarted;
  if (installed) {
    const auto& ids = profile_.string_ids;
    for (uint32_t id : {ids[2], ids[3], ids[4], ids[0]}) stages.LocalizeShortcut(id);
    // Once the installer has started the restart, the session is ending: a box would be torn
    // down unanswered and a started application killed with it.
    if (result != kResultRestartStarted) {
      if (!managed) {
        stages.ShowMessageBox(stages.LocalizedString(kSuccessMessageId),
                              stages.LocalizedString(kMessageCaptionId));
      }
      // After the success box, so the application does not start behind it.
      if (!launch_request.empty()) stages.LaunchThroughShell(launch_request);
    }
  } else if (!managed && result != kResultUserExit) {
    stages.ShowMessageBox(FailureText(stages, result), stages.LocalizedString(kMessageCaptionId));
  }
  return result;
}

}  // namespace pelko::setup
