#pragma once

// MediaPlayer plays one music file at a time (MP3, and whatever else the
// backend decodes).
//
// Threading: any thread may call any method. Open waits (at most a few
// seconds) until the file's length is known, so a worker calling Open can
// read LengthMs right after; the user-interface thread keeps running
// meanwhile.

#include <string>

namespace kestrel::toolkit {

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    // Loads the file; false when it cannot be opened or decoded.
    virtual bool Open(const std::string& path) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual bool Playing() const = 0;
    // Length of the open file in milliseconds; 0 when nothing is open.
    virtual long long LengthMs() const = 0;
    // Volume in percent, 0..100.
    virtual void SetVolume(int percent) = 0;
    virtual int Volume() const = 0;
};

}  // namespace kestrel::toolkit
