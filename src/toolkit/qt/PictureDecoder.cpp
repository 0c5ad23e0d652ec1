#include "toolkit/qt/PictureDecoder.h"

#include <QBuffer>
#include <QImageReader>

namespace kestrel::toolkit::qt {

namespace {

// The format of the pictures the launcher shows, told by their first bytes.
// A reader that is not told asks every image plugin whether it can read the
// bytes, and so loads them all (and their libraries) with the first picture.
QByteArray FormatOf(const QByteArray& bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1a\n")) return QByteArrayLiteral("png");
    if (bytes.startsWith("\xff\xd8\xff")) return QByteArrayLiteral("jpeg");
    return {};
}

}  // namespace

QImage DecodePicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // Bytes of another format are left to the reader's own detection.
    QImageReader reader(&buffer, FormatOf(bytes));
    const QSize size = reader.size();
    if (size.width() > kLargestPictureSide || size.height() > kLargestPictureSide) {
        // The reader scales while decoding (JPEG even decodes at a reduced
        // size), so the whole picture never has to fit in memory.
        reader.setScaledSize(size.scaled(kLargestPictureSide, kLargestPictureSide, Qt::KeepAspectRatio));
    }
    return reader.read();
}

}  // namespace kestrel::toolkit::qt
