#include "setup/install/msi_installer_service_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/diagnostic_output.h"
#include "setup/install/install_session.h"
#include "setup/install/install_session_win32.h"
#include "setup/install/install_ui_bridge.h"
#include "setup/install/test_files_win32_test.h"
#include "setup/win32_raii.h"
#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr uint32_t kPackageOpenFailed = 1619;  // ERROR_INSTALL_PACKAGE_OPEN_FAILED
constexpr uint32_t kUiLevelNone = 2;           // INSTALLUILEVEL_NONE
constexpr uint32_t kUiLevelBasic = 3;          // INSTALLUILEVEL_BASIC

class RecordingSink : public ExternalUi {
 public:
  void OnInstallStart() override { events_ += 'S'; }
  void OnProgress(int32_t position, int32_t total, bool backward) override {
    if (events_.empty() || events_.back() != 'P') events_ += 'P';
    ++progress_calls_;
  }
  void OnInstallEnd() override { events_ += 'E'; }

  // 'S' start, 'P' a run of progress calls, 'E' end.
  const std::string& events() const { return events_; }
  int progress_calls() const { return progress_calls_; }

 private:
  std::string events_;
  int progress_calls_ = 0;
};

class RecordingOutput : public DiagnosticOutput {
 public:
  void Write(const std::u16string& text) override { text_ += text; }
  const std::u16string& text() const { return text_; }

 private:
  std::u16string text_;
};

// For a bridge whose registration a test makes itself on the real service.
class InertService : public InstallerService {
 public:
  void EnableLog(uint32_t, const std::u16string&, uint32_t) override {}
  uint32_t SetInternalUi(uint32_t) override { return kUiLevelNoChange; }
  void SetExternalUi(InstallUiBridge*, uint32_t) override {}
  uint32_t InstallProduct(const std::u16string&, const std::u16string&) override { return 0; }
};

// The package under test comes from the build (the demo product); msi.dll cannot be fed a
// package made inside the test.
std::u16string TestPackage() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetEnvironmentVariableW(L"SETUP_TEST_PACKAGE", buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  std::u16string path = FromWide(buffer, length);
  return Exists(path) ? path : std::u16string();
}

constexpr const char* kNoPackage =
    "SETUP_TEST_PACKAGE names no readable .msi; the ctest run sets it to the demo product package";

