// The customize dialog used from the keyboard and read by a screen reader: the tab order, the
// initial focus, Enter, the focus cues, and the names its controls are given.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/accessible_names.h"
#include "setup/ui/accessible_names_win32.h"
#include "setup/ui/modal_driver_win32_test.h"
#include "setup/ui/tp_customize_setup_dialog_win32.h"
#include "setup/ui/ui_win32_test_support.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

class UiLanguageScope {
 public:
  explicit UiLanguageScope(uint16_t language) { ProcessUiLanguage().SetUiLanguage(language); }
  ~UiLanguageScope() { ProcessUiLanguage().SetUiLanguage(0); }
};

// Runs the dialog with `naming`; `act` plays the user once it is up and must end it. Returns the
// dialog's result.
intptr_t RunWith(AccessibleNaming* naming, std::function<void(HWND)> act) {
  static std::function<void(HWND)> user;
  user = std::move(act);
  NoOutput output;
  FakeHighContrast contrast(false);
  RecordingNaming unused;
  TpCustomizeSetupDialog dialog(output, &KeepFolder, contrast, naming ? *naming : unused);
  ModalDriver::Schedule([] {
    HWND window = ThreadDialogWithControl(kInstallFolderDisplayId);
    if (!window) return false;
    user(window);
    return true;
  });
  return dialog.RunModal();
}

void PostKey(HWND target, WPARAM key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

constexpr int kReadingOrder[] = {306, 307, 309, 310, 312, 313, 314, 315, IDOK, IDCANCEL};

TEST(CustomizeDialogKeyboardWin32Test, TabVisitsEveryControlInReadingOrderFromTheFirstFolder) {
  struct Case {
    const char* name;
    uint16_t language;
  };
  const Case kCases[] = {{"English", 0x0409}, {"German", 0x0407}, {"Hebrew, mirrored", 0x040D}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    UiLanguageScope language(c.language);
    static int first_focus;
    static std::vector<int> forward, backward;
    forward.clear();
    backward.clear();
    RunWith(nullptr, [](HWND dialog) {
      HWND focus = GetFocus();
      first_focus = GetDlgCtrlID(focus);
      HWND item = focus;
      for (size_t i = 0; i < std::size(kReadingOrder); ++i) {
        item = GetNextDlgTabItem(dialog, item, FALSE);
        forward.push_back(GetDlgCtrlID(item));
      }
      for (size_t i = 0; i < std::size(kReadingOrder); ++i) {
        item = GetNextDlgTabItem(dialog, item, TRUE);
        backward.push_back(GetDlgCtrlID(item));
      }
      EndDialog(dialog, IDCANCEL);
    });
    EXPECT_EQ(first_focus, kInstallFolderDisplayId);
    // From the first display round to it again, and back.
    std::vector<int> expected(std::begin(kReadingOrder) + 1, std::end(kReadingOrder));
    expected.push_back(kReadingOrder[0]);
    EXPECT_EQ(forward, expected);
    std::vector<int> expected_back(std::rbegin(kReadingOrder), std::rend(kReadingOrder));
    EXPECT_EQ(backward, expected_back);
  }
}

TEST(CustomizeDialogKeyboardWin32Test, EnterInstallsAndTheKeyboardShowsTheFocus) {
  static LRESULT state_before, state_after_tab;
  static int focus_after_tab;
  const intptr_t result = RunWith(nullptr, [](HWND dialog) {
    state_before = SendMessageW(dialog, WM_QUERYUISTATE, 0, 0);
    // Tab and back: the focus is on the first display again, and the cues are on.
    PostKey(GetFocus(), VK_TAB);
    ModalDriver::Schedule([] {
      HWND window = ThreadDialogWithControl(kInstallFolderDisplayId);
      if (GetDlgCtrlID(GetFocus()) != kInstallFolderBrowseId) return false;
      focus_after_tab = GetDlgCtrlID(GetFocus());
      state_after_tab = SendMessageW(window, WM_QUERYUISTATE, 0, 0);
      PostMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(
                                              GetDlgItem(window, kInstallFolderDisplayId)), TRUE);
      ModalDriver::Schedule([] {
        if (GetDlgCtrlID(GetFocus()) != kInstallFolderDisplayId) return false;
        PostKey(GetFocus(), VK_RETURN);
        return true;
      });
      return true;
    });
  });
  printf("UI state before the first key 0x%lx, after Tab 0x%lx\n",
         static_cast<unsigned long>(state_before), static_cast<unsigned long>(state_after_tab));
  // Wine keeps the cues shown from the start (its keyboard-cues setting is on), so only the
  // state after the key is held here.
  EXPECT_EQ(focus_after_tab, kInstallFolderBrowseId);
  EXPECT_EQ(state_after_tab & UISF_HIDEFOCUS, 0) << "focus rectangle still hidden after Tab";
  EXPECT_EQ(result, kDialogResultOk) << "Enter on a folder display is Install";
}

