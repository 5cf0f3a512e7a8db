#include "setup/ui/customize_dialog_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace pelko::setup {
namespace {

using Props = std::vector<std::pair<std::u16string, std::u16string>>;

PropertyMap MakeMap(const Props& props) {
  PropertyMap map;
  for (const auto& [name, value] : props) map.Set(name, value);
  return map;
}

enum class Target { kInstall, kCache, kKml, kDesktopShortcut, kAutoLaunch };

// One thing the user does while the dialog is open: pick a folder or click a check box.
struct Action {
  Target target;
  std::u16string picked;  // for the folders
  int state = 0;          // for the check boxes, as the control reports it after the click
};

// Stands in for the window: records what the dialog would show when it opens, then replays
// the user's actions through the same rules the window uses.
class FakeModal : public CustomizeDialogModal {
 public:
  FakeModal(CustomizeOptions options, std::vector<Action> actions, intptr_t result)
      : options_(std::move(options)), actions_(std::move(actions)), result_(result) {}

  CustomizeOptions& options() override { return options_; }
  intptr_t RunModal() override {
    ++runs_;
    shown_ = options_;
    for (const Action& action : actions_) {
      switch (action.target) {
        case Target::kInstall: options_.install_folder.Choose(action.picked); break;
        case Target::kCache: options_.cache_folder.Choose(action.picked); break;
        case Target::kKml: options_.kml_folder.Choose(action.picked); break;
        case Target::kDesktopShortcut: ApplyCheckState(action.state, options_.desktop_shortcut); break;
        case Target::kAutoLaunch: ApplyCheckState(action.state, options_.auto_launch); break;
      }
    }
    return result_;
  }

  int runs() const { return runs_; }
  const CustomizeOptions& shown() const { return shown_; }

