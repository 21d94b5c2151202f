#include "exportcommand.h"

#include "exportarguments.h"
#include "glyphexport.h"
#include "glyphsetfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtGlobal>
#include <QSaveFile>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace ExportCommand {

namespace {
const char kProgram[] = "KELVOR21";
constexpr qsizetype kWriteChunk = 256 * 1024;
// The code points an outline font is rendered for when --range gives none:
// printable ASCII.
constexpr int kFirstPrintable = 0x20;
constexpr int kLastPrintable = 0x7E;

QString usage()
{
    return QStringLiteral(
        "Usage: KELVOR21                      start the window\n"
        "       KELVOR21 export FONT [OPTION...]\n"
        "\n"
        "Writes the glyphs of FONT as source code, one line per glyph in the font's\n"
        "order: the line that \"Copy to Text\" writes for that glyph's readout, ending\n"
        "in CR LF. FONT is a BDF or PSF font (PSF also gzip-compressed), C or\n"
        "assembler source, a picture (PNG, BMP, ...) or a TrueType or OpenType font.\n"
        "\n"
        "  --orientation vert|horiz|horiz-ltr\n"
        "                      one value per column, top cell bit 0 (vert), or per\n"
        "                      row, rightmost cell bit 0 (horiz) or leftmost\n"
        "                      (horiz-ltr); default horiz\n"
        "  --prefix TEXT       written before each byte; default $\n"
        "  --delimiter TEXT    written after each byte; default ,\n"
        "  --comments          end each line with a comment: // U+0041 'A'\n"
        "  --range A-B,C,...   only these code points, written U+0041, 0x41 or 65\n"
        "  -o FILE             write FILE (whole or not at all), not standard output\n"
        "  --check FILE        write nothing; exit 1 if FILE is not what the export\n"
        "                      would write, naming the first glyph that differs\n"
        "  --size COLSxROWS    arrays and pictures: the matrix; default 8x8\n"
        "  --first CODE        arrays and pictures: the first glyph's code point;\n"
        "                      default 0x20\n"
        "  --threshold N       pictures: a pixel darker than grey level N is set;\n"
        "                      default 128\n"
        "  --pixel-size N      outline fonts: the size rendered at; default 12. Their\n"
        "                      code points come from --range; default 32-126\n"
        "  --help, --version\n"
        "\n"
        "A BDF font saved by KELVOR 2 brings its orientation, prefix and delimiter as\n"
        "the defaults.\n"
        "Exit status: 0 done, 1 --check found a difference, 2 bad usage or input.\n");
}

// Qt's own notes (a missing runtime folder, a font engine's remark) would add
// lines to standard error that a script cannot tell from a fault; only its
// critical messages pass.
void qtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s: %s\n", kProgram, message.toLocal8Bit().constData());
}

// Messages are one line each, whatever a file name or a reader put in them.
void fail(const QString &message)
{
    QString line = message;
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    std::fprintf(stderr, "%s: %s\n", kProgram, line.toLocal8Bit().constData());
}

int usageError(const QString &what)
{
    fail(QStringLiteral("export: %1 (see KELVOR21 export --help)").arg(what));
    return kBadInput;
}

