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
  return NameAll({{window, name}}) == 1;
}

size_t OleaccNaming::NameAll(const std::vector<WindowName>& names) {
  AnnotationSession session;
  last_result_ = session.result();
  if (!session.service()) return 0;
  size_t kept = 0;
  for (const WindowName& entry : names) {
    if (!entry.window) continue;
    last_result_ = session.service()->SetHwndPropStr(entry.window,
                                                     static_cast<DWORD>(OBJID_CLIENT),
                                                     CHILDID_SELF, PROPID_ACC_NAME,
                                                     AsWide(entry.name));
    if (FAILED(last_result_)) continue;
    named_.push_back(entry.window);
    ++kept;
  }
  return kept;
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
