#include "install/ForgeInstaller.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "download/Downloader.h"
#include "install/ChainFiles.h"
#include "install/ForgeVersions.h"
#include "install/GameVersionSetup.h"
#include "install/InstallLock.h"
#include "install/LibraryFetch.h"
#include "install/InstallProfile.h"
#include "install/InstallerArchive.h"
#include "install/MavenChecksums.h"
#include "install/ProcessorRun.h"
#include "install/ProfileValues.h"
#include "install/VersionInstaller.h"
#include "install/VersionJsonStore.h"
#include "java/JavaDiscovery.h"
#include "java/JavaVersion.h"
#include "launch/SafeNames.h"
#include "launch/VersionManifests.h"
#include "net/JsonDocument.h"
#include "platform/Files.h"
#include "platform/Sha1.h"

namespace kestrel::install {

namespace {

using download::FileRequest;

constexpr std::string_view kErrorUnsafeVersion = "加载器版本名不安全: ";
constexpr std::string_view kErrorWrongGame = "这个加载器版本不属于游戏版本 ";
constexpr std::string_view kErrorNoChecksum = "无法获取安装器的校验值: ";
constexpr std::string_view kErrorProfileGame = "安装器对应的游戏版本与所选版本不符: ";
constexpr std::string_view kErrorVersionJson = "安装器中的版本文件无法读取";
// Installers older than the version JSON's inheritsFrom (Forge for 1.6 and
// before) copied the game into the new version; they are not taken.
constexpr std::string_view kErrorNoParent = "安装器太旧，它的版本文件没有指明游戏版本";
constexpr std::string_view kErrorUnsafeId = "版本名不安全: ";
constexpr std::string_view kErrorUnsafeEntry = "安装器中的文件路径不安全: ";
constexpr std::string_view kErrorNoMappings = "游戏版本文件中没有混淆映射表的下载地址: ";
constexpr std::string_view kErrorMappingsOutput = "混淆映射表的保存位置不安全: ";
constexpr std::string_view kErrorNoJava = "找不到 Java ";
constexpr std::string_view kErrorNoJavaHint = "，请在设置中选择 Java 后再安装";
constexpr std::string_view kErrorChecksums = "库文件与安装器给出的校验值都不符: ";
constexpr std::string_view kErrorTempFolder = "无法创建临时文件夹: ";

// The temporary folder: one per game folder is enough, since the install
// lock lets one install run at a time.
constexpr std::string_view kTempFolderName = ".kestrel-installer";

// Removes a folder and everything in it when it goes out of scope.
class FolderRemover {
public:
    explicit FolderRemover(std::string folder) : folder_(std::move(folder)) {}
    ~FolderRemover() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    FolderRemover(const FolderRemover&) = delete;
    FolderRemover& operator=(const FolderRemover&) = delete;

private:
    std::string folder_;
};

std::string JoinPieces(const std::vector<std::string>& pieces) {
    std::string path;
    for (const std::string& piece : pieces) {
        if (!path.empty()) path.push_back('/');
        path += piece;
    }
    return path;
}

std::string AbsoluteFolder(const std::string& folder) {
    std::error_code ignored;
    std::string absolute = std::filesystem::absolute(folder, ignored).lexically_normal().generic_string();
    while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
    return absolute.empty() ? folder : absolute;
}

// The pieces of an installer's entry name, when each is a plain name.
std::vector<std::string> EntryPieces(std::string_view name) { return launch::AssetNamePieces(name); }

launch::Manifest ManifestOf(const std::string& text) {
    launch::Manifest manifest;
    manifest.text = text;
    manifest.ok = manifest.document.Parse(text);
    manifest.record = launch::VersionRecord::Read(manifest.ok ? manifest.document.Find("") : nullptr, text);
    return manifest;
}

class ForgeRun {
public:
    ForgeRun(const InstallSettings& settings, const LoaderRequest& request, std::stop_token stop,
             const InstallProgressCallback& progress, const ForgeInstallOptions& options)
        : settings_(settings),
          request_(request),
          stop_(std::move(stop)),
          progress_(progress),
          options_(options),
          // The install steps run in the temporary folder, so the paths they
          // are given must not depend on the launcher's working folder.
          folder_(AbsoluteFolder(settings.game_folder)),
          game_(request.game_version),
          temp_(folder_ + "/" + std::string(kTempFolderName)),
          values_(folder_, temp_) {
        download_ = settings.download;
        // The requests come rewritten already (ChainFiles.h).
        download_.rewriter = net::UrlRewriter();
    }

