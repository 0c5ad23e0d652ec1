#pragma once

// Writes small zip archives for tests (natives jars, fake library jars),
// including entries no real archive should hold, with minizip's zip writer.

#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace kestrel::testing {

// Entries are (name, bytes); a name ending in "/" is a directory entry.
inline bool WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const auto& [name, bytes] : entries) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                         Z_DEFAULT_COMPRESSION, 1) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace kestrel::testing
