#pragma once

// PicturesAhead decodes pictures on a worker before the window asks for
// them. The start-up overlay and the logo are set while the main window is
// built, on the user-interface thread, and decoding the overlay alone takes
// several milliseconds there; decoded beside the building of the controls,
// they are ready when the first paint needs them.
//
// Take gives the decoded picture of the same bytes, once: the entry goes
// away with it, so nothing is kept after the start. Should the worker not
// have run within 2 s, Take gives a null image and the caller decodes.
//
// Threading: DecodeAhead and Take may be called from any thread; Take waits
// while the picture asked for is still being decoded. The viewed bytes must
// outlive the decoding (built-in pictures do).

#include <QByteArray>
#include <QImage>
#include <memory>
#include <string_view>
#include <vector>

namespace kestrel::platform {
class Workers;
}

namespace kestrel::toolkit::qt {

class PicturesAhead {
public:
    PicturesAhead();
    ~PicturesAhead();

    // Decodes each picture on one worker of workers, in this order.
    void DecodeAhead(platform::Workers& workers, std::vector<std::string_view> pictures);
    // The picture of bytes decoded ahead, or a null image when it was not
    // (or the worker was stopped first).
    QImage Take(const QByteArray& bytes);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace kestrel::toolkit::qt
