/* The control for the planted msi.dll test: loads "msi.dll" by bare name, the way a program
   that trusts the default search order would, so the planted copy beside it is found first. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
  HMODULE library = LoadLibraryW(L"msi.dll");
  if (library == NULL) return 1;
  FreeLibrary(library);
  return 0;
}
