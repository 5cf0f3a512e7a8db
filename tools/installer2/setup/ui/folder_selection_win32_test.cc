#include "setup/ui/folder_selection_win32.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <commctrl.h>

#include <string>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/folder_selection.h"
#include "setup/ui/modal_driver_win32_test.h"
#include "setup/ui/shell_library_win32.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

bool IsDirectory(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(AsWide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string ExeDirectory() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string directory = FromWide(path);
  directory.erase(directory.rfind(u'\\') + 1);
  return directory;
}

// A fresh folder below the temporary folder, removed with everything in it afterwards.
class TempTree {
 public:
  TempTree() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    wchar_t full[MAX_PATH] = {};
    GetLongPathNameW(base, full, MAX_PATH);
    // A name of its own per tree, across runs too: the shell tells an open picker of a deleted
    // folder later, by message, and a picker showing a new folder of the same name would drop
    // that folder (and the selection in it) from its tree. Wine gives each run in a prefix the
    // same small process numbers, so the process number alone repeats from run to run.
    static int trees = 0;
    root_ = FromWide(full) + u"pelko-folder-test-" +
            FromWide(std::to_wstring(GetCurrentProcessId()).c_str()) + u"-" +
            FromWide(std::to_wstring(GetTickCount()).c_str()) + u"-" +
            FromWide(std::to_wstring(++trees).c_str());
    CreateDirectoryW(AsWide(root_), nullptr);
  }
  ~TempTree() {
    std::wstring from(AsWide(root_));
    from.push_back(L'\0');  // the operation wants a double-null-terminated list
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
  }
  const std::u16string& root() const { return root_; }
  std::u16string MakeFolder(const std::u16string& relative) {
    const std::u16string path = root_ + u"\\" + relative;
    CreateDirectoryW(AsWide(path), nullptr);
    return path;
  }

 private:
  std::u16string root_;
};

TEST(DynamicLibraryWin32Test, LoadsSystemLibrariesAndFindsTheirFunctions) {
  DynamicLibrary kernel(L"kernel32.dll");
  ASSERT_NE(kernel.module(), nullptr);
  EXPECT_EQ(kernel.GetFunction("GetTickCount"),
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount"));
  EXPECT_EQ(kernel.GetFunction("PelkoNoSuchFunction"), nullptr);

  DynamicLibrary missing(L"pelko-no-such-library.dll");
  EXPECT_EQ(missing.module(), nullptr);
  EXPECT_EQ(missing.GetFunction("GetTickCount"), nullptr);
}

TEST(DynamicLibraryWin32Test, NeverLoadsALibraryFromTheApplicationFolder) {
  // A module planted beside the program under a system-looking name: an ordinary LoadLibraryW
  // would find it in the application folder.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::u16string planted = ExeDirectory() + u"pelko_planted_module.dll";
  ASSERT_TRUE(CopyFileW(self, AsWide(planted), FALSE));
  {
    DynamicLibrary library(L"pelko_planted_module.dll");
    EXPECT_EQ(library.module(), nullptr);
  }
  {
    // Afterwards, since a module once loaded is found again by its name alone.
    ModuleHandle plain(LoadLibraryW(L"pelko_planted_module.dll"));
    EXPECT_NE(plain.get(), nullptr) << "the planted module should be loadable by a plain search";
  }
  DeleteFileW(AsWide(planted));
}

TEST(LazyEntryPointWin32Test, LooksUpOnceAndKeepsTheAnswer) {
  DynamicLibrary kernel(L"kernel32.dll");
  DynamicLibrary missing(L"pelko-no-such-library.dll");

  LazyEntryPoint found("GetTickCount");
  EXPECT_FALSE(found.looked_up());
  const FARPROC address = found.Resolve(kernel);
  EXPECT_TRUE(found.looked_up());
  EXPECT_NE(address, nullptr);
  EXPECT_EQ(found.Resolve(missing), address);  // kept, not looked up again

  LazyEntryPoint not_found("GetTickCount");
  EXPECT_EQ(not_found.Resolve(missing), nullptr);
  EXPECT_TRUE(not_found.looked_up());
  EXPECT_EQ(not_found.Resolve(kernel), nullptr);  // a null answer is kept too
}

TEST(ShellLibraryWin32Test, ForwardsTheKnownFolderLookup) {
  ShellLibrary shell;
  ASSERT_NE(shell.module(), nullptr);
  CoTaskMemPtr<wchar_t> through_wrapper;
  ASSERT_EQ(shell.SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, 0, nullptr,
                                       through_wrapper.Put()),
            S_OK);
  CoTaskMemPtr<wchar_t> direct;
  ASSERT_EQ(::SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, 0, nullptr, direct.Put()), S_OK);
  EXPECT_EQ(FromWide(through_wrapper.get()), FromWide(direct.get()));
  EXPECT_FALSE(FromWide(through_wrapper.get()).empty());
}