 private:
  CustomizeOptions options_;
  std::vector<Action> actions_;
  intptr_t result_;
  int runs_ = 0;
  CustomizeOptions shown_;
};

CustomizeOptions Defaults() {
  CustomizeOptions options;
  options.install_folder = FolderChoice(u"C:\\Program Files\\Tavrin\\Tavrin Pelko");
  options.cache_folder = FolderChoice(u"C:\\Users\\u\\AppData\\LocalLow\\Tavrin\\TavrinPelko");
  options.kml_folder = FolderChoice(u"C:\\Users\\u\\AppData\\Roaming\\Tavrin\\TavrinPelko");
  return options;
}

struct Case {
  const char* name;
  Props given;
  std::vector<Action> actions;
  intptr_t modal_result;
  bool returns;
  Props expected;
  // What the folder displays show when the dialog opens.
  std::u16string shown_install;
  std::u16string shown_cache;
  std::u16string shown_kml;
};

const std::u16string kDefInstall = u"C:\\Program Files\\Tavrin\\Tavrin Pelko";
const std::u16string kDefCache = u"C:\\Users\\u\\AppData\\LocalLow\\Tavrin\\TavrinPelko";
const std::u16string kDefKml = u"C:\\Users\\u\\AppData\\Roaming\\Tavrin\\TavrinPelko";

const Action kClearShortcut{Target::kDesktopShortcut, u"", kCheckStateUnchecked};
const Action kClearLaunch{Target::kAutoLaunch, u"", kCheckStateUnchecked};

const Case kCases[] = {
    {"ok untouched adds only the two flags", {}, {}, 1, true,
     {{u"DESKTOPSHORTCUT", u"1"}, {u"KORVO_AUTO_LAUNCH", u"1"}}, kDefInstall, kDefCache, kDefKml},
    {"ok with both boxes cleared adds nothing", {{u"PELKO_ECHO", u"x"}},
     {kClearShortcut, kClearLaunch}, 1, true, {{u"PELKO_ECHO", u"x"}}, kDefInstall, kDefCache,
     kDefKml},
    {"cleared boxes keep the command-line values",
     {{u"DESKTOPSHORTCUT", u"0"}, {u"KORVO_AUTO_LAUNCH", u"no"}}, {kClearShortcut, kClearLaunch},
     1, true, {{u"DESKTOPSHORTCUT", u"0"}, {u"KORVO_AUTO_LAUNCH", u"no"}}, kDefInstall, kDefCache,
     kDefKml},
    {"checked boxes overwrite command-line values",
     {{u"DESKTOPSHORTCUT", u"0"}, {u"KORVO_AUTO_LAUNCH", u"0"}}, {}, 1, true,
     {{u"DESKTOPSHORTCUT", u"1"}, {u"KORVO_AUTO_LAUNCH", u"1"}}, kDefInstall, kDefCache, kDefKml},
    {"one box cleared writes only the other", {}, {kClearLaunch}, 1, true,
     {{u"DESKTOPSHORTCUT", u"1"}}, kDefInstall, kDefCache, kDefKml},
    {"a box cleared and checked again writes 1", {},
     {kClearShortcut, {Target::kDesktopShortcut, u"", kCheckStateChecked}}, 1, true,
     {{u"DESKTOPSHORTCUT", u"1"}, {u"KORVO_AUTO_LAUNCH", u"1"}}, kDefInstall, kDefCache, kDefKml},
    {"indeterminate state leaves a checked flag", {},
     {{Target::kDesktopShortcut, u"", kCheckStateIndeterminate}}, 1, true,
     {{u"DESKTOPSHORTCUT", u"1"}, {u"KORVO_AUTO_LAUNCH", u"1"}}, kDefInstall, kDefCache, kDefKml},
    {"indeterminate state leaves a cleared flag", {},
     {kClearLaunch, {Target::kAutoLaunch, u"", kCheckStateIndeterminate}}, 1, true,
     {{u"DESKTOPSHORTCUT", u"1"}}, kDefInstall, kDefCache, kDefKml},
    {"command-line folders are shown and stay unchanged",
     {{u"INSTALLDIR", u"D:\\Apps\\Pelko"}, {u"CACHEDIR", u"E:\\c"}, {u"KMLDIR", u"F:\\k"}},
     {kClearShortcut, kClearLaunch}, 1, true,
     {{u"INSTALLDIR", u"D:\\Apps\\Pelko"}, {u"CACHEDIR", u"E:\\c"}, {u"KMLDIR", u"F:\\k"}},
     u"D:\\Apps\\Pelko", u"E:\\c", u"F:\\k"},
    {"a picked folder replaces the command-line one", {{u"INSTALLDIR", u"D:\\Apps\\Pelko"}},
     {{Target::kInstall, u"D:\\Other"}, kClearShortcut, kClearLaunch}, 1, true,
     {{u"INSTALLDIR", u"D:\\Other"}}, u"D:\\Apps\\Pelko", kDefCache, kDefKml},
    {"picked default folders are written only when changed", {},
     {{Target::kCache, u"X:\\cache"}, {Target::kKml, kDefKml}, kClearShortcut, kClearLaunch}, 1,
     true, {{u"CACHEDIR", u"X:\\cache"}}, kDefInstall, kDefCache, kDefKml},
    {"picking the folder already shown writes nothing", {},
     {{Target::kInstall, kDefInstall}, kClearShortcut, kClearLaunch}, 1, true, {}, kDefInstall,
     kDefCache, kDefKml},
    {"picking away and back again writes nothing", {},
     {{Target::kInstall, u"D:\\x"}, {Target::kInstall, kDefInstall}, kClearShortcut, kClearLaunch},
     1, true, {}, kDefInstall, kDefCache, kDefKml},
    {"a difference in letter case counts", {},
     {{Target::kInstall, u"C:\\program files\\Tavrin\\Tavrin Pelko"}, kClearShortcut,
      kClearLaunch},
     1, true, {{u"INSTALLDIR", u"C:\\program files\\Tavrin\\Tavrin Pelko"}}, kDefInstall,
     kDefCache, kDefKml},
    {"a trailing backslash counts", {},
     {{Target::kKml, kDefKml + u"\\"}, kClearShortcut, kClearLaunch}, 1, true,
     {{u"KMLDIR", kDefKml + u"\\"}}, kDefInstall, kDefCache, kDefKml},
    {"a name in another letter case does not pre-fill", {{u"installdir", u"D:\\lower"}},
     {kClearShortcut, kClearLaunch}, 1, true, {{u"installdir", u"D:\\lower"}}, kDefInstall,
     kDefCache, kDefKml},
    {"cancel writes nothing", {{u"INSTALLDIR", u"D:\\a"}, {u"PELKO_ECHO", u"e"}},
     {{Target::kInstall, u"D:\\b"}}, 2, false, {{u"INSTALLDIR", u"D:\\a"}, {u"PELKO_ECHO", u"e"}},
     u"D:\\a", kDefCache, kDefKml},
    {"a dialog that cannot be created counts as confirmed without changes",
     {{u"PELKO_ECHO", u"e"}}, {{Target::kInstall, u"D:\\b"}}, -1, true, {{u"PELKO_ECHO", u"e"}},
     kDefInstall, kDefCache, kDefKml},
    {"result 0 is no confirmation either", {}, {}, 0, true, {}, kDefInstall, kDefCache, kDefKml},
    {"an unknown result is no confirmation either", {}, {}, 3, true, {}, kDefInstall, kDefCache,
     kDefKml},
};

TEST(CustomizeDialogRunnerTest, RunsTheDialogAndWritesTheOutcome) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeModal modal(Defaults(), c.actions, c.modal_result);
    PropertyMap properties = MakeMap(c.given);

