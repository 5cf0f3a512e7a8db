#include "setup/install/package_extraction_win32.h"

#include <windows.h>

#include <cstring>
#include <utility>
#include <vector>

#include "setup/win32_text.h"

namespace pelko::setup {
namespace {

constexpr DWORD kPackageFileAttributes = FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NORMAL;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What deleting through a handle needs: the deletion itself and clearing a read-only attribute.
constexpr DWORD kDeleteAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
// Few reads for a large package, and small beside the mapped resource.
constexpr DWORD kCompareChunk = 256 * 1024;

// Marks the file open in `file` for deletion; it goes when the last handle to it is closed. A
// read-only file refuses that, so the attribute is cleared first, through the same handle.
bool DeleteThroughHandle(HANDLE file) {
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) return false;
  if (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) {
    // Zero times leave the times as they are; zero attributes would too, hence NORMAL.
    FILE_BASIC_INFO cleared{};
    cleared.FileAttributes = basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY;
    if (cleared.FileAttributes == 0) cleared.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(file, FileBasicInfo, &cleared, sizeof cleared)) return false;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

// Deletes the file `anchor` was opened on; the file is reached from our handle, not by name.
void DeleteThroughAnchor(HANDLE anchor) {
  UniqueHandle deleter(ReOpenFile(anchor, kDeleteAccess, kShareAll, 0));
  if (deleter.valid()) DeleteThroughHandle(deleter.get());
}

}  // namespace

bool RemoveFileEntry(const std::u16string& path) {
  // FILE_FLAG_OPEN_REPARSE_POINT: a link or mount point is opened as itself, so the deletion
  // takes the link away and never what it points at. Without FILE_FLAG_BACKUP_SEMANTICS a
  // folder (a junction included) does not open at all and stays.
  UniqueHandle entry(CreateFileW(AsWide(path), kDeleteAccess, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!entry.valid()) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  // Through the handle: the entry deleted is the one opened, whatever is renamed meanwhile.
  return DeleteThroughHandle(entry.get());
}

void ExtractedPackage::Remove() {
  if (!anchor_.valid()) return;
  // The installer shares reading only, so no handle of ours may carry DELETE while it reads;
  // our read handle must go before a deleting one can be opened. This one shares deletion but
  // not writing, so nobody can write the file while we change handles.
  UniqueHandle keeper(
      ReOpenFile(held_.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, 0));
  held_.Reset();
  // Opened from the anchor, it is the file written even if its name was taken meanwhile; with
  // reading shared only, nobody else can delete or rename it from here on.
  UniqueHandle deleter(ReOpenFile(anchor_.get(), kDeleteAccess, FILE_SHARE_READ, 0));
  if (!deleter.valid()) deleter.Reset(ReOpenFile(anchor_.get(), kDeleteAccess, kShareAll, 0));
  if (deleter.valid()) DeleteThroughHandle(deleter.get());
  // The deleter goes last: until the file is gone, a handle that shares neither writing nor
  // deletion is open on it (Wine lets a file marked for deletion be opened again).
  anchor_.Reset();
  keeper.Reset();
  deleter.Reset();
}

bool PackageFileWriter::WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool PackageFileWriter::HoldsExactly(HANDLE held, const void* data, DWORD size) {
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(held, &length) || length.QuadPart != size) return false;
  std::vector<unsigned char> chunk(kCompareChunk);
  const auto* expected = static_cast<const unsigned char*>(data);
  for (DWORD done = 0; done < size;) {
    const DWORD want = size - done < kCompareChunk ? size - done : kCompareChunk;
    DWORD got = 0;
    if (!ReadFile(held, chunk.data(), want, &got, nullptr) || got == 0) return false;
    if (std::memcmp(chunk.data(), expected + done, got) != 0) return false;
    done += got;
  }
  return true;
}

bool PackageFileWriter::Write(const void* data, DWORD size, const std::u16string& path,
                              ExtractedPackage& package) {
  package.Remove();
  // Closes: a stale file, or a link planted at the name, being written through. What cannot be
  // removed (held open by someone else, not ours) stops the run.
  if (!RemoveFileEntry(path)) return false;
  // Closes: anything that appears at the name after the removal. CREATE_NEW fails on it instead
  // of writing through it. Sharing reading only: nobody can write, delete or rename the file
  // while the bytes go in.
  UniqueHandle writer(CreateFileW(AsWide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, kPackageFileAttributes, nullptr));
  if (!writer.valid()) return false;
  // Attribute access takes part in no share check: this handle coexists with every other one
  // and keeps reaching this very file, by handle, for the check and the deletion.
  UniqueHandle anchor(ReOpenFile(writer.get(), FILE_READ_ATTRIBUTES, kShareAll, 0));
  if (!anchor.valid()) {
    // Nothing is written yet; the empty file goes by its name.
    writer.Reset();
    RemoveFileEntry(path);
    return false;
  }
  if (!WriteAll(writer.get(), data, size)) {
    // Closes: a partial package left behind.
    writer.Reset();
    DeleteThroughAnchor(anchor.get());
    return false;
  }
  // The installer opens the file sharing reading only, so our write access must go before the
  // file can be held for it, and no share mode lets the holding handle coexist with the writer.
  // This bridge does (it shares the writer's reading and writing) and shares no deletion: from
  // the close of the writer to the hold nobody can delete or rename the file. A write that gets
  // in meanwhile is caught below.
  UniqueHandle bridge(
      ReOpenFile(writer.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0));
  writer.Reset();
  if (!bridge.valid()) {
    DeleteThroughAnchor(anchor.get());
    return false;
  }
  BeforeHold(path);
  // Opened by name, as the installer will open it. Shares reading only: from here until Remove
  // nobody can write, delete or rename the file. A writer that got in since the close makes
  // this fail (sharing violation).
  UniqueHandle held(CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr));
  bridge.Reset();
  // Closes the moment between the close of the writer and the hold: the name must still be our
  // file with exactly the bytes written (not changed and closed again).
  if (!held.valid() || !SameFile(held.get(), anchor.get()) ||
      !HoldsExactly(held.get(), data, size)) {
    held.Reset();
    DeleteThroughAnchor(anchor.get());
    return false;
  }
  package = ExtractedPackage(std::move(held), std::move(anchor));
  return true;
}

bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                    const std::u16string& path, PackageFileWriter& writer,
                    ExtractedPackage& package) {
  package.Remove();
  // No module handle: the resource is the program's own.
  HRSRC resource = FindResourceW(nullptr, AsWide(resource_name), AsWide(resource_type));
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  DWORD size = SizeofResource(nullptr, resource);
  // An empty package leaves the file system untouched.
  if (data == nullptr || size == 0) return false;
  return writer.Write(data, size, path, package);
}

bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                    const std::u16string& path, ExtractedPackage& package) {
  PackageFileWriter writer;
  return ExtractPackage(resource_name, resource_type, path, writer, package);
}

}  // namespace pelko::setup