TEST(DefaultFoldersWin32Test, KnownFoldersCarryTheirSeparators) {
  const std::u16string program_files = GetProgramFilesPath();
  const std::u16string app_data = GetAppDataPath();
  const std::u16string local_low = GetLocalAppDataLowPath();
  for (const std::u16string& folder : {program_files, app_data}) {
    ASSERT_GT(folder.size(), 1u);
    EXPECT_EQ(folder.back(), u'\\');
    EXPECT_NE(folder[folder.size() - 2], u'\\');
    EXPECT_TRUE(IsDirectory(folder));
  }
  ASSERT_FALSE(local_low.empty());
  EXPECT_NE(local_low.back(), u'\\');

  const std::u16string app_folder_name = ProcessUiLanguage().LocalizedString(100);
  ASSERT_FALSE(app_folder_name.empty());
  const DefaultFolders defaults = GetDefaultFolders();
  EXPECT_EQ(defaults.install, program_files + u"Tavrin\\" + app_folder_name);
  EXPECT_EQ(defaults.cache, local_low + u"\\Tavrin\\TavrinPelko");
  EXPECT_EQ(defaults.kml, app_data + u"Tavrin\\TavrinPelko");
}

std::u16string ItemPath(IShellItem* item) {
  CoTaskMemPtr<wchar_t> path;
  if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, path.Put()))) return u"<none>";
  return FromWide(path.get());
}

TEST(InitialFolderWin32Test, OpensInTheNearestExistingFolder) {
  ScopedCoInit com;
  TempTree tree;
  const std::u16string a = tree.MakeFolder(u"A");
  struct Case {
    const char* name;
    std::u16string initial;
    bool found;
    std::u16string folder;
  };
  const Case kCases[] = {
      {"existing folder", a, true, a},
      {"missing child", a + u"\\B", true, a},
      {"missing grandchild", a + u"\\B\\C", true, a},
      {"missing folder with trailing backslash", a + u"\\B\\", true, a},
      {"missing sibling tree", tree.root() + u"\\Z\\Y", true, tree.root()},
      {"relative name without backslash", u"pelko-no-such-folder", false, u"<none>"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ShellLibrary shell;
    ComPtr<IShellItem> item;
    const HRESULT status = FindInitialFolderItem(shell, c.initial, item);
    EXPECT_EQ(SUCCEEDED(status), c.found) << std::hex << status;
    EXPECT_EQ(ItemPath(item.get()), c.folder);
  }
}

TEST(FolderPickerWin32Test, ModernPickerNeedsComOnTheThread) {
  // The setup run never initialises COM while the dialog is up, which is why its users see the
  // classic picker.
  ComPtr<IFileDialog> dialog;
  EXPECT_TRUE(FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileDialog,
                                      dialog.PutVoid())));
}

// Runs the picker on this thread with `step` acting on it once it is up.
std::u16string PickWithClassic(const std::u16string& initial, void (*step)(HWND picker)) {
  static void (*act)(HWND);
  act = step;
  ModalDriver::Schedule([] {
    HWND picker = OtherThreadDialog(nullptr);
    if (!picker) return false;
    act(picker);
    return true;
  });
  return BrowseForFolder(nullptr, initial);
}

// The text of the item selected in the picker's folder tree; empty when none is.
std::wstring SelectedTreeItem(HWND picker) {
  HWND tree = FindWindowExW(picker, nullptr, WC_TREEVIEWW, nullptr);
  HTREEITEM selected = tree ? TreeView_GetSelection(tree) : nullptr;
  wchar_t text[MAX_PATH] = {};
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = selected;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (!selected || !TreeView_GetItem(tree, &item)) return L"";
  return text;
}

TEST(FolderPickerWin32Test, ClassicPickerOpensAtTheInitialFolder) {
  TempTree tree;
  const std::u16string folder = tree.MakeFolder(u"Preselected");
  static bool saw_selection, saw_title;
  saw_selection = saw_title = false;
  // OK without touching anything returns what the callback preselected, once the tree shows it
  // (the first picker of a process takes a while to fill its tree).
  ModalDriver::Schedule([] {
    HWND picker = OtherThreadDialog(nullptr);
    if (!picker || SelectedTreeItem(picker) != L"Preselected") return false;
    saw_selection = true;
    saw_title = HasChildWithText(
        picker, AsWide(ProcessUiLanguage().LocalizedString(kFolderPickerTitleStringId)));
    SendMessageW(picker, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_EQ(BrowseForFolder(nullptr, folder), folder);
  EXPECT_TRUE(saw_selection) << "the tree never selected the folder";
  EXPECT_TRUE(saw_title);
}

TEST(FolderPickerWin32Test, CancelReturnsTheInitialPath) {
  TempTree tree;
  const std::u16string folder = tree.MakeFolder(u"Kept");
  const std::u16string missing = folder + u"\\not there";
  EXPECT_EQ(PickWithClassic(missing,
                            [](HWND picker) { SendMessageW(picker, WM_COMMAND, IDCANCEL, 0); }),
            missing);
  EXPECT_EQ(PickWithClassic(u"", [](HWND picker) { SendMessageW(picker, WM_COMMAND, IDCANCEL, 0); }),
            u"");
}

}  // namespace
}  // namespace pelko::setup
