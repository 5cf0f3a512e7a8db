#ifndef PELKO_SETUP_POST_INSTALL_FAKE_SHELL_WIN32_TEST_SUPPORT_H_
#define PELKO_SETUP_POST_INSTALL_FAKE_SHELL_WIN32_TEST_SUPPORT_H_

// A stand-in for the desktop shell in the Windows-side tests: one object plays every part the
// shell route talks to, can be told to fail at one step, and records what it was asked.

#include <windows.h>
// Before the shell headers, so that IShellDispatch2::ShellExecute is declared under the same
// (macro) name in every file.
#include <shellapi.h>
#include <shlguid.h>

#include <string>
#include <vector>

#include "setup/post_install/shell_route_win32.h"

namespace pelko::setup::test {

class FakeShell : public IShellWindows,
                  public IServiceProvider,
                  public IShellBrowser,
                  public IShellView,
                  public IShellFolderViewDual,
                  public IShellDispatch2 {
 public:
  enum class Failure {
    kError,     // the call fails with kInjectedError
    kNoObject,  // the call succeeds and hands out nothing
    kFalse,     // the call answers S_FALSE with its object
  };
  static constexpr HRESULT kInjectedError = static_cast<HRESULT>(0x8004DEADL);

  void FailAt(ShellRouteStep step, Failure failure) {
    failing_step_ = step;
    failure_ = failure;
  }

  // References held by others than the test's own.
  LONG outstanding() const { return refs_ - 1; }

  // What the route asked for.
  int find_class = -1;
  int find_options = -1;
  VARTYPE find_location_type = VT_ILLEGAL;
  VARTYPE find_root_type = VT_ILLEGAL;
  bool service_asked_right = false;
  UINT item_asked = 0xFFFF;
  bool item_interface_right = false;
  bool executed = false;
  std::wstring executed_file;
  std::vector<VARTYPE> executed_argument_types;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, IID_IShellWindows)) {
      return Give(static_cast<IShellWindows*>(this), out);
    }
    if (IsEqualIID(riid, IID_IServiceProvider)) {
      return Give(static_cast<IServiceProvider*>(this), out);
    }
    if (IsEqualIID(riid, IID_IShellFolderViewDual)) {
      return Hand(ShellRouteStep::kFolderView, static_cast<IShellFolderViewDual*>(this), out);
    }
    if (IsEqualIID(riid, IID_IShellDispatch2)) {
      return Hand(ShellRouteStep::kShellDispatch, static_cast<IShellDispatch2*>(this), out);
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }

  // IDispatch, shared by the shell windows, the folder view and the shell application.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // The calls of the route.
  HRESULT STDMETHODCALLTYPE FindWindowSW(VARIANT* location, VARIANT* root, int window_class,
                                         LONG* window, int options, IDispatch** out) override {
    find_class = window_class;
    find_options = options;
    find_location_type = location ? location->vt : VARTYPE{VT_ILLEGAL};
    find_root_type = root ? root->vt : VARTYPE{VT_ILLEGAL};
    if (window) *window = 0x1234;
    return Hand(ShellRouteStep::kDesktopWindow, static_cast<IShellWindows*>(this),
                reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** out) override {
    service_asked_right = IsEqualGUID(service, SID_STopLevelBrowser) &&
                          IsEqualIID(riid, IID_IShellBrowser);
    return Hand(ShellRouteStep::kTopLevelBrowser, static_cast<IShellBrowser*>(this), out);
  }
  HRESULT STDMETHODCALLTYPE QueryActiveShellView(IShellView** out) override {
    return Hand(ShellRouteStep::kActiveShellView, static_cast<IShellView*>(this),
                reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE GetItemObject(UINT item, REFIID riid, void** out) override {
    item_asked = item;
    item_interface_right = IsEqualIID(riid, IID_IDispatch);
    return Hand(ShellRouteStep::kBackgroundObject, static_cast<IShellFolderViewDual*>(this), out);
  }
  // Shared by the folder view and the shell application; only the folder view's is asked.
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch** out) override {
    return Hand(ShellRouteStep::kApplication, static_cast<IShellDispatch2*>(this),
                reinterpret_cast<void**>(out));
  }
  HRESULT STDMETHODCALLTYPE ShellExecute(BSTR file, VARIANT arguments, VARIANT directory,
                                         VARIANT operation, VARIANT show) override {
    executed = true;
    executed_file.assign(file, SysStringLen(file));
    executed_argument_types = {arguments.vt, directory.vt, operation.vt, show.vt};
    return failing_step_ == ShellRouteStep::kShellExecute ? kInjectedError : S_OK;
  }

  // Everything else the interfaces declare is never asked by the route.
  // IShellWindows
  HRESULT STDMETHODCALLTYPE get_Count(LONG *Count) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch **Folder) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown **ppunk) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Register(
      IDispatch *pid, LONG hWnd, int swClass, LONG *plCookie) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RegisterPending(
      LONG lThreadId, VARIANT *pvarloc, VARIANT *pvarlocRoot, int swClass,
      LONG *plCookie) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Revoke(LONG lCookie) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnNavigate(
      LONG lCookie, VARIANT *pvarLoc) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OnActivated(
      LONG lCookie, VARIANT_BOOL fActive) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OnCreated(LONG lCookie, IUnknown *punk) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ProcessAttachDetach(VARIANT_BOOL fAttach) override { return E_NOTIMPL; }
  // IShellBrowser
  HRESULT STDMETHODCALLTYPE InsertMenusSB(
      HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetMenuSB(
      HMENU hmenuShared, HOLEMENU holemenuRes, HWND hwndActiveObject) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RemoveMenusSB(HMENU hmenuShared) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusTextSB(LPCWSTR pszStatusText) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableModelessSB(WINBOOL fEnable) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAcceleratorSB(
      MSG *pmsg, WORD wID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BrowseObject(
      PCUIDLIST_RELATIVE pidl, UINT wFlags) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetViewStateStream(
      DWORD grfMode, IStream **ppStrm) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetControlWindow(UINT id, HWND *phwnd) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SendControlMsg(
      UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT *pret) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OnViewWindowActive(IShellView *pshv) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetToolbarItems(
      LPTBBUTTONSB lpButtons, UINT nButtons, UINT uFlags) override {
    return E_NOTIMPL;
  }
  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND *phwnd) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL fEnterMode) override { return E_NOTIMPL; }
  // IShellView
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG *pmsg) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL fEnable) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UIActivate(UINT uState) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Refresh() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateViewWindow(
      IShellView *psvPrevious, LPCFOLDERSETTINGS pfs, IShellBrowser *psb, RECT *prcView,
      HWND *phWnd) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DestroyViewWindow() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCurrentInfo(LPFOLDERSETTINGS pfs) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddPropertySheetPages(
      DWORD dwReserved, LPFNSVADDPROPSHEETPAGE pfn, LPARAM lparam) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SaveViewState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectItem(
      PCUITEMID_CHILD pidlItem, SVSIF uFlags) override {
    return E_NOTIMPL;
  }
  // IShellFolderViewDual
  HRESULT STDMETHODCALLTYPE get_Parent(IDispatch **ppid) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Folder(Folder **ppid) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectedItems(FolderItems **ppid) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FocusedItem(FolderItem **ppid) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectItem(VARIANT *pvfi, int dwFlags) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PopupItemMenu(
      FolderItem *pfi, VARIANT vx, VARIANT vy, BSTR *pbs) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_Script(IDispatch **ppDisp) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ViewOptions(LONG *plViewOptions) override { return E_NOTIMPL; }
  // IShellDispatch
  HRESULT STDMETHODCALLTYPE NameSpace(VARIANT vDir, Folder **ppsdf) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BrowseForFolder(
      LONG Hwnd, BSTR Title, LONG Options, VARIANT RootFolder, Folder **ppsdf) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Windows(IDispatch **ppid) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Open(VARIANT vDir) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Explore(VARIANT vDir) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MinimizeAll() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UndoMinimizeALL() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FileRun() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CascadeWindows() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TileVertically() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TileHorizontally() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ShutdownWindows() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Suspend() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EjectPC() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTime() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TrayProperties() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Help() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindFiles() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindComputer() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RefreshMenu() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ControlPanelItem(BSTR bstrDir) override { return E_NOTIMPL; }
  // IShellDispatch2
  HRESULT STDMETHODCALLTYPE IsRestricted(
      BSTR Group, BSTR Restriction, LONG *plRestrictValue) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindPrinter(
      BSTR name, BSTR location, BSTR model) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetSystemInformation(
      BSTR name, VARIANT *pv) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ServiceStart(
      BSTR ServiceName, VARIANT Persistent, VARIANT *pSuccess) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ServiceStop(
      BSTR ServiceName, VARIANT Persistent, VARIANT *pSuccess) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE IsServiceRunning(
      BSTR ServiceName, VARIANT *pRunning) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CanStartStopService(
      BSTR ServiceName, VARIANT *pCanStartStop) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ShowBrowserBar(
      BSTR bstrClsid, VARIANT bShow, VARIANT *pSuccess) override {
    return E_NOTIMPL;
  }

 private:
  HRESULT Give(IUnknown* object, void** out) {
    object->AddRef();
    *out = object;
    return S_OK;
  }
  // The answer of one step of the route: as configured when it is the failing one.
  HRESULT Hand(ShellRouteStep step, IUnknown* object, void** out) {
    *out = nullptr;
    if (step != failing_step_) return Give(object, out);
    switch (failure_) {
      case Failure::kError: return kInjectedError;
      case Failure::kNoObject: return S_OK;
      case Failure::kFalse: break;
    }
    Give(object, out);
    return S_FALSE;
  }

  LONG refs_ = 1;
  ShellRouteStep failing_step_ = ShellRouteStep::kDone;
  Failure failure_ = Failure::kError;
};

}  // namespace pelko::setup::test

#endif  // PELKO_SETUP_POST_INSTALL_FAKE_SHELL_WIN32_TEST_SUPPORT_H_
