#include "bytereader.h"

#include <QChar>

#include <algorithm>

namespace ByteReader {

namespace {

constexpr qsizetype kRunTogetherDigits = 4; // a longer single number is a hex string
constexpr int kByteDigits = 2;

bool isWordCharacter(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c);
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// The digits of a word that is a number, or a null view; `marked` tells
// whether the word itself shows that it is hexadecimal.
QStringView numberDigits(QStringView word, bool *marked)
{
    QStringView digits = word;
    *marked = true;
    if (word.size() > 2 && word[0] == u'0' && (word[1] == u'x' || word[1] == u'X'))
        digits = word.mid(2);
    else if (word.size() > 1 && (word.back() == u'h' || word.back() == u'H'))
        digits = word.chopped(1);
    else
        *marked = false;
    return std::all_of(digits.begin(), digits.end(), isHexDigit) ? digits : QStringView();
}

// The value of hexadecimal digits, 0xFFFFFFFF for more than 8 after the
// leading zeros.
quint32 valueOf(QStringView digits)
{
    while (digits.size() > 1 && digits[0] == u'0')
        digits = digits.mid(1);
    if (digits.size() > 8)
        return 0xFFFFFFFFu;
    return digits.toUInt(nullptr, 16);
}

// Splits `bytes` into `valueCount` values the way the readout writes them when
// it shows 8 values or fewer: a value up to FF as one byte, a larger one as
// two, whose first is then not 00. Returns how many ways there are, 0, 1 or 2
// for more than one, and the values of the one way.
int readAsWritten(const std::vector<quint32> &bytes, int valueCount, std::vector<quint32> *values)
{
    const size_t n = bytes.size();
    // ways[i][k]: the ways to read bytes i.. as k values, counted up to 2.
    std::vector<std::vector<int>> ways(n + 1, std::vector<int>(size_t(valueCount) + 1, 0));
    ways[n][0] = 1;
    for (size_t i = n; i-- > 0;) {
        for (int k = 1; k <= valueCount; ++k) {
            int count = ways[i + 1][size_t(k - 1)];
            if (i + 1 < n && bytes[i] != 0)
                count += ways[i + 2][size_t(k - 1)];
            ways[i][size_t(k)] = std::min(count, 2);
        }
    }
    const int total = ways[0][size_t(valueCount)];
    if (total != 1)
        return total;
    size_t i = 0;
    for (int k = valueCount; k > 0; --k) {
        if (ways[i + 1][size_t(k - 1)] == 1) {
            values->push_back(bytes[i]);
            i += 1;
        } else {
            values->push_back(bytes[i] << 8 | bytes[i + 1]);
            i += 2;
        }
    }
    return 1;
}

enum class Reading {
    Singles,   // one number a value
    Pairs,     // two bytes a value, high byte first
    AsWritten, // a byte for a value up to FF, two for a larger one
};

// How `numbers`, `count` of them in all, give the values. Bytes pair up
// where Copy to Text would have written four digits a value: always above 8
// values; with 8 or fewer only for values above FF, which is why exactly one
// byte a value reads one value a byte there, and why between one and two
// bytes a value are read as the readout writes them.
Reading readingFor(const std::vector<Number> &numbers, qsizetype count, int valueCount, int bitsPerValue)
{
    // A count beyond what is kept is refused before any value is read.
    const bool allBytes = std::all_of(numbers.begin(), numbers.end(),
                                      [](const Number &number) { return number.digitCount <= kByteDigits; });
    if (!allBytes || (valueCount <= 8 && bitsPerValue <= 8))
        return Reading::Singles;
    if (bitsPerValue <= 8)
        return count <= valueCount ? Reading::Singles : Reading::Pairs;
    if (valueCount > 8)
        return Reading::Pairs;
    if (count == valueCount)
        return Reading::Singles;
    if (count > valueCount && count < 2 * qsizetype(valueCount))
        return Reading::AsWritten;
    return Reading::Pairs;
}

Result refusal(Error error, qsizetype count)
{
    Result result;
    result.error = error;
    result.count = count;
    return result;
}

} // namespace

Numbers numbers(QStringView text, qsizetype limit)
{
    Numbers marked;
    Numbers plain;
    qsizetype wordStart = -1;
    for (qsizetype i = 0; i <= text.size();) {
        char32_t c = 0;
        qsizetype length = 1;
        if (i < text.size()) {
            c = text[i].unicode();
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                c = QChar::surrogateToUcs4(text[i], text[i + 1]);
                length = 2;
            }
        }
        const bool inWord = i < text.size() && isWordCharacter(c);
        if (inWord && wordStart < 0) {
            wordStart = i;
        } else if (!inWord && wordStart >= 0) {
            bool isMarked = false;
            const QStringView digits = numberDigits(text.mid(wordStart, i - wordStart), &isMarked);
            isMarked |= wordStart > 0 && text[wordStart - 1] == u'$';
            if (!digits.isNull()) {
                Numbers &into = isMarked ? marked : plain;
                if (into.count++ < limit)
                    into.kept.push_back({valueOf(digits), digits.data() - text.data(), digits.size(), isMarked});
            }
            wordStart = -1;
        }
        i += length;
    }
    return marked.count > 0 ? marked : plain;
}

