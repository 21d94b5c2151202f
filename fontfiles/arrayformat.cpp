#include "arrayformat.h"

#include "bytereader.h"

#include <algorithm>

namespace ArrayFormat {

namespace {
constexpr int kLastCodePoint = 0x10FFFF;
constexpr int kByteDigits = 2;

qint64 lineAt(QStringView text, qsizetype position)
{
    return text.left(position).count(u'\n') + 1;
}

// What one glyph's values are: how many, of how many bits, in which order.
struct Shape
{
    BitOrder order;
    int rows;
    int cols;
    int valueCount;
    int bitsPerValue;
};

// The glyphs of a stream cut into runs of `stride` numbers each: one number
// a value, or two bytes a value, high byte first.
ReadResult readRuns(QStringView text, const QString &fileName, const std::vector<ByteReader::Number> &numbers,
                    qsizetype stride, const Shape &shape, std::vector<std::vector<quint32>> *glyphs)
{
    const bool paired = stride == 2 * qsizetype(shape.valueCount);
    const quint32 largest = (1u << shape.bitsPerValue) - 1;
    for (size_t first = 0; first < numbers.size(); first += size_t(stride)) {
        std::vector<quint32> values;
        values.reserve(size_t(shape.valueCount));
        for (size_t i = first; i < first + size_t(stride); i += paired ? 2 : 1) {
            const quint32 value = paired ? numbers[i].value << 8 | numbers[i + 1].value : numbers[i].value;
            if (value > largest) {
                const auto refused = ByteReader::Result::valueTooWide(
                        paired ? QString::number(value, 16)
                               : text.mid(numbers[i].position, numbers[i].digitCount).toString());
                return ReadResult::atLine(fileName, lineAt(text, numbers[i].position),
                                          ByteReader::message(refused, shape.order, shape.rows, shape.cols));
            }
            values.push_back(value);
        }
        glyphs->push_back(std::move(values));
    }
    return {};
}

// One glyph from each line that holds numbers, read as the editor reads a
// drawing from bytes; lines whose only numbers are unmarked words, where
// the text marks its numbers, hold names.
ReadResult readLines(QStringView text, const QString &fileName, bool marked, qsizetype maxGlyphs, const Shape &shape,
                     std::vector<std::vector<quint32>> *glyphs)
{
    qint64 lineNumber = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.mid(start, end - start);
        start = end + 1;
        ++lineNumber;
        const ByteReader::Numbers found = ByteReader::numbers(line, 1);
        if (found.count == 0 || (marked && !found.kept.front().marked))
            continue;
        if (qsizetype(glyphs->size()) == maxGlyphs)
            return ReadResult::atLine(fileName, lineNumber, QStringLiteral("one glyph more than code points remain"));
        ByteReader::Result read = ByteReader::read(line, shape.valueCount, shape.bitsPerValue);
        if (!read.ok()) {
            return ReadResult::atLine(fileName, lineNumber,
                                      ByteReader::message(read, shape.order, shape.rows, shape.cols));
        }
        glyphs->push_back(std::move(read.values));
    }
    return {};
}
} // namespace

ReadResult read(QStringView text, const QString &fileName, const Options &options)
{
    const int cols = options.cols;
    const int rows = options.rows;
    if (std::min(cols, rows) < GlyphSet::kMinSize || std::max(cols, rows) > GlyphSet::kMaxSize) {
        return ReadResult::inFile(fileName, QStringLiteral("a matrix of %1 by %2 cells is outside %3 to %4")
                                                    .arg(cols).arg(rows).arg(GlyphSet::kMinSize)
                                                    .arg(GlyphSet::kMaxSize));
    }
    if (options.firstCodePoint < 0 || options.firstCodePoint > kLastCodePoint)
        return ReadResult::inFile(fileName, QStringLiteral("the first code point %1 is none").arg(options.firstCodePoint));

    const BitOrder order = options.order;
    const Shape shape{order, rows, cols, order.valueCount(rows, cols), order.bitsPerValue(rows, cols)};
    const qsizetype maxGlyphs = qsizetype(kLastCodePoint) - options.firstCodePoint + 1;
    // No reading takes more than two numbers a value.
    const ByteReader::Numbers found = ByteReader::numbers(text, maxGlyphs * 2 * shape.valueCount + 1);
    if (found.count == 0)
        return ReadResult::inFile(fileName, QStringLiteral("holds no hexadecimal number"));

    // Values wider than 8 bits, and those of readouts of more than 8 values,
    // come as two bytes each, as Copy to Text writes them, or as one number
    // of more digits.
    const std::vector<ByteReader::Number> &numbers = found.kept;
    const bool bytes = std::all_of(numbers.begin(), numbers.end(), [](const ByteReader::Number &number) {
        return number.digitCount <= kByteDigits;
    });
    bool paired = bytes && (shape.valueCount > 8 || shape.bitsPerValue > 8);
    if (paired && shape.bitsPerValue <= 8) {
        // Values of up to 8 bits are two bytes each only as Copy to Text
        // pads them, with every high byte 00; a table of one byte a value,
        // as a font dump gives, has others.
        paired = found.count % (2 * qsizetype(shape.valueCount)) == 0;
        for (size_t i = 0; paired && i < numbers.size(); i += 2)
            paired = numbers[i].value == 0;
    }
    const qsizetype stride = paired ? 2 * qsizetype(shape.valueCount) : shape.valueCount;

    std::vector<std::vector<quint32>> glyphs;
    ReadResult result;
    if (found.count % stride == 0) {
        if (found.count / stride > maxGlyphs) {
            return ReadResult::inFile(fileName, QStringLiteral("%1 glyphs from code point %2 pass the last one")
                                                        .arg(found.count / stride).arg(options.firstCodePoint));
        }
        result = readRuns(text, fileName, numbers, stride, shape, &glyphs);
    } else if (paired && shape.bitsPerValue > 8 && shape.valueCount <= 8) {
        // Copy to Text writes such a value up to FF as one byte and a larger
        // one as two, so the glyphs differ in length: one line each.
        result = readLines(text, fileName, numbers.front().marked, maxGlyphs, shape, &glyphs);
    } else {
        return ReadResult::inFile(fileName, QStringLiteral("the %1 numbers do not divide into glyphs of %2 numbers")
                                                    .arg(found.count).arg(stride));
    }
    if (!result.error.isEmpty())
        return result;

    GlyphSet set(cols, rows);
    set.reserve(qsizetype(glyphs.size()));
    for (size_t i = 0; i < glyphs.size(); ++i) {
        Glyph glyph;
        glyph.codePoint = options.firstCodePoint + int(i);
        glyph.bits = order.drawing(glyphs[i], rows, cols);
        set.append(std::move(glyph));
    }
    return {std::move(set), QString()};
}

} // namespace ArrayFormat
