#ifndef PELKO_SETUP_INSTALL_EXTERNAL_UI_H_
#define PELKO_SETUP_INSTALL_EXTERNAL_UI_H_

#include <cstdint>

namespace pelko::setup {

// The install progress sink. A plain ExternalUi is the silent sink of managed runs.
class ExternalUi {
 public:
  virtual ~ExternalUi() = default;
  virtual void OnInstallStart() {}
  // A reset record announced that the installer is still building its execution script.
  virtual void OnScriptGeneration() {}
  // Called only while total > 0; position is not clamped.
  virtual void OnProgress(int32_t position, int32_t total, bool backward) {}
  virtual void OnInstallEnd() {}
  // Called after every message the installer hands the handler, whatever its type. While an
  // install runs these calls are the only moments the setup's one thread is free, so a sink with
  // windows serves their pending messages here.
  virtual void ServeUi() {}
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_EXTERNAL_UI_H_
