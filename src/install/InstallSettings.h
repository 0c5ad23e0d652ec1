#pragma once

// The values every installing operation of one game folder shares: where the
// folder is, which host's rules choose the files, where the files come from
// (the rewriter: mirror and endpoints), how the engine runs, and the progress
// the operations report.
//
// Threading: plain values.

#include <functional>
#include <string>
#include <string_view>

#include "download/Downloader.h"
#include "net/HttpSession.h"
#include "net/UrlRewriter.h"
#include "platform/HostProfile.h"

namespace kestrel::install {

struct InstallSettings {
    // As the machine names it.
    std::string game_folder;
    platform::HostProfile host = platform::HostProfile::Current();
    net::UrlRewriter rewriter;
    // The version catalogue's official address (endpoint version_manifest).
    std::string catalogue_url;
    // The loaders' metadata services (endpoints fabric_meta and quilt_meta);
    // empty for their public addresses.
    std::string fabric_meta;
    std::string quilt_meta;
    // The engine's settings (parallelism, tries, clock, ...). Its own rewriter
    // is not used: the requests come already rewritten (ChainFiles.h).
    download::DownloadOptions download;
    // For the catalogue and the Maven checksums.
    net::HttpOptions http;
};

enum class InstallStep {
    kCatalogue,    // fetching the version catalogue
    kVersionJson,  // fetching the version JSON
    kAssetIndex,   // fetching the asset index
    kChecksums,    // fetching the Maven checksums of libraries without one
    kChecking,     // hashing the files on disk
    kFiles,        // fetching the chain's files
    kCopies,       // making the copies old versions read their assets from
    kLoader,       // fetching a loader's profile or installer
    kLoaderFiles,  // fetching a loader's libraries
    kProcessors,   // running a loader's install steps (files counts the steps)
};

struct InstallProgress {
    InstallStep step = InstallStep::kCatalogue;
    // For kFiles and kChecking: how far the files have come.
    download::DownloadProgress files;
};

// The step in a few Chinese words ("下载文件"), as the progress lines of the
// window and of kestrel-cli show it.
std::string_view InstallStepText(InstallStep step);

// The error of an install, verify or repair that a stop request ended.
inline constexpr std::string_view kErrorInstallCancelled = "已取消";

using InstallProgressCallback = std::function<void(const InstallProgress&)>;

}  // namespace kestrel::install
