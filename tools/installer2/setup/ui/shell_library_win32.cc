#include "setup/ui/shell_library_win32.h"

namespace pelko::setup {

namespace {

using GetKnownFolderPathFunction = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
using CreateItemFromParsingNameFunction = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, REFIID, void**);

// Filled once per process; used from the UI thread only.
LazyEntryPoint g_get_known_folder_path("SHGetKnownFolderPath");
LazyEntryPoint g_create_item_from_parsing_name("SHCreateItemFromParsingName");

template <typename Function>
Function AsFunction(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

DynamicLibrary::DynamicLibrary(const wchar_t* name)
    : module_(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

FARPROC DynamicLibrary::GetFunction(const char* name) const {
  if (!module_.get()) return nullptr;
  return ::GetProcAddress(module_.get(), name);
}

FARPROC LazyEntryPoint::Resolve(const DynamicLibrary& library) {
  if (!looked_up_) {
    address_ = library.GetFunction(name_);
    looked_up_ = true;
  }
  return address_;
}

ShellLibrary::ShellLibrary() : DynamicLibrary(L"Shell32.dll") {}

HRESULT ShellLibrary::SHGetKnownFolderPath(REFKNOWNFOLDERID folder_id, DWORD flags, HANDLE token,
                                           PWSTR* path) {
  auto function = AsFunction<GetKnownFolderPathFunction>(g_get_known_folder_path.Resolve(*this));
  if (!function) return E_NOTIMPL;
  return function(folder_id, flags, token, path);
}

HRESULT ShellLibrary::SHCreateItemFromParsingName(PCWSTR path, IBindCtx* bind_context,
                                                  REFIID interface_id, void** object) {
  auto function = AsFunction<CreateItemFromParsingNameFunction>(
      g_create_item_from_parsing_name.Resolve(*this));
  if (!function) return E_NOTIMPL;
  return function(path, bind_context, interface_id, object);
}

}  // namespace pelko::setup
