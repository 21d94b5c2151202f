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

// The numbers of a text, as their digits, the first `limit` of them kept and
// all of them counted. Where any number is marked as hexadecimal ("0x" or
// "h", or "$" in front), the words without a mark are names, not numbers:
// "a" in "uint8_t a[] = { 0x7F };" or "db" in "db 7Fh, 08h".
struct Numbers
{
    std::vector<QStringView> kept;
    qsizetype count = 0;
};

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
                    into.kept.push_back(digits);
            }
            wordStart = -1;
        }
        i += length;
    }
    return marked.count > 0 ? marked : plain;
}

// The number's value, or more than 0xFFFF when it has more than 4 digits
// after its leading zeros.
quint32 valueOf(QStringView digits)
{
    while (digits.size() > 1 && digits[0] == u'0')
        digits = digits.mid(1);
    if (digits.size() > kRunTogetherDigits)
        return 0x10000;
    return digits.toUInt(nullptr, 16);
}

QString plural(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
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

} // namespace

Result read(QStringView text, int valueCount, int bitsPerValue, bool vertical)
{
    const QString cells = QLatin1String(vertical ? "columns" : "rows");
    const QString bitLines = QLatin1String(vertical ? "rows" : "columns");
    Result result;

    // Every reading refuses more numbers than two a value, so no more are kept.
    const qsizetype limit = 2 * qsizetype(valueCount) + 1;
    Numbers numbersFound = numbers(text, limit);
    std::vector<QStringView> &found = numbersFound.kept;
    qsizetype count = numbersFound.count;
    if (count == 0) {
        result.error = QStringLiteral("The text holds no hexadecimal number to draw.");
        return result;
    }
    if (count == 1 && found.front().size() > kRunTogetherDigits) {
        const QStringView run = found.front();
        const qsizetype width = valueCount > 8 ? kRunTogetherDigits : kByteDigits;
        found.clear();
        for (qsizetype at = 0; at < run.size() && qsizetype(found.size()) < limit; at += width)
            found.push_back(run.mid(at, width));
        count = (run.size() + width - 1) / width;
    }

    // A count beyond what is kept is refused below before any value is read.
    const bool allBytes = std::all_of(found.begin(), found.end(),
                                      [](QStringView digits) { return digits.size() <= kByteDigits; });
    // Bytes pair up where Copy to Text would have written four digits a value:
    // always above 8 values; with 8 or fewer only for values above FF, which
    // is why exactly one byte a value reads one value a byte there, and why
    // between one and two bytes a value are read as the readout writes them.
    enum { Singles, Pairs, AsWritten } reading = Singles;
    if (allBytes && (valueCount > 8 || bitsPerValue > 8)) {
        if (bitsPerValue <= 8)
            reading = count <= valueCount ? Singles : Pairs;
        else if (valueCount > 8)
            reading = Pairs;
        else if (count == valueCount)
            reading = Singles;
        else if (count > valueCount && count < 2 * valueCount)
            reading = AsWritten;
        else
            reading = Pairs;
    }

    std::vector<quint32> numbersRead;
    numbersRead.reserve(found.size());
    for (QStringView digits : found)
        numbersRead.push_back(valueOf(digits));

    switch (reading) {
    case Singles:
        if (count > valueCount) {
            result.error = QStringLiteral("The text gives %1 values, but the matrix has only %2 %3.")
                                   .arg(count).arg(valueCount).arg(cells);
            return result;
        }
        result.values = std::move(numbersRead);
        break;
    case Pairs:
        if ((count + 1) / 2 > valueCount) {
            result.error = QStringLiteral("The text gives %1 values of two bytes, but the matrix has only %2 %3.")
                                   .arg((count + 1) / 2).arg(valueCount).arg(cells);
            return result;
        }
        if (count % 2) {
            result.error = QStringLiteral("The text gives %1, an odd number, so they do not pair up into "
                                          "values of %2 bits.")
                                   .arg(plural(count, "byte", "bytes")).arg(bitsPerValue);
            return result;
        }
        for (qsizetype i = 0; i < count; i += 2)
            result.values.push_back(numbersRead[size_t(i)] << 8 | numbersRead[size_t(i) + 1]);
        break;
    case AsWritten: {
        const int ways = readAsWritten(numbersRead, valueCount, &result.values);
        if (ways == 0) {
            result.error = QStringLiteral("The %1 bytes do not split into %2 values, one byte for a value up to "
                                          "FF and two for a larger one.")
                                   .arg(count).arg(valueCount);
            return result;
        }
        if (ways > 1) {
            result.error = QStringLiteral("The %1 bytes split into %2 values in more than one way: write every "
                                          "value as two bytes, high byte first.")
                                   .arg(count).arg(valueCount);
            return result;
        }
        break;
    }
    }

    const quint32 largest = bitsPerValue >= 32 ? 0xFFFFFFFFu : (1u << bitsPerValue) - 1;
    for (size_t i = 0; i < result.values.size(); ++i) {
        if (result.values[i] > largest) {
            const QString shown = reading == Singles ? found[i].toString().toUpper()
                                                     : QString::number(result.values[i], 16).toUpper();
            result.error = QStringLiteral("The value %1 has bits beyond the %2 %3 of the matrix.")
                                   .arg(shown).arg(bitsPerValue).arg(bitLines);
            result.values.clear();
            return result;
        }
    }
    return result;
}

} // namespace ByteReader
