// The application icon and the background picture as the windows load them: by name, from the
// program's own module (the test program carries the same app.rc images as the setup).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "setup/ui/dialog_background_win32.h"

namespace pelko::setup {
namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

#pragma pack(push, 2)
struct GroupIconHeader {
  WORD reserved;
  WORD type;
  WORD count;
};
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE color_count;
  BYTE reserved;
  WORD planes;
  WORD bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

const void* ResourceData(const wchar_t* type, const wchar_t* name, DWORD* size) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceExW(module, type, name, kEnglishUs);
  if (!resource) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) return nullptr;
  *size = SizeofResource(module, resource);
  return LockResource(loaded);
}

class OwnedIcon {
 public:
  explicit OwnedIcon(HICON icon) : icon_(icon) {}
  ~OwnedIcon() {
    if (icon_) DestroyIcon(icon_);
  }
  OwnedIcon(const OwnedIcon&) = delete;
  OwnedIcon& operator=(const OwnedIcon&) = delete;
  HICON get() const { return icon_; }

 private:
  HICON icon_;
};

class OwnedBitmap {
 public:
  explicit OwnedBitmap(HANDLE bitmap) : bitmap_(static_cast<HBITMAP>(bitmap)) {}
  ~OwnedBitmap() {
    if (bitmap_) DeleteObject(bitmap_);
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;
  HBITMAP get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

// The width and height of an icon's colour bitmap; zero when it has none.
SIZE IconSize(HICON icon) {
  SIZE size = {0, 0};
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return size;
  BITMAP bitmap = {};
  OwnedBitmap colour(info.hbmColor);
  OwnedBitmap mask(info.hbmMask);
  if (colour.get() && GetObjectW(colour.get(), sizeof(bitmap), &bitmap)) {
    size.cx = bitmap.bmWidth;
    size.cy = bitmap.bmHeight;
  }
  return size;
}

TEST(AppResourcesTest, IconGroupHoldsNineTrueColourImagesInEnglish) {
  DWORD size = 0;
  const auto* data = static_cast<const BYTE*>(ResourceData(RT_GROUP_ICON, L"ID_APP_ICON", &size));
  ASSERT_NE(data, nullptr);
  ASSERT_GE(size, sizeof(GroupIconHeader));
  GroupIconHeader header;
  std::memcpy(&header, data, sizeof(header));
  EXPECT_EQ(header.type, 1);
  ASSERT_EQ(header.count, 9);
  ASSERT_GE(size, sizeof(GroupIconHeader) + header.count * sizeof(GroupIconEntry));

  std::set<int> edges;
  std::set<WORD> ids;
  for (WORD i = 0; i < header.count; ++i) {
    GroupIconEntry entry;
    std::memcpy(&entry, data + sizeof(header) + i * sizeof(entry), sizeof(entry));
    SCOPED_TRACE(i);
    EXPECT_EQ(entry.bit_count, 32);
    EXPECT_EQ(entry.width, entry.height);
    edges.insert(entry.width == 0 ? 256 : entry.width);
    ids.insert(entry.id);
    DWORD image_size = 0;
    const auto* image =
        static_cast<const BYTE*>(ResourceData(RT_ICON, MAKEINTRESOURCEW(entry.id), &image_size));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image_size, entry.bytes);
    // The large images are stored compressed, the small ones as plain colour rows and mask.
    const bool png = image_size >= 8 && std::memcmp(image, "\x89PNG\r\n\x1a\n", 8) == 0;
    EXPECT_EQ(png, (entry.width == 0 ? 256 : entry.width) >= 48);
  }
  EXPECT_EQ(edges, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 96, 256}));
  EXPECT_EQ(ids, (std::set<WORD>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(AppResourcesTest, IconLoadsByNameInEachSizeTheWindowsAskFor) {
  const int kEdges[] = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXICON), 16, 24, 32,
                        48, 256};
  for (int edge : kEdges) {
    SCOPED_TRACE(edge);
    OwnedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"ID_APP_ICON", IMAGE_ICON, edge, edge, 0)));
    ASSERT_NE(icon.get(), nullptr);
    const SIZE size = IconSize(icon.get());
    EXPECT_EQ(size.cx, edge);
    EXPECT_EQ(size.cy, edge);
  }
}

// The palette indices of a BI_RLE8 picture, bottom row first; empty unless the data decodes to
// whole rows of `width` pixels, `height` of them, and ends with the end-of-bitmap escape. Deltas
// count as malformed: the pixels they skip are left to the decoder.
std::vector<BYTE> DecodeRle8(const BYTE* data, size_t size, int width, int height) {
  std::vector<BYTE> pixels;
  std::vector<BYTE> row;
  const auto end_row = [&] {
    if (static_cast<int>(row.size()) != width) return false;
    pixels.insert(pixels.end(), row.begin(), row.end());
    row.clear();
    return true;
  };
  size_t at = 0;
  bool ended = false;
  while (!ended && at + 2 <= size) {
    const BYTE count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      row.insert(row.end(), count, value);
    } else if (value == 0) {  // end of line
      if (!end_row()) return {};
    } else if (value == 1) {  // end of bitmap, after the last row's end of line or in its place
      if (!row.empty() && !end_row()) return {};
      ended = true;
    } else if (value == 2 || at + value > size) {
      return {};
    } else {  // absolute mode: `value` indices, padded to a 16-bit boundary
      row.insert(row.end(), data + at, data + at + value);
      at += value + (value % 2);
    }
  }
  if (!ended || at != size || static_cast<int>(pixels.size()) != width * height) return {};
  return pixels;
}

