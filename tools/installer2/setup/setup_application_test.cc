#include "setup/setup_application.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/narrow_text_test.h"

namespace pelko::setup {
namespace {

// Records its own end, so tests see when the run deletes the sink.
class RecordingSink : public ExternalUi {
 public:
  RecordingSink(std::vector<std::string>& log, bool managed) : log_(log), managed_(managed) {}
  ~RecordingSink() override { log_.push_back(managed_ ? "sink-end silent" : "sink-end window"); }

 private:
  std::vector<std::string>& log_;
  bool managed_;
};

// Every stage call of the run as one line of text; the answers are configured per test.
class FakeStages : public SetupStages {
 public:
  std::u16string command_line = u"setup.exe";
  uint16_t user_language = 1031;
  std::function<bool(PropertyMap&)> dialog = [](PropertyMap&) { return true; };
  bool temp_fits = true;
  std::u16string temp = u"C:\\Temp\\";
  bool extract_ok = true;
  bool remove_ok = true;  // what RemoveFile answers
  uint32_t install_result = 0;
  std::u16string launch_request;
  std::map<uint32_t, std::u16string> strings = {
      {216, u"Installed."}, {217, u"Failed:"}, {223, u"Caption"}};

  std::vector<std::string> calls;
  std::u16string installed_command_line;
  uint16_t language_set = 0xBEEF;

