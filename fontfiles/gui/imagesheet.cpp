#include "imagesheet.h"

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
constexpr int kLastCodePoint = 0x10FFFF;
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

} // namespace

ReadResult read(const QByteArray &bytes, const QString &fileName, const Options &options)
{
    const int cols = options.cols;
    const int rows = options.rows;
    if (cols < GlyphSet::kMinSize || cols > GlyphSet::kMaxSize || rows < GlyphSet::kMinSize
        || rows > GlyphSet::kMaxSize) {
        return ReadResult::inFile(fileName, QStringLiteral("cells of %1 x %2 pixels: a cell must be %3 to %4 pixels wide and high")
                                                .arg(cols)
                                                .arg(rows)
                                                .arg(GlyphSet::kMinSize)
                                                .arg(GlyphSet::kMaxSize));
    }
    if (options.threshold < 0 || options.threshold > 256) {
        return ReadResult::inFile(fileName, QStringLiteral("the threshold %1 is not a grey level from 0 to 256")
                                                .arg(options.threshold));
    }
    if (options.firstCodePoint < 0 || options.firstCodePoint > kLastCodePoint) {
        return ReadResult::inFile(fileName, QStringLiteral("the first code point %1 is not a Unicode code point")
                                                .arg(options.firstCodePoint));
    }

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kAllocationLimitMiB);
    if (!reader.canRead())
        return ReadResult::inFile(fileName, QStringLiteral("this is not a picture in a format that can be read"));
    // Most formats state their size in the header: refuse a huge one before
    // anything is allocated for it.
    const QSize announced = announcedSize(reader, bytes);
    if (announced.isValid() && isTooLarge(announced))
        return ReadResult::inFile(fileName, tooLarge(announced));

    const QImage image = reader.read();
    if (image.isNull()) {
        return ReadResult::inFile(fileName, QStringLiteral("the picture cannot be decoded (%1)")
                                                .arg(reader.errorString()));
    }
    if (isTooLarge(image.size()))
        return ReadResult::inFile(fileName, tooLarge(image.size()));

    // Whole cells only: a strip at the right or bottom edge narrower than a
    // cell (a margin, a label) holds no glyph and is left out.
    const int across = image.width() / cols;
    const int down = image.height() / rows;
    if (across == 0 || down == 0) {
        return ReadResult::inFile(fileName, QStringLiteral("the picture is %1 pixels, smaller than one cell of %2 x %3")
                                                .arg(sizeText(image.size()))
                                                .arg(cols)
                                                .arg(rows));
    }
    const qint64 count = qint64(across) * down;
    if (options.firstCodePoint + count - 1 > kLastCodePoint) {
        return ReadResult::inFile(fileName, QStringLiteral("the picture holds %1 cells; from code point %2 they would run past U+10FFFF")
                                                .arg(count)
                                                .arg(options.firstCodePoint));
    }

    GlyphSet set(cols, rows);
    set.ascent = rows;
    set.reserve(count);
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
    return {std::move(set), QString()};
}

} // namespace ImageSheet
