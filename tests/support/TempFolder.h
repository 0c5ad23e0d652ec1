#pragma once

// TempFolder makes a fresh folder under the system's temporary folder for one
// test and removes it with everything in it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace kestrel::testing {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

    // Writes a file (creating its folders) and returns its full path.
    std::string Write(const std::string& relative, std::string_view bytes) const {
        const std::filesystem::path full = std::filesystem::path(path_) / relative;
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return full.string();
    }

    std::string MakeFolder(const std::string& relative) const {
        const std::filesystem::path full = std::filesystem::path(path_) / relative;
        std::filesystem::create_directories(full);
        return full.string();
    }

private:
    std::string path_;
};

}  // namespace kestrel::testing
