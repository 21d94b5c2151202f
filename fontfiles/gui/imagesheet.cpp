#include "imagesheet.h"

#include "codepoints.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>
#include <limits>

namespace ImageSheet {

namespace {

// The largest picture read: GNU Unifont's chart of 65,536 glyphs is about
// 17 million pixels. The decoder is held to the same size, in bytes of four
// per pixel, for formats that cannot tell their size before decoding.
constexpr qint64 kMaxPixels = qint64(32) * 1024 * 1024;
constexpr int kAllocationLimitMiB = int(kMaxPixels * 4 / (1024 * 1024));
// A pixel at least this opaque can be set; a more transparent one is clear
// whatever its colour.
constexpr int kOpaqueAlpha = 128;

QString sizeText(const QSize &size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

QString tooLarge(const QSize &size)
{
    return QStringLiteral("the picture is %1 pixels; the largest picture read has %2 million pixels")
        .arg(sizeText(size))
        .arg(kMaxPixels / (1024 * 1024));
}

bool isTooLarge(const QSize &size)
{
    return qint64(size.width()) * qint64(size.height()) > kMaxPixels;
}

// The size a picture's header states. Qt's BMP reader does not tell it
// before decoding, so it is taken from the BMP header itself.
QSize announcedSize(QImageReader &reader, const QByteArray &bytes)
{
    // The format first: once asking for the size has failed, the reader no
    // longer tells it.
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if (size.isValid() || format != "bmp" || bytes.size() < 26)
        return size;
    const auto field = [&bytes](int offset) { return qFromLittleEndian<qint32>(bytes.constData() + offset); };
    if (field(14) < 40) // the old 12-byte header holds 16-bit sizes
        return size;
    const qint64 height = std::abs(qint64(field(22)));
    return QSize(field(18), int(std::min<qint64>(height, std::numeric_limits<int>::max())));
}

// Why the options cannot cut any picture; empty when they can.
QString optionsError(const Options &options)
{
    if (options.cols < GlyphSet::kMinSize || options.cols > GlyphSet::kMaxSize || options.rows < GlyphSet::kMinSize
        || options.rows > GlyphSet::kMaxSize) {
        return QStringLiteral("cells of %1 x %2 pixels: a cell must be %3 to %4 pixels wide and high")
                .arg(options.cols)
                .arg(options.rows)
                .arg(GlyphSet::kMinSize)
                .arg(GlyphSet::kMaxSize);
    }
    if (options.threshold < 0 || options.threshold > 256)
        return QStringLiteral("the threshold %1 is not a grey level from 0 to 256").arg(options.threshold);
    if (options.firstCodePoint < 0 || options.firstCodePoint > CodePoints::kMax)
        return QStringLiteral("the first code point %1 is not a Unicode code point").arg(options.firstCodePoint);
    return QString();
}

// The picture decoded, or a null image with what is wrong in `error`.
QImage decoded(const QByteArray &bytes, QString *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kAllocationLimitMiB);
    if (!reader.canRead()) {
        *error = QStringLiteral("this is not a picture in a format that can be read");
        return QImage();
    }
    // Most formats state their size in the header: refuse a huge one before
    // anything is allocated for it.
    const QSize announced = announcedSize(reader, bytes);
    if (announced.isValid() && isTooLarge(announced)) {
        *error = tooLarge(announced);
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = QStringLiteral("the picture cannot be decoded (%1)").arg(reader.errorString());
        return QImage();
    }
    if (isTooLarge(image.size())) {
        *error = tooLarge(image.size());
        return QImage();
    }
    return image;
}

// The glyphs of `across` by `down` cells, left to right and top to bottom.
GlyphSet cut(const QImage &image, const Options &options, int across, int down)
{
    const int cols = options.cols;
    const int rows = options.rows;
    GlyphSet set(cols, rows);
    set.ascent = rows;
    set.reserve(qint64(across) * down);
    int codePoint = options.firstCodePoint;
    for (int cellRow = 0; cellRow < down; ++cellRow) {
        // One band of cells at a time in 32-bit colour, whatever the
        // picture's own format, so that a large one-bit picture is never
        // held at four bytes a pixel.
        const QImage band = image.copy(0, cellRow * rows, across * cols, rows).convertToFormat(QImage::Format_ARGB32);
        for (int cellCol = 0; cellCol < across; ++cellCol) {
            Glyph glyph;
            glyph.codePoint = codePoint++;
            glyph.bits = Drawing(rows, cols);
            for (int r = 0; r < rows; ++r) {
                const auto *line = reinterpret_cast<const QRgb *>(band.constScanLine(r)) + cellCol * cols;
                for (int c = 0; c < cols; ++c) {
                    const QRgb pixel = line[c];
                    if (qAlpha(pixel) >= kOpaqueAlpha && qGray(pixel) < options.threshold)
                        glyph.bits.set(r, c);
                }
            }
            set.append(std::move(glyph));
        }
    }
    return set;
}

} // namespace

ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options)
{
    const QString wrongOptions = optionsError(options);
    if (!wrongOptions.isEmpty())
        return ReadResult::inFile(fileName, wrongOptions);
    QString error;
    const QImage image = decoded(bytes, &error);
    if (image.isNull())
        return ReadResult::inFile(fileName, error);

    // Whole cells only: a strip at the right or bottom edge narrower than a
    // cell (a margin, a label) holds no glyph and is left out.
    const int across = image.width() / options.cols;
    const int down = image.height() / options.rows;
    if (across == 0 || down == 0) {
        return ReadResult::inFile(fileName, QStringLiteral("the picture is %1 pixels, smaller than one cell of %2 x %3")
                                                    .arg(sizeText(image.size()))
                                                    .arg(options.cols)
                                                    .arg(options.rows));
    }
    const qint64 count = qint64(across) * down;
    if (options.firstCodePoint + count - 1 > CodePoints::kMax) {
        return ReadResult::inFile(fileName, QStringLiteral("the picture holds %1 cells; from code point %2 they would "
                                                           "run past U+10FFFF")
                                                    .arg(count)
                                                    .arg(options.firstCodePoint));
    }
    return {cut(image, options, across, down), QString()};
}

} // namespace ImageSheet
