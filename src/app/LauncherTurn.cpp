#include "app/LauncherTurn.h"

#include <utility>

namespace kestrel::app {

namespace {

// A running launcher answers from its message loop, which may still be busy
// building its window: each question waits this long for the answer.
constexpr int kAnswerPatienceMs = 2000;
constexpr int kRetryMs = 100;

}  // namespace

LauncherTurn TakeTurn(const std::string& program_folder, const std::string& runtime_folder, platform::Clock& clock,
                      int patience_ms) {
    LauncherTurn turn;
    const std::int64_t give_up = clock.NowMs() + patience_ms;
    bool hidden = false;
    for (;;) {
        auto lock = platform::InstanceLock::TryAcquire(program_folder, runtime_folder);
        if (!lock.ok()) {
            // Running beside another launcher is a risk; refusing to start
            // because of a lock file would leave the player with none.
            turn.note = "kestrel: " + lock.error() + "; 无法确认是否已有启动器在运行";
            return turn;
        }
        if (lock->held()) {
            turn.lock.emplace(std::move(lock).value());
            return turn;
        }
        const auto answer = platform::InstanceLock::AskHolder(program_folder, runtime_folder, kAnswerPatienceMs);
        if (answer.ok() && *answer == kShownAnswer) {
            turn.kind = LauncherTurn::Kind::kOtherCameToFront;
            return turn;
        }
        hidden = answer.ok() && *answer == kHiddenAnswer;
        if (clock.NowMs() >= give_up) break;
        clock.Sleep(kRetryMs, {});
    }
    if (hidden) {
        turn.kind = LauncherTurn::Kind::kOtherIsBusy;
        turn.note = "kestrel: 启动器已在运行，游戏结束后它会回到前台";
    } else {
        turn.kind = LauncherTurn::Kind::kOtherDoesNotAnswer;
        turn.note = "kestrel: 启动器已在运行，但没有响应";
    }
    return turn;
}

}  // namespace kestrel::app