    Result<std::string> Install() {
        const ForgeArtifact artifact = ArtifactFor(settings_, request_.loader, game_);
        const std::string& version = request_.loader_version;
        if (!IsSafeVersionId(game_)) return Error{std::string(kErrorUnsafeId) + game_};
        if (!IsSafeVersionId(version)) return Error{std::string(kErrorUnsafeVersion) + version};
        if (!IsForGameVersion(artifact, version, game_)) {
            return Error{std::string(kErrorWrongGame) + game_ + ": " + version};
        }
        Result<InstallLock> lock = InstallLock::TryTake(folder_);
        if (!lock) return Error{lock.error()};
        Result<GameVersionReport> game =
            EnsureGameVersion(VersionInstaller(settings_), lock.value(), game_, stop_, progress_);
        if (!game) return Error{game.error()};
        // What an interrupted install left behind goes first.
        std::error_code ignored;
        std::filesystem::remove_all(temp_, ignored);
        if (!platform::CreateFolders(temp_)) return Error{std::string(kErrorTempFolder) + temp_};
        const FolderRemover remover(temp_);

        if (Status fetched = FetchInstaller(artifact, version); !fetched) return Error{fetched.error()};
        Result<InstallerArchive> archive = InstallerArchive::Open(installer_);
        if (!archive) return Error{archive.error()};
        Result<std::string> profile_text = archive.value().Read("install_profile.json");
        if (!profile_text) return Error{profile_text.error()};
        Result<InstallProfile> profile = InstallProfile::Parse(*profile_text, artifact.InstallerUrl(version));
        if (!profile) return Error{profile.error()};
        if (profile->minecraft != game_) return Error{std::string(kErrorProfileGame) + profile->minecraft};

        std::string json_text;
        if (profile->generation == InstallProfile::Generation::kOld) {
            json_text = profile->version_info;
        } else {
            Result<std::string> json = archive.value().Read(profile->json_entry);
            if (!json) return Error{json.error()};
            json_text = std::move(json).value();
        }
        Result<std::string> id = NewVersionId(json_text);
        if (!id) return id;
        log_ = InstallerLogPath(folder_, *id);
        platform::CreateFolders(folder_ + "/logs");
        platform::WriteFileAtomically(log_, std::string(LoaderName(request_.loader)) + " " + version + "\n", 0644,
                                      platform::Durability::kUnsynced);

        Status done = profile->generation == InstallProfile::Generation::kOld
                          ? InstallOld(*profile, archive.value(), json_text)
                          : InstallNew(*profile, archive.value(), json_text, *id);
        if (!done) return Error{done.error()};
        if (Status stored = StoreVersionJson(folder_, json_text, *id); !stored) return Error{stored.error()};
        return id;
    }

private:
    void Report(InstallStep step, download::DownloadProgress files = {}) const {
        if (progress_) progress_(InstallProgress{step, files});
    }

    Status Fetch(const std::vector<FileRequest>& files, InstallStep step) const {
        const download::Downloader downloader(download_);
        const download::DownloadOutcome outcome =
            downloader.Run(files, stop_, [&](const download::DownloadProgress& files_progress) {
                Report(step, files_progress);
            });
        if (outcome.cancelled) return Error{std::string(kErrorInstallCancelled)};
        return outcome.status;
    }