  std::u16string ReadCommandLine() override { return command_line; }
  uint16_t UserDefaultUiLanguage() override { return user_language; }
  void SetUiLanguage(uint16_t language) override {
    language_set = language;
    calls.push_back("language " + std::to_string(language));
  }
  bool IsRightToLeftUi() override {
    const uint16_t primary = language_set & 0x3FF;
    return primary == 0x01 || primary == 0x0D || primary == 0x29;
  }
  void SetRightToLeftLayout() override { calls.push_back("rtl-layout"); }
  std::u16string LocalizedString(uint32_t id) override {
    auto it = strings.find(id);
    return it == strings.end() ? std::u16string() : it->second;
  }
  bool RunCustomizeDialog(PropertyMap& properties) override {
    calls.push_back("dialog");
    return dialog(properties);
  }
  bool GetTempDirectory(std::u16string& directory) override {
    calls.push_back("temp");
    directory = temp;
    return temp_fits;
  }
  bool ExtractPackage(const std::u16string& name, const std::u16string& type,
                      const std::u16string& path) override {
    calls.push_back("extract " + Narrow(name) + " " + Narrow(type) + " " + Narrow(path));
    return extract_ok;
  }
  std::unique_ptr<ExternalUi> CreateSink(bool managed) override {
    calls.push_back(managed ? "sink silent" : "sink window");
    return std::make_unique<RecordingSink>(calls, managed);
  }
  uint32_t InstallPackage(const std::u16string& package, const std::u16string& command,
                          ExternalUi* sink, bool unregister_at_end,
                          const std::u16string* log_path) override {
    installed_command_line = command;
    calls.push_back("install " + Narrow(package) + (sink ? " sink" : " no-sink") +
                    (unregister_at_end ? " unregister" : " keep") + " log=" +
                    (log_path ? Narrow(*log_path) : "none"));
    return install_result;
  }
  void RemovePackage() override { calls.push_back("delete package through its handle"); }
  bool RemoveFile(const std::u16string& path) override {
    calls.push_back("delete " + Narrow(path));
    return remove_ok;
  }
  std::u16string TakePostInstallLaunch() override {
    calls.push_back("take-launch");
    return launch_request;
  }
  void LocalizeShortcut(uint32_t id) override { calls.push_back("shortcut " + std::to_string(id)); }
  void LaunchThroughShell(const std::u16string& path) override {
    calls.push_back("launch " + Narrow(path));
  }
  void ShowMessageBox(const std::u16string& text, const std::u16string& caption) override {
    calls.push_back("box " + Narrow(text) + " | " + Narrow(caption));
  }
};

uint32_t RunEditionZero(FakeStages& stages) { return SetupApplication(0).Run(stages); }

const char kPackage[] = "C:\\Temp\\TavrinPelko-Larkin.msi";
const char kLog[] = "C:\\Temp\\TavrinPelko-Larkin.msi.log";

TEST(SetupRunTest, DialogChoicesReachTheInstall) {
  FakeStages stages;
  stages.dialog = [](PropertyMap& properties) {
    properties.Set(u"INSTALLDIR", u"D:\\My Apps\\Pelko");
    return true;
  };
  EXPECT_EQ(RunEditionZero(stages), 0u);
  EXPECT_EQ(stages.installed_command_line, u"INSTALLDIR=\"D:\\My Apps\\Pelko\"");
}

// One row per outcome of a run: what the user sees and what is left on disk.
struct OutcomeCase {
  const char* name;
  const char16_t* command_line;
  bool dialog_confirms;
  bool temp_fits;
  bool extract_ok;
  uint32_t install_result;
  uint32_t exit_code;
  bool installs;
  bool deletes_log;
  const char* box;  // nullptr: no message box
  bool post_install;  // shortcuts renamed and the launch request started
};

const OutcomeCase kOutcomes[] = {
    {"interactive success", u"setup.exe", true, true, true, 0, 0, true, true,
     "box Installed. | Caption", true},
    {"managed success", u"setup.exe KORVO=1", true, true, true, 0, 0, true, true, nullptr, true},
    {"dialog cancelled", u"setup.exe", false, true, true, 0, 1602, false, false, nullptr, false},
    {"parse failure, dialog confirmed", u"setup.exe KORVO=1 B", true, true, true, 0, 1639, false,
     false, "box Failed: 1639 | Caption", false},
    {"parse failure, dialog cancelled", u"setup.exe KORVO=1 B", false, true, true, 0, 1602, false,
     false, nullptr, false},
    {"extraction fails, interactive", u"setup.exe", true, true, false, 0, 1612, false, false,
     "box Failed: 1612 | Caption", false},
    {"extraction fails, managed", u"setup.exe KORVO=yes", true, true, false, 0, 1612, false, false,
     nullptr, false},
    {"temp path does not fit", u"setup.exe KORVO=1", true, false, true, 0, 1612, false, false,
     nullptr, false},
    {"installer cancelled", u"setup.exe", true, true, true, 1602, 1602, true, true, nullptr, false},
    {"installer cancelled, managed", u"setup.exe KORVO=1", true, true, true, 1602, 1602, true, true,
     nullptr, false},
    {"installer fails", u"setup.exe", true, true, true, 1603, 1603, true, false,
     "box Failed: 1603 | Caption", false},
    {"installer fails, managed", u"setup.exe KORVO=1", true, true, true, 1603, 1603, true, false,
     nullptr, false},
    {"large installer code in unsigned decimal", u"setup.exe", true, true, true, 0x80070005u,
     0x80070005u, true, false, "box Failed: 2147942405 | Caption", false},
};

bool Contains(const std::vector<std::string>& calls, const std::string& line) {
  for (const auto& call : calls)
    if (call == line) return true;
  return false;
}

// True when `line` is among the calls after the install call.
bool CallsAfterInstall(const std::vector<std::string>& calls, const std::string& line) {
  bool installed = false;
  for (const auto& call : calls) {
    if (installed && call == line) return true;
    installed = installed || call.rfind("install ", 0) == 0;
  }
  return false;
}

size_t CountPrefix(const std::vector<std::string>& calls, const std::string& prefix) {
  size_t n = 0;
  for (const auto& call : calls) n += call.rfind(prefix, 0) == 0;
  return n;
}

TEST(SetupRunTest, OutcomeMatrix) {
  for (const OutcomeCase& c : kOutcomes) {
    SCOPED_TRACE(c.name);
    FakeStages stages;
    stages.command_line = c.command_line;
    stages.dialog = [&c](PropertyMap&) { return c.dialog_confirms; };
    stages.temp_fits = c.temp_fits;
    stages.extract_ok = c.extract_ok;
    stages.install_result = c.install_result;
    stages.launch_request = u"C:\\App\\TavrinPelko.exe";

    EXPECT_EQ(RunEditionZero(stages), c.exit_code);
    EXPECT_EQ(CountPrefix(stages.calls, "install "), c.installs ? 1u : 0u);
    // The package is deleted after every install and never when nothing was installed.
    EXPECT_EQ(Contains(stages.calls, "delete package through its handle"), c.installs);
    EXPECT_EQ(CallsAfterInstall(stages.calls, std::string("delete ") + kLog), c.deletes_log);
    EXPECT_EQ(CountPrefix(stages.calls, "take-launch"), 1u);
    EXPECT_EQ(CountPrefix(stages.calls, "box "), c.box ? 1u : 0u);
    if (c.box) EXPECT_TRUE(Contains(stages.calls, c.box));
    EXPECT_EQ(CountPrefix(stages.calls, "shortcut "), c.post_install ? 4u : 0u);
    EXPECT_EQ(CountPrefix(stages.calls, "launch "), c.post_install ? 1u : 0u);
  }
}

// What follows the install for each kind of installer result, managed and interactive. The exit
// code is always the installer's own. The restart codes are installs that succeeded: the
// shortcuts are renamed; after 3010 the run ends as after 0 (but keeps the log, as for every
// code other than 0 and 1602); after 1641 the machine is already restarting, so nothing is shown
// and nothing started, though the request is still consumed.
TEST(SetupRunTest, InstallerResultDecidesWhatFollows) {
  const std::vector<std::string> kRenamed = {"shortcut 226", "shortcut 229", "shortcut 232",
                                             "shortcut 220"};
  const std::string kSuccessBox = "box Installed. | Caption";
  const std::string kLaunch = "launch C:\\App\\TavrinPelko.exe";
  struct Case {
    uint32_t install_result;
    bool managed;
    bool deletes_log;
    std::vector<std::string> after_request;  // the calls once the launch request was taken
  };
  const auto join = [](std::vector<std::string> head, const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  const Case kCases[] = {
      {0, false, true, join(kRenamed, {kSuccessBox, kLaunch})},
      {0, true, true, join(kRenamed, {kLaunch})},
      {3010, false, false, join(kRenamed, {kSuccessBox, kLaunch})},
      {3010, true, false, join(kRenamed, {kLaunch})},
      {1641, false, false, kRenamed},
      {1641, true, false, kRenamed},
      {1602, false, true, {}},
      {1602, true, true, {}},
      {1603, false, false, {"box Failed: 1603 | Caption"}},
      {1603, true, false, {}},
      {0xFFFFFFF0u, false, false, {"box Failed: 4294967280 | Caption"}},
      {0xFFFFFFF0u, true, false, {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.install_result) + (c.managed ? " managed" : " interactive"));
    FakeStages stages;
    stages.command_line = c.managed ? u"setup.exe KORVO=1" : u"setup.exe";
    stages.install_result = c.install_result;
    stages.launch_request = u"C:\\App\\TavrinPelko.exe";

    EXPECT_EQ(RunEditionZero(stages), c.install_result);
    std::vector<std::string> expected = {"language 1031"};
    if (!c.managed) expected.push_back("dialog");
    expected.push_back("temp");
    // A stale log entry goes before anything is written.
    expected.push_back(std::string("delete ") + kLog);
    expected.push_back(std::string("extract ID_MSI BINARY ") + kPackage);
    expected.push_back(c.managed ? "sink silent" : "sink window");
    expected.push_back(std::string("install ") + kPackage + " sink keep log=" + kLog);
    expected.push_back("delete package through its handle");
    if (c.deletes_log) expected.push_back(std::string("delete ") + kLog);
    expected.push_back(c.managed ? "sink-end silent" : "sink-end window");
    expected.push_back("take-launch");
    EXPECT_EQ(stages.calls, join(expected, c.after_request));
  }
}

TEST(SetupRunTest, StaleLogThatCannotBeRemovedStopsTheRunBeforeAnythingIsWritten) {
  FakeStages stages;
  stages.command_line = u"setup.exe KORVO=1";
  stages.remove_ok = false;
  EXPECT_EQ(RunEditionZero(stages), 1612u);
  const std::vector<std::string> expected = {"language 1031", "temp",
                                             std::string("delete ") + kLog, "take-launch"};
  EXPECT_EQ(stages.calls, expected);
}

TEST(SetupRunTest, ParseFailureStillShowsDialogWithEmptyMap) {
  FakeStages stages;
  stages.command_line = u"setup.exe KORVO=1 INSTALLER_LANGUAGE=1037 B";
  bool dialog_saw_empty_map = false;
  stages.dialog = [&](PropertyMap& properties) {
    dialog_saw_empty_map = properties.entries().empty();
    return true;
  };
  EXPECT_EQ(RunEditionZero(stages), 1639u);
  EXPECT_TRUE(dialog_saw_empty_map);
  // The language property was not read: the map is empty.
  EXPECT_EQ(stages.calls.front(), "language 1031");
  EXPECT_FALSE(Contains(stages.calls, "temp"));
}

TEST(SetupRunTest, KorvoIsReadAsAFlag) {
  const struct {
    const char16_t* value;
    bool managed;
  } kCases[] = {{u"1", true}, {u"True", true}, {u"y", true}, {u"0", false},
                {u"no", false}, {u"10", false}, {u"01", false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(Narrow(c.value));
    FakeStages stages;
    stages.command_line = std::u16string(u"setup.exe KORVO=") + c.value;
    EXPECT_EQ(RunEditionZero(stages), 0u);
    EXPECT_EQ(Contains(stages.calls, "dialog"), !c.managed);
    EXPECT_EQ(Contains(stages.calls, "sink silent"), c.managed);
    EXPECT_EQ(Contains(stages.calls, "sink window"), !c.managed);
    EXPECT_EQ(CountPrefix(stages.calls, "box "), c.managed ? 0u : 1u);
  }
}

TEST(SetupRunTest, DesktopShortcutDefaultsOnlyInManagedRunsAndOnlyWhenAbsent) {
  const struct {
    const char16_t* command_line;
    const char16_t* expected;
  } kCases[] = {
      {u"setup.exe KORVO=1", u"DESKTOPSHORTCUT=1 KORVO=1"},
      {u"setup.exe KORVO=1 DESKTOPSHORTCUT=0", u"DESKTOPSHORTCUT=0 KORVO=1"},
      {u"setup.exe KORVO=1 DESKTOPSHORTCUT=no", u"DESKTOPSHORTCUT=no KORVO=1"},
      // A cancelled value is absent again, so the default applies.
      {u"setup.exe KORVO=1 DESKTOPSHORTCUT=0 DESKTOPSHORTCUT=", u"DESKTOPSHORTCUT=1 KORVO=1"},
      // Names are case-sensitive: the lower-case one is another property.
      {u"setup.exe KORVO=1 desktopshortcut=0", u"DESKTOPSHORTCUT=1 KORVO=1 desktopshortcut=0"},
      {u"setup.exe KORVO=0", u"KORVO=0"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(Narrow(c.command_line));
    FakeStages stages;
    stages.command_line = c.command_line;
    EXPECT_EQ(RunEditionZero(stages), 0u);
    EXPECT_EQ(stages.installed_command_line, c.expected);
  }
}

TEST(SetupRunTest, LanguageFromLowSixteenBitsWithRightToLeftLayout) {
  const struct {
    const char16_t* value;  // nullptr: no INSTALLER_LANGUAGE
    uint16_t language;
    bool right_to_left;
  } kCases[] = {
      {nullptr, 1031, false}, {u"1037", 1037, true},     {u"0x40D", 0x40D, true},
      {u"1025", 1025, true},  {u"1065", 1065, true},     {u"1056", 1056, false},
      {u"65545", 9, false},   {u"0x10409", 1033, false}, {u"-1", 0xFFFF, false},
      {u"abc", 0, false},     {u"0", 0, false},          {u"65536", 0, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value ? Narrow(c.value) : "absent");
    FakeStages stages;
    stages.command_line = u"setup.exe KORVO=1";
    if (c.value) stages.command_line += std::u16string(u" INSTALLER_LANGUAGE=") + c.value;
    RunEditionZero(stages);
    EXPECT_EQ(stages.calls[0], "language " + std::to_string(c.language));
    EXPECT_EQ(Contains(stages.calls, "rtl-layout"), c.right_to_left);
    if (c.right_to_left) EXPECT_EQ(stages.calls[1], "rtl-layout");
  }
}

TEST(SetupRunTest, RightToLeftLayoutComesBeforeTheDialog) {
  FakeStages stages;
  stages.command_line = u"setup.exe INSTALLER_LANGUAGE=1037";
  RunEditionZero(stages);
  ASSERT_GE(stages.calls.size(), 3u);
  EXPECT_EQ(stages.calls[1], "rtl-layout");
  EXPECT_EQ(stages.calls[2], "dialog");
}

TEST(SetupRunTest, EmptyLaunchRequestStartsNothing) {
  FakeStages stages;
  stages.command_line = u"setup.exe KORVO=1";
  stages.launch_request.clear();
  EXPECT_EQ(RunEditionZero(stages), 0u);
  EXPECT_EQ(CountPrefix(stages.calls, "launch "), 0u);
  EXPECT_EQ(CountPrefix(stages.calls, "shortcut "), 4u);
}

TEST(SetupRunTest, EmptyTempDirectoryGivesTheBareFileName) {
  FakeStages stages;
  stages.command_line = u"setup.exe KORVO=1";
  stages.temp.clear();
  EXPECT_EQ(RunEditionZero(stages), 0u);
  EXPECT_TRUE(Contains(stages.calls, "extract ID_MSI BINARY TavrinPelko-Larkin.msi"));
  EXPECT_TRUE(CallsAfterInstall(stages.calls, "delete TavrinPelko-Larkin.msi.log"));
}

TEST(SetupRunTest, MissingStringsGiveEmptyTexts) {
  FakeStages stages;
  stages.strings.clear();
  stages.install_result = 1603;
  EXPECT_EQ(RunEditionZero(stages), 1603u);
  EXPECT_TRUE(Contains(stages.calls, "box  1603 | "));
}

TEST(SetupRunTest, OtherEditionsUseTheirPackageAndShortcutStrings) {
  const struct {
    int32_t edition;
    const char* package;
    std::vector<std::string> shortcuts;
  } kCases[] = {
      {1, "C:\\Temp\\TavrinPelko-Qx.msi",
       {"shortcut 227", "shortcut 230", "shortcut 233", "shortcut 221"}},
      {2, "C:\\Temp\\TavrinPelko-Brisa.msi",
       {"shortcut 228", "shortcut 231", "shortcut 234", "shortcut 222"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.edition);
    FakeStages stages;
    stages.command_line = u"setup.exe";
    EXPECT_EQ(SetupApplication(c.edition).Run(stages), 0u);
    EXPECT_TRUE(Contains(stages.calls, std::string("extract ID_MSI BINARY ") + c.package));
    std::vector<std::string> shortcuts;
    for (const auto& call : stages.calls)
      if (call.rfind("shortcut ", 0) == 0) shortcuts.push_back(call);
    EXPECT_EQ(shortcuts, c.shortcuts);
    // Every edition's result boxes take string 223 as their caption.
    EXPECT_TRUE(Contains(stages.calls, "box Installed. | Caption"));
  }
}

}  // namespace
}  // namespace pelko::setup
