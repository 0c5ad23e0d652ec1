#pragma once

// MediaModule is the Qt backend's door to its media part. Music and sounds
// play through Qt Multimedia, which with the libraries under it (the sound
// server's client, the codecs, Qt Network) costs the program milliseconds
// and megabytes at start when it is linked in, while most runs play nothing
// until long after the window is up, and many never. So the players live in
// a module of their own (libkestrel_qt_media.so, QtMediaPlayer.cpp) that is
// loaded the first time a player or a sound is asked for.
//
// The module is looked for beside the executable first (the program folder
// a player installs; the build puts a copy beside kestrel), then at the path
// that KESTREL_QT_MEDIA_MODULE names (tests). Without it there is no
// music and no sound: CreatePlayer gives nullptr and PlayWave does nothing.
// Once loaded it stays loaded: Qt's libraries are not made to be unloaded
// from a running application.
//
// Threading: any thread may call CreatePlayer and PlayWave; the first call
// loads the module, later ones wait for that.

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "toolkit/MediaPlayer.h"

namespace kestrel::toolkit::qt {

// The module's entry points, looked up by these names.
extern "C" {
using NewMediaPlayerFn = MediaPlayer* (*)();
using PlayWaveOnceFn = void (*)(const char* bytes, std::size_t size);
}
inline constexpr const char* kNewMediaPlayerSymbol = "kestrel_qt_media_new_player";
inline constexpr const char* kPlayWaveOnceSymbol = "kestrel_qt_media_play_wave_once";
inline constexpr const char* kMediaModuleFileName = "libkestrel_qt_media.so";
inline constexpr const char* kMediaModuleVariable = "KESTREL_QT_MEDIA_MODULE";

class MediaModule {
public:
    // nullptr when the module cannot be loaded.
    std::unique_ptr<MediaPlayer> CreatePlayer();
    // Plays a WAVE sound once (see PlayWaveOnce in QtMediaPlayer.h).
    void PlayWave(const std::string& wave_bytes);
    // Whether the module has been loaded (for tests).
    bool Loaded() const;

private:
    void Load();

    std::once_flag once_;
    NewMediaPlayerFn new_player_ = nullptr;  // set once, under once_
    PlayWaveOnceFn play_wave_ = nullptr;
    bool loaded_ = false;
    mutable std::mutex loaded_mu_;
};

}  // namespace kestrel::toolkit::qt
