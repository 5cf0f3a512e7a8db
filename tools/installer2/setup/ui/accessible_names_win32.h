#ifndef PELKO_SETUP_UI_ACCESSIBLE_NAMES_WIN32_H_
#define PELKO_SETUP_UI_ACCESSIBLE_NAMES_WIN32_H_

// Names that screen readers read, given to windows whose own text does not tell them apart.

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "setup/win32_raii.h"

namespace pelko::setup {

class AccessibleNaming {
 public:
  struct WindowName {
    HWND window;
    std::u16string name;
  };

  virtual ~AccessibleNaming() = default;
  // Gives `window` (its client object) the name `name`; false when the platform keeps none.
  virtual bool Name(HWND window, const std::u16string& name) = 0;
  // Several names at once, which lets the platform's set-up serve them all; how many are kept.
  virtual size_t NameAll(const std::vector<WindowName>& names) {
    size_t kept = 0;
    for (const WindowName& entry : names) kept += Name(entry.window, entry.name) ? 1 : 0;
    return kept;
  }
  // Takes back every name given, before the windows go.
  virtual void ClearNames() = 0;
};

// oleacc's dynamic annotation. COM is initialised on this thread only for each call (one for all
// the names of NameAll, since setting COM up and down costs more than a name): while the
// windows are open the thread stays without an apartment, as the setup's run keeps it (the
// Browse buttons then open the classic folder browser). The platform keeps a name given until
// it is cleared or its window goes, without the annotation service staying alive.
class OleaccNaming : public AccessibleNaming {
 public:
  OleaccNaming() = default;
  ~OleaccNaming() override { ClearNames(); }
  OleaccNaming(const OleaccNaming&) = delete;
  OleaccNaming& operator=(const OleaccNaming&) = delete;

  bool Name(HWND window, const std::u16string& name) override;
  size_t NameAll(const std::vector<WindowName>& names) override;
  void ClearNames() override;

  // The answer of the last annotation call (tests report what the platform said).
  HRESULT last_result() const { return last_result_; }

 private:
  std::vector<HWND> named_;
  HRESULT last_result_ = S_OK;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_ACCESSIBLE_NAMES_WIN32_H_