TEST(AppResourcesTest, BackgroundIsARunLengthEncodedBitmapThatLoadsUnchanged) {
  DWORD size = 0;
  const auto* data = static_cast<const BYTE*>(ResourceData(RT_BITMAP, L"IDB_BACKGROUND", &size));
  ASSERT_NE(data, nullptr);
  BITMAPINFOHEADER info;
  ASSERT_GE(size, sizeof(info));
  std::memcpy(&info, data, sizeof(info));
  EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(info.biBitCount, 8);
  EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RLE8));
  ASSERT_GT(info.biHeight, 0) << "stored bottom-up";
  ASSERT_GE(info.biClrUsed, 1u);
  ASSERT_LE(info.biClrUsed, 256u);
  const size_t palette_bytes = info.biClrUsed * sizeof(RGBQUAD);
  ASSERT_EQ(size, sizeof(info) + palette_bytes + info.biSizeImage);
  std::vector<RGBQUAD> palette(info.biClrUsed);
  std::memcpy(palette.data(), data + sizeof(info), palette_bytes);
  const std::vector<BYTE> indices = DecodeRle8(data + sizeof(info) + palette_bytes,
                                               info.biSizeImage, info.biWidth, info.biHeight);
  ASSERT_EQ(indices.size(), static_cast<size_t>(info.biWidth) * info.biHeight);

  OwnedBitmap bitmap(LoadImageW(GetModuleHandleW(nullptr), L"IDB_BACKGROUND", IMAGE_BITMAP, 0, 0,
                                LR_DEFAULTSIZE));
  ASSERT_NE(bitmap.get(), nullptr);
  BITMAP loaded = {};
  EXPECT_EQ(GetObjectW(bitmap.get(), sizeof(loaded), &loaded), static_cast<int>(sizeof(loaded)));
  ASSERT_EQ(loaded.bmWidth, info.biWidth);
  ASSERT_EQ(loaded.bmHeight, info.biHeight);
  // Large enough to fill a dialog of about 400 by 300 dialog units at the default font.
  EXPECT_GE(loaded.bmWidth, 600);
  EXPECT_GE(loaded.bmHeight, 480);

  // What the loaded bitmap holds, read back bottom row first like the resource.
  BITMAPINFO read = {};
  read.bmiHeader.biSize = sizeof(read.bmiHeader);
  read.bmiHeader.biWidth = loaded.bmWidth;
  read.bmiHeader.biHeight = loaded.bmHeight;
  read.bmiHeader.biPlanes = 1;
  read.bmiHeader.biBitCount = 32;
  read.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> seen(indices.size());
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap.get(), 0, loaded.bmHeight, seen.data(), &read,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(rows, loaded.bmHeight);

  const auto expected = [&](int x, int row_from_bottom) {
    const RGBQUAD& colour = palette[indices[row_from_bottom * info.biWidth + x]];
    return static_cast<DWORD>(colour.rgbRed << 16 | colour.rgbGreen << 8 | colour.rgbBlue);
  };
  size_t wrong = 0;
  for (int row = 0; row < info.biHeight; ++row) {
    for (int x = 0; x < info.biWidth; ++x) {
      if ((seen[row * info.biWidth + x] & 0xFFFFFF) != expected(x, row)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0u) << "pixels that differ from the decoded resource";

  // The dialog decodes the picture itself, and shows exactly what the system loads.
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  struct NoDiagnostic : DiagnosticOutput {
    void Write(const std::u16string&) override { ADD_FAILURE() << "the picture did not load"; }
  } output;
  DialogBackground background;
  background.SetUp(window, output);
  DestroyWindow(window);
  std::vector<DWORD> shown(seen.size());
  screen = GetDC(nullptr);
  ASSERT_EQ(GetDIBits(screen, background.bitmap(), 0, loaded.bmHeight, shown.data(), &read,
                      DIB_RGB_COLORS), loaded.bmHeight);
  ReleaseDC(nullptr, screen);
  for (size_t i = 0; i < seen.size(); ++i) {
    ASSERT_EQ(shown[i] & 0xFFFFFF, seen[i] & 0xFFFFFF) << "pixel " << i;
  }
  // The dialog anchors the picture at its bottom-left corner, where the ridges are a light blue.
  const DWORD corner = seen[0] & 0xFFFFFF;
  EXPECT_NE(corner, 0xFFFFFFu);
  EXPECT_GT(corner & 0xFF, corner >> 16) << "more blue than red";
  // Beyond the picture the dialog paints white: the top row and the rightmost column are white
  // too, so the two meet without a seam.
  for (int x = 0; x < info.biWidth; ++x) {
    SCOPED_TRACE(x);
    ASSERT_EQ(expected(x, info.biHeight - 1), 0xFFFFFFu);
  }
  for (int row = 0; row < info.biHeight; ++row) {
    SCOPED_TRACE(row);
    ASSERT_EQ(expected(info.biWidth - 1, row), 0xFFFFFFu);
  }
}

}  // namespace
}  // namespace pelko::setup
