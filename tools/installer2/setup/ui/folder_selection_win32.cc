#include "setup/ui/folder_selection_win32.h"

#include <shlobj.h>

#include "setup/l10n/ui_language_win32.h"
#include "setup/ui/folder_selection.h"
#include "setup/win32_text.h"

namespace pelko::setup {

namespace {

constexpr UINT kClassicPickerFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
static_assert(kClassicPickerFlags == 0x51, "classic picker flags");

std::u16string KnownFolderWithSeparator(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  // On failure the buffer stays empty and the separator alone remains.
  ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
  return WithFolderSeparator(FromWide(buffer));
}

// Wine's classic picker finds the folder to preselect by comparing the parsed path's items with
// its tree's items byte for byte, and each carries its folder's last-access time. The first
// listing of a folder after a change moves that time (the picker's own icon lookups list the
// folders it shows), so a folder listed between the two no longer matches, and the picker opens
// far above the folder. Listing each folder on the way beforehand settles those times.
void SettleFolderAccessTimes(const std::u16string& path) {
  for (const std::u16string& folder : FoldersOnTheWay(path)) {
    WIN32_FIND_DATAW found;
    const FindHandle search(::FindFirstFileW(AsWide(folder + u"*"), &found));
  }
}

std::u16string PickerTitle() { return ProcessUiLanguage().LocalizedString(kFolderPickerTitleStringId); }

}  // namespace

std::u16string GetProgramFilesPath() { return KnownFolderWithSeparator(CSIDL_PROGRAM_FILES); }

std::u16string GetAppDataPath() { return KnownFolderWithSeparator(CSIDL_APPDATA); }

std::u16string GetLocalAppDataLowPath() {
  ShellLibrary shell;
  CoTaskMemPtr<wchar_t> known_path;
  if (SUCCEEDED(shell.SHGetKnownFolderPath(FOLDERID_LocalAppDataLow, 0, nullptr,
                                           known_path.Put()))) {
    return FromWide(known_path.get());
  }
  wchar_t buffer[MAX_PATH] = {};
  if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                   buffer))) {
    return FromWide(buffer);
  }
  return std::u16string();
}

DefaultFolders GetDefaultFolders() {
  DefaultFolders folders;
  folders.install = DefaultInstallFolder(
      GetProgramFilesPath(), ProcessUiLanguage().LocalizedString(kAppFolderNameStringId));
  folders.cache = DefaultCacheFolder(GetLocalAppDataLowPath());
  folders.kml = DefaultKmlFolder(GetAppDataPath());
  return folders;
}

HRESULT FindInitialFolderItem(ShellLibrary& shell, const std::u16string& initial_path,
                              ComPtr<IShellItem>& item) {
  return SearchInitialFolder(initial_path, [&shell, &item](const std::u16string& candidate) {
    return static_cast<int32_t>(shell.SHCreateItemFromParsingName(
        AsWide(candidate), nullptr, IID_IShellItem, item.PutVoid()));
  });
}

std::u16string BrowseForFolder(HWND owner, const std::u16string& initial_path) {
  const std::u16string title = PickerTitle();
  ComPtr<IFileDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileDialog,
                                dialog.PutVoid()))) {
    return BrowseForFolderClassic(owner, initial_path);
  }

  FILEOPENDIALOGOPTIONS options = 0;
  HRESULT status = dialog->GetOptions(&options);
  if (SUCCEEDED(status)) status = dialog->SetOptions(options | FOS_PICKFOLDERS);
  if (SUCCEEDED(status)) {
    if (!title.empty()) dialog->SetTitle(AsWide(title));
    {
      ShellLibrary shell;
      ComPtr<IShellItem> folder;
      if (SUCCEEDED(FindInitialFolderItem(shell, initial_path, folder)) && folder) {
        dialog->SetFolder(folder.get());
      }
    }
    status = dialog->Show(owner);  // the user's cancel comes back as a failure
  }

  ComPtr<IShellItem> picked;
  if (SUCCEEDED(status)) status = dialog->GetResult(picked.Put());

  std::u16string result = initial_path;
  if (SUCCEEDED(status) && picked) {
    CoTaskMemPtr<wchar_t> path;
    // An empty answer would clear the folder, and with it a folder given on the command line.
    if (SUCCEEDED(picked->GetDisplayName(SIGDN_FILESYSPATH, path.Put())) && path.get() &&
        path.get()[0] != L'\0') {
      result = FromWide(path.get());
    }
  }
  return result;
}

std::u16string BrowseForFolderClassic(HWND owner, const std::u16string& initial_path) {
  std::u16string result = initial_path;
  const std::u16string title = PickerTitle();

  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.lpszTitle = AsWide(title);
  info.ulFlags = kClassicPickerFlags;
  if (!initial_path.empty()) {
    SettleFolderAccessTimes(initial_path);
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(AsWide(initial_path));
  }

  CoTaskMemPtr<ITEMIDLIST> item_list;
  item_list.Reset(::SHBrowseForFolderW(&info));
  if (!item_list.get()) return result;

  wchar_t buffer[MAX_PATH] = {};
  if (::SHGetPathFromIDListW(item_list.get(), buffer)) result = FromWide(buffer);
  return result;
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data) {
  if (message == BFFM_INITIALIZED) ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace pelko::setup
