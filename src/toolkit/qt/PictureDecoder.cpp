#include "toolkit/qt/PictureDecoder.h"

#include <QBuffer>
#include <QImageReader>

namespace kestrel::toolkit::qt {

QImage DecodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.width() > kLargestPictureSide || size.height() > kLargestPictureSide) {
        // The reader scales while decoding (JPEG even decodes at a reduced
        // size), so the whole picture never has to fit in memory.
        reader.setScaledSize(size.scaled(kLargestPictureSide, kLargestPictureSide, Qt::KeepAspectRatio));
    }
    return reader.read();
}

}  // namespace kestrel::toolkit::qt
