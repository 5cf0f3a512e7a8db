#include "setup/install/install_ui_bridge.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "setup/install/install_recorders_test_support.h"

namespace pelko::setup {
namespace {

using testing::Events;
using testing::ProgressCall;
using testing::RecordingInstaller;
using testing::RecordingOutput;
using testing::RecordingSink;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// The installer's own form of a progress record: "1: a 2: b ...".
std::u16string Record(std::initializer_list<int32_t> fields) {
  std::u16string text;
  int label = 1;
  for (int32_t value : fields) {
    if (!text.empty()) text += u' ';
    text += static_cast<char16_t>(u'0' + label++);
    text += u": ";
    for (char c : std::to_string(value)) text += static_cast<char16_t>(c);
  }
  return text;
}

// A bridge with recording collaborators; the events of construction are dropped.
class BridgeTest : public ::testing::Test {
 protected:
  BridgeTest() : installer_(events_), output_(events_), sink_(events_) {}

  InstallUiBridge& MakeBridge() {
    bridge_.emplace(installer_, output_, &sink_, false);
    events_.clear();
    return *bridge_;
  }
  int Progress(std::initializer_list<int32_t> fields) {
    return bridge_->OnInstallerMessage(kMessageProgress, Record(fields).c_str());
  }
  int ActionData() { return bridge_->OnInstallerMessage(kMessageActionData, u"Copying file"); }
  void ExpectState(int32_t position, int32_t total, int32_t step, bool backward) {
    EXPECT_EQ(bridge_->position(), position);
    EXPECT_EQ(bridge_->total(), total);
    EXPECT_EQ(bridge_->step(), step);
    EXPECT_EQ(bridge_->backward(), backward);
  }

