#include "outlinefont.h"

#include "fontfile.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <cmath>
#include <set>

namespace OutlineFont {

namespace {

constexpr int kLastCodePoint = 0x10FFFF;
// Far beyond any font that fits 16 x 16 cells; a larger size is refused
// before the font engine is asked for it.
constexpr int kMaxPixelSize = 1000;
// Full hinting, whatever fontconfig prefers, so that a font renders the
// same on every machine.
constexpr QFont::HintingPreference kHinting = QFont::PreferFullHinting;

// What is wrong with the request itself, before any font is looked at.
QString requestError(const Options &options)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QStringLiteral("rendering a font needs a running QGuiApplication");
    if (options.pixelSize < 1 || options.pixelSize > kMaxPixelSize)
        return QStringLiteral("the pixel size %1 is not from 1 to %2").arg(options.pixelSize).arg(kMaxPixelSize);
    if (options.codePoints.isEmpty())
        return QStringLiteral("no characters were asked for");
    return {};
}

struct Item
{
    int codePoint;
    quint32 index;
    int advance;
};

// What render() draws: the glyphs the font has of those asked for, and the
// matrix, as high as the ascent and descent rounded up and as wide as the
// widest advance; or why it cannot (no file name).
struct Plan
{
    std::vector<Item> items;
    int ascent = 0;
    int cols = 0;
    int rows = 0;
    QString error;
};

Plan plan(const QRawFont &font, const Options &options)
{
    Plan result;
    result.ascent = int(std::ceil(font.ascent()));
    result.rows = result.ascent + int(std::ceil(font.descent()));
    std::set<int> seen;
    for (const int codePoint : options.codePoints) {
        if (codePoint < 0 || codePoint > kLastCodePoint || !seen.insert(codePoint).second
            || !font.supportsCharacter(uint(codePoint))) {
            continue;
        }
        const char32_t ucs4 = char32_t(codePoint);
        const QList<quint32> indexes = font.glyphIndexesForString(QString::fromUcs4(&ucs4, 1));
        if (indexes.size() != 1 || indexes.first() == 0)
            continue;
        const QList<QPointF> advances = font.advancesForGlyphIndexes(indexes, QRawFont::SeparateAdvances);
        const qreal advance = advances.value(0).x();
        result.cols = std::max(result.cols, int(std::ceil(advance)));
        result.items.push_back({codePoint, indexes.first(), int(std::lround(advance))});
    }
    if (result.items.empty()) {
        result.error = QStringLiteral("the font has none of the %1 characters asked for").arg(options.codePoints.size());
    } else if (result.cols > GlyphSet::kMaxSize || result.rows > GlyphSet::kMaxSize) {
        result.error = QStringLiteral("%1 at %2 px needs %3 x %4 cells; the largest matrix is %5 x %5")
                               .arg(font.familyName())
                               .arg(options.pixelSize)
                               .arg(result.cols)
                               .arg(result.rows)
                               .arg(GlyphSet::kMaxSize);
    }
    return result;
}

// The glyphs of `font` for the code points asked for, drawn as the font
// engine draws text without antialiasing, as plan() lays them out; the
// baseline lies at the ascent. Ink that a glyph puts left of its origin or
// past the matrix is cut off.
ReadResult render(const QRawFont &font, const QString &name, const Options &options)
{
    const Plan planned = plan(font, options);
    if (!planned.error.isEmpty())
        return ReadResult::inFile(name, planned.error);
    const int ascent = planned.ascent;
    const int cols = planned.cols;
    const int rows = planned.rows;
    const std::vector<Item> &items = planned.items;

    GlyphSet set(cols, rows);
    set.ascent = ascent;
    set.fontName = QStringLiteral("%1 %2 %3px").arg(font.familyName(), font.styleName()).arg(options.pixelSize).toUtf8();
    set.reserve(qsizetype(items.size()));

    // A one-bit target makes the raster engine take FreeType's monochrome
    // bitmaps as they are, rather than thresholding antialiased ones.
    QImage image(cols, rows, QImage::Format_MonoLSB);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    QGlyphRun run;
    run.setRawFont(font);
    run.setPositions({QPointF(0, 0)});
    for (const Item &item : items) {
        image.fill(0);
        run.setGlyphIndexes({item.index});
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            painter.drawGlyphRun(QPointF(0, ascent), run);
        }
        Glyph glyph;
        glyph.codePoint = item.codePoint;
        glyph.advance = item.advance;
        glyph.bits = Drawing(rows, cols);
        for (int r = 0; r < rows; ++r) {
            const uchar *line = image.constScanLine(r);
            for (int c = 0; c < cols; ++c) {
                if (line[c >> 3] & (1 << (c & 7)))
                    glyph.bits.set(r, c);
            }
        }
        set.append(std::move(glyph));
    }
    return {std::move(set), QString()};
}

} // namespace

ReadResult renderFile(const QString &path, const Options &options)
{
    const QString error = requestError(options);
    if (!error.isEmpty())
        return ReadResult::inFile(path, error);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadResult::inFile(path, QStringLiteral("the file cannot be opened (%1)").arg(file.errorString()));
    if (file.size() > FontFile::kMaxFileBytes) {
        return ReadResult::inFile(path, QStringLiteral("the file has %1 bytes; the largest font read has %2")
                                            .arg(file.size())
                                            .arg(FontFile::kMaxFileBytes));
    }
    return renderData(file.readAll(), path, options);
}

ReadResult renderData(const QByteArray &data, const QString &fileName, const Options &options)
{
    const QString error = requestError(options);
    if (!error.isEmpty())
        return ReadResult::inFile(fileName, error);
    const QRawFont font(data, options.pixelSize, kHinting);
    if (!font.isValid())
        return ReadResult::inFile(fileName, QStringLiteral("this is not a TrueType or OpenType font"));
    return render(font, fileName, options);
}

QString checkData(const QByteArray &data, const Options &options, QSize *cells)
{
    QString error = requestError(options);
    if (!error.isEmpty())
        return error;
    const QRawFont font(data, options.pixelSize, kHinting);
    if (!font.isValid())
        return QStringLiteral("this is not a TrueType or OpenType font");
    const Plan planned = plan(font, options);
    // The set is never smaller than the smallest matrix.
    if (cells)
        *cells = QSize(std::max(planned.cols, GlyphSet::kMinSize), std::max(planned.rows, GlyphSet::kMinSize));
    return planned.error;
}

ReadResult renderFamily(const QString &family, const Options &options)
{
    const QString error = requestError(options);
    if (!error.isEmpty())
        return ReadResult::inFile(family, error);
    if (!QFontDatabase::hasFamily(family))
        return ReadResult::inFile(family, QStringLiteral("no font of this family is installed"));
    QFont font(family);
    font.setPixelSize(options.pixelSize);
    font.setHintingPreference(kHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return ReadResult::inFile(family, QStringLiteral("the font engine cannot load this family"));
    return render(raw, family, options);
}

} // namespace OutlineFont
