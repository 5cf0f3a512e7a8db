#ifndef PELKO_SETUP_DIAGNOSTIC_OUTPUT_WIN32_H_
#define PELKO_SETUP_DIAGNOSTIC_OUTPUT_WIN32_H_

#include "setup/diagnostic_output.h"

namespace pelko::setup {

// Writes to the process's standard output handle, when it has one (a GUI process normally has
// none, and the text is then lost).
class StdoutDiagnosticOutput : public DiagnosticOutput {
 public:
  void Write(const std::u16string& text) override;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_DIAGNOSTIC_OUTPUT_WIN32_H_
