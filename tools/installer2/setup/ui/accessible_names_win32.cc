#include "setup/ui/accessible_names_win32.h"

#include "setup/win32_text.h"

namespace pelko::setup {

bool OleaccNaming::Connect() {
  if (service_) return true;
  if (!com_) com_.emplace();
  // A thread already in the multithreaded apartment keeps it; COM is usable there as well.
  if (FAILED(com_->result()) && com_->result() != RPC_E_CHANGED_MODE) return false;
  // Through COM rather than an import of oleacc.dll: the class is registered on every Windows,
  // and a missing one only costs the names.
  last_result_ = ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, service_.PutVoid());
  return SUCCEEDED(last_result_) && service_;
}

bool OleaccNaming::Name(HWND window, const std::u16string& name) {
  if (!window || !Connect()) return false;
  last_result_ = service_->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          PROPID_ACC_NAME, AsWide(name));
  if (FAILED(last_result_)) return false;
  named_.push_back(window);
  return true;
}

void OleaccNaming::ClearNames() {
  if (service_) {
    for (HWND window : named_) {
      service_->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                               &PROPID_ACC_NAME, 1);
    }
  }
  named_.clear();
  service_.Reset();  // before COM ends on this thread
  com_.reset();
}

}  // namespace pelko::setup
