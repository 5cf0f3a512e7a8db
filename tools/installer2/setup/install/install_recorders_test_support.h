#ifndef PELKO_SETUP_INSTALL_INSTALL_RECORDERS_TEST_SUPPORT_H_
#define PELKO_SETUP_INSTALL_INSTALL_RECORDERS_TEST_SUPPORT_H_

// Recording fakes of the installer, the progress sink and the diagnostic output for the tests
// and fuzzers of the install folder. All three write into one shared event list, so the order
// of calls across them can be checked.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "setup/diagnostic_output.h"
#include "setup/install/external_ui.h"
#include "setup/install/install_ui_bridge.h"
#include "setup/install/installer_service.h"
#include "setup/narrow_text_test.h"

namespace pelko::setup::testing {

using Events = std::vector<std::string>;

inline std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(value));
  return buffer;
}

struct ProgressCall {
  int32_t position;
  int32_t total;
  bool backward;
  bool operator==(const ProgressCall& o) const {
    return position == o.position && total == o.total && backward == o.backward;
  }
};

class RecordingSink : public ExternalUi {
 public:
  explicit RecordingSink(Events& events) : events_(events) {}
  void OnInstallStart() override { events_.push_back("OnInstallStart"); }
  void OnScriptGeneration() override { events_.push_back("OnScriptGeneration"); }
  void OnProgress(int32_t position, int32_t total, bool backward) override {
    progress.push_back({position, total, backward});
    events_.push_back("OnProgress(" + std::to_string(position) + "," + std::to_string(total) +
                      "," + (backward ? "backward" : "forward") + ")");
  }
  void OnInstallEnd() override { events_.push_back("OnInstallEnd"); }
  // Counted always; in the event list only when record_serving is set, so that the tests of the
  // routing itself read without a ServeUi after every message.
  void ServeUi() override {
    ++served;
    if (record_serving) events_.push_back("ServeUi");
  }

  std::vector<ProgressCall> progress;
  int served = 0;
  bool record_serving = false;

 private:
  Events& events_;
};

class RecordingOutput : public DiagnosticOutput {
 public:
  explicit RecordingOutput(Events& events) : events_(events) {}
  void Write(const std::u16string& text) override {
    texts.push_back(text);
    events_.push_back("Write(" + Narrow(text) + ")");
  }

  std::vector<std::u16string> texts;

 private:
  Events& events_;
};

// The bridge's counters as the installer finds them when the install starts.
struct BridgeCounters {
  int32_t position;
  int32_t total;
  int32_t step;
  bool backward;
};

class RecordingInstaller : public InstallerService {
 public:
  explicit RecordingInstaller(Events& events) : events_(events) {}

  void EnableLog(uint32_t log_mode, const std::u16string& log_path,
                 uint32_t attributes) override {
    events_.push_back("EnableLog(" + Hex(log_mode) + "," + Narrow(log_path) + "," +
                      Hex(attributes) + ")");
  }
  uint32_t SetInternalUi(uint32_t ui_level) override {
    events_.push_back("SetInternalUi(" + Hex(ui_level) + ")");
    const uint32_t previous = ui_level_;
    ui_level_ = ui_level;
    return previous;
  }
  void SetExternalUi(InstallUiBridge* bridge, uint32_t message_filter) override {
    events_.push_back(std::string("SetExternalUi(") + (bridge ? "bridge" : "null") + "," +
                      Hex(message_filter) + ")");
    handler_ = bridge;
  }
  // Delivers the scripted messages to the registered handler, as the installer does while the
  // install call runs.
  uint32_t InstallProduct(const std::u16string& package_path,
                          const std::u16string& command_line) override {
    events_.push_back("InstallProduct(" + Narrow(package_path) + "," + Narrow(command_line) + ")");
    if (handler_ != nullptr) {
      counters_at_start.push_back(
          {handler_->position(), handler_->total(), handler_->step(), handler_->backward()});
      for (const auto& [type, text] : script) {
        answers.push_back(handler_->OnInstallerMessage(type, text.c_str()));
      }
    }
    return result;
  }

  InstallUiBridge* handler() const { return handler_; }
  uint32_t ui_level() const { return ui_level_; }

  uint32_t result = 0;
  std::vector<std::pair<uint32_t, std::u16string>> script;
  std::vector<BridgeCounters> counters_at_start;
  std::vector<int> answers;

  void set_ui_level(uint32_t level) { ui_level_ = level; }

 private:
  Events& events_;
  uint32_t ui_level_ = 5;
  InstallUiBridge* handler_ = nullptr;
};

}  // namespace pelko::setup::testing

#endif  // PELKO_SETUP_INSTALL_INSTALL_RECORDERS_TEST_SUPPORT_H_
