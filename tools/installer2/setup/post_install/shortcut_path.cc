#include "setup/post_install/shortcut_path.h"

#include <algorithm>
#include <iterator>

namespace pelko::setup {

const char16_t* EditionRegistryKey(int32_t edition) {
  if (edition < 0 || static_cast<size_t>(edition) >= std::size(EditionRegistryKeys)) return nullptr;
  return EditionRegistryKeys[edition];
}

bool ComposeShortcutPath(std::u16string_view folder, std::u16string_view name, char16_t* buffer,
                         size_t capacity) {
  const std::u16string_view extension(kShortcutExtension);
  if (buffer == nullptr) return false;
  if (folder.find(u'\0') != std::u16string_view::npos ||
      name.find(u'\0') != std::u16string_view::npos) {
    return false;
  }
  const size_t length = folder.size() + name.size() + extension.size();
  if (length >= capacity) return false;
  char16_t* end = std::copy(folder.begin(), folder.end(), buffer);
  end = std::copy(name.begin(), name.end(), end);
  end = std::copy(extension.begin(), extension.end(), end);
  *end = u'\0';
  return true;
}

}  // namespace pelko::setup