Result read(QStringView text, int valueCount, int bitsPerValue)
{
    // Every reading refuses more numbers than two a value, so no more are kept.
    const qsizetype limit = 2 * qsizetype(valueCount) + 1;
    Numbers found = numbers(text, limit);
    std::vector<Number> &kept = found.kept;
    qsizetype count = found.count;
    if (count == 0)
        return refusal(Error::NoNumber, 0);
    if (count == 1 && kept.front().digitCount > kRunTogetherDigits) {
        const Number run = kept.front();
        const qsizetype width = valueCount > 8 ? kRunTogetherDigits : kByteDigits;
        kept.clear();
        for (qsizetype at = 0; at < run.digitCount && qsizetype(kept.size()) < limit; at += width) {
            const QStringView digits = text.mid(run.position + at, std::min(width, run.digitCount - at));
            kept.push_back({valueOf(digits), run.position + at, digits.size(), run.marked});
        }
        count = (run.digitCount + width - 1) / width;
    }

    const Reading reading = readingFor(kept, count, valueCount, bitsPerValue);
    Result result;
    switch (reading) {
    case Reading::Singles:
        if (count > valueCount)
            return refusal(Error::TooManyValues, count);
        for (const Number &number : kept)
            result.values.push_back(number.value);
        break;
    case Reading::Pairs:
        if ((count + 1) / 2 > valueCount)
            return refusal(Error::TooManyPairs, (count + 1) / 2);
        if (count % 2)
            return refusal(Error::OddByteCount, count);
        for (size_t i = 0; i < kept.size(); i += 2)
            result.values.push_back(kept[i].value << 8 | kept[i + 1].value);
        break;
    case Reading::AsWritten: {
        std::vector<quint32> bytes;
        for (const Number &number : kept)
            bytes.push_back(number.value);
        const int ways = readAsWritten(bytes, valueCount, &result.values);
        if (ways != 1)
            return refusal(ways == 0 ? Error::NoSplit : Error::AmbiguousSplit, count);
        break;
    }
    }

    const quint32 largest = bitsPerValue >= 32 ? 0xFFFFFFFFu : (1u << bitsPerValue) - 1;
    for (size_t i = 0; i < result.values.size(); ++i) {
        if (result.values[i] > largest) {
            Result refused = refusal(Error::ValueTooWide, count);
            refused.digits = reading == Reading::Singles
                    ? text.mid(kept[i].position, kept[i].digitCount).toString()
                    : QString::number(result.values[i], 16);
            return refused;
        }
    }
    return result;
}

namespace {
QString plural(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
} // namespace

QString message(const Result &result, BitOrder order, int rows, int cols)
{
    const int valueCount = order.valueCount(rows, cols);
    const int bitsPerValue = order.bitsPerValue(rows, cols);
    const QString lines = QLatin1String(order.isVertical() ? "columns" : "rows");
    const QString bitLines = QLatin1String(order.isVertical() ? "rows" : "columns");
    switch (result.error) {
    case Error::None:
        break;
    case Error::NoNumber:
        return QStringLiteral("The text holds no hexadecimal number to draw.");
    case Error::TooManyValues:
        return QStringLiteral("The text gives %1 values, but the matrix has only %2 %3.")
                .arg(result.count).arg(valueCount).arg(lines);
    case Error::TooManyPairs:
        return QStringLiteral("The text gives %1 values of two bytes, but the matrix has only %2 %3.")
                .arg(result.count).arg(valueCount).arg(lines);
    case Error::OddByteCount:
        return QStringLiteral("The text gives %1, an odd number, so they do not pair up into values of %2 bits.")
                .arg(plural(result.count, "byte", "bytes")).arg(bitsPerValue);
    case Error::NoSplit:
        return QStringLiteral("The %1 bytes do not split into %2 values, one byte for a value up to FF and two "
                              "for a larger one.")
                .arg(result.count).arg(valueCount);
    case Error::AmbiguousSplit:
        return QStringLiteral("The %1 bytes split into %2 values in more than one way: write every value as two "
                              "bytes, high byte first.")
                .arg(result.count).arg(valueCount);
    case Error::ValueTooWide:
        return QStringLiteral("The value %1 has bits beyond the %2 %3 of the matrix.")
                .arg(result.digits.toUpper()).arg(bitsPerValue).arg(bitLines);
    }
    return QString();
}

} // namespace ByteReader
