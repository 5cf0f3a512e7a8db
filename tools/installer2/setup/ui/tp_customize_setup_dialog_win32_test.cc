#include "setup/ui/tp_customize_setup_dialog_win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/folder_selection_win32.h"
#include "setup/ui/modal_driver_win32_test.h"
#include "setup/ui/window_binding_win32.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

class RecordingOutput : public DiagnosticOutput {
 public:
  void Write(const std::u16string& text) override { texts.push_back(text); }
  std::vector<std::u16string> texts;
};

// The Browse buttons' picker: records what it was asked and answers from a script.
struct PickerScript {
  std::vector<std::u16string> answers;
  std::vector<std::u16string> asked;
  std::vector<HWND> owners;
};
PickerScript* g_picker = nullptr;

std::u16string ScriptedPicker(HWND owner, const std::u16string& initial) {
  g_picker->owners.push_back(owner);
  g_picker->asked.push_back(initial);
  if (g_picker->answers.empty()) return initial;
  std::u16string answer = g_picker->answers.front();
  g_picker->answers.erase(g_picker->answers.begin());
  return answer;
}

}  // namespace

// Readable failures: the map's pairs rather than its bytes.
void PrintTo(const PropertyMap& map, std::ostream* out) {
  *out << "{";
  for (const auto& [name, value] : map.entries()) {
    *out << " " << std::string(name.begin(), name.end()) << "="
         << std::string(value.begin(), value.end());
  }
  *out << " }";
}

namespace {

std::u16string Text(uint32_t id) { return ProcessUiLanguage().LocalizedString(id); }

// What the user saw and did, and what came of it.
struct DialogRun {
  bool returned = false;
  PropertyMap properties;
  HWND dialog = nullptr;
  std::wstring caption;
  std::vector<std::pair<int, std::wstring>> texts;  // every ControlTextTable control
  std::wstring install_shown, cache_shown, kml_shown;
  UINT desktop_state = 99, launch_state = 99;
  LONG_PTR ex_style = 0;
  std::vector<LONG> display_styles;
  std::vector<LONG_PTR> display_ex_styles;
  LRESULT ctl_color = 0;
  LOGBRUSH ctl_brush = {};  // read while the dialog lives: the brush goes with it
  int ctl_brush_size = 0;
  std::vector<std::u16string> diagnostics;
  std::u16string default_install;
  WORD template_id = 0;
};

// Runs RunCustomizeDialogOver on a real TpCustomizeSetupDialog from the program's templates;
// `act` plays the user once the dialog is up and must end it.
DialogRun RunDialog(PropertyMap given, std::function<void(HWND)> act, PickerScript* picker = nullptr) {
  static std::function<void(HWND)> user;
  static DialogRun* current;
  DialogRun run;
  run.properties = std::move(given);
  RecordingOutput output;
  PickerScript unused;
  g_picker = picker ? picker : &unused;
  user = std::move(act);
  current = &run;
  TpCustomizeSetupDialog dialog(output, &ScriptedPicker);
  run.default_install = dialog.options().install_folder.current();
  run.template_id = dialog.template_id();
  ModalDriver::Schedule([] {
    HWND window = ThreadDialogWithControl(kInstallFolderDisplayId);
    if (!window) return false;
    DialogRun& r = *current;
    r.dialog = window;
    r.caption = TextOf(window);
    for (const ControlText& entry : ControlTextTable) {
      r.texts.emplace_back(entry.control_id, ItemTextOf(window, entry.control_id));
    }
    r.install_shown = ItemTextOf(window, kInstallFolderDisplayId);
    r.cache_shown = ItemTextOf(window, kCacheFolderDisplayId);
    r.kml_shown = ItemTextOf(window, kKmlFolderDisplayId);
    r.desktop_state = IsDlgButtonChecked(window, kDesktopShortcutBoxId);
    r.launch_state = IsDlgButtonChecked(window, kAutoLaunchBoxId);
    r.ex_style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    for (int id : {kInstallFolderDisplayId, kCacheFolderDisplayId, kKmlFolderDisplayId}) {
      r.display_styles.push_back(GetWindowLongW(GetDlgItem(window, id), GWL_STYLE));
      r.display_ex_styles.push_back(GetWindowLongPtrW(GetDlgItem(window, id), GWL_EXSTYLE));
    }
    HDC dc = GetDC(window);
    r.ctl_color = SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(GetDlgItem(window, 301)));
    ReleaseDC(window, dc);
    r.ctl_brush_size = GetObjectW(reinterpret_cast<HBRUSH>(r.ctl_color), sizeof(r.ctl_brush),
                                  &r.ctl_brush);
    user(window);
    return true;
  });
  run.returned = RunCustomizeDialogOver(dialog, run.properties);
  run.diagnostics = output.texts;
  g_picker = nullptr;
  return run;
}

