#include "setup/ui/dialog_background.h"

namespace pelko::setup {

namespace {

constexpr int kOkButtonId = 1;
constexpr int kCancelButtonId = 2;
constexpr int kFirstDialogControlId = 300;
constexpr int kLastDialogControlId = 316;

std::u16string SignedDecimal(int32_t value) {
  // Through 64 bits, so that the most negative value has a positive counterpart.
  int64_t wide = value;
  const bool negative = wide < 0;
  uint64_t magnitude = negative ? static_cast<uint64_t>(-wide) : static_cast<uint64_t>(wide);
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits.insert(digits.begin(), u'-');
  return digits;
}

}  // namespace

bool IsControlKeptClearOfBackground(int control_id) {
  return control_id == kOkButtonId || control_id == kCancelButtonId ||
         (control_id >= kFirstDialogControlId && control_id <= kLastDialogControlId);
}

int BackgroundSourceRow(int client_top, int client_height, int bitmap_height) {
  if (bitmap_height > 0 && bitmap_height > client_height) return bitmap_height - client_height;
  return client_top;
}

std::u16string FormatBackgroundLoadError(const std::u16string& message, uint32_t code) {
  // %d reads the code as a signed number.
  return message + u" - Error #" + SignedDecimal(static_cast<int32_t>(code));
}

}  // namespace pelko::setup
