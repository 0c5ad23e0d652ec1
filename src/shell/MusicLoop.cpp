#include "shell/MusicLoop.h"

#include <algorithm>
#include <memory>

#include "shell/Backgrounds.h"
#include "shell/StartUpFolders.h"

namespace kestrel::shell {

void PlayMusic(LauncherContext& ctx, std::stop_token stop) {
    const std::vector<std::string> tracks = FindFiles(MusicFolder(ctx), ".mp3", ctx.host);
    if (tracks.empty()) return;
    // A game launched while the start-up was still running has stopped the
    // music for the rest of the run before it began.
    if (ctx.state.launch_in_progress || ctx.state.game_pid != 0) return;
    ctx.state.music_playing = true;
    std::shared_ptr<toolkit::MediaPlayer> player = ctx.app.CreateMediaPlayer();
    if (!player) return;
    ctx.state.music.Set(player);
    player->SetVolume(kMusicVolumePercent);
    while (ctx.state.music_playing && !stop.stop_requested()) {
        const std::uint32_t n = ctx.random.Between(1, static_cast<std::uint32_t>(tracks.size()));
        const std::size_t index = std::min<std::size_t>(n == 0 ? 0 : n - 1, tracks.size() - 1);
        long long length = 0;
        if (player->Open(tracks[index])) {
            // The launch may have cleared the flag while the track opened;
            // then it stays silent.
            if (!ctx.state.music_playing) break;
            player->Play();
            length = std::max(0LL, player->LengthMs());
        }
        if (!ctx.clock.Sleep(length + kPauseBetweenTracksMs, stop)) break;
    }
    if (stop.stop_requested()) player->Pause();
}

void StopMusic(LauncherContext& ctx) {
    ctx.state.music_playing = false;
    if (const auto player = ctx.state.music.Get()) player->Pause();
}

}  // namespace kestrel::shell
