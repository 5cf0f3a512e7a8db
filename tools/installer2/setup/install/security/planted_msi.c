/* A stand-in for an msi.dll that someone planted beside setup.exe in a folder others can write.
   Loading it is the whole attack, so DllMain leaves a trace file beside the DLL and nothing
   else: the test then knows whether the setup loaded it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 32];
    DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    while (length > 0 && path[length - 1] != L'\\') --length;
    lstrcpyW(path + length, L"planted-msi-loaded.txt");
    HANDLE trace = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (trace != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(trace, "loaded", 6, &written, NULL);
      CloseHandle(trace);
    }
  }
  return TRUE;
}
