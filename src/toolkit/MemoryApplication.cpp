#include "toolkit/MemoryApplication.h"

#include <filesystem>
#include <utility>

namespace kestrel::toolkit {

// The state the application and its players share; players may outlive the
// application object in a test, so they hold it by shared_ptr.
struct MemoryApplication::Shared {
    mutable std::mutex mu;
    mutable std::condition_variable changed;
    std::vector<std::shared_ptr<MemorySurface>> windows;
    std::deque<MessageAnswer> answers;
    std::vector<MessageRecord> messages;
    std::deque<std::string> dialog_answers;
    std::vector<DialogRecord> dialogs;
    std::string clipboard;
    bool shell_result = true;
    std::vector<std::string> shell;
    std::map<std::string, long long> lengths;
    std::vector<MediaRecord> players;
    std::vector<size_t> sounds;
    Size screen{1920, 1080};
    int quits = 0;
};

class MemoryApplication::Player : public MediaPlayer {
public:
    Player(std::shared_ptr<Shared> shared, size_t index)
        : shared_(std::move(shared)), index_(index) {}

    bool Open(const std::string& path) override {
        std::lock_guard lock(shared_->mu);
        MediaRecord& r = shared_->players[index_];
        r.opened.push_back(path);
        r.playing = false;
        auto it = shared_->lengths.find(path);
        if (it != shared_->lengths.end()) {
            length_ = it->second;
            return true;
        }
        std::error_code ec;
        const bool exists = std::filesystem::is_regular_file(path, ec);
        length_ = 0;
        return exists;
    }
    void Play() override {
        std::lock_guard lock(shared_->mu);
        shared_->players[index_].playing = true;
        ++shared_->players[index_].plays;
    }
    void Pause() override {
        std::lock_guard lock(shared_->mu);
        shared_->players[index_].playing = false;
        ++shared_->players[index_].pauses;
    }
    bool Playing() const override {
        std::lock_guard lock(shared_->mu);
        return shared_->players[index_].playing;
    }
    long long LengthMs() const override {
        std::lock_guard lock(shared_->mu);
        return length_;
    }
    void SetVolume(int percent) override {
        std::lock_guard lock(shared_->mu);
        shared_->players[index_].volume = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    }
    int Volume() const override {
        std::lock_guard lock(shared_->mu);
        return shared_->players[index_].volume;
    }

private:
    std::shared_ptr<Shared> shared_;
    size_t index_;
    long long length_ = 0;
};

MemoryApplication::MemoryApplication() : shared_(std::make_shared<Shared>()) {}
MemoryApplication::~MemoryApplication() = default;

std::shared_ptr<Surface> MemoryApplication::CreateSurface(const WindowDef& def, Surface*) {
    auto surface = std::make_shared<MemorySurface>(def);
    std::lock_guard lock(shared_->mu);
    shared_->windows.push_back(surface);
    return surface;
}

MessageAnswer MemoryApplication::ShowMessageBox(const std::string& text,
                                                const std::string& caption, MessageIcon icon,
                                                MessageButtons buttons) {
    std::lock_guard lock(shared_->mu);
    shared_->messages.push_back({text, caption, icon, buttons});
    shared_->changed.notify_all();
    if (!shared_->answers.empty()) {
        MessageAnswer a = shared_->answers.front();
        shared_->answers.pop_front();
        return a;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void MemoryApplication::SetClipboardText(const std::string& text) {
    std::lock_guard lock(shared_->mu);
    shared_->clipboard = text;
}

std::string MemoryApplication::ClipboardText() const {
    std::lock_guard lock(shared_->mu);
    return shared_->clipboard;
}

bool MemoryApplication::OpenInShell(const std::string& target) {
    std::lock_guard lock(shared_->mu);
    shared_->shell.push_back(target);
    return shared_->shell_result;
}

std::string MemoryApplication::OpenFileDialog(const std::string& title,
                                              const std::string& start_folder,
                                              const std::string& filter) {
    std::lock_guard lock(shared_->mu);
    shared_->dialogs.push_back({"file", title, start_folder, filter});
    if (shared_->dialog_answers.empty()) return "";
    std::string a = shared_->dialog_answers.front();
    shared_->dialog_answers.pop_front();
    return a;
}

std::string MemoryApplication::FolderDialog(const std::string& title,
                                            const std::string& start_folder) {
    std::lock_guard lock(shared_->mu);
    shared_->dialogs.push_back({"folder", title, start_folder, ""});
    if (shared_->dialog_answers.empty()) return "";
    std::string a = shared_->dialog_answers.front();
    shared_->dialog_answers.pop_front();
    return a;
}

std::unique_ptr<MediaPlayer> MemoryApplication::CreateMediaPlayer() {
    std::lock_guard lock(shared_->mu);
    shared_->players.emplace_back();
    return std::make_unique<Player>(shared_, shared_->players.size() - 1);
}

void MemoryApplication::PlaySound(const std::string& wave_bytes) {
    std::lock_guard lock(shared_->mu);
    shared_->sounds.push_back(wave_bytes.size());
}

Size MemoryApplication::PrimaryScreenSize() const {
    std::lock_guard lock(shared_->mu);
    return shared_->screen;
}

void MemoryApplication::Post(std::function<void()> fn) {
    if (fn) fn();
}

void MemoryApplication::Quit() {
    std::lock_guard lock(shared_->mu);
    ++shared_->quits;
    shared_->changed.notify_all();
}

std::shared_ptr<MemorySurface> MemoryApplication::Window(const std::string& window_name) const {
    std::lock_guard lock(shared_->mu);
    for (auto it = shared_->windows.rbegin(); it != shared_->windows.rend(); ++it) {
        if ((*it)->Definition().name == window_name) return *it;
    }
    return nullptr;
}

std::vector<std::shared_ptr<MemorySurface>> MemoryApplication::Windows() const {
    std::lock_guard lock(shared_->mu);
    return shared_->windows;
}

void MemoryApplication::ScriptAnswer(MessageAnswer answer) {
    std::lock_guard lock(shared_->mu);
    shared_->answers.push_back(answer);
}

std::vector<MessageRecord> MemoryApplication::MessageBoxes() const {
    std::lock_guard lock(shared_->mu);
    return shared_->messages;
}

bool MemoryApplication::WaitForMessageBoxes(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(shared_->mu);
    return shared_->changed.wait_for(lock, timeout,
                                     [&] { return shared_->messages.size() >= count; });
}

void MemoryApplication::ScriptDialog(const std::string& chosen_path) {
    std::lock_guard lock(shared_->mu);
    shared_->dialog_answers.push_back(chosen_path);
}

std::vector<DialogRecord> MemoryApplication::Dialogs() const {
    std::lock_guard lock(shared_->mu);
    return shared_->dialogs;
}

void MemoryApplication::SetOpenInShellResult(bool ok) {
    std::lock_guard lock(shared_->mu);
    shared_->shell_result = ok;
}

std::vector<std::string> MemoryApplication::OpenedInShell() const {
    std::lock_guard lock(shared_->mu);
    return shared_->shell;
}

void MemoryApplication::SetMediaLength(const std::string& path, long long length_ms) {
    std::lock_guard lock(shared_->mu);
    shared_->lengths[path] = length_ms;
}

std::vector<MediaRecord> MemoryApplication::MediaPlayers() const {
    std::lock_guard lock(shared_->mu);
    return shared_->players;
}

std::vector<size_t> MemoryApplication::SoundsPlayed() const {
    std::lock_guard lock(shared_->mu);
    return shared_->sounds;
}

void MemoryApplication::SetPrimaryScreenSize(Size size) {
    std::lock_guard lock(shared_->mu);
    shared_->screen = size;
}

int MemoryApplication::QuitCount() const {
    std::lock_guard lock(shared_->mu);
    return shared_->quits;
}

}  // namespace kestrel::toolkit