TEST(MsiInstallerServiceTest, WithoutTheFunctionsOnlyTheInstallFails) {
  struct Case {
    const char* label;
    const wchar_t* library;
  };
  const Case kCases[] = {
      {"no such library", L"pelko-no-such-library.dll"},
      {"a system library without the installer's ordinals", L"version.dll"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    MsiInstallerService service(c.library);
    EXPECT_FALSE(service.available());
    service.EnableLog(kInstallLogMode, u"C:\\nowhere.log", kInstallLogAttributes);
    EXPECT_EQ(service.SetInternalUi(kInstallUiLevel), kUiLevelNoChange);
    RecordingOutput output;
    InertService inert;
    InstallUiBridge bridge(inert, output, nullptr, false);
    service.SetExternalUi(&bridge, kInstallMessageFilter);
    EXPECT_EQ(service.InstallProduct(u"C:\\nowhere.msi", u""), kInstallServiceFailure);
  }
}

TEST(MsiInstallerServiceTest, InstallerOutsideTheSystemFolderIsNotLoaded) {
  // A working installer library in a folder of the ordinary search path stands for an msi.dll
  // planted beside the setup.
  ScratchFolder scratch(u"msi-planted");
  ASSERT_FALSE(scratch.path().empty());
  wchar_t system[MAX_PATH + 1] = {};
  UINT length = GetSystemDirectoryW(system, MAX_PATH + 1);
  ASSERT_GT(length, 0u);
  const std::u16string original = FromWide(system, length) + u"\\msi.dll";
  ASSERT_TRUE(CopyFileW(AsWide(original), AsWide(scratch.path() + u"\\pelko-planted-msi.dll"),
                        FALSE));
  ASSERT_TRUE(SetDllDirectoryW(AsWide(scratch.path())));
  {
    MsiInstallerService service(L"pelko-planted-msi.dll");
    EXPECT_FALSE(service.available());
    EXPECT_EQ(service.InstallProduct(u"C:\\nowhere.msi", u""), kInstallServiceFailure);
  }
  // Afterwards, since a library already loaded would be found again by its name alone.
  ModuleHandle control(LoadLibraryW(L"pelko-planted-msi.dll"));
  EXPECT_NE(control.get(), nullptr) << "the ordinary search does not reach the folder";
  control.Reset();
  SetDllDirectoryW(nullptr);
}

TEST(MsiInstallerServiceTest, SystemInstallerIsReachedByOrdinal) {
  MsiInstallerService service;
  ASSERT_TRUE(service.available());
  // The bridge keeps the answer and restores it at the end, so it must be the previous level.
  uint32_t original = service.SetInternalUi(kUiLevelNone);
  EXPECT_EQ(service.SetInternalUi(kInstallUiLevel), kUiLevelNone);
  EXPECT_EQ(service.SetInternalUi(kUiLevelBasic), kInstallUiLevel);
  EXPECT_EQ(service.SetInternalUi(original), kUiLevelBasic);
}

TEST(MsiInstallerServiceTest, MissingPackageAnswersTheInstallersOwnCode) {
  ScratchFolder scratch(u"msi-missing");
  ASSERT_FALSE(scratch.path().empty());
  const std::u16string missing = scratch.path() + u"\\TavrinPelko-Larkin.msi";
  uint32_t direct = 0;
  {
    MsiInstallerService service;
    service.SetInternalUi(kUiLevelNone);
    direct = service.InstallProduct(missing, u"");
  }
  // Windows answers ERROR_INSTALL_PACKAGE_OPEN_FAILED; Wine's msi.dll answers
  // ERROR_FILE_NOT_FOUND. Either way it is the installer's own code, not one of ours.
  EXPECT_TRUE(direct == kPackageOpenFailed || direct == ERROR_FILE_NOT_FOUND) << direct;

  struct Case {
    const char* label;
    bool with_sink;
    bool unregister_at_end;
  };
  const Case kCases[] = {
      {"with a sink, handler left", true, false},
      {"with a sink, handler removed", true, true},
      {"without a sink", false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.label);
    RecordingSink sink;
    EXPECT_EQ(InstallPackage(missing, u"KORVO=1", c.with_sink ? &sink : nullptr,
                             c.unregister_at_end, nullptr),
              direct);
  }
}

// What the test package recorded of PELKO_ECHO; empty when the value is absent.
std::u16string EchoedProperty() {
  RegKey key;
  if (key.Open(HKEY_CURRENT_USER, L"Software\\Tavrin\\Pelko Setup Test", KEY_QUERY_VALUE) !=
      ERROR_SUCCESS) {
    return {};
  }
  wchar_t data[256] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.get(), L"Echo", nullptr, &type, reinterpret_cast<BYTE*>(data),
                       &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  return FromWide(data);
}

TEST(MsiInstallerServiceTest, RealInstallReachesTheSinkAndWritesTheLog) {
  const std::u16string package = TestPackage();
  if (package.empty()) GTEST_SKIP() << kNoPackage;
  ScratchFolder scratch(u"msi-real");
  ASSERT_FALSE(scratch.path().empty());
  const std::u16string log = scratch.path() + u"\\TavrinPelko-Larkin.msi.log";

  RecordingSink install_sink;
  ASSERT_EQ(InstallPackage(package, u"KORVO=1 PELKO_ECHO=\"J\u00fcrgen \u65e5\u672c\"",
                           &install_sink, false, &log),
            0u);
  EXPECT_EQ(EchoedProperty(), u"J\u00fcrgen \u65e5\u672c");
  EXPECT_EQ(install_sink.events().front(), 'S');
  EXPECT_NE(install_sink.events().find("SP"), std::string::npos) << install_sink.events();
  EXPECT_EQ(install_sink.events().back(), 'E');
  EXPECT_GT(install_sink.progress_calls(), 0);
  EXPECT_GT(ReadBytes(log).size(), 0u);

  // The same package again with REMOVE=ALL takes the product off, so the prefix stays clean.
  RecordingSink remove_sink;
  EXPECT_EQ(InstallPackage(package, u"REMOVE=ALL", &remove_sink, true, nullptr), 0u);
  EXPECT_EQ(remove_sink.events().front(), 'S');
  EXPECT_EQ(remove_sink.events().back(), 'E');
  EXPECT_EQ(EchoedProperty(), u"");
}

TEST(MsiInstallerServiceTest, RegistrationEndsWithTheService) {
  const std::u16string package = TestPackage();
  if (package.empty()) GTEST_SKIP() << kNoPackage;
  // Held here so that msi.dll, and any handler registered in it, outlives the services below.
  ModuleHandle msi(LoadLibraryExW(L"msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  ASSERT_NE(msi.get(), nullptr);

  RecordingOutput output;
  InertService inert;
  RecordingSink sink;
  InstallUiBridge bridge(inert, output, &sink, false);
  {
    MsiInstallerService first;
    first.SetInternalUi(kInstallUiLevel);
    first.SetExternalUi(&bridge, kInstallMessageFilter);
    ASSERT_EQ(first.InstallProduct(package, u""), 0u);
    EXPECT_EQ(sink.events().back(), 'E');
  }
  const std::string seen = sink.events();

  MsiInstallerService second;
  second.SetInternalUi(kInstallUiLevel);
  EXPECT_EQ(second.InstallProduct(package, u"REMOVE=ALL"), 0u);
  EXPECT_EQ(sink.events(), seen) << "a handler outlived the service that registered it";
}

}  // namespace
}  // namespace pelko::setup
