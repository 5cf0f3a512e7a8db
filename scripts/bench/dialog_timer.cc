// Times each program given from its process creation to its first visible window answering a
// message (the dialog on screen and its modal loop running), then closes the window and waits
// for the program to end. Rounds interleave the programs, each round starting with the next.
//
//   dialog_timer.exe <rounds> <program> <program>...
//
// Prints one line a round: the milliseconds of each program in the order given. A start that
// shows no answering window (Wine, loaded, now and then loses a process while it starts) is
// tried again, twice at most, with a line on stderr; exit code 1 when all three fail.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// Milliseconds to the dialog, or a negative number when the program did not show one.
double TimeToDialog(const wchar_t* program) {
  LARGE_INTEGER frequency, start, shown;
  QueryPerformanceFrequency(&frequency);
  std::wstring command = std::wstring(L"\"") + program + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  Search search = {process.dwProcessId, nullptr};
  double milliseconds = -1;
  for (;;) {
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) break;
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  DWORD_PTR answer = 0;
  if (search.found &&
      SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
    QueryPerformanceCounter(&shown);
    milliseconds = 1000.0 * (shown.QuadPart - start.QuadPart) / frequency.QuadPart;
    PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    milliseconds = -1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return milliseconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: dialog_timer <rounds> <program>...\n");
    return 2;
  }
  const int rounds = _wtoi(argv[1]);
  const int programs = argc - 2;
  for (int round = 0; round < rounds; ++round) {
    std::vector<double> times(programs);
    for (int k = 0; k < programs; ++k) {
      const int which = (round + k) % programs;
      for (int attempt = 1; (times[which] = TimeToDialog(argv[2 + which])) < 0; ++attempt) {
        std::fprintf(stderr, "dialog_timer: %ls showed no answering window (attempt %d of 3)\n",
                     argv[2 + which], attempt);
        if (attempt == 3) return 1;
      }
    }
    for (int k = 0; k < programs; ++k) std::printf(k ? " %.2f" : "%.2f", times[k]);
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}
