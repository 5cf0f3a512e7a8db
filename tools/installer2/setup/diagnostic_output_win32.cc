#include "setup/diagnostic_output_win32.h"

#include <windows.h>

#include <vector>

#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr size_t kMaxFileChunk = 1u << 28;
constexpr size_t kMaxConsoleChunk = 1u << 14;  // consoles refuse very large single writes
constexpr size_t kMaxText = 0x7fffffff;          // WideCharToMultiByte counts in int

// WriteFile may take less than it is given on a pipe; whatever it refuses is dropped.
void WriteAll(HANDLE handle, const char* bytes, size_t size) {
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(size > kMaxFileChunk ? kMaxFileChunk : size);
    DWORD written = 0;
    if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) return;
    bytes += written;
    size -= written;
  }
}

void WriteUtf8(HANDLE handle, const std::u16string& text) {
  // Invalid UTF-16 (a lone surrogate) becomes U+FFFD rather than failing the whole text.
  int length = WideCharToMultiByte(CP_UTF8, 0, AsWide(text), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  // A byte vector, not a char string: the latter is the one string type the static runtime
  // instantiates itself, and linking it brings the runtime's exception support along.
  std::vector<char> utf8(static_cast<size_t>(length));
  length = WideCharToMultiByte(CP_UTF8, 0, AsWide(text), static_cast<int>(text.size()),
                               utf8.data(), length, nullptr, nullptr);
  if (length <= 0) return;
  WriteAll(handle, utf8.data(), static_cast<size_t>(length));
}

void WriteToConsole(HANDLE console, const std::u16string& text) {
  const wchar_t* chars = AsWide(text);
  size_t left = text.size();
  while (left > 0) {
    DWORD chunk = static_cast<DWORD>(left > kMaxConsoleChunk ? kMaxConsoleChunk : left);
    // A surrogate pair split over two writes would show as two broken characters.
    if (chunk < left && IS_HIGH_SURROGATE(chars[chunk - 1])) --chunk;
    DWORD written = 0;
    if (!WriteConsoleW(console, chars, chunk, &written, nullptr) || written == 0) return;
    chars += written;
    left -= written;
  }
}

}  // namespace

void StdoutDiagnosticOutput::Write(const std::u16string& text) {
  if (text.empty() || text.size() > kMaxText) return;
  HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  // A GUI process normally has no standard output; the text is then lost.
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0;
  if (GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
    WriteToConsole(handle, text);
  } else {
    WriteUtf8(handle, text);
  }
}

}  // namespace pelko::setup
