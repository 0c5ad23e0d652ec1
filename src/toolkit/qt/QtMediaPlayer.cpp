#include "toolkit/qt/QtMediaPlayer.h"

#include <QAudioOutput>
#include <QBuffer>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <future>

#include "toolkit/qt/UiThread.h"

namespace kestrel::toolkit::qt {
namespace {

constexpr int kOpenTimeoutMs = 5000;

bool Settled(QMediaPlayer::MediaStatus s) {
    return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia ||
           s == QMediaPlayer::NoMedia || s == QMediaPlayer::BufferedMedia ||
           s == QMediaPlayer::EndOfMedia;
}

}  // namespace

struct QtMediaPlayer::Parts : QObject {
    QMediaPlayer player;
    QAudioOutput output;
    Parts() { player.setAudioOutput(&output); }
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
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    if (OnUiThread()) {
        // A local loop keeps the user-interface thread's events running while
        // the file loads.
        QEventLoop loop;
        QTimer::singleShot(kOpenTimeoutMs, &loop, &QEventLoop::quit);
        auto c = QObject::connect(&parts_->player, &QMediaPlayer::mediaStatusChanged, &loop,
                                  [&](QMediaPlayer::MediaStatus s) {
                                      if (Settled(s)) loop.quit();
                                  });
        parts_->player.setSource(url);
        if (!Settled(parts_->player.mediaStatus())) loop.exec();
        QObject::disconnect(c);
        return parts_->player.mediaStatus() != QMediaPlayer::InvalidMedia &&
               parts_->player.mediaStatus() != QMediaPlayer::NoMedia &&
               parts_->player.error() == QMediaPlayer::NoError;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto future = done->get_future();
    auto fired = std::make_shared<std::atomic<bool>>(false);
    Parts* parts = parts_;
    PostToUi([parts, url, done, fired] {
        auto finish = [done, fired] {
            if (!fired->exchange(true)) done->set_value();
        };
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = QObject::connect(&parts->player, &QMediaPlayer::mediaStatusChanged, parts,
                                       [finish, connection](QMediaPlayer::MediaStatus s) {
                                           if (!Settled(s)) return;
                                           finish();
                                           QObject::disconnect(*connection);
                                       });
        parts->player.setSource(url);
        if (Settled(parts->player.mediaStatus())) finish();
    });
    future.wait_for(std::chrono::milliseconds(kOpenTimeoutMs));
    return CallOnUi<bool>([parts] {
        return parts->player.mediaStatus() != QMediaPlayer::InvalidMedia &&
               parts->player.mediaStatus() != QMediaPlayer::NoMedia &&
               parts->player.error() == QMediaPlayer::NoError;
    });
}

void QtMediaPlayer::Play() {
    Parts* p = parts_;
    PostToUi([p] { p->player.play(); });
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
