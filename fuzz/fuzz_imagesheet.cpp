#include "imagesheet.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Arbitrary bytes read as a picture sheet. The first four bytes choose the
// options: the cell width and height (3..16, or, with the top bit set, the
// raw value, which must be refused), the threshold and the first code
// point; the rest is the picture. A sheet read must hold whole cells of the
// size asked for with consecutive code points; a refusal must be one line
// that names the file.
namespace {

const QString kFileName = QStringLiteral("sheet");

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_imagesheet: %s\n", what);
    std::abort();
}

int cellSize(uint8_t byte)
{
    return (byte & 0x80) ? int(byte & 0x7F) : 3 + byte % 14;
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool installed = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(installed);
    if (size < 4)
        return 0;
    ImageSheet::Options options;
    options.cols = cellSize(data[0]);
    options.rows = cellSize(data[1]);
    options.threshold = data[2] == 255 ? 256 : data[2];
    static const int firsts[] = {0, 0x20, 0x100, 0x10FF00, 0x10FFFF, -1, 0x110000, 0x4E00};
    options.firstCodePoint = firsts[data[3] % 8];
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));

    const ReadResult result = ImageSheet::read(bytes, kFileName, options);
    const bool validOptions = options.cols >= 3 && options.cols <= 16 && options.rows >= 3 && options.rows <= 16
        && options.firstCodePoint >= 0 && options.firstCodePoint <= 0x10FFFF;
    if (!result.ok()) {
        if (!result.error.startsWith(kFileName + QStringLiteral(": ")) || result.error.contains(QLatin1Char('\n')))
            fail("a refusal is not one line that names the file");
        return 0;
    }
    if (!validOptions)
        fail("options out of range were accepted");
    if (!result.error.isEmpty())
        fail("a sheet read came with an error");
    const GlyphSet &set = *result.set;
    if (set.cols() != options.cols || set.rows() != options.rows || set.isEmpty())
        fail("the sheet does not have the cell size asked for");
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        if (glyph.codePoint != options.firstCodePoint + i || glyph.codePoint > 0x10FFFF)
            fail("the code points are not consecutive from the first");
        if (glyph.bits.cols() != options.cols || glyph.bits.rows() != options.rows)
            fail("a glyph does not have the cell size");
        if (options.threshold == 0 && !(glyph.bits == Drawing(options.rows, options.cols)))
            fail("a pixel was set with threshold 0");
    }
    return 0;
}
