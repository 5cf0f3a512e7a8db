#include "setup/ui/dialog_background_win32.h"

#include <cstring>
#include <utility>

#include "setup/ui/dialog_background.h"
#include "setup/ui/rle8_picture.h"
#include "setup/win32_text.h"

namespace pelko::setup {

namespace {

constexpr DWORD kMessageLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);
constexpr DWORD kMessageBufferSize = 256;

HINSTANCE DialogInstance(HWND dialog) {
  // GWL_HINSTANCE as a pointer-sized value: the 32-bit form would cut a 64-bit module address.
  return reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
}

HICON LoadSharedIcon(HINSTANCE instance, int width_metric, int height_metric) {
  return static_cast<HICON>(::LoadImageW(instance, kAppIconName, IMAGE_ICON,
                                         ::GetSystemMetrics(width_metric),
                                         ::GetSystemMetrics(height_metric), LR_SHARED));
}

std::u16string SystemMessage(DWORD code) {
  wchar_t buffer[kMessageBufferSize] = {};
  ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, kMessageLanguage, buffer,
                   kMessageBufferSize, nullptr);
  buffer[kMessageBufferSize - 1] = L'\0';
  return FromWide(buffer);
}

// Leaves the visible dialog controls out of the clip region of `dc`.
void ExcludeDialogControls(HWND dialog, HDC dc) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child && ::IsWindow(child);
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!IsControlKeptClearOfBackground(::GetDlgCtrlID(child)) || !::IsWindowVisible(child)) {
      continue;
    }
    RECT rect = {};
    if (!::GetWindowRect(child, &rect)) continue;
    POINT top_left = {rect.left, rect.top};
    POINT bottom_right = {rect.right, rect.bottom};
    if (!::ScreenToClient(dialog, &top_left) || !::ScreenToClient(dialog, &bottom_right)) continue;
    // In a mirrored dialog the converted corners swap sides; the exclusion wants left < right.
    if (top_left.x > bottom_right.x) std::swap(top_left.x, bottom_right.x);
    ::ExcludeClipRect(dc, top_left.x, top_left.y, bottom_right.x, bottom_right.y);
  }
}

// Fills what lies right of `covered_width` and below `covered_height` (measured from the client
// area's top-left corner) with white.
void FillOutsideBitmap(HDC dc, const RECT& client, int covered_width, int covered_height) {
  HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  if (covered_width < client.right - client.left) {
    RECT right = {client.left + covered_width, client.top, client.right, client.bottom};
    ::FillRect(dc, &right, white);
  }
  if (covered_height < client.bottom - client.top) {
    RECT below = {client.left, client.top + (covered_height > 0 ? covered_height : 0),
                  client.right, client.bottom};
    ::FillRect(dc, &below, white);
  }
}

// The background as an uncompressed device-independent section, decoded here: LoadImageW makes a
// device bitmap of it, which takes several times as long, and the dialog waits for it before it
// shows. A picture the decoder does not take goes to LoadImageW, as does every failure, so that
// the diagnostic keeps the system's own error.
HBITMAP LoadBackgroundBitmap(HINSTANCE instance) {
  HRSRC found = ::FindResourceW(instance, kBackgroundBitmapName, RT_BITMAP);
  HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
  const auto* data = static_cast<const uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
  Rle8PictureLayout layout;
  if (data && ReadRle8Layout(data, ::SizeofResource(instance, found), layout)) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = layout.width;
    info.header.biHeight = layout.height;  // bottom-up, as the picture's rows are stored
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    // A full table: indices past the picture's own colours read black, not what follows it.
    info.header.biClrUsed = 256;
    std::memcpy(info.colours, data + layout.palette_offset, layout.palette_size * sizeof(RGBQUAD));
    void* bits = nullptr;
    GdiObject<HBITMAP> section(::CreateDIBSection(
        nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (section.get() && DecodeRle8Picture(data, layout, static_cast<uint8_t*>(bits))) {
      return section.Release();
    }
  }
  return static_cast<HBITMAP>(
      ::LoadImageW(instance, kBackgroundBitmapName, IMAGE_BITMAP, 0, 0, LR_DEFAULTSIZE));
}

}  // namespace

void SetDialogIcons(HWND dialog) {
  HINSTANCE instance = DialogInstance(dialog);
  HICON small_icon = LoadSharedIcon(instance, SM_CXSMICON, SM_CYSMICON);
  ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  HICON large_icon = LoadSharedIcon(instance, SM_CXICON, SM_CYICON);
  ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon));
}

void PaintBackground(HWND dialog, HBITMAP bitmap) {
  RECT client = {};
  ::GetClientRect(dialog, &client);
  HDC dc = ::GetDC(dialog);
  if (!dc) return;
  const int saved = ::SaveDC(dc);
  HDC memory = ::CreateCompatibleDC(dc);
  if (memory) {
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ExcludeDialogControls(dialog, dc);

    BITMAP info = {};
    ::GetObjectW(bitmap, sizeof(info), &info);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int source_row = BackgroundSourceRow(client.top, height, info.bmHeight);
    ::BitBlt(dc, client.left, client.top, width, height, memory, 0, source_row, SRCCOPY);
    // Where the client area reaches past the picture (a large font or a high DPI), the copy
    // brings whatever lies outside the bitmap; white matches the picture's near-white wash.
    FillOutsideBitmap(dc, client, info.bmWidth, info.bmHeight - source_row);

    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
  }
  ::RestoreDC(dc, saved);
  ::ReleaseDC(dialog, dc);
}

void DialogBackground::SetUp(HWND dialog, DiagnosticOutput& output) {
  bitmap_.Reset(LoadBackgroundBitmap(DialogInstance(dialog)));
  if (!bitmap_.get()) {
    const DWORD code = ::GetLastError();
    output.Write(FormatBackgroundLoadError(SystemMessage(code), code));
  }
  brush_.Reset(::CreateSolidBrush(kControlBackgroundColor));
}

LRESULT DialogBackground::OnPaint(HWND dialog, bool& handled) {
  if (bitmap_.get()) PaintBackground(dialog, bitmap_.get());
  // The default processing follows and validates the area to be repainted.
  handled = false;
  return 0;
}

LRESULT DialogBackground::OnEraseBackground(HWND dialog, bool& handled) {
  if (!bitmap_.get()) {
    handled = false;  // the default erases with the dialog's class brush
    return 0;
  }
  PaintBackground(dialog, bitmap_.get());
  return 1;
}

LRESULT DialogBackground::OnCtlColorStatic(bool& handled) {
  return reinterpret_cast<LRESULT>(brush_.get());
}

}  // namespace pelko::setup
