#pragma once

// QtApplication is the Application of the Qt backend. It needs a
// QApplication, created by the program on its main thread (the
// user-interface thread) before this object; the program then runs
// QApplication::exec(). Closing the last window does not end the loop: the
// launcher decides when to Quit.
//
// Message boxes and dialogs called from a worker are opened on the
// user-interface thread without a nested loop (QDialog::open), and the worker
// waits for the answer; if the application ends first, the worker gets the
// cancelled answer. Called on the user-interface thread they run their own
// modal loop.
//
// Threading: see Application. Construct it on the user-interface thread.

#include "toolkit/Application.h"
#include "toolkit/qt/MediaModule.h"
#include "toolkit/qt/PicturesAhead.h"

namespace kestrel::toolkit::qt {

class QtApplication : public Application {
public:
    QtApplication();
    ~QtApplication() override;

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

    // Decodes pictures (built-in ones, which live as long as the program)
    // on a worker of workers; a window of this application given the same
    // bytes later takes the decoded picture instead of decoding it again.
    void DecodePicturesAhead(platform::Workers& workers, std::vector<std::string_view> pictures);
    // The picture of those bytes decoded ahead, once; a null image when it
    // was not, and the caller decodes it.
    QImage TakePictureDecodedAhead(std::string_view bytes);

private:
    MediaModule media_;  // loaded when music or a sound first plays
    PicturesAhead pictures_;
};

}  // namespace kestrel::toolkit::qt
