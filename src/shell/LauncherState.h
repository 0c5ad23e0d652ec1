#pragma once

// LauncherState is the one owner of the process-wide state: the constants
// set at start-up, the settings record, the account values, the launch state
// and the game process id, and the flags shared by the windows and their
// workers. The application creates one and passes it to every flow; there is
// no global.
//
// Threading: every member may be used from any thread. Texts and records are
// read as copies and replaced whole under the lock (Guarded); numbers and
// flags are atomic. The options file is written by the saver's one writer.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "accounts/AccountState.h"
#include "shell/OptionsSaver.h"
#include "shell/SettingsRecord.h"
#include "toolkit/MediaPlayer.h"
#include "toolkit/Surface.h"

namespace kestrel::shell {

// A value that is read as a copy and replaced whole under its own lock.
template <typename T>
class Guarded {
public:
    Guarded() = default;
    explicit Guarded(T value) : value_(std::move(value)) {}
    T Get() const {
        std::lock_guard lock(mutex_);
        return value_;
    }
    void Set(T value) {
        std::lock_guard lock(mutex_);
        value_ = std::move(value);
    }
    // Changes the value in place under the lock: fn(T&). Keep fn short.
    template <typename Fn>
    void Update(Fn&& fn) {
        std::lock_guard lock(mutex_);
        fn(value_);
    }

private:
    mutable std::mutex mutex_;
    T value_{};
};

// Set once by the start-up sequence, read by everyone after it.
struct Constants {
    std::string launcher_version = std::string(kLauncherVersion);
    std::string client_version;  // text of KSTfiles/ClientVersion.ini, "" when missing
    std::string oauth_client_id = "0f3c9a2e-5b7d-4e61-8a4c-2d9e7b1f6c30";
    std::string update_base_url;  // ends in "/"
    std::string slogans_url;
    std::string notice_url;       // update_base_url + "notice.xml"
    std::string server_address;   // the built-in status-board server; may be empty
};

struct LauncherState {
    Guarded<Constants> constants;
    Guarded<SettingsRecord> settings;
    // Writes the options file for every change of the settings, off the
    // user-interface thread (SaveOptionsLater).
    OptionsSaver options_saver;
    accounts::AccountState accounts;

    // The launch: in progress from the launch request until a failure or the
    // watcher's end; the last failure's text; the most recent game process.
    std::atomic<bool> launch_in_progress{false};
    Guarded<std::string> launch_error;
    std::atomic<std::int32_t> game_pid{0};

    // The music loop plays while this is set; the launch clears it for the
    // rest of the run.
    std::atomic<bool> music_playing{false};

    // The settings window: kept alive here from the "设置" click until the
    // next click replaces it (its workers hold it as well while they run),
    // and whether it is open now. Reset it before the toolkit goes away.
    Guarded<std::shared_ptr<toolkit::Surface>> settings_window;
    std::atomic<bool> settings_window_open{false};

    // The download window, kept the same way: one at a time, brought back
    // by a click while it is open.
    Guarded<std::shared_ptr<toolkit::Surface>> download_window;
    std::atomic<bool> download_window_open{false};

    // The player of the music loop (音乐播放), once the loop has made it, so
    // the launch can pause it (shell::StopMusic in MusicLoop.h).
    Guarded<std::shared_ptr<toolkit::MediaPlayer>> music;

    // The bytes of loading.gif from the update server, fetched by the
    // start-up's update checks; empty until then or when it did not
    // download. The launch puts it on the game-start window.
    Guarded<std::string> loading_picture;

    // The slogans of the slogan line, one a line of Titlelist.ini; empty
    // until they arrive or when they did not. Picks draw under its lock.
    Guarded<std::vector<std::string>> slogans;
};

}  // namespace kestrel::shell
