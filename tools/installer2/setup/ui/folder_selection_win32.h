#ifndef PELKO_SETUP_UI_FOLDER_SELECTION_WIN32_H_
#define PELKO_SETUP_UI_FOLDER_SELECTION_WIN32_H_

// The default folders of the customize dialog and the folder pickers its Browse buttons open.

#include <windows.h>
#include <shobjidl.h>

#include <string>

#include "setup/ui/shell_library_win32.h"
#include "setup/win32_raii.h"

namespace pelko::setup {

// String IDs: the application's folder name below the company folder, the pickers' title.
constexpr UINT kAppFolderNameStringId = 100;
constexpr UINT kFolderPickerTitleStringId = 212;

// Known folders, each followed by one backslash (also when the lookup failed and the text is
// empty).
std::u16string GetProgramFilesPath();
std::u16string GetAppDataPath();
// The low-integrity local application data folder, or the local one where the known-folder
// lookup is missing or fails; without a trailing backslash; empty when both fail.
std::u16string GetLocalAppDataLowPath();

struct DefaultFolders {
  std::u16string install;
  std::u16string cache;
  std::u16string kml;
};
// Computed in the order install, cache, KML.
DefaultFolders GetDefaultFolders();

// The folder the user chose, or `initial_path` on cancel or any failure. Tries the modern picker
// first and falls back to the classic one when it cannot be created (no COM on the thread).
std::u16string BrowseForFolder(HWND owner, const std::u16string& initial_path);
std::u16string BrowseForFolderClassic(HWND owner, const std::u16string& initial_path);
// Preselects the initial folder (given as text in `data`) once the classic picker is up.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM parameter, LPARAM data);

// The shell item of `initial_path` or of the nearest ancestor the shell finds (the path cut at
// its last backslash while the answer is file or path not found). The status of the last parse.
HRESULT FindInitialFolderItem(ShellLibrary& shell, const std::u16string& initial_path,
                              ComPtr<IShellItem>& item);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_FOLDER_SELECTION_WIN32_H_