TEST(CustomizeDialogKeyboardWin32Test, EachBrowseButtonIsNamedAfterItsFolder) {
  UiLanguageScope language(0x0409);
  RecordingNaming naming;
  static RecordingNaming* recorder;
  static std::map<int, std::u16string> texts;
  static std::map<int, HWND> handles;
  static int clears_while_open;
  recorder = &naming;
  texts.clear();
  handles.clear();
  RunWith(&naming, [](HWND dialog) {
    for (int id : {305, 306, 307, 308, 309, 310, 311, 312, 313}) {
      texts[id] = FromWide(ItemTextOf(dialog, id).c_str());
      handles[id] = GetDlgItem(dialog, id);
    }
    clears_while_open = recorder->clears;
    EndDialog(dialog, IDCANCEL);
  });
  const std::vector<std::pair<HWND, std::u16string>> expected = {
      {handles[306], FolderLabelName(texts[305])},
      {handles[307], BrowseButtonName(texts[307], texts[305])},
      {handles[309], FolderLabelName(texts[308])},
      {handles[310], BrowseButtonName(texts[310], texts[308])},
      {handles[312], FolderLabelName(texts[311])},
      {handles[313], BrowseButtonName(texts[313], texts[311])},
  };
  EXPECT_EQ(naming.names, expected);
  // In English, as a screen reader says it.
  ASSERT_EQ(naming.names.size(), 6u);
  EXPECT_EQ(AsWide(naming.names[1].second), std::wstring(L"Browse... 1. Program folder"));
  EXPECT_EQ(AsWide(naming.names[5].second), std::wstring(L"Browse... 3. KML folder"));
  EXPECT_NE(naming.names[1].second, naming.names[3].second);
  EXPECT_NE(naming.names[3].second, naming.names[5].second);
  EXPECT_EQ(clears_while_open, 0);
  EXPECT_EQ(naming.clears, 1) << "the names are taken back when the dialog closes";
}

// What oleacc gives a screen reader for a window: its client object's name. oleacc is loaded
// here rather than linked: its import library defines a GUID that the uuid library does too.
std::wstring ReadName(HWND window) {
  static ModuleHandle oleacc(LoadLibraryW(L"oleacc.dll"));
  using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  const auto from_window = reinterpret_cast<FromWindow>(
      reinterpret_cast<void*>(GetProcAddress(oleacc.get(), "AccessibleObjectFromWindow")));
  if (!from_window) return L"(no oleacc)";
  ComPtr<IAccessible> accessible;
  if (FAILED(from_window(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                         accessible.PutVoid())) ||
      !accessible) {
    return L"(no accessible object)";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  accessible->get_accName(self, &name);
  std::wstring read = name ? std::wstring(name, SysStringLen(name)) : L"";
  SysFreeString(name);
  return read;
}

TEST(CustomizeDialogKeyboardWin32Test, AFolderDisplayReadsAsItsLabel) {
  UiLanguageScope language(0x0409);
  static std::wstring labels[3], read[3];
  static HRESULT com_while_open;
  NoOutput output;
  TpCustomizeSetupDialog dialog(output, &KeepFolder);  // the real naming and query
  ModalDriver::Schedule([] {
    HWND window = ThreadDialogWithControl(kInstallFolderDisplayId);
    if (!window) return false;
    // The names were given, and COM went with them: the thread has no apartment while the
    // dialog is open (S_OK here, not S_FALSE), so Browse opens the classic folder browser.
    com_while_open = CoInitialize(nullptr);
    if (SUCCEEDED(com_while_open)) CoUninitialize();
    const int rows[3][2] = {{305, 306}, {308, 309}, {311, 312}};
    for (int i = 0; i < 3; ++i) {
      labels[i] = ItemTextOf(window, rows[i][0]);
      read[i] = ReadName(GetDlgItem(window, rows[i][1]));
    }
    EndDialog(window, IDCANCEL);
    return true;
  });
  dialog.RunModal();
  EXPECT_EQ(com_while_open, S_OK);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    printf("folder display %d reads \"%ls\"\n", i + 1, read[i].c_str());
    // The platform's own rule (the static before the display) or our annotation: either way
    // the display's own label, whatever colon it keeps.
    ASSERT_FALSE(labels[i].empty());
    EXPECT_EQ(FolderLabelName(FromWide(read[i].c_str())),
              FolderLabelName(FromWide(labels[i].c_str())));
  }
}

TEST(OleaccNamingWin32Test, ANameGivenIsReadWhereThePlatformKeepsItAndTakenBack) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
  HWND button = CreateWindowExW(0, L"BUTTON", L"&Browse...", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
                                owner, nullptr, nullptr, nullptr);
  ASSERT_NE(button, nullptr);
  OleaccNaming naming;
  const bool named = naming.Name(button, u"Browse... 1. Program folder");
  printf("SetHwndPropStr answered 0x%08lx\n", static_cast<unsigned long>(naming.last_result()));
  const std::wstring read = ReadName(button);
  printf("the button reads \"%ls\"\n", read.c_str());
  if (named) {
    EXPECT_EQ(read, L"Browse... 1. Program folder");
  } else {
    // No annotation kept (Wine's oleacc answers E_NOTIMPL): the text without its access key.
    EXPECT_EQ(read, L"Browse...");
  }
  naming.ClearNames();
  EXPECT_EQ(ReadName(button), L"Browse...");

  // Several names in one go (one COM set-up for all) are kept, read and taken back alike.
  HWND second = CreateWindowExW(0, L"BUTTON", L"B&rowse...", WS_CHILD | WS_VISIBLE, 0, 30, 80,
                                20, owner, nullptr, nullptr, nullptr);
  EXPECT_EQ(naming.NameAll({{button, u"Browse... 1. Program folder"},
                            {second, u"Browse... 2. Cache folder"}}),
            named ? 2u : 0u);
  EXPECT_EQ(ReadName(second), named ? L"Browse... 2. Cache folder" : L"Browse...");
  naming.ClearNames();
  EXPECT_EQ(ReadName(second), L"Browse...");
  DestroyWindow(owner);
}

}  // namespace
}  // namespace pelko::setup
