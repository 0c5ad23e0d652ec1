#include "runtimes/RuntimeInstaller.h"

#include <filesystem>
#include <fstream>
#include <utility>

#include "download/FileCheck.h"
#include "platform/Files.h"
#include "platform/LzmaDecoder.h"
#include "platform/Sha1.h"

namespace kestrel::runtimes {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxIndexBytes = std::size_t{16} << 20;
constexpr fs::perms kExecutableMode = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec;
constexpr fs::perms kPlainMode =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

download::FileRequest RequestOf(const RemoteFile& file, std::string path) {
    download::FileRequest request;
    request.url = file.url;
    request.path = std::move(path);
    request.sha1 = file.sha1;
    request.size = file.size;
    return request;
}

// The compressed download is taken when it is smaller, or when the raw
// size is not known.
bool PrefersLzma(const RuntimeEntry& entry) {
    if (!entry.lzma) return false;
    if (!entry.raw.size) return true;
    return entry.lzma->size && *entry.lzma->size < *entry.raw.size;
}

// Removes whatever stands at path (a file, a link, a folder) to make room
// for an entry of another kind.
void Clear(const fs::path& path) {
    std::error_code error;
    fs::remove_all(path, error);
}

// Decodes a compressed download next to its final place and renames it
// there when the decoded bytes have the raw file's SHA-1 and size.
bool UnpackLzma(const std::string& compressed, const RuntimeEntry& entry, const std::string& final_path) {
    const std::string unpacking = final_path + ".unpack";
    std::uint64_t size = 0;
    platform::Sha1 digest;
    bool written = false;
    {
        std::ofstream out(unpacking, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        const Status decoded = platform::DecodeLzmaFile(
            compressed,
            [&](std::string_view piece) {
                digest.Update(piece);
                size += piece.size();
                out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
                return static_cast<bool>(out);
            },
            entry.raw.size ? *entry.raw.size : std::uint64_t{4} << 30);
        out.close();
        written = decoded && static_cast<bool>(out);
    }
    const auto sha1 = digest.Finish();
    const bool right = written && sha1 && platform::Sha1Matches(*sha1, entry.raw.sha1) &&
                       (!entry.raw.size || *entry.raw.size == size);
    std::error_code error;
    if (right) {
        fs::rename(unpacking, final_path, error);
        if (!error) return true;
    }
    fs::remove(unpacking, error);
    return false;
}

// True when path, with every link on the disk followed, lies inside root.
bool ResolvesInside(const fs::path& path, const fs::path& root) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    if (error) return false;
    const fs::path real_root = fs::weakly_canonical(root, error);
    if (error) return false;
    const std::string inside = resolved.string();
    const std::string base = real_root.string();
    return inside == base || inside.starts_with(base + "/");
}

// True when a link's target, followed through the links on the disk, lies
// inside root. The target is resolved from the link's folder by hand: a link
// whose target does not exist is not followed by weakly_canonical at all.
bool LinkStaysInside(const fs::path& link, const fs::path& root) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    if (error) return false;
    return ResolvesInside(link.parent_path() / target, root);
}

std::string Relative(const std::string& game_folder, const std::string& path) {
    return path.starts_with(game_folder + "/") ? path.substr(game_folder.size() + 1) : path;
}

}  // namespace

RuntimeInstaller::RuntimeInstaller(std::string game_folder, platform::HostProfile profile,
                                   RuntimeInstallOptions options)
    : game_folder_(profile.NativePath(game_folder)),
      profile_(std::move(profile)),
      options_(std::move(options)),
      platform_(RuntimePlatform(profile_)) {
    while (game_folder_.size() > 1 && game_folder_.back() == '/') game_folder_.pop_back();
}

Result<std::string> RuntimeInstaller::FetchText(const download::FileRequest& request, std::stop_token stop) const {
    const download::Downloader downloader(options_.download);
    const download::DownloadOutcome outcome = downloader.Run({request}, stop);
    if (!outcome.status) return Error{outcome.status.error()};
    const auto text = platform::ReadFile(request.path, kMaxIndexBytes);
    if (!text) return Error{"无法读取 " + request.path};
    return *text;
}

