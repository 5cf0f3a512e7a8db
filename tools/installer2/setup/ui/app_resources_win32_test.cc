// The application icon and the background picture as the windows load them: by name, from the
// program's own module (the test program carries the same app.rc images as the setup).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>

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
    EXPECT_NE(ResourceData(RT_ICON, MAKEINTRESOURCEW(entry.id), &image_size), nullptr);
    EXPECT_EQ(image_size, entry.bytes);
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

TEST(AppResourcesTest, BackgroundIsATwentyFourBitBitmapInEnglish) {
  DWORD size = 0;
  const void* data = ResourceData(RT_BITMAP, L"IDB_BACKGROUND", &size);
  ASSERT_NE(data, nullptr);
  BITMAPINFOHEADER info;
  ASSERT_GE(size, sizeof(info));
  std::memcpy(&info, data, sizeof(info));
  EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(info.biBitCount, 24);
  EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_GT(info.biHeight, 0) << "stored bottom-up";
  const uint64_t stride = (static_cast<uint64_t>(info.biWidth) * 3 + 3) & ~uint64_t{3};
  EXPECT_EQ(size, sizeof(info) + stride * static_cast<uint64_t>(info.biHeight));

  OwnedBitmap bitmap(LoadImageW(GetModuleHandleW(nullptr), L"IDB_BACKGROUND", IMAGE_BITMAP, 0, 0,
                                LR_DEFAULTSIZE));
  ASSERT_NE(bitmap.get(), nullptr);
  BITMAP loaded = {};
  EXPECT_EQ(GetObjectW(bitmap.get(), sizeof(loaded), &loaded), static_cast<int>(sizeof(loaded)));
  EXPECT_EQ(loaded.bmWidth, info.biWidth);
  EXPECT_EQ(loaded.bmHeight, info.biHeight);
  // Large enough to fill a dialog of about 400 by 300 dialog units at the default font.
  EXPECT_GE(loaded.bmWidth, 600);
  EXPECT_GE(loaded.bmHeight, 480);
}

}  // namespace
}  // namespace pelko::setup
