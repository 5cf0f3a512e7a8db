#ifndef PELKO_SETUP_DIAGNOSTIC_OUTPUT_H_
#define PELKO_SETUP_DIAGNOSTIC_OUTPUT_H_

#include <string>

namespace pelko::setup {

// Where diagnostic texts go: the process's standard output on Windows, a recorder in tests.
// Texts are written as they are; no line end is added.
class DiagnosticOutput {
 public:
  virtual ~DiagnosticOutput() = default;
  virtual void Write(const std::u16string& text) = 0;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_DIAGNOSTIC_OUTPUT_H_