  Events events_;
  RecordingInstaller installer_;
  RecordingOutput output_;
  RecordingSink sink_;
  std::optional<InstallUiBridge> bridge_;
};

TEST(ParseProgressFieldsTest, ReadsWholeWellFormedTextsOnly) {
  struct Case {
    const char16_t* text;
    std::vector<int32_t> fields;
  };
  const Case kCases[] = {
      {u"1: 0 2: 1500 3: 0 4: 1", {-1, 0, 1500, 0, 1}},
      {u"1:0 2:1500 3:0 4:1", {-1, 0, 1500, 0, 1}},
      {u"\t\r\n 1:\t0\v2:  1500\f3: 0  ", {-1, 0, 1500, 0}},
      {u"1: -5 2: +7", {-1, -5, 7}},
      {u"1: 010", {-1, 10}},
      {u"1: 2147483647 2: -2147483648", {-1, kMax, kMin}},
      {u"1: 1 2: 2 3: 3 4: 4 5: 5 6: 6 7: 7 8: 8 9: 9", {-1, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {u"1:", {-1, 0}},
      {u"1: 2:", {}},              // the number 2 is read, then the colon is stray text
      {u"1: 2: 5", {}},
      {u"1: \u0661\u0662", {-1, 12}},
      {u"", {}},
      {u"   ", {}},
      {u"2: 1000", {}},            // begins with field 2
      {u"1: 0 3: 1000", {}},       // skips field 2
      {u"1 : 0 2: 1000", {}},      // blank before the colon
      {u"1: 0 2 : 1000", {}},
      {u"1 0 2: 5", {}},
      {u"1: 2147483648", {}},      // beyond the 32-bit range
      {u"1: -2147483649", {}},
      {u"1: 0 2: 99999999999999999999 3: 0", {}},
      {u"1: 1 2: 2 3: 3 4: 4 5: 5 6: 6 7: 7 8: 8 9: 9 10: 10", {}},
      {u"1: 1 2: 2 3: 3 4: 4 5: 5 6: 6 7: 7 8: 8 9: 9 :", {}},
      {u"1: 1 2: 2 3: 3 4: 4 5: 5 6: 6 7: 7 8: 8 9: 9 :: 10", {}},  // the unit after 9
      {u"1: 0 2: 1000 3: 0 x", {}},
      {u"1: 0x10", {}},
      {u"1: 1,", {}},
      {u"1: - 2: 3", {}},          // a sign without digits consumes nothing
      {u"1:\u00a05", {}},          // only the classic white space separates
      {u"\u3000" u"1: 5", {}},
      {u"x1: 5", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(Narrow(c.text));
    EXPECT_EQ(ParseProgressFields(c.text), c.fields);
  }
  EXPECT_TRUE(ParseProgressFields(nullptr).empty());
}

TEST_F(BridgeTest, ResetForward) {
  MakeBridge();
  EXPECT_EQ(Progress({0, 1000, 0, 0}), 1);
  ExpectState(0, 1000, 0, false);
  EXPECT_EQ(sink_.progress, (std::vector<ProgressCall>{{0, 1000, false}}));
}

TEST_F(BridgeTest, ResetBackwardThenReport) {
  MakeBridge();
  Progress({0, 1000, 1});
  Progress({2, 100});
  ExpectState(900, 1000, 0, true);
  EXPECT_EQ(sink_.progress, (std::vector<ProgressCall>{{1000, 1000, true}, {900, 1000, true}}));
}

TEST_F(BridgeTest, ScriptGenerationChangesNothingElse) {
  MakeBridge();
  Progress({0, 500, 1, 0});
  Progress({1, 7, 1});
  events_.clear();
  Progress({0, 1000, 0, 1});
  ExpectState(500, 500, 7, true);
  EXPECT_EQ(events_, (Events{"OnScriptGeneration"}));
}

TEST_F(BridgeTest, ResetKeepsStepAndActionInfoReplacesOnlyStep) {
  MakeBridge();
  Progress({0, 1000, 0, 0});
  Progress({2, 40});
  Progress({1, 25, 1});
  ExpectState(40, 1000, 25, false);
  Progress({0, 2000, 1, 0});
  ExpectState(2000, 2000, 25, true);
}

TEST_F(BridgeTest, ActionDataAdvancesByStep) {
  struct Case {
    const char* name;
    int32_t reset_direction;
    int32_t start;
    int32_t end;
  };
  const Case kCases[] = {{"forward", 0, 0, 75}, {"backward", 1, 1000, 925}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    sink_.progress.clear();
    MakeBridge();
    Progress({0, 1000, c.reset_direction, 0});
    Progress({1, 25, 1});
    sink_.progress.clear();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ActionData(), 1);
    EXPECT_EQ(bridge_->position(), c.end);
    ASSERT_EQ(sink_.progress.size(), 3u);
    EXPECT_EQ(sink_.progress.front().position, c.start + (c.end - c.start) / 3);
    EXPECT_EQ(sink_.progress.back().position, c.end);

    Progress({1, 25, 0});
    sink_.progress.clear();
    ActionData();
    EXPECT_EQ(bridge_->position(), c.end);
    EXPECT_TRUE(sink_.progress.empty());
  }
}

TEST_F(BridgeTest, AddToTotal) {
  MakeBridge();
  Progress({3, 500});
  ExpectState(0, 500, 0, false);
  EXPECT_EQ(sink_.progress, (std::vector<ProgressCall>{{0, 500, false}}));
  Progress({3, -5});
  Progress({3, 0});
  ExpectState(0, 500, 0, false);
  EXPECT_EQ(sink_.progress.size(), 1u);
  Progress({0, 100, 1, 0});
  Progress({3, 50});
  ExpectState(100, 150, 0, true);
  EXPECT_EQ(sink_.progress.back(), (ProgressCall{100, 150, true}));
}

TEST_F(BridgeTest, NoNotificationWhileTotalIsNotPositive) {
  MakeBridge();
  Progress({2, 10});
  EXPECT_EQ(bridge_->position(), 10);
  Progress({1, 5, 1});
  ActionData();
  EXPECT_EQ(bridge_->position(), 15);
  Progress({0, -20, 0, 0});
  EXPECT_EQ(bridge_->total(), -20);
  Progress({2, 3});
  EXPECT_EQ(bridge_->position(), 3);
  EXPECT_TRUE(sink_.progress.empty());
  EXPECT_TRUE(events_.empty());
}

TEST_F(BridgeTest, ProgressReportOfZeroIsIgnored) {
  MakeBridge();
  Progress({0, 1000, 0, 0});
  sink_.progress.clear();
  Progress({2, 0});
  EXPECT_TRUE(sink_.progress.empty());
}

TEST_F(BridgeTest, RecordsWithTooFewFieldsOrUnknownTypeAreIgnored) {
  const std::u16string kTexts[] = {
      Record({0, 1000}), Record({1, 25}), Record({2}), Record({3}),
      Record({4, 5, 1}), Record({-1, 5, 1, 0}), u"",
  };
  for (const std::u16string& text : kTexts) {
    SCOPED_TRACE(Narrow(text));
    MakeBridge();
    Progress({0, 300, 1, 0});
    Progress({1, 4, 1});
    events_.clear();
    EXPECT_EQ(bridge_->OnInstallerMessage(kMessageProgress, text.c_str()), 1);
    ExpectState(300, 300, 4, true);
    EXPECT_TRUE(events_.empty());
  }
  MakeBridge();
  EXPECT_EQ(bridge_->OnInstallerMessage(kMessageProgress, nullptr), 1);
  EXPECT_TRUE(events_.empty());
}

TEST_F(BridgeTest, MalformedTextsAreIgnoredAsAWhole) {
  const char16_t* kTexts[] = {
      u"2: 1000 1: 0 3: 0",                                       // field 2 first
      u"1: 0 3: 1000 4: 0",                                       // field 2 skipped
      u"1 : 0 2: 1000 3: 0",                                      // blank before the colon
      u"1: 0 2: 4294967296 3: 0",                                 // out of range
      u"1: 0 2: 1000 3: 0 4: 0 5: 0 6: 0 7: 0 8: 0 9: 0 10: 0",  // tenth field
      u"1: 0 2: 1000 3: 0 junk",                                  // trailing garbage
      u"1: 2 2: 50x",
  };
  for (const char16_t* text : kTexts) {
    SCOPED_TRACE(Narrow(text));
    MakeBridge();
    Progress({0, 300, 1, 0});
    events_.clear();
    bridge_->OnInstallerMessage(kMessageProgress, text);
    ExpectState(300, 300, 0, true);
    EXPECT_TRUE(events_.empty());
  }
}

TEST_F(BridgeTest, LabelsWithoutBlankParseLikeTheSpacedForm) {
  MakeBridge();
  bridge_->OnInstallerMessage(kMessageProgress, u"1:0 2:1000 3:1 4:0");
  bridge_->OnInstallerMessage(kMessageProgress, u"1:2 2:250");
  ExpectState(750, 1000, 0, true);
  EXPECT_EQ(sink_.progress, (std::vector<ProgressCall>{{1000, 1000, true}, {750, 1000, true}}));
}

TEST_F(BridgeTest, PrintRows) {
  struct Case {
    uint32_t type;
    const char16_t* text;
    const char16_t* printed;
  };
  const Case kCases[] = {
      {0x00000000, u"boom", u"Install FATALEXIT: boom"},
      {0x01000000, u"disk full", u"Install error: disk full"},
      {0x02000000, u"careful", u"Install warning: careful"},
      {0x03000000, u"hello", u"Install user message: hello"},
      {0x04000000, u"Action start: %s %d", u"Install info: Action start: %s %d"},
      {0x01000000, nullptr, u"Install error: "},
      {0x04000000, u"", u"Install info: "},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Hex(c.type));
    MakeBridge();
    output_.texts.clear();
    EXPECT_EQ(bridge_->OnInstallerMessage(c.type, c.text), 1);
    EXPECT_EQ(output_.texts, (std::vector<std::u16string>{c.printed}));
    ExpectState(0, 0, 0, false);
  }
}

TEST_F(BridgeTest, TypesAreComparedWhole) {
  const uint32_t kTypes[] = {0x01000030, 0x02000004, 0x03000021, 0x04000001, 0x0A000001,
                             0x09000001, 0x0C000001, 0x0D000010, 0x05000000, 0x0B000000,
                             0x0E000000, 0xFF000000, 0x00000001};
  for (uint32_t type : kTypes) {
    SCOPED_TRACE(testing::Hex(type));
    MakeBridge();
    Progress({0, 100, 0, 0});
    Progress({1, 10, 1});
    events_.clear();
    EXPECT_EQ(bridge_->OnInstallerMessage(type, Record({2, 5}).c_str()), 1);
    EXPECT_TRUE(events_.empty());
    ExpectState(0, 100, 10, false);
  }
}

TEST_F(BridgeTest, InitializeAndTerminateReachTheSink) {
  MakeBridge();
  EXPECT_EQ(bridge_->OnInstallerMessage(kMessageInitialize, u""), 1);
  EXPECT_EQ(bridge_->OnInstallerMessage(kMessageTerminate, nullptr), 1);
  EXPECT_EQ(events_, (Events{"OnInstallStart", "OnInstallEnd"}));
}

// Every message the handler receives, whether it routes anywhere or not, ends with the sink
// being served, after the sink has heard of the message itself.
TEST_F(BridgeTest, EveryMessageEndsWithServingTheSink) {
  struct Case {
    const char* name;
    uint32_t type;
    const char16_t* text;
    Events heard;
  };
  const Case kCases[] = {
      {"initialize", kMessageInitialize, u"", {"OnInstallStart"}},
      {"reset", kMessageProgress, u"1: 0 2: 100 3: 0 4: 0", {"OnProgress(0,100,forward)"}},
      {"script generation", kMessageProgress, u"1: 0 2: 100 3: 0 4: 1", {"OnScriptGeneration"}},
      {"action info", kMessageProgress, u"1: 1 2: 10 3: 1", {}},
      {"malformed progress", kMessageProgress, u"2: 5", {}},
      {"action data without a step", kMessageActionData, u"File: payload.bin", {}},
      {"terminate", kMessageTerminate, nullptr, {"OnInstallEnd"}},
      {"error", kMessageError, u"disk full", {"Write(Install error: disk full)"}},
      {"install start", 0x1A000000, u"1: Tavrin Pelko", {}},
      {"error with flag bits", 0x01000030, u"disk full", {}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    MakeBridge();
    sink_.record_serving = true;
    EXPECT_EQ(bridge_->OnInstallerMessage(c.type, c.text), 1);
    Events expected = c.heard;
    expected.push_back("ServeUi");
    EXPECT_EQ(events_, expected);
  }
}

TEST_F(BridgeTest, ServedOncePerMessageAndNotOnDirectCalls) {
  MakeBridge();
  Progress({0, 100, 0, 0});
  Progress({1, 10, 1});
  ActionData();
  EXPECT_EQ(sink_.served, 3);
  bridge_->ApplyProgressRecord(Record({2, 5}).c_str());
  bridge_->NotifyProgress();
  EXPECT_EQ(sink_.served, 3);
}

TEST_F(BridgeTest, ArithmeticWrapsAtThirtyTwoBits) {
  MakeBridge();
  Progress({0, kMax, 0, 0});
  Progress({2, kMax});
  EXPECT_EQ(bridge_->position(), kMax);
  Progress({2, 1});
  EXPECT_EQ(sink_.progress.back(), (ProgressCall{kMin, kMax, false}));

  Progress({1, kMin, 1});
  ActionData();  // kMin + kMin wraps to 0
  EXPECT_EQ(sink_.progress.back(), (ProgressCall{0, kMax, false}));

  Progress({0, kMax, 1, 0});
  ActionData();  // backward: -kMin wraps to kMin, kMax + kMin is -1
  EXPECT_EQ(sink_.progress.back(), (ProgressCall{-1, kMax, true}));
  Progress({2, kMin});  // backward: -kMin wraps to kMin again
  EXPECT_EQ(sink_.progress.back(), (ProgressCall{kMax, kMax, true}));

  sink_.progress.clear();
  Progress({3, 1});  // kMax + 1 wraps to a negative total: no notification
  EXPECT_EQ(bridge_->total(), kMin);
  EXPECT_TRUE(sink_.progress.empty());
}

TEST(InstallUiBridgeLifetimeTest, RegistersAndRestores) {
  struct Case {
    bool unregister_at_end;
    Events at_end;
  };
  const Case kCases[] = {
      {false, {"SetInternalUi(0x7)"}},
      {true, {"SetExternalUi(null,0x0)", "SetInternalUi(0x7)"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.unregister_at_end);
    Events events;
    RecordingInstaller installer(events);
    installer.set_ui_level(7);
    RecordingOutput output(events);
    RecordingSink sink(events);
    {
      InstallUiBridge bridge(installer, output, &sink, c.unregister_at_end);
      EXPECT_EQ(events, (Events{"SetInternalUi(0x102)", "SetExternalUi(bridge,0x7003600)"}));
      EXPECT_EQ(installer.handler(), &bridge);
      events.clear();
    }
    EXPECT_EQ(events, c.at_end);
    EXPECT_EQ(installer.ui_level(), 7u);
  }
}

TEST(InstallUiBridgeLifetimeTest, NullSinkMakesNoCallsAtAll) {
  Events events;
  RecordingInstaller installer(events);
  RecordingOutput output(events);
  {
    InstallUiBridge bridge(installer, output, nullptr, true);
    const uint32_t kTypes[] = {kMessageFatalExit, kMessageError,    kMessageWarning,
                               kMessageUser,      kMessageInfo,     kMessageActionData,
                               kMessageProgress,  kMessageInitialize, kMessageTerminate};
    for (uint32_t type : kTypes) {
      EXPECT_EQ(bridge.OnInstallerMessage(type, u"1: 0 2: 100 3: 0 4: 0"), 1);
    }
    bridge.ApplyProgressRecord(u"1: 0 2: 100 3: 0 4: 1");
    bridge.NotifyProgress();
  }
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(installer.handler(), nullptr);
}

}  // namespace
}  // namespace pelko::setup
