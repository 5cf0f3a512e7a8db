#ifndef PELKO_SETUP_INSTALL_PACKAGE_EXTRACTION_WIN32_H_
#define PELKO_SETUP_INSTALL_PACKAGE_EXTRACTION_WIN32_H_

#include <windows.h>

#include <string>
#include <utility>

#include "setup/win32_raii.h"

namespace pelko::setup {

// Removes the directory entry at `path` itself: a link goes, never what it points at; a
// read-only file goes too. True when nothing is left there (also when nothing was there); false
// for what cannot be removed (held open without delete sharing, a folder, no access).
bool RemoveFileEntry(const std::u16string& path);

// The package written to the temporary folder and held there until Remove: others may read it
// (the installer opens it by name), nobody can write, delete or rename it.
class ExtractedPackage {
 public:
  ExtractedPackage() = default;
  // Whatever path the run takes, the package does not outlive its owner.
  ~ExtractedPackage() { Remove(); }
  ExtractedPackage(ExtractedPackage&&) noexcept = default;
  ExtractedPackage& operator=(ExtractedPackage&& other) noexcept {
    if (this != &other) {
      Remove();
      held_ = std::move(other.held_);
      anchor_ = std::move(other.anchor_);
    }
    return *this;
  }

  bool held() const { return held_.valid(); }
  // The read-only handle that keeps others from changing the package.
  HANDLE handle() const { return held_.get(); }
  // Deletes the file that was written, through a handle opened from ours, whatever its name
  // points at by then; then lets go. Does nothing when nothing is held.
  void Remove();

 private:
  friend class PackageFileWriter;
  ExtractedPackage(UniqueHandle held, UniqueHandle anchor)
      : held_(std::move(held)), anchor_(std::move(anchor)) {}

  UniqueHandle held_;    // GENERIC_READ, shares reading only
  UniqueHandle anchor_;  // attributes only: no share check, always the file we wrote
};

// Writes one package file and holds it. Each step is virtual so that tests (a write that fails
// part way, a change before the hold) and the benchmark (no content check) can replace one.
class PackageFileWriter {
 public:
  virtual ~PackageFileWriter() = default;

  // Removes what has the name, creates the file new, writes `size` bytes of `data`, holds the
  // file and checks that it is what was written. True with `package` held; false with nothing
  // of ours left at `path` (an entry that could not be removed stays as it was).
  bool Write(const void* data, DWORD size, const std::u16string& path, ExtractedPackage& package);

 protected:
  // The one write of the whole package; true only when every byte was written.
  virtual bool WriteAll(HANDLE file, const void* data, DWORD size);
  // Runs after the writing handle is closed and before the holding one is opened.
  virtual void BeforeHold(const std::u16string& path) {}
  // True when the held file has exactly `size` bytes and they are `data`.
  virtual bool HoldsExactly(HANDLE held, const void* data, DWORD size);
};

// Writes the resource (name, type) of the program's own module to `path` and holds it in
// `package`; true only when the whole resource is on disk and held.
bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                    const std::u16string& path, ExtractedPackage& package);

// The same with the steps of `writer`.
bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                    const std::u16string& path, PackageFileWriter& writer,
                    ExtractedPackage& package);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_PACKAGE_EXTRACTION_WIN32_H_
