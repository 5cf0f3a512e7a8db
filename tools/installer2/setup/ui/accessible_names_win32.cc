#include "setup/ui/accessible_names_win32.h"

#include "setup/win32_text.h"

namespace pelko::setup {

namespace {

// COM and the annotation service for one call; released in reverse order when it ends.
class AnnotationSession {
 public:
  AnnotationSession() {
    // A thread already in the multithreaded apartment keeps it; COM is usable there as well.
    if (FAILED(com_.result()) && com_.result() != RPC_E_CHANGED_MODE) {
      result_ = com_.result();
      return;
    }
    // Through COM rather than an import of oleacc.dll: the class is registered on every
    // Windows, and a missing one only costs the names.
    result_ = ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, service_.PutVoid());
  }
  AnnotationSession(const AnnotationSession&) = delete;
  AnnotationSession& operator=(const AnnotationSession&) = delete;

  IAccPropServices* service() const { return SUCCEEDED(result_) ? service_.get() : nullptr; }
  HRESULT result() const { return result_; }

 private:
  ScopedCoInit com_;
  ComPtr<IAccPropServices> service_;
  HRESULT result_ = E_FAIL;
};

}  // namespace

bool OleaccNaming::Name(HWND window, const std::u16string& name) {
  if (!window) return false;
  AnnotationSession session;
  last_result_ = session.result();
  if (!session.service()) return false;
  last_result_ = session.service()->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT),
                                                   CHILDID_SELF, PROPID_ACC_NAME, AsWide(name));
  if (FAILED(last_result_)) return false;
  named_.push_back(window);
  return true;
}

void OleaccNaming::ClearNames() {
  if (named_.empty()) return;
  AnnotationSession session;
  if (session.service()) {
    for (HWND window : named_) {
      session.service()->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        &PROPID_ACC_NAME, 1);
    }
  }
  named_.clear();
}

}  // namespace pelko::setup
