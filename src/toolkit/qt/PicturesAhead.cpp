#include "toolkit/qt/PicturesAhead.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <list>
#include <mutex>

#include "platform/Workers.h"
#include "toolkit/qt/PictureDecoder.h"

namespace kestrel::toolkit::qt {

struct PicturesAhead::Shared {
    struct Entry {
        std::string_view bytes;
        QImage image;
        bool done = false;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::list<Entry> entries;
};

PicturesAhead::PicturesAhead() : shared_(std::make_shared<Shared>()) {}

PicturesAhead::~PicturesAhead() = default;

void PicturesAhead::DecodeAhead(platform::Workers& workers, std::vector<std::string_view> pictures) {
    std::vector<Shared::Entry*> mine;
    {
        std::lock_guard lock(shared_->mutex);
        for (std::string_view bytes : pictures) {
            shared_->entries.push_back({bytes, QImage(), false});
            mine.push_back(&shared_->entries.back());
        }
    }
    workers.Start([shared = shared_, mine](std::stop_token stop) {
        for (Shared::Entry* entry : mine) {
            QImage image;
            if (!stop.stop_requested()) {
                image = DecodePicture(QByteArray::fromRawData(entry->bytes.data(),
                                                              static_cast<qsizetype>(entry->bytes.size())));
            }
            std::lock_guard lock(shared->mutex);
            entry->image = std::move(image);
            entry->done = true;
            shared->changed.notify_all();
        }
    });
}

QImage PicturesAhead::Take(const QByteArray& bytes) {
    std::unique_lock lock(shared_->mutex);
    auto same = [&bytes](const Shared::Entry& e) {
        return e.bytes.size() == static_cast<std::size_t>(bytes.size()) &&
               std::memcmp(e.bytes.data(), bytes.constData(), e.bytes.size()) == 0;
    };
    const auto it = std::find_if(shared_->entries.begin(), shared_->entries.end(), same);
    if (it == shared_->entries.end()) return QImage();
    // The worker marks every entry done, also when it is stopped; a worker
    // that never started (the launcher already ending) leaves the caller to
    // decode the picture itself. The entry then stays, as the worker might
    // still write it.
    if (!shared_->changed.wait_for(lock, std::chrono::seconds(2), [&it] { return it->done; })) return QImage();
    QImage image = std::move(it->image);
    shared_->entries.erase(it);
    return image;
}

}  // namespace kestrel::toolkit::qt