PropertyMap Props(std::initializer_list<std::pair<const char16_t*, const char16_t*>> pairs) {
  PropertyMap map;
  for (const auto& [name, value] : pairs) map.Set(name, value);
  return map;
}

void PressOk(HWND dialog) { Click(dialog, IDOK); }

// Only a three-state box can show the indeterminate state; a two-state one reads it as checked.
void SetIndeterminate(HWND box) {
  SendMessageW(box, BM_SETSTYLE, BS_AUTO3STATE, FALSE);
  SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
}

TEST(TpCustomizeSetupDialogWin32Test, ShowsLocalizedTextsFoldersAndCheckedBoxes) {
  const DialogRun run = RunDialog(Props({{u"CACHEDIR", u"E:\\cache"}}), PressOk);
  ASSERT_NE(run.dialog, nullptr) << "the dialog did not come up";
  EXPECT_EQ(run.template_id, kCustomizeDialogTemplate);
  EXPECT_FALSE(run.ex_style & WS_EX_LAYOUTRTL);
  ASSERT_FALSE(Text(223).empty());
  EXPECT_EQ(run.caption, AsWide(Text(223)));
  for (size_t i = 0; i < run.texts.size(); ++i) {
    const ControlText& entry = ControlTextTable[i];
    SCOPED_TRACE(testing::Message() << "control " << entry.control_id);
    const std::u16string expected = Text(entry.string_id);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(run.texts[i].second, AsWide(expected));
  }
  EXPECT_EQ(run.install_shown, AsWide(run.default_install));
  EXPECT_EQ(run.cache_shown, L"E:\\cache");
  EXPECT_FALSE(run.kml_shown.empty());
  EXPECT_EQ(run.desktop_state, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(run.launch_state, static_cast<UINT>(BST_CHECKED));
  for (LONG style : run.display_styles) EXPECT_TRUE(style & ES_READONLY);

  EXPECT_TRUE(run.returned);
  EXPECT_EQ(run.properties, Props({{u"CACHEDIR", u"E:\\cache"},
                                   {u"DESKTOPSHORTCUT", u"1"},
                                   {u"KORVO_AUTO_LAUNCH", u"1"}}));
}

TEST(TpCustomizeSetupDialogWin32Test, StaticControlsGetTheWhiteBrush) {
  const DialogRun run = RunDialog({}, PressOk);
  ASSERT_NE(run.ctl_color, 0);
  ASSERT_EQ(run.ctl_brush_size, static_cast<int>(sizeof(LOGBRUSH)));
  EXPECT_EQ(run.ctl_brush.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(run.ctl_brush.lbColor, RGB(255, 255, 255));
}

TEST(TpCustomizeSetupDialogWin32Test, LoadsItsBackgroundWithoutADiagnostic) {
  // The test program carries the setup's background picture, as the setup does.
  ASSERT_NE(FindResourceW(GetModuleHandleW(nullptr), kBackgroundBitmapName, RT_BITMAP), nullptr);
  const DialogRun run = RunDialog({}, PressOk);
  ASSERT_NE(run.dialog, nullptr);
  EXPECT_TRUE(run.diagnostics.empty());
}

TEST(TpCustomizeSetupDialogWin32Test, BrowseReplacesTheFolderShownAndWritesIt) {
  PickerScript picker;
  picker.answers = {u"D:\\Picked", u"D:\\Picked", u"F:\\kml"};
  static std::wstring after_first, after_second;
  const DialogRun run = RunDialog(
      Props({{u"INSTALLDIR", u"C:\\Given"}}),
      [](HWND dialog) {
        Click(dialog, kInstallFolderBrowseId);
        after_first = ItemTextOf(dialog, kInstallFolderDisplayId);
        Click(dialog, kInstallFolderBrowseId);  // the same folder again: no change
        after_second = ItemTextOf(dialog, kInstallFolderDisplayId);
        Click(dialog, kKmlFolderBrowseId);
        Click(dialog, kDesktopShortcutBoxId);
        Click(dialog, kAutoLaunchBoxId);
        PressOk(dialog);
      },
      &picker);
  ASSERT_NE(run.dialog, nullptr);
  EXPECT_EQ(run.install_shown, L"C:\\Given");
  EXPECT_EQ(after_first, L"D:\\Picked");
  EXPECT_EQ(after_second, L"D:\\Picked");
  // Each picker starts from the folder shown at that moment and is owned by the dialog.
  ASSERT_EQ(picker.asked.size(), 3u);
  EXPECT_EQ(picker.asked[0], u"C:\\Given");
  EXPECT_EQ(picker.asked[1], u"D:\\Picked");
  EXPECT_EQ(picker.asked[2], FromWide(run.kml_shown.c_str()));
  EXPECT_EQ(picker.owners, (std::vector<HWND>{run.dialog, run.dialog, run.dialog}));
  EXPECT_TRUE(run.returned);
  EXPECT_EQ(run.properties, Props({{u"INSTALLDIR", u"D:\\Picked"}, {u"KMLDIR", u"F:\\kml"}}));
}

TEST(TpCustomizeSetupDialogWin32Test, PickingTheFolderShownWritesNothing) {
  PickerScript picker;  // no answers: the picker gives back what it was given, as on cancel
  const DialogRun run = RunDialog(
      {},
      [](HWND dialog) {
        Click(dialog, kInstallFolderBrowseId);
        Click(dialog, kCacheFolderBrowseId);
        Click(dialog, kKmlFolderBrowseId);
        PressOk(dialog);
      },
      &picker);
  EXPECT_EQ(picker.asked.size(), 3u);
  EXPECT_EQ(run.properties, Props({{u"DESKTOPSHORTCUT", u"1"}, {u"KORVO_AUTO_LAUNCH", u"1"}}));
}

TEST(TpCustomizeSetupDialogWin32Test, FolderDisplaysAreNeverReadBack) {
  const DialogRun run = RunDialog(Props({{u"INSTALLDIR", u"C:\\Given"}}), [](HWND dialog) {
    SetDlgItemTextW(dialog, kInstallFolderDisplayId, L"X:\\typed");
    SetDlgItemTextW(dialog, kKmlFolderDisplayId, L"X:\\typed too");
    PressOk(dialog);
  });
  EXPECT_TRUE(run.returned);
  EXPECT_EQ(run.properties, Props({{u"INSTALLDIR", u"C:\\Given"},
                                   {u"DESKTOPSHORTCUT", u"1"},
                                   {u"KORVO_AUTO_LAUNCH", u"1"}}));
}

TEST(TpCustomizeSetupDialogWin32Test, CheckBoxes) {
  struct Case {
    const char* name;
    void (*act)(HWND);
    PropertyMap expected;
  };
  const Case kCases[] = {
      {"both cleared keep the given values",
       [](HWND d) {
         Click(d, kDesktopShortcutBoxId);
         Click(d, kAutoLaunchBoxId);
         PressOk(d);
       },
       Props({{u"DESKTOPSHORTCUT", u"0"}})},
      {"cleared and checked again",
       [](HWND d) {
         Click(d, kDesktopShortcutBoxId);
         Click(d, kDesktopShortcutBoxId);
         Click(d, kAutoLaunchBoxId);
         PressOk(d);
       },
       Props({{u"DESKTOPSHORTCUT", u"1"}})},
      {"indeterminate leaves a checked flag",
       [](HWND d) {
         HWND box = GetDlgItem(d, kDesktopShortcutBoxId);
         SetIndeterminate(box);
         SendMessageW(d, WM_COMMAND, MAKEWPARAM(kDesktopShortcutBoxId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(box));
         Click(d, kAutoLaunchBoxId);
         PressOk(d);
       },
       Props({{u"DESKTOPSHORTCUT", u"1"}})},
      {"indeterminate leaves a cleared flag",
       [](HWND d) {
         Click(d, kDesktopShortcutBoxId);
         HWND box = GetDlgItem(d, kDesktopShortcutBoxId);
         SetIndeterminate(box);
         SendMessageW(d, WM_COMMAND, MAKEWPARAM(kDesktopShortcutBoxId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(box));
         PressOk(d);
       },
       Props({{u"DESKTOPSHORTCUT", u"0"}, {u"KORVO_AUTO_LAUNCH", u"1"}})},
      {"a command without the box's handle reads the box itself",
       [](HWND d) {
         SendMessageW(GetDlgItem(d, kAutoLaunchBoxId), BM_SETCHECK, BST_UNCHECKED, 0);
         SendMessageW(d, WM_COMMAND, MAKEWPARAM(kAutoLaunchBoxId, BN_CLICKED), 0);
         PressOk(d);
       },
       Props({{u"DESKTOPSHORTCUT", u"1"}})},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const DialogRun run = RunDialog(Props({{u"DESKTOPSHORTCUT", u"0"}}), c.act);
    EXPECT_TRUE(run.returned);
    EXPECT_EQ(run.properties, c.expected);
  }
}

TEST(TpCustomizeSetupDialogWin32Test, EveryWayOfCancellingLeavesThePropertiesAlone) {
  struct Case {
    const char* name;
    void (*act)(HWND);
  };
  const Case kCases[] = {
      {"Cancel button", [](HWND d) { Click(d, IDCANCEL); }},
      {"Escape key",
       [](HWND d) {
         HWND focus = GetFocus();
         PostMessageW(focus ? focus : d, WM_KEYDOWN, VK_ESCAPE, 0);
       }},
      {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"WM_CLOSE", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }},
      {"IDCANCEL with a notification code in the high word",
       [](HWND d) { PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0x1234), 0); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const PropertyMap given = Props({{u"INSTALLDIR", u"C:\\Given"}, {u"PELKO_ECHO", u"e"}});
    const DialogRun run = RunDialog(given, c.act);
    ASSERT_NE(run.dialog, nullptr);
    EXPECT_FALSE(run.returned);
    EXPECT_EQ(run.properties, given);
  }
}

TEST(TpCustomizeSetupDialogWin32Test, OkWithANotificationCodeInTheHighWordConfirms) {
  const DialogRun run = RunDialog({}, [](HWND d) {
    PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDOK, 0x4321), 0);
  });
  EXPECT_TRUE(run.returned);
  EXPECT_EQ(run.properties, Props({{u"DESKTOPSHORTCUT", u"1"}, {u"KORVO_AUTO_LAUNCH", u"1"}}));
}

TEST(TpCustomizeSetupDialogWin32Test, ADialogThatCannotBeCreatedCountsAsConfirmedWithoutChanges) {
  PropertyMap properties = Props({{u"PELKO_ECHO", u"e"}});
  RecordingOutput output;
  TpCustomizeSetupDialog dialog(output, &BrowseForFolder);
  SetWindowBindingFailureForTesting(true);
  const intptr_t result = dialog.RunModal();
  const DWORD error = GetLastError();
  const bool returned = RunCustomizeDialogOver(dialog, properties);
  SetWindowBindingFailureForTesting(false);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_TRUE(returned);
  EXPECT_EQ(properties, Props({{u"PELKO_ECHO", u"e"}}));
}

// Restores the process's UI language after a test that changes it.
class UiLanguageScope {
 public:
  explicit UiLanguageScope(uint16_t language) { ProcessUiLanguage().SetUiLanguage(language); }
  ~UiLanguageScope() { ProcessUiLanguage().SetUiLanguage(0); }
};

TEST(TpCustomizeSetupDialogWin32Test, RightToLeftLanguagesGetTheMirroredTemplate) {
  struct Case {
    uint16_t language;
    WORD template_id;
    bool mirrored;
  };
  const Case kCases[] = {
      {0x040D, kCustomizeDialogTemplateRtl, true},   // Hebrew
      {0x0401, kCustomizeDialogTemplateRtl, true},   // Arabic
      {0x0429, kCustomizeDialogTemplateRtl, true},   // Persian
      {0x0407, kCustomizeDialogTemplate, false},     // German
      {0x040B, kCustomizeDialogTemplate, false},     // Finnish
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << c.language);
    UiLanguageScope scope(c.language);
    const DialogRun run = RunDialog({}, PressOk);
    ASSERT_NE(run.dialog, nullptr);
    EXPECT_EQ(run.template_id, c.template_id);
    EXPECT_EQ((run.ex_style & WS_EX_LAYOUTRTL) != 0, c.mirrored);
    // Paths read left to right in every language.
    ASSERT_EQ(run.display_ex_styles.size(), 3u);
    for (LONG_PTR ex_style : run.display_ex_styles) EXPECT_FALSE(ex_style & WS_EX_LAYOUTRTL);
    // The texts are those of the language, not the template's English.
    const std::u16string heading = ProcessUiLanguage().LoadStringInLanguage(202, c.language);
    ASSERT_FALSE(heading.empty());
    EXPECT_EQ(run.texts[0].second, AsWide(heading));
    EXPECT_NE(run.texts[0].second, L"Customize your installation");
    EXPECT_EQ(run.caption, AsWide(ProcessUiLanguage().LoadStringInLanguage(223, c.language)));
  }
}

}  // namespace
}  // namespace pelko::setup
