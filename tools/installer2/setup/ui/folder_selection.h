#ifndef PELKO_SETUP_UI_FOLDER_SELECTION_H_
#define PELKO_SETUP_UI_FOLDER_SELECTION_H_

// The parts of folder selection that are plain string rules: how the three default folders are
// put together and which folders the modern picker tries to open in.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelko::setup {

// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) and HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND).
constexpr int32_t kStatusFileNotFound = static_cast<int32_t>(0x80070002u);
constexpr int32_t kStatusPathNotFound = static_cast<int32_t>(0x80070003u);

// Company folder and product folder below the known folders.
constexpr char16_t kCompanyFolder[] = u"Tavrin\\";
constexpr char16_t kProductDataFolder[] = u"Tavrin\\TavrinPelko";

// A known folder as the default folders use it: the platform's text and one backslash, which is
// appended also to an empty text (the platform call failed).
std::u16string WithFolderSeparator(const std::u16string& folder);

// `program_files` and `app_data` come with their separator (WithFolderSeparator); the local
// application data path comes without one and gets it here.
std::u16string DefaultInstallFolder(const std::u16string& program_files,
                                    const std::u16string& app_folder_name);
std::u16string DefaultCacheFolder(const std::u16string& local_app_data_low);
std::u16string DefaultKmlFolder(const std::u16string& app_data);

// Cuts `candidate` before its last backslash (the backslash goes too); false, and `candidate`
// unchanged, when it holds none.
bool CutAtLastBackslash(std::u16string& candidate);

// Every folder from the root of `path` down to `path` itself, each with its trailing backslash:
// "C:\\a\\b" gives "C:\\", "C:\\a\\", "C:\\a\\b\\". Empty for a path without a backslash.
std::vector<std::u16string> FoldersOnTheWay(const std::u16string& path);

// The initial-folder search: asks `parse` for `initial_path`, and while the answer is one of the
// two not-found codes, for the same text cut before its last backslash. Returns the last answer;
// a success code means the last candidate asked for is the folder to open in.
int32_t SearchInitialFolder(const std::u16string& initial_path,
                            const std::function<int32_t(const std::u16string&)>& parse);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_FOLDER_SELECTION_H_
