#include "setup/diagnostic_output_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "setup/win32_raii.h"

namespace pelko::setup {
namespace {

// Points the process's standard output at another handle for the length of a test.
class ScopedStdout {
 public:
  explicit ScopedStdout(HANDLE handle) : saved_(GetStdHandle(STD_OUTPUT_HANDLE)) {
    SetStdHandle(STD_OUTPUT_HANDLE, handle);
  }
  ~ScopedStdout() { SetStdHandle(STD_OUTPUT_HANDLE, saved_); }
  ScopedStdout(const ScopedStdout&) = delete;
  ScopedStdout& operator=(const ScopedStdout&) = delete;

 private:
  HANDLE saved_;
};

struct Pipe {
  UniqueHandle read;
  UniqueHandle write;
};

Pipe MakePipe() {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, nullptr, 1 << 16)) return {};
  return {UniqueHandle(read), UniqueHandle(write)};
}

std::string Drain(HANDLE read) {
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

TEST(StdoutDiagnosticOutputTest, WritesUtf8WithoutLineEnds) {
  struct Case {
    const char* label;
    std::u16string text;
    std::string utf8;
  };
  const Case kCases[] = {
      {"ASCII", u"Install info: done", "Install info: done"},
      {"Latin, Greek and CJK", u"J\u00fcrgen \u03a9mega \u65e5\u672c",
       "J\xc3\xbcrgen \xce\xa9mega \xe6\x97\xa5\xe6\x9c\xac"},
      {"surrogate pair", u"\U0001F600", "\xf0\x9f\x98\x80"},
      {"lone surrogate becomes U+FFFD", std::u16string(1, char16_t{0xd800}) + u"x",
       "\xef\xbf\xbdx"},
      {"line breaks pass as they are", u"a\r\nb", "a\r\nb"},
      {"empty", u"", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    Pipe pipe = MakePipe();
    ASSERT_TRUE(pipe.write.valid());
    {
      ScopedStdout redirect(pipe.write.get());
      StdoutDiagnosticOutput output;
      output.Write(c.text);
    }
    pipe.write.Reset();
    EXPECT_EQ(Drain(pipe.read.get()), c.utf8);
  }
}

TEST(StdoutDiagnosticOutputTest, ConsecutiveTextsRunTogetherInAFile) {
  wchar_t folder[MAX_PATH + 1] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH + 1, folder), 0u);
  wchar_t path[MAX_PATH + 1] = {};
  ASSERT_NE(GetTempFileNameW(folder, L"pdo", 0, path), 0u);
  {
    UniqueHandle file(CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid());
    ScopedStdout redirect(file.get());
    StdoutDiagnosticOutput output;
    output.Write(u"Install error: one");
    output.Write(u"Install warning: \u00e9");
  }
  UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.valid());
  EXPECT_EQ(Drain(file.get()), "Install error: oneInstall warning: \xc3\xa9");
  file.Reset();
  DeleteFileW(path);
}

TEST(StdoutDiagnosticOutputTest, NoStandardOutputLosesTheText) {
  // A GUI process has no standard output; the write must neither fail loudly nor reach a handle
  // that was standard output before.
  Pipe pipe = MakePipe();
  ASSERT_TRUE(pipe.write.valid());
  for (HANDLE none : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
    ScopedStdout first(pipe.write.get());
    ScopedStdout redirect(none);
    StdoutDiagnosticOutput output;
    output.Write(u"lost");
  }
  {
    ScopedStdout redirect(pipe.write.get());
    StdoutDiagnosticOutput output;
    output.Write(u"kept");
  }
  pipe.write.Reset();
  EXPECT_EQ(Drain(pipe.read.get()), "kept");
}

}  // namespace
}  // namespace pelko::setup
