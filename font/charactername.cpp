#include "charactername.h"

#include "codepoints.h"

#include <QChar>
#include <QStringList>

#ifdef KELVOR_HAVE_ICU
#include <unicode/uchar.h>
#endif

namespace CharacterName {

namespace {
// Letters, digits, punctuation and symbols; what else a screen reader would
// get as the character itself it would read as silence or a stray sound.
bool readsAsItself(int codePoint)
{
    switch (QChar::category(char32_t(codePoint))) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return false;
    default:
        return true;
    }
}

#ifdef KELVOR_HAVE_ICU
QString icuName(int codePoint, UCharNameChoice choice)
{
    char name[128];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = u_charName(UChar32(codePoint), choice, name, sizeof name, &status);
    return U_SUCCESS(status) ? QString::fromLatin1(name, length) : QString();
}
#endif
} // namespace

QString unicodeName(int codePoint)
{
    if (codePoint < 0 || codePoint > CodePoints::kMax)
        return QString();
#ifdef KELVOR_HAVE_ICU
    const QString corrected = icuName(codePoint, U_CHAR_NAME_ALIAS);
    return corrected.isEmpty() ? icuName(codePoint, U_UNICODE_CHAR_NAME) : corrected;
#else
    return QString();
#endif
}

QString spoken(int codePoint, const QByteArray &glyphName, bool blank)
{
    QStringList parts;
    if (codePoint < 0 || codePoint > CodePoints::kMax) {
        parts << QString::fromLatin1(glyphName);
    } else {
        QString code = CodePoints::name(codePoint);
        if (readsAsItself(codePoint)) {
            const char32_t character = char32_t(codePoint);
            code += QLatin1Char(' ') + QString::fromUcs4(&character, 1);
        }
        parts << code;
        const QString name = unicodeName(codePoint);
        if (!name.isEmpty())
            parts << name;
        else if (!glyphName.isEmpty())
            parts << QString::fromLatin1(glyphName);
    }
    if (blank)
        parts << QStringLiteral("blank");
    return parts.join(QLatin1String(", "));
}

} // namespace CharacterName