Result<RuntimeIndex> RuntimeInstaller::FetchIndex(std::stop_token stop) const {
    // The index has no SHA-1 to check it by; it is fetched afresh into a
    // folder of its own and read from there.
    const std::string work = game_folder_ + "/runtime/.kestrel-index";
    download::FileRequest request;
    request.url = options_.index_url;
    request.path = work + "/all.json";
    const auto text = FetchText(request, stop);
    std::error_code error;
    fs::remove_all(work, error);
    if (!text) return Error{"无法获取 Java 运行时索引: " + text.error()};
    return RuntimeIndex::Parse(*text);
}

Result<RuntimeInstaller::Release> RuntimeInstaller::FetchRelease(const std::string& component,
                                                                 std::stop_token stop) const {
    if (!IsPlainName(component)) return Error{"Java 运行时名称无效: " + component};
    const auto index = FetchIndex(stop);
    if (!index) return Error{index.error()};
    auto release = index->Find(platform_, component);
    if (!release) return Error{release.error()};
    const RuntimeLayout layout{game_folder_, component, platform_};
    const auto text =
        FetchText(RequestOf(release->manifest, layout.WorkFolder() + "/" + release->manifest.sha1 + ".json"), stop);
    if (!text) return Error{"无法获取 Java 运行时 " + component + " 的清单: " + text.error()};
    auto manifest = RuntimeManifest::Parse(*text);
    if (!manifest) return Error{manifest.error()};
    return Release{std::move(release).value(), std::move(manifest).value(), layout};
}

Result<InstalledRuntime> RuntimeInstaller::Install(const std::string& component, std::stop_token stop,
                                                   const download::ProgressCallback& progress) const {
    auto fetched = FetchRelease(component, stop);
    if (!fetched) return Error{fetched.error()};
    const RuntimeLayout& layout = fetched->layout;
    const std::vector<RuntimeEntry>& entries = fetched->manifest.entries;
    const fs::path root = layout.Root();
    std::error_code error;

    // A .version file says the runtime is whole; it goes until it is again.
    fs::remove(layout.VersionFile(), error);
    fs::create_directories(root, error);
    if (error) return Error{"无法创建文件夹 " + root.string() + ": " + error.message()};
    for (const RuntimeEntry& entry : entries) {
        if (entry.kind != EntryKind::kDirectory) continue;
        const fs::path folder = root / entry.path;
        if (fs::is_symlink(folder, error) || (fs::exists(folder, error) && !fs::is_directory(folder, error))) {
            Clear(folder);
        }
        fs::create_directories(folder, error);
        if (error) return Error{"无法创建文件夹 " + folder.string() + ": " + error.message()};
    }

    // The files that are not right yet, fetched all at once.
    std::vector<download::FileRequest> requests;
    std::vector<std::pair<const RuntimeEntry*, std::string>> compressed;  // entry, its .lzma download
    for (const RuntimeEntry& entry : entries) {
        if (entry.kind != EntryKind::kFile) continue;
        const std::string path = (root / entry.path).string();
        if (fs::is_symlink(path, error) || fs::is_directory(path, error)) Clear(path);
        if (download::CheckFileOnDisk(RequestOf(entry.raw, path), stop) == download::OnDisk::kRight) continue;
        if (PrefersLzma(entry)) {
            const std::string packed = layout.WorkFolder() + "/" + entry.lzma->sha1 + ".lzma";
            requests.push_back(RequestOf(*entry.lzma, packed));
            compressed.emplace_back(&entry, packed);
        } else {
            requests.push_back(RequestOf(entry.raw, path));
        }
    }
    const download::Downloader downloader(options_.download);
    if (!requests.empty()) {
        const download::DownloadOutcome outcome = downloader.Run(requests, stop, progress);
        if (!outcome.status) return Error{outcome.status.error()};
    }
    std::vector<download::FileRequest> again;
    for (const auto& [entry, packed] : compressed) {
        const std::string path = (root / entry->path).string();
        fs::create_directories(fs::path(path).parent_path(), error);
        if (!UnpackLzma(packed, *entry, path)) again.push_back(RequestOf(entry->raw, path));
        fs::remove(packed, error);
    }
    if (!again.empty()) {
        const download::DownloadOutcome outcome = downloader.Run(again, stop, progress);
        if (!outcome.status) return Error{outcome.status.error()};
    }

    for (const RuntimeEntry& entry : entries) {
        if (entry.kind != EntryKind::kFile) continue;
        fs::permissions(root / entry.path, entry.executable ? kExecutableMode : kPlainMode, error);
        if (error) return Error{"无法设置文件权限 " + (root / entry.path).string() + ": " + error.message()};
    }

    for (const RuntimeEntry& entry : entries) {
        if (entry.kind != EntryKind::kLink) continue;
        const fs::path link = root / entry.path;
        if (fs::is_symlink(link, error) && fs::read_symlink(link, error) == fs::path(entry.target)) continue;
        Clear(link);
        fs::create_directories(link.parent_path(), error);
        fs::create_symlink(entry.target, link, error);
        if (error) return Error{"无法创建链接 " + link.string() + ": " + error.message()};
    }
    // Links resolve through the links made before them; only now can each be
    // followed to where it really leads.
    for (const RuntimeEntry& entry : entries) {
        if (entry.kind != EntryKind::kLink) continue;
        const fs::path link = root / entry.path;
        if (LinkStaysInside(link, root)) continue;
        fs::remove(link, error);
        return Error{"Java 运行时清单中的路径不安全: " + entry.path + " (链接指向运行时之外: " + entry.target + ")"};
    }

    const std::string native_java = layout.Root() + "/bin/" + profile_.java_exe;
    if (!platform::IsRegularFile(native_java)) return Error{"Java 运行时 " + component + " 中没有 " + native_java};
    const Status written = platform::WriteFileAtomically(layout.VersionFile(), fetched->release.version_name);
    if (!written) return Error{written.error()};
    fs::remove_all(layout.WorkFolder(), error);
    const RuntimeLayout shown{game_folder_, component, platform_};
    return InstalledRuntime{component, fetched->release.version_name, shown.JavaExecutable(profile_)};
}

