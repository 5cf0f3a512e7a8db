#ifndef PELKO_SETUP_INSTALL_PACKAGE_EXTRACTION_WIN32_H_
#define PELKO_SETUP_INSTALL_PACKAGE_EXTRACTION_WIN32_H_

#include <string>

namespace pelko::setup {

// The temporary folder as GetTempPathW gives it (ending in a backslash; empty when the call
// failed). False when the path does not fit the 260-character buffer.
bool GetTempDirectory(std::u16string& directory);

// Writes the resource (name, type) of the program's own module to `path`; true only when the
// whole resource is on disk.
bool ExtractPackage(const std::u16string& resource_name, const std::u16string& resource_type,
                    const std::u16string& path);

}  // namespace pelko::setup

#endif  // PELKO_SETUP_INSTALL_PACKAGE_EXTRACTION_WIN32_H_
