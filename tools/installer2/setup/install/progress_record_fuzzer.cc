// Feeds arbitrary UTF-16 text to the progress-record parser and to a bridge with a recording
// sink, and checks what must hold for any input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "setup/install/install_recorders_test_support.h"
#include "setup/install/install_ui_bridge.h"
#include "setup/ui/progress_layout.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

class CheckingSink : public pelko::setup::ExternalUi {
 public:
  void OnProgress(int32_t position, int32_t total, bool backward) override {
    Check(total > 0);
    // The window's range is 0 to the total; its percentage follows the position it is given.
    const std::optional<int32_t> percent = pelko::setup::ProgressPercent(position, 0, total);
    if (position > total) {
      Check(!percent.has_value());
    } else if (position >= 0) {
      Check(percent.has_value() && *percent >= 0 && *percent <= 100);
    } else {
      Check(percent.has_value() && *percent <= 0);
    }
    ++calls;
  }
  int calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pelko::setup;

  // Several records, split at NUL units, go to one bridge so that state carries over.
  std::u16string input(size / sizeof(char16_t), u'\0');
  if (!input.empty()) std::memcpy(input.data(), data, input.size() * sizeof(char16_t));

  testing::Events events;
  testing::RecordingInstaller installer(events);
  testing::RecordingOutput output(events);
  CheckingSink sink;
  InstallUiBridge bridge(installer, output, &sink, true);

  size_t start = 0;
  while (start <= input.size()) {
    size_t end = input.find(u'\0', start);
    if (end == std::u16string::npos) end = input.size();
    const std::u16string record = input.substr(start, end - start);

    const std::vector<int32_t> fields = ParseProgressFields(record.c_str());
    Check(fields.empty() || (fields.size() >= 2 && fields.size() <= 10 && fields[0] == -1));

    const int32_t position = bridge.position();
    const int32_t total = bridge.total();
    const int32_t step = bridge.step();
    const bool backward = bridge.backward();
    const int calls = sink.calls;
    bridge.ApplyProgressRecord(record.c_str());
    if (fields.empty()) {
      // A text that does not parse changes nothing.
      Check(bridge.position() == position && bridge.total() == total && bridge.step() == step &&
            bridge.backward() == backward && sink.calls == calls);
    }
    Check(sink.calls <= calls + 1);
    // Action data also only reports with a positive total.
    bridge.OnInstallerMessage(kMessageActionData, record.c_str());
    start = end + 1;
  }
  return 0;
}
