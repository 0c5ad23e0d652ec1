#include "install/Loaders.h"

#include "install/MetaLoaders.h"

namespace kestrel::install {

std::string_view LoaderName(Loader loader) {
    switch (loader) {
        case Loader::kFabric: return "fabric";
        case Loader::kQuilt: return "quilt";
        case Loader::kForge: return "forge";
        case Loader::kNeoForge: return "neoforge";
    }
    return "";
}

bool ParseLoader(std::string_view text, Loader& loader) {
    struct Name {
        std::string_view cli;
        std::string_view caption;
        Loader loader;
    };
    static constexpr Name kNames[] = {
        {"fabric", "Fabric", Loader::kFabric},
        {"quilt", "Quilt", Loader::kQuilt},
        {"forge", "Forge", Loader::kForge},
        {"neoforge", "NeoForge", Loader::kNeoForge},
    };
    for (const Name& name : kNames) {
        if (text == name.cli || text == name.caption) {
            loader = name.loader;
            return true;
        }
    }
    return false;
}

Result<std::vector<LoaderVersion>> ListLoaderVersions(const InstallSettings& settings, Loader loader,
                                                      const std::string& game_version) {
    switch (loader) {
        case Loader::kFabric:
        case Loader::kQuilt: return ListMetaLoaderVersions(settings, loader, game_version);
        case Loader::kForge:
        case Loader::kNeoForge: break;
    }
    return Error{"暂不支持此加载器: " + std::string(LoaderName(loader))};
}

Result<std::string> InstallLoader(const InstallSettings& settings, const LoaderRequest& request, std::stop_token stop,
                                  const InstallProgressCallback& progress) {
    switch (request.loader) {
        case Loader::kFabric:
        case Loader::kQuilt: return InstallMetaLoader(settings, request, stop, progress);
        case Loader::kForge:
        case Loader::kNeoForge: break;
    }
    return Error{"暂不支持此加载器: " + std::string(LoaderName(request.loader))};
}

}  // namespace kestrel::install