void print(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// What an option that the file's kind does not read would silently change
// nothing of: refused, so that a script learns it at once.
QString unusedOption(const ExportArguments &arguments, GlyphSetFile::Kind kind)
{
    using Kind = GlyphSetFile::Kind;
    const bool cut = kind == Kind::Array || kind == Kind::Image;
    if (arguments.size && !cut)
        return QStringLiteral("--size");
    if (arguments.firstCodePoint && !cut)
        return QStringLiteral("--first");
    if (arguments.threshold && kind != Kind::Image)
        return QStringLiteral("--threshold");
    if (arguments.pixelSize && kind != Kind::OutlineFont)
        return QStringLiteral("--pixel-size");
    return {};
}

GlyphSetFile::Options readerOptions(const ExportArguments &arguments, BitOrder order)
{
    GlyphSetFile::Options options;
    if (arguments.size) {
        options.array.cols = options.image.cols = arguments.size->first;
        options.array.rows = options.image.rows = arguments.size->second;
    }
    if (arguments.firstCodePoint)
        options.array.firstCodePoint = options.image.firstCodePoint = *arguments.firstCodePoint;
    // Arrays are read in the bit order they are written in.
    options.array.order = order;
    if (arguments.threshold)
        options.image.threshold = *arguments.threshold;
    if (arguments.pixelSize)
        options.outline.pixelSize = *arguments.pixelSize;
    const QList<QPair<int, int>> ranges = arguments.ranges.isEmpty()
            ? QList<QPair<int, int>>{{kFirstPrintable, kLastPrintable}}
            : arguments.ranges;
    for (const auto &range : ranges) {
        for (int code = range.first; code <= range.second; ++code)
            options.outline.codePoints.append(code);
    }
    return options;
}

// Writes the export to `device` in chunks, never holding all of it. Returns
// false when the device refuses.
bool writeExport(QIODevice &device, const GlyphSet &set, const GlyphExport::Options &options)
{
    QByteArray chunk;
    chunk.reserve(kWriteChunk + 4096);
    bool ok = true;
    GlyphExport::forEachLine(set, options, [&](qsizetype, const QString &line) {
        chunk += line.toUtf8();
        if (chunk.size() >= kWriteChunk) {
            ok = ok && device.write(chunk) == chunk.size();
            chunk.clear();
        }
    });
    return ok && device.write(chunk) == chunk.size();
}

int exportSet(const ExportArguments &arguments, const GlyphSet &set, const GlyphExport::Options &options)
{
    if (!arguments.checkFile.isEmpty()) {
        QFile existing(arguments.checkFile);
        if (QFileInfo(arguments.checkFile).isDir() || !existing.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("%1: cannot be read: %2").arg(arguments.checkFile,
                 QFileInfo(arguments.checkFile).isDir() ? QStringLiteral("it is a folder") : existing.errorString()));
            return kBadInput;
        }
        const GlyphExport::Difference difference = GlyphExport::check(existing, set, options);
        if (difference.same())
            return kDone;
        fail(QStringLiteral("%1: line %2: %3").arg(arguments.checkFile).arg(difference.line).arg(difference.what));
        return kDiffers;
    }

    if (!arguments.outputFile.isEmpty()) {
        QSaveFile file(arguments.outputFile);
        if (!file.open(QIODevice::WriteOnly) || !writeExport(file, set, options) || !file.commit()) {
            fail(QStringLiteral("%1: cannot be written: %2").arg(arguments.outputFile, file.errorString()));
            return kBadInput;
        }
        return kDone;
    }

#ifdef Q_OS_WIN
    // CR LF as the export has them, not CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || !writeExport(out, set, options) || !out.flush()) {
        fail(QStringLiteral("standard output: cannot be written: %1").arg(out.errorString()));
        return kBadInput;
    }
    return kDone;
}
} // namespace

bool isRequested(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const QByteArray first(argv[1]);
    return first == "export" || first == "--help" || first == "--version";
}

int run(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 2; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (QByteArray(argv[1]) != "export")
        arguments.prepend(QString::fromLocal8Bit(argv[1]));

    ExportArguments parsed;
    const QString error = parsed.parse(arguments);
    if (!error.isEmpty())
        return usageError(error);
    if (parsed.action == ExportArguments::Action::Help) {
        print(usage());
        return kDone;
    }
    if (parsed.action == ExportArguments::Action::Version) {
        print(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QStringLiteral(KELVOR_VERSION)));
        return kDone;
    }

    const GlyphSetFile::Kind kind = GlyphSetFile::kindOf(parsed.font);
    const QString unused = unusedOption(parsed, kind);
    if (!unused.isEmpty())
        return usageError(QStringLiteral("%1 does not apply to %2").arg(unused, parsed.font));

    // The application object is made only now that the file's kind is known:
    // Qt's font engine needs a QGuiApplication, which gets the offscreen
    // platform so that it never looks for a display. Its arguments are ours
    // alone, so that nothing the user passed is taken for a Qt option.
    qInstallMessageHandler(qtMessage);
    int appArgc = 1;
    char *appArgv[] = {argv[0], const_cast<char *>("-platform"), const_cast<char *>("offscreen"), nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (kind == GlyphSetFile::Kind::OutlineFont) {
        appArgc = 3;
        app = std::make_unique<QGuiApplication>(appArgc, appArgv);
    } else {
        app = std::make_unique<QCoreApplication>(appArgc, appArgv);
    }

    const ExportOptions defaults;
    const BitOrder order = parsed.order.value_or(defaults.order);
    const ReadResult read = GlyphSetFile::open(parsed.font, readerOptions(parsed, order));
    if (!read.ok()) {
        fail(read.error);
        return kBadInput;
    }
    const GlyphSet &set = *read.set;

    GlyphExport::Options options;
    options.output = set.exportOptions.value_or(defaults);
    if (parsed.order)
        options.output.order = *parsed.order;
    if (parsed.prefix)
        options.output.prefix = *parsed.prefix;
    if (parsed.delimiter)
        options.output.delimiter = *parsed.delimiter;
    options.comments = parsed.comments;
    options.ranges = parsed.ranges;

    // An export of nothing is a range that misses the font, or an empty
    // font: worth saying rather than writing an empty file.
    bool any = false;
    for (const Glyph &glyph : set.glyphs())
        any = any || GlyphExport::keeps(glyph, options);
    if (!any) {
        fail(parsed.ranges.isEmpty() ? QStringLiteral("%1: the font holds no glyphs").arg(parsed.font)
                                     : QStringLiteral("%1: no glyph lies in --range").arg(parsed.font));
        return kBadInput;
    }
    return exportSet(parsed, set, options);
}

} // namespace ExportCommand
