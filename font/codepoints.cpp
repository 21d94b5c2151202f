#include "codepoints.h"

#include "hexdigits.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace CodePoints {

bool parse(QStringView text, int *codePoint)
{
    text = text.trimmed();
    int base = 10;
    if (text.startsWith(u"U+", Qt::CaseInsensitive) || text.startsWith(u"0x", Qt::CaseInsensitive)) {
        text = text.mid(2);
        base = 16;
    }
    // toUInt() would take a sign or blanks; only digits are a code point.
    if (text.isEmpty() || text.size() > 8)
        return false;
    for (const QChar c : text) {
        if (base == 10 ? !c.isDigit() : !isxdigit(c.toLatin1()))
            return false;
    }
    bool ok = false;
    const uint value = text.toUInt(&ok, base);
    if (!ok || value > uint(kMax))
        return false;
    *codePoint = int(value);
    return true;
}

bool parseCharacter(QStringView text, int *codePoint)
{
    const QStringView trimmed = text.trimmed();
    // A blank typed alone is the space character, not nothing.
    const QStringView character = trimmed.isEmpty() ? text : trimmed;
    const QList<uint> codes = character.toUcs4();
    if (codes.size() == 1) {
        *codePoint = int(codes.front());
        return true;
    }
    return parse(character, codePoint);
}

bool parseRanges(QStringView text, Ranges *ranges, QString *error)
{
    Ranges result;
    for (QStringView part : text.split(u',')) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        // The dash that joins a range; a leading one would be a sign.
        const qsizetype dash = part.indexOf(u'-', 1);
        const QStringView first = dash < 0 ? part : part.left(dash);
        const QStringView last = dash < 0 ? part : part.mid(dash + 1);
        int from = 0;
        int to = 0;
        if (!parse(first, &from) || !parse(last, &to)) {
            *error = QStringLiteral("\"%1\" is no code point or range of them (write 65, 0x41 or U+0041, "
                                    "and ranges as 32-126)")
                             .arg(part.toString());
            return false;
        }
        if (to < from) {
            *error = QStringLiteral("the range \"%1\" runs backwards").arg(part.toString());
            return false;
        }
        result.append({from, to});
    }
    if (result.isEmpty()) {
        *error = QStringLiteral("no code points are given");
        return false;
    }
    *ranges = result;
    return true;
}

QString format(const Ranges &ranges)
{
    QStringList parts;
    for (const auto &[from, to] : ranges)
        parts << (from == to ? QString::number(from) : QStringLiteral("%1-%2").arg(from).arg(to));
    return parts.join(QLatin1Char(','));
}

bool contains(const Ranges &ranges, int codePoint)
{
    for (const auto &[from, to] : ranges) {
        if (codePoint >= from && codePoint <= to)
            return true;
    }
    return false;
}

QList<int> expanded(const Ranges &ranges)
{
    QList<int> codePoints;
    std::vector<bool> seen(size_t(kMax) + 1);
    for (const auto &[from, to] : ranges) {
        for (int c = std::max(from, 0); c <= std::min(to, kMax); ++c) {
            if (!seen[size_t(c)]) {
                seen[size_t(c)] = true;
                codePoints.append(c);
            }
        }
    }
    return codePoints;
}

bool overlaps(const Remaps &earlier, const Remap &remap)
{
    return std::any_of(earlier.begin(), earlier.end(), [&remap](const Remap &other) {
        return remap.first <= other.last && other.first <= remap.last;
    });
}

bool parseRemaps(QStringView text, Remaps *remaps, QString *error)
{
    Remaps result;
    for (QStringView part : text.split(u',')) {
        part = part.trimmed();
        if (part.isEmpty())
            continue;
        const qsizetype colon = part.indexOf(u':');
        Ranges from;
        int to = 0;
        QString rangeError;
        if (colon < 0 || !parseRanges(part.left(colon), &from, &rangeError) || from.size() != 1
            || !parse(part.mid(colon + 1), &to)) {
            *error = QStringLiteral("\"%1\" is not a range and where it goes, such as U+0410-U+044F:0xC0")
                             .arg(part.toString());
            return false;
        }
        const Remap remap{from.front().first, from.front().second, to};
        if (qint64(to) + (remap.last - remap.first) > kMax) {
            *error = QStringLiteral("\"%1\" runs past U+10FFFF").arg(part.toString());
            return false;
        }
        if (overlaps(result, remap)) {
            *error = QStringLiteral("\"%1\" overlaps an earlier range").arg(part.toString());
            return false;
        }
        result.append(remap);
    }
    if (result.isEmpty()) {
        *error = QStringLiteral("no code points are given");
        return false;
    }
    *remaps = result;
    return true;
}

int remapped(const Remaps &remaps, int codePoint)
{
    for (const Remap &remap : remaps) {
        if (codePoint >= remap.first && codePoint <= remap.last)
            return remap.to + (codePoint - remap.first);
    }
    return codePoint;
}

QString name(int codePoint)
{
    char text[10];
    return QString::fromLatin1(text, writeName(codePoint, text));
}

int writeName(int codePoint, char *out)
{
    const quint32 value = quint32(std::max(codePoint, 0));
    int digits = 4;
    while (digits < 8 && value >> (4 * digits))
        ++digits;
    out[0] = 'U';
    out[1] = '+';
    for (int i = 0; i < digits; ++i)
        out[2 + i] = kHexDigits[value >> (4 * (digits - 1 - i)) & 0xF];
    return 2 + digits;
}

QByteArray glyphName(int codePoint)
{
    char text[10];
    const int length = writeName(codePoint, text);
    // The digits of "U+0041" after the "U+".
    return (codePoint <= 0xFFFF ? QByteArrayLiteral("uni") : QByteArrayLiteral("u")) + QByteArray(text + 2, length - 2);
}

} // namespace CodePoints
