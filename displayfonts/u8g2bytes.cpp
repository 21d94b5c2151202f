#include "u8g2bytes.h"

#include "glyphset.h"

#include <QList>

namespace U8g2Bytes {

namespace {
constexpr char kRunBits[] = "KELVOR_U8G2_RUN_BITS";
constexpr char kBlanks[] = "KELVOR_U8G2_BLANKS";

// The numbers of a property's value, quoted or not; none where it holds
// anything else.
std::optional<QList<int>> numbers(const QByteArray &value)
{
    QByteArray trimmed = value.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith('"') && trimmed.endsWith('"'))
        trimmed = trimmed.mid(1, trimmed.size() - 2);
    QList<int> result;
    for (const QByteArray &word : trimmed.split(' ')) {
        if (word.isEmpty())
            continue;
        bool ok = false;
        result.append(word.toInt(&ok));
        if (!ok)
            return std::nullopt;
    }
    return result;
}

bool isSigned(int value)
{
    return value >= kMinSigned && value <= kMaxSigned;
}
} // namespace

Kept kept(const GlyphSet &set)
{
    Kept result;
    for (const auto &[name, value] : set.properties) {
        const std::optional<QList<int>> list = numbers(value);
        if (!list)
            continue;
        if (name == kRunBits && list->size() == 2 && list->at(0) >= kMinZeroBits && list->at(0) <= kMaxFieldBits
            && list->at(1) >= kMinOneBits && list->at(1) <= kMaxFieldBits)
            result.runBits = std::pair(list->at(0), list->at(1));
        if (name != kBlanks || list->size() % 3 != 0)
            continue;
        for (qsizetype i = 0; i < list->size(); i += 3) {
            if (list->at(i) >= 0 && list->at(i) <= kLastCode && isSigned(list->at(i + 1)) && isSigned(list->at(i + 2)))
                result.blanks[list->at(i)] = {list->at(i + 1), list->at(i + 2)};
        }
    }
    return result;
}

void keep(const Kept &what, GlyphSet *set)
{
    set->properties.removeIf([](const QPair<QByteArray, QByteArray> &property) {
        return property.first == kRunBits || property.first == kBlanks;
    });
    if (what.runBits)
        set->properties.append({kRunBits, '"' + QByteArray::number(what.runBits->first) + ' '
                                                  + QByteArray::number(what.runBits->second) + '"'});
    if (what.blanks.empty())
        return;
    QByteArray blanks;
    for (const auto &[code, place] : what.blanks) {
        if (!blanks.isEmpty())
            blanks += ' ';
        blanks += QByteArray::number(code) + ' ' + QByteArray::number(place.first) + ' '
                + QByteArray::number(place.second);
    }
    set->properties.append({kBlanks, '"' + blanks + '"'});
}

} // namespace U8g2Bytes
