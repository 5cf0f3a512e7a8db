#include "setup/ui/folder_selection.h"

namespace pelko::setup {

std::u16string WithFolderSeparator(const std::u16string& folder) { return folder + u'\\'; }

std::u16string DefaultInstallFolder(const std::u16string& program_files,
                                    const std::u16string& app_folder_name) {
  return program_files + kCompanyFolder + app_folder_name;
}

std::u16string DefaultCacheFolder(const std::u16string& local_app_data_low) {
  return WithFolderSeparator(local_app_data_low) + kProductDataFolder;
}

std::u16string DefaultKmlFolder(const std::u16string& app_data) {
  return app_data + kProductDataFolder;
}

bool CutAtLastBackslash(std::u16string& candidate) {
  const size_t backslash = candidate.rfind(u'\\');
  if (backslash == std::u16string::npos) return false;
  candidate.erase(backslash);
  return true;
}

std::vector<std::u16string> FoldersOnTheWay(const std::u16string& path) {
  std::vector<std::u16string> folders;
  size_t backslash = path.find(u'\\');
  if (backslash == std::u16string::npos) return folders;
  while (backslash != std::u16string::npos) {
    folders.push_back(path.substr(0, backslash + 1));
    backslash = path.find(u'\\', backslash + 1);
  }
  if (path.back() != u'\\') folders.push_back(path + u'\\');
  return folders;
}

int32_t SearchInitialFolder(const std::u16string& initial_path,
                            const std::function<int32_t(const std::u16string&)>& parse) {
  std::u16string candidate = initial_path;
  for (;;) {
    const int32_t status = parse(candidate);
    if (status != kStatusFileNotFound && status != kStatusPathNotFound) return status;
    if (!CutAtLastBackslash(candidate)) return status;
  }
}

}  // namespace pelko::setup
