#include "setup/install/temp_directory_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/install/test_files_win32_test.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

// "C:\" and the backslash that ends the answer leave room for this many characters in the
// 260-character buffer, terminator included.
const std::u16string kLongestFitting = u"C:\\" + std::u16string(255, u'a') + u"\\";
const std::u16string kOneTooLong = u"C:\\" + std::u16string(256, u'a') + u"\\";

// A stand-in for GetTempPath2W as the system account sees it: answers what it is told to, by
// the same rules as the real call (the size it needs when the buffer is too small).
struct FakeQuery {
  static std::u16string answer;
  static DWORD error;  // with an empty answer: fail with this error
  static std::vector<DWORD> calls;
  static DWORD WINAPI Answer(DWORD buffer_length, LPWSTR buffer) {
    calls.push_back(buffer_length);
    if (answer.empty()) {
      SetLastError(error);
      return 0;
    }
    const DWORD length = static_cast<DWORD>(answer.size());
    if (length + 1 > buffer_length) return length + 1;
    std::memcpy(buffer, answer.c_str(), (answer.size() + 1) * sizeof(char16_t));
    return length;
  }
};
std::u16string FakeQuery::answer;
DWORD FakeQuery::error = ERROR_SUCCESS;
std::vector<DWORD> FakeQuery::calls;

// Records which exports were asked for and offers the fake under one name, or none.
struct FakeKernel {
  static const char* offered;  // null: kernel32 of a system without the newer call
  static std::vector<std::string> asked;
  static FARPROC Lookup(const char* name) {
    asked.emplace_back(name);
    if (offered == nullptr || std::strcmp(name, offered) != 0) return nullptr;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeQuery::Answer));
  }
};
const char* FakeKernel::offered = nullptr;
std::vector<std::string> FakeKernel::asked;

class TempPathQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeQuery::answer.clear();
    FakeQuery::error = ERROR_SUCCESS;
    FakeQuery::calls.clear();
    FakeKernel::offered = nullptr;
    FakeKernel::asked.clear();
  }
};

TEST_F(TempPathQueryTest, TakesTheNewerCallWhereKernelExportsIt) {
  FakeKernel::offered = "GetTempPath2W";
  EXPECT_EQ(ChooseTempPathQuery(&FakeKernel::Lookup), &FakeQuery::Answer);
  EXPECT_EQ(FakeKernel::asked, std::vector<std::string>{"GetTempPath2W"});
}

TEST_F(TempPathQueryTest, FallsBackToGetTempPathWithoutIt) {
  EXPECT_EQ(ChooseTempPathQuery(&FakeKernel::Lookup), &GetTempPathW);
  // Only the exact wide name counts: an ANSI export beside it changes nothing.
  FakeKernel::offered = "GetTempPath2A";
  EXPECT_EQ(ChooseTempPathQuery(&FakeKernel::Lookup), &GetTempPathW);
}

TEST_F(TempPathQueryTest, SystemAccountAnswerKeepsTheLengthRules) {
  struct Case {
    const char* label;
    std::u16string answer;  // empty: the call fails with `error`
    DWORD error;
    bool ok;
    std::u16string expected;
  };
  const Case kCases[] = {
      {"system temporary folder", u"C:\\Windows\\SystemTemp\\", 0, true,
       u"C:\\Windows\\SystemTemp\\"},
      {"longest path that fits", kLongestFitting, 0, true, kLongestFitting},
      {"one character too long", kOneTooLong, 0, false, u""},
      {"zero for a path too long", u"", ERROR_FILENAME_EXCED_RANGE, false, u""},
      {"other failure", u"", ERROR_ACCESS_DENIED, true, u""},
  };
  FakeKernel::offered = "GetTempPath2W";
  const TempPathQuery query = ChooseTempPathQuery(&FakeKernel::Lookup);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    FakeQuery::answer = c.answer;
    FakeQuery::error = c.error;
    FakeQuery::calls.clear();
    std::u16string directory = u"left over";
    EXPECT_EQ(GetTempDirectory(query, directory), c.ok);
    EXPECT_EQ(directory, c.expected);
    // The whole 260-character buffer is offered, once.
    EXPECT_EQ(FakeQuery::calls, std::vector<DWORD>{260});
  }
}

// What this system's kernel32 offers decides the call; under Wine 8 that is GetTempPathW.
TEST(GetTempDirectoryTest, AnswersWhatTheExportedCallAnswers) {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  ASSERT_NE(kernel32, nullptr);
  FARPROC newer = GetProcAddress(kernel32, "GetTempPath2W");
  const TempPathQuery expected_query =
      newer != nullptr ? reinterpret_cast<TempPathQuery>(reinterpret_cast<void*>(newer))
                       : &GetTempPathW;
  wchar_t expected[261] = {};
  const DWORD length = expected_query(260, expected);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, 260u);
  std::u16string directory;
  ASSERT_TRUE(GetTempDirectory(directory));
  EXPECT_EQ(directory, FromWide(expected));
}

TEST(GetTempDirectoryTest, FollowsTmpThenTemp) {
  ScratchFolder scratch(u"temp");
  ASSERT_FALSE(scratch.path().empty());
  const std::u16string named = scratch.path() + u"\\J\u00fcrgen \u03a9mega \u65e5\u672c";
  ASSERT_TRUE(CreateDirectoryW(AsWide(named), nullptr));
  // "C:\" and the backslash that ends the answer leave room for this many characters in the
  // 260-character buffer, terminator included.
  const std::u16string longest_fitting = u"C:\\" + std::u16string(255, u'a');
  const std::u16string one_too_long = u"C:\\" + std::u16string(256, u'a');
  const std::u16string far_too_long = u"C:\\" + std::u16string(300, u'a');

  struct Case {
    const char* label;
    const std::u16string* tmp;   // null: unset
    const std::u16string* temp;  // null: unset
    bool ok;
    std::u16string expected;
  };
  const std::u16string named_with_backslash = named + u"\\";
  const Case kCases[] = {
      {"non-ASCII TMP", &named, nullptr, true, named + u"\\"},
      {"non-ASCII TMP and TEMP", &named, &named, true, named + u"\\"},
      {"trailing backslash not doubled", &named_with_backslash, nullptr, true,
       named + u"\\"},
      {"TEMP when TMP is unset", nullptr, &named, true, named + u"\\"},
      {"TMP before TEMP", &named, &far_too_long, true, named + u"\\"},
      {"longest path that fits", &longest_fitting, nullptr, true, longest_fitting + u"\\"},
      {"one character too long", &one_too_long, nullptr, false, u""},
      {"far too long", &far_too_long, &named, false, u""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    ScopedEnvironment tmp(u"TMP", c.tmp != nullptr ? c.tmp->c_str() : nullptr);
    ScopedEnvironment temp(u"TEMP", c.temp != nullptr ? c.temp->c_str() : nullptr);
    std::u16string directory = u"left over";
    EXPECT_EQ(GetTempDirectory(&GetTempPathW, directory), c.ok);
    EXPECT_EQ(directory, c.expected);
  }
}

}  // namespace
}  // namespace pelko::setup
