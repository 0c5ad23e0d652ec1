#include "toolkit/qt/QtMediaPlayer.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QEventLoop>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <vector>

#include "toolkit/qt/UiThread.h"

namespace kestrel::toolkit::qt {
namespace {

constexpr int kOpenTimeoutMs = 5000;

bool Loaded(QMediaPlayer::MediaStatus s) {
    return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia ||
           s == QMediaPlayer::BufferingMedia || s == QMediaPlayer::StalledMedia ||
           s == QMediaPlayer::EndOfMedia;
}

// Qt 6.4's FFmpeg backend crashes when it renders audio while the machine
// has no audio output (no sound server, as on a build machine), so nothing
// is played then: the music and the launch sound stay silent instead.
bool CanPlay() { return !QMediaDevices::defaultAudioOutput().isNull(); }

}  // namespace

struct QtMediaPlayer::Parts : QObject {
    QMediaPlayer player;
    QAudioOutput output;
    Parts() { player.setAudioOutput(&output); }

    // Sets the source and calls done(ok) once, when the file has loaded or
    // failed. The player's error state outlives a source (a failed file
    // leaves its error behind), so only errors reported after this call
    // count. On the user-interface thread.
    void StartOpen(const QUrl& url, std::function<void(bool)> done) {
        auto once = std::make_shared<std::function<void(bool)>>(std::move(done));
        auto connections = std::make_shared<std::vector<QMetaObject::Connection>>();
        auto finish = [once, connections](bool ok) {
            if (!*once) return;
            auto fn = std::move(*once);
            *once = nullptr;
            for (const auto& c : *connections) QObject::disconnect(c);
            fn(ok);
        };
        connections->push_back(QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, this,
                                                [finish](QMediaPlayer::MediaStatus st) {
                                                    if (Loaded(st)) finish(true);
                                                    if (st == QMediaPlayer::InvalidMedia) finish(false);
                                                }));
        connections->push_back(QObject::connect(&player, &QMediaPlayer::errorOccurred, this,
                                                [finish] { finish(false); }));
        player.setSource(url);
        if (Loaded(player.mediaStatus())) finish(true);
    }
};

QtMediaPlayer::QtMediaPlayer() {
    parts_ = CallOnUi<Parts*>([] { return new Parts; });
}

QtMediaPlayer::~QtMediaPlayer() {
    if (!parts_) return;
    if (OnUiThread()) delete parts_; else parts_->deleteLater();
}

bool QtMediaPlayer::Open(const std::string& path) {
    if (!parts_) return false;
    Parts* parts = parts_;
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile()) {
        PostToUi([parts] { parts->player.setSource(QUrl()); });
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(file);
    if (OnUiThread()) {
        // A local loop keeps the user-interface thread's events running while
        // the file loads.
        QEventLoop loop;
        std::optional<bool> result;
        QTimer::singleShot(kOpenTimeoutMs, &loop, &QEventLoop::quit);
        parts->StartOpen(url, [&result, &loop](bool ok) {
            result = ok;
            loop.quit();
        });
        if (!result) loop.exec();
        return result.value_or(false);
    }
    auto promise = std::make_shared<std::promise<bool>>();
    std::future<bool> future = promise->get_future();
    PostToUi([parts, url, promise] {
        parts->StartOpen(url, [promise](bool ok) { promise->set_value(ok); });
    });
    if (future.wait_for(std::chrono::milliseconds(kOpenTimeoutMs)) != std::future_status::ready) {
        return false;
    }
    try {
        return future.get();
    } catch (const std::future_error&) {
        return false;
    }
}

void QtMediaPlayer::Play() {
    Parts* p = parts_;
    PostToUi([p] {
        if (CanPlay()) p->player.play();
    });
}

void QtMediaPlayer::Pause() {
    Parts* p = parts_;
    PostToUi([p] { p->player.pause(); });
}

bool QtMediaPlayer::Playing() const {
    Parts* p = parts_;
    return CallOnUi<bool>([p] { return p->player.playbackState() == QMediaPlayer::PlayingState; });
}

long long QtMediaPlayer::LengthMs() const {
    Parts* p = parts_;
    return CallOnUi<long long>([p] { return static_cast<long long>(p->player.duration()); });
}

void QtMediaPlayer::SetVolume(int percent) {
    const float v = static_cast<float>(percent < 0 ? 0 : percent > 100 ? 100 : percent) / 100.0f;
    Parts* p = parts_;
    PostToUi([p, v] { p->output.setVolume(v); });
}

int QtMediaPlayer::Volume() const {
    Parts* p = parts_;
    return CallOnUi<int>([p] { return static_cast<int>(p->output.volume() * 100.0f + 0.5f); });
}

void PlayWaveOnce(const std::string& wave_bytes) {
    PostToUi([bytes = QByteArray::fromStdString(wave_bytes)] {
        if (!CanPlay()) return;
        auto* holder = new QObject;
        auto* buffer = new QBuffer(holder);
        buffer->setData(bytes);
        buffer->open(QIODevice::ReadOnly);
        auto* output = new QAudioOutput(holder);
        auto* player = new QMediaPlayer(holder);
        player->setAudioOutput(output);
        QObject::connect(player, &QMediaPlayer::playbackStateChanged, holder,
                         [holder](QMediaPlayer::PlaybackState s) {
                             if (s == QMediaPlayer::StoppedState) holder->deleteLater();
                         });
        QObject::connect(player, &QMediaPlayer::errorOccurred, holder,
                         [holder] { holder->deleteLater(); });
        player->setSourceDevice(buffer, QUrl(QStringLiteral("sound.wav")));
        player->play();
    });
}

}  // namespace kestrel::toolkit::qt

// The module's entry points (MediaModule.h); the Qt backend finds them with
// dlsym.
extern "C" __attribute__((visibility("default"))) kestrel::toolkit::MediaPlayer* kestrel_qt_media_new_player() {
    return new kestrel::toolkit::qt::QtMediaPlayer();
}

extern "C" __attribute__((visibility("default"))) void kestrel_qt_media_play_wave_once(const char* bytes,
                                                                                        std::size_t size) {
    kestrel::toolkit::qt::PlayWaveOnce(std::string(bytes, size));
}
