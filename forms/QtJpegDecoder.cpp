#include "QtJpegDecoder.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <algorithm>

namespace mc {

namespace {

// A complete JPEG spends at least a few bits on every 8 x 8 block, so even a
// picture of one flat colour holds fewer than about 100 pixels per byte. A
// header that claims far more (or more than the game ever uses) belongs to a
// damaged file and is refused before any pixel memory is taken.
constexpr qint64 kMaxJpegSide = 8192;
constexpr qint64 kMaxJpegPixels = qint64(4096) * 4096;
constexpr qint64 kMaxPixelsPerByte = 1024;
constexpr qint64 kSmallPictureSlack = 65536;

}  // namespace

TQtJpegDecoder& QtJpegDecoder()
{
    static TQtJpegDecoder decoder;
    return decoder;
}

bool TQtJpegDecoder::Load(const std::string&)
{
    return QImageReader::supportedImageFormats().contains("jpeg");
}

std::optional<TJpegBitmap> TQtJpegDecoder::Decode(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return std::nullopt;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    const QSize claimed = reader.size();
    if (!claimed.isValid() || claimed.width() > kMaxJpegSide || claimed.height() > kMaxJpegSide ||
        qint64(claimed.width()) * claimed.height() >
            std::min(kMaxJpegPixels, qint64(size) * kMaxPixelsPerByte + kSmallPictureSlack))
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return std::nullopt;
    image = image.convertToFormat(QImage::Format_RGB888);

    TJpegBitmap bitmap;
    bitmap.Width = image.width();
    bitmap.Height = image.height();
    bitmap.Stride = (3 * static_cast<size_t>(bitmap.Width) + 3) & ~size_t(3);
    bitmap.Pixels.assign(bitmap.Stride * static_cast<size_t>(bitmap.Height), 0);
    for (int y = 0; y < bitmap.Height; ++y) {
        const uchar* in = image.constScanLine(y);
        uint8_t* out = bitmap.Pixels.data() + bitmap.Stride * static_cast<size_t>(y);
        for (int x = 0; x < bitmap.Width; ++x) {
            out[3 * x + 0] = in[3 * x + 2];  // blue
            out[3 * x + 1] = in[3 * x + 1];  // green
            out[3 * x + 2] = in[3 * x + 0];  // red
        }
    }
    return bitmap;
}

}  // namespace mc
