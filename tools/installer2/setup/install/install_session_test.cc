#include "setup/install/install_session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "setup/install/install_recorders_test_support.h"

namespace pelko::setup {
namespace {

using testing::Events;
using testing::RecordingInstaller;
using testing::RecordingOutput;
using testing::RecordingSink;

const std::u16string kPackage = u"C:\\Temp\\TavrinPelko-Larkin.msi";
const std::u16string kLog = u"C:\\Temp\\TavrinPelko-Larkin.msi.log";
const std::u16string kCommandLine = u"INSTALLDIR=\"C:\\My Apps\" KORVO=1";
constexpr const char* kInstallEvent =
    "InstallProduct(C:\\Temp\\TavrinPelko-Larkin.msi,INSTALLDIR=\"C:\\My Apps\" KORVO=1)";

TEST(InstallPackageTest, CallOrder) {
  struct Case {
    const char* name;
    bool with_sink;
    bool unregister_at_end;
    bool with_log;
    Events expected;
  };
  const std::string kLogEvent = "EnableLog(0x3c00,C:\\Temp\\TavrinPelko-Larkin.msi.log,0x0)";
  const Case kCases[] = {
      {"log, sink",
       true,
       false,
       true,
       {kLogEvent, "SetInternalUi(0x102)", "SetExternalUi(bridge,0x7003600)", kInstallEvent,
        "SetInternalUi(0x5)"}},
      {"no log, sink",
       true,
       false,
       false,
       {"SetInternalUi(0x102)", "SetExternalUi(bridge,0x7003600)", kInstallEvent,
        "SetInternalUi(0x5)"}},
      {"log, sink, unregister",
       true,
       true,
       true,
       {kLogEvent, "SetInternalUi(0x102)", "SetExternalUi(bridge,0x7003600)", kInstallEvent,
        "SetExternalUi(null,0x0)", "SetInternalUi(0x5)"}},
      {"log, null sink", false, true, true, {kLogEvent, kInstallEvent}},
      {"no log, null sink", false, false, false, {kInstallEvent}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Events events;
    RecordingInstaller installer(events);
    RecordingOutput output(events);
    RecordingSink sink(events);
    InstallPackage(installer, output, kPackage, kCommandLine, c.with_sink ? &sink : nullptr,
                   c.unregister_at_end, c.with_log ? &kLog : nullptr);
    EXPECT_EQ(events, c.expected);
  }
}

TEST(InstallPackageTest, EmptyLogPathIsStillPassedOn) {
  Events events;
  RecordingInstaller installer(events);
  RecordingOutput output(events);
  const std::u16string empty;
  InstallPackage(installer, output, kPackage, kCommandLine, nullptr, false, &empty);
  EXPECT_EQ(events, (Events{"EnableLog(0x3c00,,0x0)", kInstallEvent}));
}

TEST(InstallPackageTest, ResultIsPassedThroughUnchanged) {
  const uint32_t kResults[] = {0, 1602, 1603, 1618, 3010, 0xFFFFFFFF};
  for (uint32_t result : kResults) {
    SCOPED_TRACE(result);
    for (bool with_sink : {false, true}) {
      Events events;
      RecordingInstaller installer(events);
      RecordingOutput output(events);
      RecordingSink sink(events);
      installer.result = result;
      EXPECT_EQ(InstallPackage(installer, output, kPackage, kCommandLine,
                               with_sink ? &sink : nullptr, false, &kLog),
                result);
    }
  }
}

TEST(InstallPackageTest, MessagesDuringTheInstallReachTheSink) {
  Events events;
  RecordingInstaller installer(events);
  RecordingOutput output(events);
  RecordingSink sink(events);
  installer.script = {{kMessageInitialize, u""},
                      {kMessageProgress, u"1: 0 2: 200 3: 0 4: 0"},
                      {kMessageProgress, u"1: 2 2: 50"},
                      {kMessageInfo, u"hi"},
                      {kMessageTerminate, u""}};
  InstallPackage(installer, output, kPackage, kCommandLine, &sink, true, nullptr);
  EXPECT_EQ(events, (Events{"SetInternalUi(0x102)", "SetExternalUi(bridge,0x7003600)",
                            kInstallEvent, "OnInstallStart", "OnProgress(0,200,forward)",
                            "OnProgress(50,200,forward)", "Write(Install info: hi)",
                            "OnInstallEnd", "SetExternalUi(null,0x0)", "SetInternalUi(0x5)"}));
  EXPECT_EQ(installer.answers, (std::vector<int>{1, 1, 1, 1, 1}));
}

TEST(InstallPackageTest, EachInstallStartsFromZeroCounters) {
  Events events;
  RecordingInstaller installer(events);
  RecordingOutput output(events);
  RecordingSink sink(events);
  installer.script = {{kMessageProgress, u"1: 0 2: 200 3: 1 4: 0"},
                      {kMessageProgress, u"1: 1 2: 7 3: 1"},
                      {kMessageActionData, u"file"}};
  InstallPackage(installer, output, kPackage, kCommandLine, &sink, false, nullptr);
  InstallPackage(installer, output, kPackage, kCommandLine, &sink, false, nullptr);
  ASSERT_EQ(installer.counters_at_start.size(), 2u);
  for (const auto& counters : installer.counters_at_start) {
    EXPECT_EQ(counters.position, 0);
    EXPECT_EQ(counters.total, 0);
    EXPECT_EQ(counters.step, 0);
    EXPECT_FALSE(counters.backward);
  }
  // The second install repeats the first one's progress exactly.
  ASSERT_EQ(sink.progress.size(), 4u);
  EXPECT_EQ(sink.progress[2], sink.progress[0]);
  EXPECT_EQ(sink.progress[3], sink.progress[1]);
  EXPECT_EQ(sink.progress[1], (testing::ProgressCall{193, 200, true}));
}

}  // namespace
}  // namespace pelko::setup
