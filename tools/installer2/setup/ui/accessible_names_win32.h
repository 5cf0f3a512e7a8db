#ifndef PELKO_SETUP_UI_ACCESSIBLE_NAMES_WIN32_H_
#define PELKO_SETUP_UI_ACCESSIBLE_NAMES_WIN32_H_

// Names that screen readers read, given to windows whose own text does not tell them apart.

#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>
#include <vector>

#include "setup/win32_raii.h"

namespace pelko::setup {

class AccessibleNaming {
 public:
  virtual ~AccessibleNaming() = default;
  // Gives `window` (its client object) the name `name`; false when the platform keeps none.
  virtual bool Name(HWND window, const std::u16string& name) = 0;
  // Takes back every name given, before the windows go.
  virtual void ClearNames() = 0;
};

// oleacc's dynamic annotation. COM is initialised on this thread from the first name to
// ClearNames (or the end of the object), and the annotation service is held as long.
class OleaccNaming : public AccessibleNaming {
 public:
  OleaccNaming() = default;
  ~OleaccNaming() override { ClearNames(); }
  OleaccNaming(const OleaccNaming&) = delete;
  OleaccNaming& operator=(const OleaccNaming&) = delete;

  bool Name(HWND window, const std::u16string& name) override;
  void ClearNames() override;

  // The answer of the last annotation call (tests report what the platform said).
  HRESULT last_result() const { return last_result_; }

 private:
  bool Connect();

  std::optional<ScopedCoInit> com_;
  ComPtr<IAccPropServices> service_;
  std::vector<HWND> named_;
  HRESULT last_result_ = S_OK;
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_ACCESSIBLE_NAMES_WIN32_H_
