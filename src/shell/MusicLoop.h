#pragma once

// The music the player put into KSTfiles/Music, played in random order for
// as long as the launcher runs or until a game is launched.
//
// Threading: PlayMusic runs on a worker of its own (the start-up worker
// starts it when the music setting is on); StopMusic may be called from any
// thread (the launch calls it on the user-interface thread).

#include <stop_token>

#include "shell/LauncherContext.h"

namespace kestrel::shell {

inline constexpr int kMusicVolumePercent = 30;
inline constexpr int kPauseBetweenTracksMs = 15000;

// Finds the *.mp3 files under KSTfiles/Music (subfolders included); with none
// it returns at once and the flag stays clear, and so it does when a launch
// has begun already (a game started during the start-up). Otherwise it sets
// ctx.state.music_playing, makes the player (kept in ctx.state.music) at
// 30 % volume and, while the flag is set, draws a track through ctx.random,
// opens and plays it, and sleeps its length plus 15 s. A track that does not
// open has length 0, so the loop waits 15 s and draws again. The loop ends at
// the first test after the flag was cleared, or at once on a stop request.
void PlayMusic(LauncherContext& ctx, std::stop_token stop);

// Clears the music flag and pauses the player, for the rest of the run.
void StopMusic(LauncherContext& ctx);

}  // namespace kestrel::shell
