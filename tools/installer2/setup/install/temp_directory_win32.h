#ifndef PELKO_SETUP_INSTALL_TEMP_DIRECTORY_WIN32_H_
#define PELKO_SETUP_INSTALL_TEMP_DIRECTORY_WIN32_H_

#include <windows.h>

#include <string>

namespace pelko::setup {

// GetTempPathW and GetTempPath2W take and answer alike.
using TempPathQuery = DWORD(WINAPI*)(DWORD buffer_length, LPWSTR buffer);
// An export of kernel32 by name; null when it has none.
using KernelExportLookup = FARPROC (*)(const char* name);

// GetTempPath2W where kernel32 exports it, else GetTempPathW. For the system account the newer
// call answers the system's own temporary folder, which no other account can open; for every
// other account both answer alike. Looked up at run time so that the program still starts on
// systems without it.
TempPathQuery ChooseTempPathQuery(KernelExportLookup lookup);

// The temporary folder as `query` gives it (ending in a backslash; empty when the call failed).
// False when the path does not fit the 260-character buffer.
bool GetTempDirectory(TempPathQuery query, std::u16string& directory);

// The same with the query chosen from this process's kernel32.
bool GetTempDirectory(std::u16string& directory);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_TEMP_DIRECTORY_WIN32_H_
