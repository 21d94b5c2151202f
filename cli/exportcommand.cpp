#include "exportcommand.h"

#include "bdfformat.h"
#include "codepoints.h"
#include "exportarguments.h"
#include "fontexport.h"
#include "firmwaresource.h"
#include "fontfile.h"
#include "glyphexport.h"
#include "programmodule.h"
#include "renderedfonts.h"
#include "replacingfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace ExportCommand {

namespace {
const char kProgram[] = "KELVOR21";

QString usage()
{
    return QStringLiteral(
        "Usage: KELVOR21                      start the window\n"
        "       KELVOR21 export FONT [OPTION...]\n"
        "\n"
        "Writes the glyphs of FONT as source code: by default one line per glyph in the\n"
        "font's order, the line that \"Copy to Text\" writes for that glyph's readout,\n"
        "ending in CR LF; with --format, a C header or a font for a display library.\n"
        "FONT is a BDF or PSF font (PSF also gzip-compressed), C or assembler source,\n"
        "a picture (PNG, BMP, ...) or a TrueType or OpenType font. Source code that\n"
        "holds fonts for display libraries (a GFXfont, u8g2 and u8x8 fonts, OLED,\n"
        "LVGL and LED-matrix fonts, this program's pages and c headers) is read as\n"
        "those fonts, their metrics kept.\n"
        "\n")
        + CommandOptions::helpList()
        + QStringLiteral(
        "\n"
        "A BDF font saved by KELVOR 2 brings its orientation, prefix and delimiter as\n"
        "the defaults; a font read from a display library's source brings its C name,\n"
        "page order and widths.\n"
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

QString usageText(const QString &what)
{
    return QStringLiteral("export: %1 (see KELVOR21 export --help)").arg(what);
}

int usageError(const QString &what)
{
    fail(usageText(what));
    return kBadInput;
}

void print(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// Writes the export to `device` in parts, never holding all of it. Returns
// false when the device refuses.
bool writeExport(QIODevice &device, const GlyphSet &set, const GlyphExport::Options &options)
{
    bool ok = true;
    GlyphExport::write(set, options, [&](QByteArrayView part) {
        ok = ok && device.write(part.data(), part.size()) == part.size();
    });
    return ok;
}

// The readers of pictures and outline fonts, from their module; null when it
// cannot be loaded, the reason said.
const RenderedFonts *renderedFonts()
{
    QString error;
    const auto entry = reinterpret_cast<RenderedFontsEntry>(
            ProgramModule::resolve(ProgramModule::RenderedFonts, kRenderedFontsEntry, &error));
    if (!entry)
        fail(error);
    return entry ? entry() : nullptr;
}

// The kind of a font that begins with `head`: QtCore tells most files;
// where only the picture readers can, they are asked.
std::optional<FontKind::Kind> kindOf(const QByteArray &head, const QString &fileName)
{
    if (const std::optional<FontKind::Kind> kind = FontKind::withoutPictures(head, fileName))
        return kind;
    const RenderedFonts *rendered = renderedFonts();
    if (!rendered)
        return std::nullopt;
    return rendered->kindOf(head, fileName);
}

OpenOptions readerOptions(const ExportArguments &arguments, FontKind::Kind kind)
{
    OpenOptions options;
    if (arguments.size) {
        options.array.cols = options.image.cols = arguments.size->first;
        options.array.rows = options.image.rows = arguments.size->second;
    }
    if (arguments.firstCodePoint)
        options.array.firstCodePoint = options.image.firstCodePoint = *arguments.firstCodePoint;
    // Arrays are read in the bit order they are written in.
    options.array.order = arguments.order.value_or(ExportOptions().order);
    if (arguments.threshold)
        options.image.threshold = *arguments.threshold;
    if (arguments.pixelSize)
        options.outline.pixelSize = *arguments.pixelSize;
    if (kind == FontKind::Kind::OutlineFont) {
        options.outline.codePoints = CodePoints::expanded(
                arguments.ranges.isEmpty()
                        ? CodePoints::Ranges{{CodePoints::kFirstPrintable, CodePoints::kLastPrintable}}
                        : arguments.ranges);
    }
    return options;
}

// 1. The arguments. An exit status where the command ends with them: the
// usage, the version, or what is wrong with them.
std::optional<int> parse(int argc, char *argv[], ExportArguments *arguments)
{
    QStringList words;
    for (int i = 2; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    if (QByteArray(argv[1]) != "export")
        words.prepend(QString::fromLocal8Bit(argv[1]));

    const QString error = arguments->parse(words);
    if (!error.isEmpty())
        return usageError(error);
    switch (arguments->action) {
    case ExportArguments::Action::Help:
        print(usage());
        return kDone;
    case ExportArguments::Action::Version:
        print(QStringLiteral("%1 %2\n").arg(QLatin1String(kProgram), QStringLiteral(KELVOR_VERSION)));
        return kDone;
    case ExportArguments::Action::Export:
        break;
    }
    return std::nullopt;
}

// Source code is first asked for fonts of display libraries: the one --font
// names. None where it holds none, for it to be read as arrays of numbers.
std::optional<ReadResult> readFirmware(const ExportArguments &arguments, const QByteArray &bytes)
{
    const FirmwareSource::Scan firmware = FirmwareSource::scan(bytes, arguments.font);
    if (!firmware.ok())
        return ReadResult::failure(firmware.error);
    if (firmware.fonts.empty()) {
        if (arguments.fontName.isEmpty())
            return std::nullopt;
        return ReadResult::failure(
                QStringLiteral("%1: holds no font for a display library, so --font does not apply").arg(arguments.font));
    }
    for (const CommandOptions::Id id : {CommandOptions::Id::Size, CommandOptions::Id::First}) {
        if (arguments.given.contains(id))
            return ReadResult::failure(usageText(QStringLiteral("%1 does not apply to %2, which holds fonts for display "
                                                                "libraries")
                                                         .arg(CommandOptions::firstName(CommandOptions::option(id)),
                                                              arguments.font)));
    }
    return FirmwareSource::read(firmware, arguments.font, arguments.fontName);
}

// Pictures and outline fonts, read through their module with the
// application object they need. False where the module cannot be loaded,
// the reason said.
bool readRendered(const ExportArguments &arguments, FontKind::Kind kind, const QByteArray &bytes, char *program,
                  ReadResult *read)
{
    const RenderedFonts *rendered = renderedFonts();
    if (!rendered)
        return false;
    // Qt's font engine needs a QGuiApplication, which gets the offscreen
    // platform so that it never looks for a display. Its arguments are
    // ours alone, so that nothing the user passed is taken for a Qt
    // option.
    int appArgc = 1;
    char *appArgv[] = {program, const_cast<char *>("-platform"), const_cast<char *>("offscreen"), nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (kind == FontKind::Kind::OutlineFont) {
        appArgc = 3;
        app.reset(rendered->guiApplication(appArgc, appArgv));
    } else {
        app = std::make_unique<QCoreApplication>(appArgc, appArgv);
    }
    // Qt's font engine keeps an outline font's bytes: a copy of its own.
    const QByteArray owned(bytes.constData(), bytes.size());
    *read = rendered->read(owned, arguments.font, kind, readerOptions(arguments, kind));
    return true;
}

// 2. The font, read by the reader its kind needs; none where it cannot be,
// the reason said. The file is read once, its kind told from its bytes, so
// that a pipe is read as a file is. Pictures and outline fonts are read
// through their module, with the application object they need; BDF, PSF
// and source code need none.
ReadResult open(const ExportArguments &arguments, char *program)
{
    FontFile::View file;
    QString error;
    if (!file.load(arguments.font, &error)) {
        fail(error);
        return {};
    }
    const QByteArray &bytes = file.bytes();
    const std::optional<FontKind::Kind> kind
            = kindOf(bytes.left(FontKind::kHeadBytes), QFileInfo(arguments.font).fileName());
    if (!kind)
        return {};
    if (const std::optional<CommandOptions::Id> unused = arguments.unusedBy(*kind)) {
        usageError(QStringLiteral("%1 does not apply to %2")
                           .arg(CommandOptions::firstName(CommandOptions::option(*unused)), arguments.font));
        return {};
    }

    ReadResult read;
    if (std::optional<ReadResult> firmware = *kind == FontKind::Kind::Array ? readFirmware(arguments, bytes) : std::nullopt)
        read = std::move(*firmware);
    else if (*kind == FontKind::Kind::Bdf)
        // A font too large to open whole opens for the glyphs of --range.
        read = BdfFormat::readFor(bytes, arguments.font, arguments.ranges);
    else if (!FontKind::needsQtGui(*kind))
        read = FontFile::read(bytes, arguments.font, *kind, readerOptions(arguments, *kind).array);
    else if (!readRendered(arguments, *kind, bytes, program, &read))
        return {};
    // A file that another program wrote while it was read gives no font,
    // whatever the reader made of it.
    if (!file.unchanged(&error)) {
        fail(error);
        return {};
    }
    if (!read.ok()) {
        fail(read.error);
        return {};
    }
    // A font opened in part is written whole, or not at all.
    if (arguments.bdf && read.fontGlyphs > 0 && !read.bdfSource) {
        fail(QStringLiteral("%1: %L2 of its %L3 glyphs fit in 16 x 16 cells together, and --format bdf writes a "
                            "font whole or not at all").arg(arguments.font).arg(read.set->size()).arg(read.fontGlyphs));
        return {};
    }
    // What the reader forgave (a file cut short after its last glyph) is
    // said, and the export goes on; so is a font of which only some glyphs
    // fit, unless --range chose them.
    for (const QString &note : read.notes)
        fail(QStringLiteral("%1: %2").arg(arguments.font, note));
    if (read.fontGlyphs > 0 && arguments.ranges.isEmpty() && !arguments.bdf)
        fail(QStringLiteral("%1: %L2 of its %L3 glyphs fit in 16 x 16 cells together; only they are written")
                     .arg(arguments.font)
                     .arg(read.set->size())
                     .arg(read.fontGlyphs));
    return read;
}

// 3. How the export is written: the options given, else those the font
// stored, else the window's start.

// 4. The export: written to the output file or standard output, or compared
// with the file --check names. The lines of a whole font stream out as they
// are made; every other format is made whole first, so that a glyph it
// cannot hold is refused before anything is written.
int exportSet(const ExportArguments &arguments, const GlyphSet &set, const BdfFormat::Source *whole,
              const FontExport::Options &options)
{
    const bool streamed = !arguments.bdf && options.format == FontExport::Format::Lines && options.remaps.isEmpty();
    QByteArray text;
    if (arguments.bdf) {
        // As the glyph set window saves it: the output settings go with it,
        // and a font opened in part is written whole.
        GlyphSet saved = set;
        saved.exportOptions = options.lines.output;
        text = whole ? BdfFormat::write(saved, *whole) : BdfFormat::write(saved);
    } else if (streamed) {
        // An export of nothing is a range that misses the font, or an empty
        // font: worth saying rather than writing an empty file.
        bool any = false;
        for (const Glyph &glyph : set.glyphs())
            any = any || GlyphExport::keeps(glyph, options.lines);
        if (!any) {
            fail(arguments.ranges.isEmpty() ? QStringLiteral("%1: the font holds no glyphs").arg(arguments.font)
                                            : QStringLiteral("%1: no glyph lies in --range").arg(arguments.font));
            return kBadInput;
        }
    } else {
        // Made for --check too: a font the format cannot hold is bad input
        // (status 2), not a file that differs from it.
        const FontExport::Result result = FontExport::write(set, options);
        if (!result.ok()) {
            fail(QStringLiteral("%1: %2").arg(arguments.font, result.error));
            return kBadInput;
        }
        text = result.text.toUtf8();
    }
    const auto writeTo = [&](QIODevice &device) {
        if (streamed)
            return writeExport(device, set, options.lines);
        return device.write(text) == text.size();
    };

    if (!arguments.checkFile.isEmpty()) {
        QFile existing(arguments.checkFile);
        if (QFileInfo(arguments.checkFile).isDir() || !existing.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("%1: cannot be read: %2").arg(arguments.checkFile,
                 QFileInfo(arguments.checkFile).isDir() ? QStringLiteral("it is a folder") : existing.errorString()));
            return kBadInput;
        }
        const GlyphExport::Difference difference = arguments.bdf ? FontExport::compare(existing, text)
                                                                 : FontExport::check(existing, set, options);
        if (difference.same())
            return kDone;
        fail(QStringLiteral("%1: line %2: %3").arg(arguments.checkFile).arg(difference.line).arg(difference.what));
        return kDiffers;
    }

    if (!arguments.outputFile.isEmpty()) {
        ReplacingFile file(arguments.outputFile);
        if (!file.open() || !writeTo(file.device()) || !file.commit()) {
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
    if (!out.open(stdout, QIODevice::WriteOnly) || !writeTo(out) || !out.flush()) {
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
    ExportArguments arguments;
    if (const std::optional<int> status = parse(argc, argv, &arguments))
        return *status;
    // Qt's notes from here on are filtered (qtMessage).
    qInstallMessageHandler(qtMessage);
    const ReadResult read = open(arguments, argv[0]);
    if (!read.ok())
        return kBadInput;
    return exportSet(arguments, *read.set, read.bdfSource.get(), arguments.exportOptions(*read.set));
}

} // namespace ExportCommand