    net::HttpOptions Http() const {
        net::HttpOptions http = settings_.http;
        http.cancel = stop_;
        return http;
    }

    FileRequest RequestFor(const std::string& url, const std::string& path) const {
        FileRequest request;
        request.url = settings_.rewriter.Rewrite(url);
        request.fallback_url = settings_.rewriter.Official(url);
        request.path = path;
        return request;
    }

    Status FetchInstaller(const ForgeArtifact& artifact, const std::string& version) {
        Report(InstallStep::kLoader);
        installer_ = temp_ + "/installer.jar";
        std::vector<FileRequest> files{RequestFor(artifact.InstallerUrl(version), installer_)};
        FillMavenChecksums(files, Http());
        if (stop_.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
        // The installer's code is run: it is taken only with its checksum.
        if (files.front().sha1.empty()) return Error{std::string(kErrorNoChecksum) + files.front().url};
        return Fetch(files, InstallStep::kLoader);
    }

    // The id the new version gets, from the version JSON or the request.
    Result<std::string> NewVersionId(const std::string& json_text) const {
        net::JsonDocument document;
        if (!document.Parse(json_text) || !document.Find("")->is_object()) {
            return Error{std::string(kErrorVersionJson)};
        }
        const std::string id = request_.name.empty() ? document.GetText("id") : request_.name;
        if (id.empty() || !IsSafeVersionId(id)) return Error{std::string(kErrorUnsafeId) + id};
        if (document.GetText("inheritsFrom").empty()) return Error{std::string(kErrorNoParent)};
        if (document.GetText("inheritsFrom") != game_) {
            return Error{std::string(kErrorProfileGame) + document.GetText("inheritsFrom")};
        }
        return id;
    }

    // Requests made here, for the libraries of old installers, whose entries
    // need not name a repository.
    Status FetchListed(std::vector<FileRequest> files) const {
        Report(InstallStep::kChecksums);
        FillMavenChecksums(files, Http());
        if (stop_.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
        return Fetch(files, InstallStep::kLoaderFiles);
    }

    Status InstallOld(const InstallProfile& profile, InstallerArchive& archive, const std::string& json_text) const {
        // The loader's own jar comes from the installer, whatever url its
        // library entry names.
        Result<std::string> universal = values_.LibraryPath(profile.universal_coordinate);
        if (!universal) return Error{universal.error()};
        if (EntryPieces(profile.universal_entry).empty()) {
            return Error{std::string(kErrorUnsafeEntry) + profile.universal_entry};
        }
        if (Status copied = archive.ExtractTo(profile.universal_entry, *universal); !copied) return copied;

        net::JsonDocument document;
        document.Parse(json_text);
        const net::JsonValue* libraries = document.Find("libraries");
        std::vector<FileRequest> files;
        std::vector<std::pair<std::string, std::vector<std::string>>> checksums;
        for (std::size_t i = 0; libraries && libraries->is_array() && i < libraries->size(); ++i) {
            const net::JsonValue& library = libraries->at(i);
            if (!library.is_object()) continue;
            const net::JsonValue* name = library.Find("name");
            if (!name || name->kind() != net::JsonKind::kString || name->text() == profile.universal_coordinate) {
                continue;
            }
            if (const net::JsonValue* client = library.Find("clientreq");
                client && client->kind() == net::JsonKind::kBoolean && !client->boolean()) {
                continue;
            }
            Result<std::string> path = values_.LibraryPath(name->text());
            if (!path) return Error{path.error()};
            const std::string relative = MavenPath(name->text());
            std::string base = "https://libraries.minecraft.net/";
            if (const net::JsonValue* url = library.Find("url");
                url && url->kind() == net::JsonKind::kString && !url->text().empty()) {
                base = url->text();
            }
            if (base.back() != '/') base.push_back('/');
            FileRequest request = RequestFor(base + relative, *path);
            std::vector<std::string> sums;
            if (const net::JsonValue* list = library.Find("checksums"); list && list->is_array()) {
                for (std::size_t j = 0; j < list->size(); ++j) {
                    if (list->at(j).kind() == net::JsonKind::kString) sums.push_back(list->at(j).text());
                }
            }
            // One acceptable file is checked as it streams in; of several,
            // the repository's checksum picks the one it serves.
            if (sums.size() == 1) request.sha1 = sums.front();
            if (!sums.empty()) checksums.emplace_back(*path, std::move(sums));
            files.push_back(std::move(request));
        }
        if (Status fetched = FetchListed(std::move(files)); !fetched) return fetched;
        for (const auto& [path, sums] : checksums) {
            const Result<platform::FileDigest> digest = platform::Sha1OfFile(path);
            const bool listed = digest && std::any_of(sums.begin(), sums.end(), [&](const std::string& sum) {
                                    return platform::Sha1Matches(digest->sha1, sum);
                                });
            if (!listed) {
                std::error_code ignored;
                std::filesystem::remove(path, ignored);
                return Error{std::string(kErrorChecksums) + path};
            }
        }
        return {};
    }

    Status InstallNew(const InstallProfile& profile, InstallerArchive& archive, const std::string& json_text,
                      const std::string& id) {
        // The installer's own copies of libraries (the loader's jars).
        for (const std::string& name : archive.FilesBelow("maven/")) {
            const std::vector<std::string> pieces = EntryPieces(std::string_view(name).substr(6));
            if (pieces.empty()) return Error{std::string(kErrorUnsafeEntry) + name};
            if (Status copied = archive.ExtractTo(name, folder_ + "/libraries/" + JoinPieces(pieces)); !copied) {
                return copied;
            }
        }

        // The install steps' own libraries, then the version's.
        for (const std::string& text : {"{\"libraries\":" + profile.libraries + "}", json_text}) {
            Result<InstallReport> fetched =
                install::FetchLibraries(settings_, ManifestOf(text), id, stop_, progress_);
            if (!fetched) return Error{fetched.error()};
        }

        return RunProcessors(profile, archive);
    }

    void SetBuiltIns() {
        values_.Set("SIDE", "client");
        values_.Set("MINECRAFT_JAR", folder_ + "/versions/" + game_ + "/" + game_ + ".jar");
        values_.Set("MINECRAFT_VERSION", game_);
        values_.Set("ROOT", folder_);
        values_.Set("INSTALLER", installer_);
        values_.Set("LIBRARY_DIR", folder_ + "/libraries");
    }

    Status RunProcessors(const InstallProfile& profile, InstallerArchive& archive) {
        SetBuiltIns();
        for (const auto& [key, value] : profile.data) {
            Result<bool> set = values_.SetData(key, value);
            if (!set) return Error{set.error()};
            if (*set) continue;
            if (!value.starts_with('/')) {
                values_.Set(key, value);
                continue;
            }
            // A file of the installer, unpacked for the steps to read.
            const std::vector<std::string> pieces = EntryPieces(std::string_view(value).substr(1));
            if (pieces.empty()) return Error{std::string(kErrorUnsafeEntry) + value};
            const std::string target = temp_ + "/data/" + JoinPieces(pieces);
            if (Status unpacked = archive.ExtractTo(value, target); !unpacked) return unpacked;
            values_.Set(key, target);
        }

        // Every step is resolved before the first runs, so that a bad value
        // fails the install before anything is patched.
        std::vector<ProcessorRun> runs;
        for (const ProcessorSpec& spec : profile.processors) {
            Result<ProcessorRun> run = ProcessorRun::Resolve(spec, values_);
            if (!run) return Error{run.error()};
            runs.push_back(std::move(run).value());
        }

        download::DownloadProgress steps;
        steps.files_total = static_cast<int>(runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (stop_.stop_requested()) return Error{std::string(kErrorInstallCancelled)};
            steps.files_done = static_cast<int>(i);
            Report(InstallStep::kProcessors, steps);
            const ProcessorRun& run = runs[i];
            const std::string name = "安装步骤 " + std::to_string(i + 1) + "/" + std::to_string(runs.size());
            if (IsMappingsDownload(run)) {
                if (Status fetched = FetchMappings(run, name); !fetched) return fetched;
                continue;
            }
            if (run.OutputsMatch()) continue;
            Result<std::string> java = Java();
            if (!java) return Error{java.error()};
            if (Status ran = run.Run(*java, temp_, log_, options_.step_limit, name, stop_); !ran) return ran;
        }
        steps.files_done = steps.files_total;
        Report(InstallStep::kProcessors, steps);
        return {};
    }

    static bool IsMappingsDownload(const ProcessorRun& run) { return run.OptionValue("--task") == "DOWNLOAD_MOJMAPS"; }

    // The game's mappings, fetched through the engine where the step would
    // have fetched them itself.
    Status FetchMappings(const ProcessorRun& run, const std::string& name) const {
        const std::string output = run.OptionValue("--output");
        if (output.empty() || !values_.Contains(output)) {
            return Error{name + ": " + std::string(kErrorMappingsOutput) + output};
        }
        const launch::VersionManifests manifests(folder_, platform::HostProfile::Current());
        const launch::Manifest game = manifests.Read(game_);
        const std::string url = game.document.GetText("downloads.client_mappings.url");
        if (url.empty()) return Error{name + ": " + std::string(kErrorNoMappings) + game_};
        FileRequest request = RequestFor(url, output);
        request.sha1 = game.document.GetText("downloads.client_mappings.sha1");
        if (const std::int64_t size = game.document.GetInteger("downloads.client_mappings.size"); size > 0) {
            request.size = static_cast<std::uint64_t>(size);
        }
        return Fetch({request}, InstallStep::kLoaderFiles);
    }

    // The Java of the install steps: the one asked for; else the player's
    // when it is of the game version's major version (a Java 8 cannot run
    // the steps of an installer built for 21); else a discovered one of that
    // major; else the player's all the same.
    Result<std::string> Java() {
        if (!java_.empty()) return java_;
        if (!request_.java.empty()) return java_ = request_.java;
        const platform::HostProfile host = platform::HostProfile::Current();
        const launch::VersionManifests manifests(folder_, host);
        std::string major = launch::VersionManifests::RequiredJavaMajor(manifests.ReadChain(game_));
        if (major.empty()) major = "8";
        const std::string& player = request_.player_java;
        if (!player.empty() && java::JavaMajorVersion(player, host) == major) return java_ = player;
        for (const java::JavaCandidate& candidate : java::DiscoverJava(host, folder_)) {
            if (candidate.version_label == major) return java_ = candidate.path;
        }
        if (!player.empty()) return java_ = player;
        return Error{std::string(kErrorNoJava) + major + std::string(kErrorNoJavaHint)};
    }

    const InstallSettings& settings_;
    const LoaderRequest& request_;
    std::stop_token stop_;
    const InstallProgressCallback& progress_;
    const ForgeInstallOptions& options_;
    download::DownloadOptions download_;
    std::string folder_;
    std::string game_;
    std::string temp_;
    std::string installer_;
    std::string log_;
    std::string java_;
    ProfileValues values_;
};

}  // namespace

std::string InstallerLogPath(const std::string& game_folder, const std::string& id) {
    return game_folder + "/logs/kestrel-installer-" + id + ".log";
}

Result<std::string> InstallForge(const InstallSettings& settings, const LoaderRequest& request, std::stop_token stop,
                                 const InstallProgressCallback& progress, const ForgeInstallOptions& options) {
    return ForgeRun(settings, request, std::move(stop), progress, options).Install();
}

}  // namespace kestrel::install
