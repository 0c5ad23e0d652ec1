#pragma once

// OptionsSaver writes the options file off the user-interface thread. Every
// settings change hands it the text of the newest record and returns at once;
// one writer, a worker of ctx.workers started when none runs, writes the
// newest text it holds, so a burst of changes (typing in the title box) ends
// in few writes and the last change is always written. A text handed over
// while the workers are stopping has no writer; the program writes it with
// Flush once they are joined.
//
// A failed write is said once in a message box ("设置保存失败:" and the
// cause), not once for every keystroke that follows; after a write succeeds
// again, the next failure is said again. The box is shown from a worker of
// its own, so the writer goes on while it is open.
//
// Threading: Queue, Flush and the test helpers may be called from any
// thread. Two writes never overlap.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/LauncherPaths.h"
#include "platform/Result.h"
#include "platform/Workers.h"
#include "settings/SettingsRecord.h"
#include "toolkit/Application.h"

namespace kestrel::shell {

struct LauncherContext;

inline constexpr std::string_view kSaveFailedText = "设置保存失败:";
inline constexpr std::string_view kSaveFailedCaption = "Kestrel2";

class OptionsSaver {
public:
    // Has the writer write this options text, replacing any text still
    // waiting for it.
    void Queue(LauncherContext& ctx, std::string text);

    // Writes the text still waiting, on the calling thread; done when there
    // is none. For the program's end, after the workers have been joined.
    Status Flush(const LauncherContext& ctx);

    // For tests: while held, the writer waits before it takes a text (a stop
    // request still lets it write), so a test can see a burst coalesce.
    void HoldWrites(bool hold);
    // For tests: how many writes have been made.
    int Writes() const;
    // For tests: no text is waiting and no writer runs.
    bool Idle() const;

private:
    void RunWriter(const platform::LauncherPaths& paths, toolkit::Application& app, platform::Workers& workers,
                   std::stop_token stop);
    Status Write(const platform::LauncherPaths& paths, const std::string& text);
    void Report(toolkit::Application& app, platform::Workers& workers, const Status& status);

    mutable std::mutex mutex_;
    std::condition_variable_any released_;
    std::optional<std::string> pending_;
    bool writer_running_ = false;
    bool held_ = false;
    bool failure_said_ = false;
    int writes_ = 0;
    // Serialises the writes themselves (the writer and Flush).
    std::mutex write_mutex_;
};

// Prepares the record for saving (its saved text, the automatic game folder)
// and queues its text on ctx.state's saver. Call it under the record's lock,
// where the record was just changed, so that texts are queued in the order
// of the changes.
void SaveOptionsLater(LauncherContext& ctx, settings::SettingsRecord& record);

}  // namespace kestrel::shell
