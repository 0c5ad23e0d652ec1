#pragma once

// LauncherTurn decides at start whether this launcher runs or leaves the
// program folder to one that already runs there (platform/InstanceLock.h).
// A later launcher asks the running one to come to the front; the running
// one answers kShownAnswer when it did, and kHiddenAnswer when its window is
// hidden on purpose (it waits for a game to end, or is about to restart
// itself): the later one then waits for its turn a while, since a launcher
// that restarts itself starts its successor just before it ends.
//
// Threading: TakeTurn runs on the main thread before the window system is
// touched; it waits through the clock it is given.

#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/InstanceLock.h"

namespace kestrel::app {

inline constexpr const char* kShownAnswer = "shown";
inline constexpr const char* kHiddenAnswer = "hidden";

struct LauncherTurn {
    enum class Kind {
        kRun,              // this launcher runs (lock held, or no lock could be made)
        kOtherCameToFront, // the running one showed its window: end with 0
        kOtherIsBusy,      // the running one keeps its window hidden: end with 0
        kOtherDoesNotAnswer,  // the lock is held but nobody answered: end with 1
    };
    Kind kind = Kind::kRun;
    // Held when kind is kRun and the lock could be taken.
    std::optional<platform::InstanceLock> lock;
    // What to tell the player on stderr (empty: nothing).
    std::string note;
};

// patience_ms: how long a later launcher keeps trying while the running one
// does not answer or keeps its window hidden.
LauncherTurn TakeTurn(const std::string& program_folder, const std::string& runtime_folder, platform::Clock& clock,
                      int patience_ms);

}  // namespace kestrel::app
