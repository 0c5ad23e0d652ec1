#include "toolkit/qt/MediaModule.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/LauncherPaths.h"

namespace kestrel::toolkit::qt {

void MediaModule::Load() {
    // Beside the executable (a portable launcher), then in the library
    // folder of an installed one, both found from the executable's real
    // path.
    const platform::LauncherPaths paths = platform::LauncherPaths::Current();
    std::vector<std::string> candidates = {paths.media_module, paths.installed_media_module};
    // Programs run from elsewhere than the launcher's folder (tests) name the
    // module they want; nothing of the build is baked into the launcher.
    if (const char* named = std::getenv(kMediaModuleVariable); named && *named) candidates.emplace_back(named);
    for (const std::string& path : candidates) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) continue;
        auto new_player = reinterpret_cast<NewMediaPlayerFn>(::dlsym(handle, kNewMediaPlayerSymbol));
        auto play_wave = reinterpret_cast<PlayWaveOnceFn>(::dlsym(handle, kPlayWaveOnceSymbol));
        if (!new_player || !play_wave) {
            ::dlclose(handle);
            continue;
        }
        // The handle is kept open for the rest of the process (see the header).
        new_player_ = new_player;
        play_wave_ = play_wave;
        std::lock_guard lock(loaded_mu_);
        loaded_ = true;
        return;
    }
    std::fprintf(stderr, "kestrel: %s not found; music and sounds stay silent\n", kMediaModuleFileName);
}

std::unique_ptr<MediaPlayer> MediaModule::CreatePlayer() {
    std::call_once(once_, [this] { Load(); });
    if (!new_player_) return nullptr;
    return std::unique_ptr<MediaPlayer>(new_player_());
}

void MediaModule::PlayWave(const std::string& wave_bytes) {
    std::call_once(once_, [this] { Load(); });
    if (play_wave_) play_wave_(wave_bytes.data(), wave_bytes.size());
}

bool MediaModule::Loaded() const {
    std::lock_guard lock(loaded_mu_);
    return loaded_;
}

}  // namespace kestrel::toolkit::qt
