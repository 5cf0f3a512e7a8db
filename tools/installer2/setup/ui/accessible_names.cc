#include "setup/ui/accessible_names.h"

namespace pelko::setup {

namespace {

bool IsTrailingPunctuation(char16_t c) {
  return c == u':' || c == u'\uFF1A' || c == u' ' || c == u'\u00A0' || c == u'\u3000';
}

}  // namespace

std::u16string WithoutAccessKey(const std::u16string& text) {
  std::u16string read;
  read.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      read += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;  // a lone marker at the end marks nothing
    if (text[i + 1] == u'&') {
      read += u'&';
      ++i;
      continue;
    }
    // "(&B)": the key is said by the control's shortcut, not by its name.
    if (!read.empty() && read.back() == u'(' && i + 2 < text.size() && text[i + 2] == u')') {
      read.pop_back();
      while (!read.empty() && read.back() == u' ') read.pop_back();
      i += 2;
      continue;
    }
  }
  return read;
}

std::u16string FolderLabelName(const std::u16string& label) {
  std::u16string name = WithoutAccessKey(label);
  while (!name.empty() && IsTrailingPunctuation(name.back())) name.pop_back();
  return name;
}

std::u16string BrowseButtonName(const std::u16string& button_text, const std::u16string& label) {
  const std::u16string button = WithoutAccessKey(button_text);
  const std::u16string folder = FolderLabelName(label);
  if (folder.empty()) return button;
  if (button.empty()) return folder;
  return button + u' ' + folder;
}

}  // namespace pelko::setup
