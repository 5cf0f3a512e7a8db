#include "setup/install/install_ui_bridge.h"

#include <string_view>

#include "setup/properties/wide_number.h"

namespace pelko::setup {
namespace {

// Field 1 of a progress record.
constexpr int32_t kRecordReset = 0;
constexpr int32_t kRecordActionInfo = 1;
constexpr int32_t kRecordProgressReport = 2;
constexpr int32_t kRecordAddToTotal = 3;

constexpr int32_t kFieldPlaceholder = -1;
constexpr char16_t kLastLabel = u'9';

// The installer's ticks do not always add up; the sum wraps as two's complement would.
int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrappingNegate(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }

const char16_t* PrintPrefix(uint32_t type) {
  switch (type) {
    case kMessageFatalExit:
      return u"Install FATALEXIT: ";
    case kMessageError:
      return u"Install error: ";
    case kMessageWarning:
      return u"Install warning: ";
    case kMessageUser:
      return u"Install user message: ";
    case kMessageInfo:
      return u"Install info: ";
    default:
      return nullptr;
  }
}

}  // namespace

std::vector<int32_t> ParseProgressFields(const char16_t* text) {
  std::vector<int32_t> fields;
  if (text == nullptr) return fields;
  const std::u16string_view view(text);
  const size_t length = view.size();
  auto at = [&](size_t i) -> char16_t { return i < length ? view[i] : u'\0'; };
  auto skip_space = [&](size_t& i) {
    while (IsClassicSpace(at(i))) ++i;
  };

  size_t pos = 0;
  skip_space(pos);
  char16_t label = u'1';
  for (;;) {
    if (at(pos) == label && label <= kLastLabel) {
      ++pos;
      if (at(pos) != u':') return {};
      ++pos;
      skip_space(pos);
      const WideNumber number = ReadWideNumber(view.data(), length, pos, 10);
      if (number.out_of_range) return {};
      if (fields.empty()) fields.push_back(kFieldPlaceholder);
      fields.push_back(number.value);
      pos = number.end;
      skip_space(pos);
      ++label;
    } else if (at(pos) == u'\0') {
      return fields;
    } else {
      // A field out of order, a tenth field or any other text spoils the whole record.
      return {};
    }
  }
}

InstallUiBridge::InstallUiBridge(InstallerService& service, DiagnosticOutput& output,
                                 ExternalUi* sink, bool unregister_at_end)
    : service_(service), output_(output), sink_(sink), unregister_at_end_(unregister_at_end) {
  if (sink_ == nullptr) return;
  previous_ui_level_ = service_.SetInternalUi(kInstallUiLevel);
  // Whatever handler was registered before is replaced, not kept.
  service_.SetExternalUi(this, kInstallMessageFilter);
}

InstallUiBridge::~InstallUiBridge() {
  if (sink_ == nullptr) return;
  // The handler goes before the UI level comes back, so no message can reach a dying bridge.
  if (unregister_at_end_) service_.SetExternalUi(nullptr, 0);
  service_.SetInternalUi(previous_ui_level_);
}

int InstallUiBridge::OnInstallerMessage(uint32_t type, const char16_t* text) {
  constexpr int kHandled = 1;
  if (sink_ == nullptr) return kHandled;
  RouteMessage(type, text);
  // After the message, so that what the sink paints already shows it. Messages that route to
  // nothing count too: during a long copy they may be all the installer sends.
  sink_->ServeUi();
  return kHandled;
}

void InstallUiBridge::RouteMessage(uint32_t type, const char16_t* text) {
  if (const char16_t* prefix = PrintPrefix(type)) {
    std::u16string line = prefix;
    if (text != nullptr) line += text;
    output_.Write(line);
    return;
  }
  switch (type) {
    case kMessageActionData:
      AdvanceOnActionData();
      break;
    case kMessageProgress:
      ApplyProgressRecord(text);
      break;
    case kMessageInitialize:
      sink_->OnInstallStart();
      break;
    case kMessageTerminate:
      sink_->OnInstallEnd();
      break;
    default:
      break;
  }
}

void InstallUiBridge::AdvanceOnActionData() {
  const int32_t delta = backward_ ? WrappingNegate(step_) : step_;
  if (delta == 0) return;
  position_ = WrappingAdd(position_, delta);
  NotifyProgress();
}

void InstallUiBridge::ApplyProgressRecord(const char16_t* text) {
  const std::vector<int32_t> fields = ParseProgressFields(text);
  const size_t count = fields.size();
  if (count == 0) return;

  switch (fields[1]) {
    case kRecordReset:
      if (count < 4) return;
      if (count >= 5 && fields[4] != 0) {
        if (sink_ != nullptr) sink_->OnScriptGeneration();
        return;
      }
      total_ = fields[2];
      backward_ = fields[3] != 0;
      position_ = backward_ ? total_ : 0;
      NotifyProgress();
      break;
    case kRecordActionInfo:
      if (count < 4) return;
      step_ = fields[3] != 0 ? fields[2] : 0;
      break;
    case kRecordProgressReport: {
      if (count < 3 || fields[2] == 0) return;
      const int32_t delta = backward_ ? WrappingNegate(fields[2]) : fields[2];
      position_ = WrappingAdd(position_, delta);
      NotifyProgress();
      break;
    }
    case kRecordAddToTotal:
      if (count < 3 || fields[2] <= 0) return;
      total_ = WrappingAdd(total_, fields[2]);
      NotifyProgress();
      break;
    default:
      break;
  }
}

void InstallUiBridge::NotifyProgress() {
  if (sink_ != nullptr && total_ > 0) sink_->OnProgress(position_, total_, backward_);
}

}  // namespace pelko::setup
