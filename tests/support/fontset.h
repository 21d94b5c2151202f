#pragma once

#include <QFontDatabase>
#include <QSet>
#include <QString>
#include <QStringList>

// The font set a test program was started on (cmake/FontSets.cmake): CTest
// names it in KELVOR_FONT_SET and points FONTCONFIG_FILE at its fonts. A run
// started by hand has none and takes the system's fonts.
namespace FontSet {

inline QString name()
{
    return qEnvironmentVariable("KELVOR_FONT_SET");
}

// Whether the fonts that the test got are exactly the set it was started on,
// so that a missing package or an ignored fontconfig file fails the test
// rather than letting it pass on other fonts.
inline bool verify(QString *message)
{
    const QString set = name();
    if (set.isEmpty())
        return true;
    QSet<QString> families;
    // The font system also lists its generic names, which are no fonts.
    const QStringList generic = {"Sans Serif", "Serif", "Monospace"};
    for (const QString &family : QFontDatabase::families()) {
        if (!generic.contains(family))
            families.insert(family.section(QLatin1String(" ["), 0, 0));
    }
    const QStringList dejavu = {"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif"};
    QStringList expected = dejavu;
    if (set == QLatin1String("dejavu-urw"))
        expected << "Nimbus Sans" << "Nimbus Roman" << "Nimbus Mono PS";
    else if (set != QLatin1String("dejavu")) {
        *message = QStringLiteral("unknown font set %1").arg(set);
        return false;
    }
    QStringList missing;
    for (const QString &family : expected) {
        if (!families.contains(family))
            missing << family;
    }
    if (!missing.isEmpty()) {
        *message = QStringLiteral("font set %1 lacks %2 (FONTCONFIG_FILE=%3); install fonts-dejavu-core%4")
                           .arg(set, missing.join(QLatin1String(", ")), qEnvironmentVariable("FONTCONFIG_FILE"),
                                set == QLatin1String("dejavu-urw") ? QStringLiteral(" and fonts-urw-base35")
                                                                   : QString());
        return false;
    }
    if (set == QLatin1String("dejavu") && families != QSet<QString>(dejavu.begin(), dejavu.end())) {
        *message = QStringLiteral("font set dejavu has other fonts too: %1 (is FONTCONFIG_FILE honoured?)")
                           .arg(QStringList(families.values()).join(QLatin1String(", ")));
        return false;
    }
    return true;
}

} // namespace FontSet
