#include "commandoptions.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

// Writes the manual page at build time: its template, with the comment line
// that begins with kMarker replaced by the export command's options, one
// tagged paragraph each, from the table that the parser and --help use.
//
//   kelvor_manualpage TEMPLATE PAGE
namespace {

const QLatin1String kMarker(".\\\" OPTIONS:");

// Text as roff prints it as typed: a backslash, a minus sign rather than a
// hyphen, straight quotes; a line never begins with a control character.
QString escaped(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            result += QLatin1String("\\e");
        else if (c == QLatin1Char('-'))
            result += QLatin1String("\\-");
        else if (c == QLatin1Char('\''))
            result += QLatin1String("\\(aq");
        else if (c == QLatin1Char('"'))
            result += QLatin1String("\\(dq");
        else
            result += c;
    }
    return result.startsWith(QLatin1Char('.')) ? QLatin1String("\\&") + result : result;
}

// ".TP", the option's names in bold and its value, a placeholder in
// italics; then its help, one sentence a line as roff wants them.
QString paragraph(const CommandOptions::Option &option)
{
    QStringList names;
    for (const QString &name : option.names)
        names << QStringLiteral("\\fB%1\\fR").arg(escaped((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name));
    QString tag = names.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty()) {
        tag += CommandOptions::listsValues(option) ? QLatin1Char(' ') + escaped(option.valueName)
                                                   : QStringLiteral(" \\fI%1\\fR").arg(escaped(option.valueName));
    }
    static const QRegularExpression sentenceEnd(QStringLiteral("\\. (?=[A-Z])"));
    QString help = option.help;
    help.replace(sentenceEnd, QStringLiteral(".\n"));
    QStringList lines;
    for (const QString &line : help.split(QLatin1Char('\n')))
        lines << escaped(line);
    return QStringLiteral(".TP\n%1\n%2\n").arg(tag, lines.join(QLatin1Char('\n')));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TEMPLATE PAGE\n", argv[0]);
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(in.errorString()));
        return 1;
    }
    QString page = QString::fromUtf8(in.readAll());
    const qsizetype at = page.indexOf(QLatin1Char('\n') + kMarker) + 1;
    const qsizetype end = page.indexOf(QLatin1Char('\n'), at);
    if (at == 0 || end < 0) {
        std::fprintf(stderr, "%s: no line '%s ...' to put the options in\n", argv[1], qPrintable(QString(kMarker)));
        return 1;
    }
    QString options;
    for (const CommandOptions::Option &option : CommandOptions::all())
        options += paragraph(option);
    page.replace(at, end + 1 - at, options);

    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0 || !out.flush()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
