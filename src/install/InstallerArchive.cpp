#include "install/InstallerArchive.h"

#include <filesystem>

#include "platform/Files.h"
#include "platform/Text.h"

namespace kestrel::install {

namespace {

constexpr std::string_view kErrorOpen = "无法打开安装器: ";
constexpr std::string_view kErrorEntry = "安装器中缺少文件或文件已损坏: ";
constexpr std::string_view kErrorNoMainClass = "找不到安装步骤的主类: ";

// An installer's largest files (the binary patches, the loader's jar) are
// some MB; the archive reader's limits hold the rest in check.
constexpr std::uint64_t kLargestEntry = std::uint64_t{256} << 20;

}  // namespace

Result<InstallerArchive> InstallerArchive::Open(const std::string& path) {
    Result<platform::ZipArchive> zip = platform::ZipArchive::Open(path);
    if (!zip) return Error{std::string(kErrorOpen) + path};
    return InstallerArchive(path, std::move(zip).value());
}

Result<std::string> InstallerArchive::Read(std::string_view name) {
    if (name.starts_with('/')) name.remove_prefix(1);
    const std::vector<platform::ZipEntry>& entries = zip_.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].folder || entries[i].name != name) continue;
        Result<std::string> bytes = zip_.Read(i, kLargestEntry);
        if (!bytes) break;
        return bytes;
    }
    return Error{std::string(kErrorEntry) + std::string(name)};
}

Status InstallerArchive::ExtractTo(std::string_view name, const std::string& path) {
    Result<std::string> bytes = Read(name);
    if (!bytes) return Error{bytes.error()};
    platform::CreateFolders(std::filesystem::path(path).parent_path().string());
    return platform::WriteFileAtomically(path, *bytes, 0644, platform::Durability::kUnsynced);
}

std::vector<std::string> InstallerArchive::FilesBelow(std::string_view prefix) const {
    std::vector<std::string> names;
    for (const platform::ZipEntry& entry : zip_.entries()) {
        if (!entry.folder && entry.name.size() > prefix.size() && entry.name.starts_with(prefix)) {
            names.push_back(entry.name);
        }
    }
    return names;
}

Result<std::string> MainClassOf(const std::string& jar) {
    Result<InstallerArchive> archive = InstallerArchive::Open(jar);
    if (!archive) return Error{std::string(kErrorNoMainClass) + jar};
    Result<std::string> manifest = archive.value().Read("META-INF/MANIFEST.MF");
    if (!manifest) return Error{std::string(kErrorNoMainClass) + jar};
    // A manifest line longer than 72 bytes goes on in lines that start with
    // a blank.
    std::string joined;
    for (const std::string_view line : platform::Split(*manifest, '\n')) {
        const std::string_view text = line.ends_with('\r') ? line.substr(0, line.size() - 1) : line;
        if (text.starts_with(' ')) {
            joined.append(text.substr(1));
        } else {
            joined.push_back('\n');
            joined.append(text);
        }
    }
    for (const std::string_view line : platform::Split(joined, '\n')) {
        if (!line.starts_with("Main-Class:")) continue;
        const std::string_view name = platform::Trim(line.substr(11));
        if (!name.empty()) return std::string(name);
    }
    return Error{std::string(kErrorNoMainClass) + jar};
}

}  // namespace kestrel::install
