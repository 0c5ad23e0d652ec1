#pragma once

// QtMediaPlayer plays music with QtMultimedia. It is built into the media
// module (libkestrel_qt_media.so), which the backend loads on first use
// through MediaModule; nothing else in the program links Qt Multimedia. The QMediaPlayer and its audio
// output live on the user-interface thread; this object is a handle any
// thread may use.
//
// On a machine without an audio output, Play and the one-shot sound do
// nothing (Qt 6.4's FFmpeg backend would crash rendering into no device);
// Open and LengthMs still work, so a music loop keeps its timing.
//
// Threading: see MediaPlayer.

#include <memory>

#include "toolkit/MediaPlayer.h"

class QMediaPlayer;

namespace kestrel::toolkit::qt {

class QtMediaPlayer : public MediaPlayer {
public:
    QtMediaPlayer();
    ~QtMediaPlayer() override;

    bool Open(const std::string& path) override;
    void Play() override;
    void Pause() override;
    bool Playing() const override;
    long long LengthMs() const override;
    void SetVolume(int percent) override;
    int Volume() const override;

private:
    struct Parts;
    Parts* parts_;  // a QObject tree on the user-interface thread
};

// Plays a WAVE sound once; the player deletes itself when it ends.
void PlayWaveOnce(const std::string& wave_bytes);

}  // namespace kestrel::toolkit::qt
