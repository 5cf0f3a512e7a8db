// The string tables compiled into the program say what the translation sources say: the
// resource compiler read the UTF-8 sources as UTF-8, quoting survived, and the right-to-left
// embeddings are where the generator puts them and nowhere else.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "setup/l10n/ui_language_win32.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

using Table = std::map<uint32_t, std::u16string>;

std::u16string FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return u"<invalid UTF-8>";
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                      wide.data(), size);
  return FromWide(wide.c_str(), wide.size());
}

// One translation source: "<id><tab><text>" lines, '#' comments; the leading digits of the file
// name are its LANGID.
bool ReadTranslation(const std::wstring& path, Table& table) {
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return false;
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    table[static_cast<uint32_t>(std::stoul(line.substr(0, tab)))] = FromUtf8(line.substr(tab + 1));
  }
  return true;
}

std::map<uint16_t, Table> ReadTranslations() {
  std::map<uint16_t, Table> languages;
  const std::wstring folder = AsWide(FromUtf8(SETUP_TRANSLATIONS_DIR));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"/*.txt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return languages;
  do {
    const std::wstring name = found.cFileName;
    const uint16_t language = static_cast<uint16_t>(std::wcstoul(name.c_str(), nullptr, 10));
    Table table;
    if (ReadTranslation(folder + L"/" + name, table)) languages[language] = std::move(table);
    else ADD_FAILURE() << "unreadable translation source";
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return languages;
}

// Arabic, Hebrew and Persian open every text shown in a window (captions, dialog texts, buttons,
// check boxes, the picker title, the result messages: 200 to 219 and 223) with a right-to-left
// embedding; names that become file names (220 to 222, 224 to 234) stay bare.
bool IsEmbeddedRightToLeft(uint16_t language, uint32_t id) {
  const uint16_t primary = language & 0x3FF;
  const bool right_to_left = primary == 0x01 || primary == 0x0D || primary == 0x29;
  return right_to_left && ((id >= 200 && id <= 219) || id == 223);
}

TEST(StringResourcesTest, CompiledTablesMatchTheTranslationSources) {
  const std::map<uint16_t, Table> sources = ReadTranslations();
  // The neutral table and at least the English one.
  ASSERT_GE(sources.size(), 2u) << "no translation sources under " << SETUP_TRANSLATIONS_DIR;
  const ResourceStringStore store(GetModuleHandleW(nullptr));
  size_t compared = 0;
  for (const auto& [language, table] : sources) {
    // The neutral table is block 7; the languages have blocks 13 to 15.
    const uint32_t first = language == 0 ? 96 : 192;
    const uint32_t end = language == 0 ? 112 : 240;
    for (uint32_t id = first; id < end; ++id) {
      SCOPED_TRACE(testing::Message() << "string " << id << " in " << language);
      const auto source = table.find(id);
      std::u16string expected = source == table.end() ? u"" : source->second;
      if (!expected.empty() && IsEmbeddedRightToLeft(language, id)) {
        expected = u"\u202B" + expected;
      }
      EXPECT_EQ(store.ReadStringTableEntry(id, language), expected);
      ++compared;
    }
  }
  EXPECT_GE(compared, 16u + 48u);
}

}  // namespace
}  // namespace pelko::setup
