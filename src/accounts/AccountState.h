#pragma once

// AccountState owns the live account values of the process: the account
// record, the launch texts, the sign-in state, what the cache held at
// start-up, and the flag that a Microsoft sign-in is running. It is one part
// of the process-wide state (shell::LauncherState holds it) and is passed to
// every sign-in flow; nothing reaches it through a global.
//
// Threading: every method may be called from any thread. Each value is read
// as a copy and replaced whole under the lock; SignIn replaces record, launch
// texts and state together, so a reader never sees a half-done sign-in.

#include <atomic>
#include <mutex>
#include <stop_token>
#include <string>
#include <utility>

#include "accounts/AccountRecord.h"

namespace kestrel::accounts {

class AccountState {
public:
    AccountRecord Record() const {
        std::lock_guard lock(mutex_);
        return record_;
    }
    LaunchTexts Texts() const {
        std::lock_guard lock(mutex_);
        return texts_;
    }
    SignInState State() const {
        std::lock_guard lock(mutex_);
        return state_;
    }
    CachedAccount Cached() const {
        std::lock_guard lock(mutex_);
        return cached_;
    }

    // A finished sign-in: the record, the launch texts taken from it, and the
    // state, all at once.
    void SignIn(const AccountRecord& record, SignInState state) {
        std::lock_guard lock(mutex_);
        record_ = record;
        texts_ = LaunchTexts{record.name, record.uuid, record.access_token};
        state_ = state;
    }
    void SetRecord(const AccountRecord& record) {
        std::lock_guard lock(mutex_);
        record_ = record;
    }
    void SetTexts(const LaunchTexts& texts) {
        std::lock_guard lock(mutex_);
        texts_ = texts;
    }
    void SetState(SignInState state) {
        std::lock_guard lock(mutex_);
        state_ = state;
    }
    void SetCached(const CachedAccount& cached) {
        std::lock_guard lock(mutex_);
        cached_ = cached;
    }

    // The signed-in player's skin (PNG bytes), replaced by every sign-in;
    // the account page draws the player's figure from it.
    std::string Skin() const {
        std::lock_guard lock(mutex_);
        return skin_;
    }
    void SetSkin(std::string skin_png) {
        std::lock_guard lock(mutex_);
        skin_ = std::move(skin_png);
    }

    // The Microsoft sign-in refuses to run twice at once: TryBeginMicrosoft
    // is true for the one caller that may start, EndMicrosoft lets the next.
    bool TryBeginMicrosoft() { return !microsoft_busy_.exchange(true); }
    void EndMicrosoft() { microsoft_busy_.store(false); }
    bool MicrosoftBusy() const { return microsoft_busy_.load(); }

    // The stop source of the running Microsoft sign-in: its polling waits
    // and requests watch it, and the cancel button requests it, so a cancel
    // ends the sign-in cooperatively (no thread is killed).
    void SetMicrosoftCancel(std::stop_source cancel) {
        std::lock_guard lock(mutex_);
        microsoft_cancel_ = std::move(cancel);
    }
    void CancelMicrosoft() {
        std::lock_guard lock(mutex_);
        microsoft_cancel_.request_stop();
    }

private:
    mutable std::mutex mutex_;
    AccountRecord record_;
    LaunchTexts texts_;
    SignInState state_ = SignInState::kNobody;
    CachedAccount cached_;
    std::string skin_;
    std::atomic<bool> microsoft_busy_{false};
    std::stop_source microsoft_cancel_{std::nostopstate};
};

}  // namespace kestrel::accounts
