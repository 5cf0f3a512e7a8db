#ifndef PELKO_SETUP_UI_SHELL_LIBRARY_WIN32_H_
#define PELKO_SETUP_UI_SHELL_LIBRARY_WIN32_H_

// Libraries loaded by name for the life of an object, and the Shell32 functions that older
// Windows versions lack, reached at run time.

#include <windows.h>
#include <shlobj.h>

#include "setup/win32_raii.h"

namespace pelko::setup {

// A library loaded from the system directory only: a DLL of the same name beside the setup (in a
// downloads folder, say) must never be picked up instead.
class DynamicLibrary {
 public:
  explicit DynamicLibrary(const wchar_t* name);
  virtual ~DynamicLibrary() = default;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  HMODULE module() const { return module_.get(); }
  // Null when the library was not loaded or lacks the function.
  FARPROC GetFunction(const char* name) const;

 private:
  ModuleHandle module_;
};

// One function looked up at its first use and kept from then on, also when the lookup found
// nothing. The address stays valid after the library object that found it is gone only because
// the library stays loaded for the process (the setup imports Shell32 directly too).
class LazyEntryPoint {
 public:
  explicit constexpr LazyEntryPoint(const char* name) : name_(name) {}
  FARPROC Resolve(const DynamicLibrary& library);
  bool looked_up() const { return looked_up_; }

 private:
  const char* name_;
  FARPROC address_ = nullptr;
  bool looked_up_ = false;
};

class ShellLibrary : public DynamicLibrary {
 public:
  ShellLibrary();
  ~ShellLibrary() override = default;

  // Same parameters and results as the Shell32 functions; E_NOTIMPL where Shell32 lacks them.
  HRESULT SHGetKnownFolderPath(REFKNOWNFOLDERID folder_id, DWORD flags, HANDLE token,
                               PWSTR* path);
  HRESULT SHCreateItemFromParsingName(PCWSTR path, IBindCtx* bind_context, REFIID interface_id,
                                      void** object);
};

}  // namespace pelko::setup

#endif  // PELKO_SETUP_UI_SHELL_LIBRARY_WIN32_H_
