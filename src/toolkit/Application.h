#pragma once

// Application is the GUI library as the launcher's behaviour code sees it:
// it opens windows from their tables and offers the services around them
// (message boxes, clipboard, the shell, dialogs, music, sounds, the screen).
//
// Threading contract: every method may be called from any thread. Message
// boxes and dialogs called from a worker block that worker until the player
// answers, while the user-interface thread keeps running; called on the
// user-interface thread they run a modal loop of their own (events keep
// being handled meanwhile). Everything else returns without waiting for the
// player. Post runs a function on the user-interface thread later.

#include <functional>
#include <memory>
#include <string>

#include "toolkit/MediaPlayer.h"
#include "toolkit/Surface.h"
#include "toolkit/WindowDef.h"

namespace kestrel::toolkit {

enum class MessageIcon { Error, Warning, Information };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class Application {
public:
    virtual ~Application() = default;

    // Builds a window from its table; it stays closed until ShowWindow. An
    // owned window stays above its owner and closes with it.
    virtual std::shared_ptr<Surface> CreateSurface(const WindowDef& def,
                                                   Surface* owner = nullptr) = 0;

    // Named MessageBox in the plan; the name avoids the MessageBox macro of
    // the Windows headers, which a Windows backend will include.
    virtual MessageAnswer ShowMessageBox(const std::string& text, const std::string& caption,
                                         MessageIcon icon,
                                         MessageButtons buttons = MessageButtons::Ok) = 0;

    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::string ClipboardText() const = 0;

    // Opens a web address or a folder with the desktop's default program;
    // false when nothing could be started.
    virtual bool OpenInShell(const std::string& target) = 0;

    // A file dialog starting in start_folder; filter as "Pictures (*.png)";
    // "" when the player cancels.
    virtual std::string OpenFileDialog(const std::string& title, const std::string& start_folder,
                                       const std::string& filter) = 0;
    virtual std::string FolderDialog(const std::string& title,
                                     const std::string& start_folder) = 0;

    virtual std::unique_ptr<MediaPlayer> CreateMediaPlayer() = 0;
    // Plays a WAVE sound once, without waiting for it to end.
    virtual void PlaySound(const std::string& wave_bytes) = 0;

    virtual Size PrimaryScreenSize() const = 0;

    // Runs fn on the user-interface thread, after the events already queued.
    virtual void Post(std::function<void()> fn) = 0;
    // Ends the message loop; the program then ends.
    virtual void Quit() = 0;
};

}  // namespace kestrel::toolkit
