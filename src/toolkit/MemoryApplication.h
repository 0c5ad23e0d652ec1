#pragma once

// MemoryApplication is the application services without a GUI, for tests.
// Windows are MemorySurfaces; message boxes and dialogs do not wait for
// anybody: they are recorded and answered from a script the test writes
// beforehand (a message box answers Ok, or Yes, when nothing is scripted; a
// dialog answers "", as a cancelled one does). Music players and sounds are
// recorded; nothing is played.
//
// There is no user-interface thread: Post runs its function at once on the
// calling thread.
//
// Threading: every method may be called from any thread; the records are
// kept under one lock. WaitForMessageBoxes lets a test wait for a worker.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/Application.h"
#include "toolkit/MemorySurface.h"

namespace kestrel::toolkit {

struct MessageRecord {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
};

struct DialogRecord {
    std::string kind;  // "file" or "folder"
    std::string title;
    std::string start_folder;
    std::string filter;
};

// What a music player was asked to do, for tests.
struct MediaRecord {
    std::vector<std::string> opened;  // every Open, in order
    bool playing = false;
    int plays = 0;
    int pauses = 0;
    int volume = 100;
};

class MemoryApplication : public Application {
public:
    MemoryApplication();
    ~MemoryApplication() override;

    std::shared_ptr<Surface> CreateSurface(const WindowDef& def, Surface* owner = nullptr) override;
    MessageAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                                 MessageIcon icon,
                                 MessageButtons buttons = MessageButtons::Ok) override;
    void SetClipboardText(const std::string& text) override;
    std::string ClipboardText() const override;
    bool OpenInShell(const std::string& target) override;
    std::string OpenFileDialog(const std::string& title, const std::string& start_folder,
                               const std::string& filter) override;
    std::string FolderDialog(const std::string& title, const std::string& start_folder) override;
    std::unique_ptr<MediaPlayer> CreateMediaPlayer() override;
    void PlaySound(const std::string& wave_bytes) override;
    Size PrimaryScreenSize() const override;
    void Post(std::function<void()> fn) override;
    void Quit() override;

    // --- for tests ---
    // The most recent window built from a table of that name, or nullptr.
    std::shared_ptr<MemorySurface> Window(const std::string& window_name) const;
    std::vector<std::shared_ptr<MemorySurface>> Windows() const;

    void ScriptAnswer(MessageAnswer answer);
    std::vector<MessageRecord> MessageBoxes() const;
    bool WaitForMessageBoxes(size_t count, std::chrono::milliseconds timeout) const;

    void ScriptDialog(const std::string& chosen_path);
    std::vector<DialogRecord> Dialogs() const;

    void SetOpenInShellResult(bool ok);
    std::vector<std::string> OpenedInShell() const;

    // Length that Open reports for a file; files not given here open when
    // they exist on disk and report 0.
    void SetMediaLength(const std::string& path, long long length_ms);
    std::vector<MediaRecord> MediaPlayers() const;

    std::vector<size_t> SoundsPlayed() const;  // sizes of the sounds, in order
    void SetPrimaryScreenSize(Size size);
    int QuitCount() const;

private:
    class Player;
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace kestrel::toolkit