Result<std::vector<RuntimeProblem>> RuntimeInstaller::Verify(const std::string& component,
                                                             std::stop_token stop) const {
    auto fetched = FetchRelease(component, stop);
    if (!fetched) return Error{fetched.error()};
    const RuntimeLayout& layout = fetched->layout;
    const fs::path root = layout.Root();
    std::vector<RuntimeProblem> problems;
    const auto note = [&](RuntimeProblem::Kind kind, const fs::path& path) {
        problems.push_back({kind, Relative(game_folder_, path.string())});
    };
    std::error_code error;
    for (const RuntimeEntry& entry : fetched->manifest.entries) {
        const fs::path path = root / entry.path;
        const fs::file_status status = fs::symlink_status(path, error);
        if (!fs::exists(status)) {
            note(RuntimeProblem::Kind::kMissing, path);
            continue;
        }
        switch (entry.kind) {
            case EntryKind::kDirectory:
                if (!fs::is_directory(status)) note(RuntimeProblem::Kind::kCorrupt, path);
                break;
            case EntryKind::kLink:
                if (!fs::is_symlink(status) || fs::read_symlink(path, error) != fs::path(entry.target)) {
                    note(RuntimeProblem::Kind::kCorrupt, path);
                }
                break;
            case EntryKind::kFile: {
                const bool runnable = (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
                if (!fs::is_regular_file(status) || runnable != entry.executable ||
                    download::CheckFileOnDisk(RequestOf(entry.raw, path.string()), stop) != download::OnDisk::kRight) {
                    note(RuntimeProblem::Kind::kCorrupt, path);
                }
                break;
            }
        }
    }
    fs::remove_all(layout.WorkFolder(), error);
    if (!platform::IsRegularFile(layout.VersionFile())) note(RuntimeProblem::Kind::kMissing, layout.VersionFile());
    return problems;
}

}  // namespace kestrel::runtimes