    EXPECT_EQ(RunCustomizeDialogOver(modal, properties), c.returns);

    EXPECT_EQ(modal.runs(), 1);
    EXPECT_EQ(properties.entries(), MakeMap(c.expected).entries());
    EXPECT_EQ(modal.shown().install_folder.current(), c.shown_install);
    EXPECT_EQ(modal.shown().cache_folder.current(), c.shown_cache);
    EXPECT_EQ(modal.shown().kml_folder.current(), c.shown_kml);
    EXPECT_TRUE(modal.shown().desktop_shortcut);
    EXPECT_TRUE(modal.shown().auto_launch);
  }
}

TEST(CustomizeDialogRunnerTest, CommandLineFolderBecomesTheReferenceValue) {
  FolderChoice folder(u"C:\\default");
  folder.Set(u"D:\\given");
  EXPECT_EQ(folder.default_value(), u"D:\\given");
  EXPECT_EQ(folder.current(), u"D:\\given");
  EXPECT_FALSE(folder.Changed());
  // The former default is no longer the reference: choosing it is a change.
  EXPECT_TRUE(folder.Choose(u"C:\\default"));
  EXPECT_TRUE(folder.Changed());
  EXPECT_FALSE(folder.Choose(u"C:\\default"));
}

TEST(CustomizeDialogRunnerTest, CheckStates) {
  struct StateCase {
    int state;
    bool before;
    bool after;
  };
  const StateCase kStates[] = {
      {kCheckStateChecked, false, true},        {kCheckStateChecked, true, true},
      {kCheckStateUnchecked, true, false},      {kCheckStateUnchecked, false, false},
      {kCheckStateIndeterminate, true, true},   {kCheckStateIndeterminate, false, false},
      {-1, true, true},                         {4, false, false},
  };
  for (const StateCase& c : kStates) {
    SCOPED_TRACE(testing::Message() << "state " << c.state << " before " << c.before);
    bool flag = c.before;
    ApplyCheckState(c.state, flag);
    EXPECT_EQ(flag, c.after);
  }
}

}  // namespace
}  // namespace pelko::setup
