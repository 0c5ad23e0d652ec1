#include "shell/OptionsSaver.h"

#include <utility>

#include "settings/OptionsFile.h"
#include "shell/LauncherContext.h"

namespace kestrel::shell {

void OptionsSaver::Queue(LauncherContext& ctx, std::string text) {
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(text);
        if (writer_running_) return;
        writer_running_ = true;
    }
    // When the workers are stopping nothing starts; writer_running_ then stays
    // set, so no later call tries again, and Flush writes the text.
    // The writer keeps its own copy of the paths; the application and the
    // workers outlive every worker.
    ctx.workers.Start([this, paths = ctx.paths, &app = ctx.app, &workers = ctx.workers](std::stop_token stop) {
        RunWriter(paths, app, workers, stop);
    });
}

void OptionsSaver::RunWriter(const platform::LauncherPaths& paths, toolkit::Application& app,
                             platform::Workers& workers, std::stop_token stop) {
    for (;;) {
        std::string text;
        {
            std::unique_lock lock(mutex_);
            released_.wait(lock, stop, [this] { return !held_; });
            if (!pending_) {
                writer_running_ = false;
                return;
            }
            text = std::move(*pending_);
            pending_.reset();
        }
        // A stop request does not end the writer early: what was changed is
        // written before the launcher goes.
        Report(app, workers, Write(paths, text));
    }
}

Status OptionsSaver::Write(const platform::LauncherPaths& paths, const std::string& text) {
    std::lock_guard write_lock(write_mutex_);
    const Status status = settings::OptionsFile(paths).WriteText(text);
    std::lock_guard lock(mutex_);
    ++writes_;
    return status;
}

void OptionsSaver::Report(toolkit::Application& app, platform::Workers& workers, const Status& status) {
    {
        std::lock_guard lock(mutex_);
        if (status.ok()) {
            failure_said_ = false;
            return;
        }
        if (failure_said_) return;
        failure_said_ = true;
    }
    std::string message = std::string(kSaveFailedText) + status.error();
    workers.Start([&app, message = std::move(message)](std::stop_token) {
        app.ShowMessageBox(message, std::string(kSaveFailedCaption), toolkit::MessageIcon::Warning);
    });
}

Status OptionsSaver::Flush(const LauncherContext& ctx) {
    std::string text;
    {
        std::lock_guard lock(mutex_);
        if (!pending_) return {};
        text = std::move(*pending_);
        pending_.reset();
    }
    return Write(ctx.paths, text);
}

void OptionsSaver::HoldWrites(bool hold) {
    std::lock_guard lock(mutex_);
    held_ = hold;
    released_.notify_all();
}

bool OptionsSaver::Idle() const {
    std::lock_guard lock(mutex_);
    return !pending_ && !writer_running_;
}

int OptionsSaver::Writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

void SaveOptionsLater(LauncherContext& ctx, settings::SettingsRecord& record) {
    settings::OptionsFile(ctx.paths).PrepareSave(record);
    ctx.state.options_saver.Queue(ctx, record.saved_text);
}

}  // namespace kestrel::shell
