#include "bdfformat.h"
#include "fontexport.h"
#include "glyphsetfile.h"
#include "realfonts.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// "KELVOR21 export" as a script runs it: the built program, started with no
// display and no Qt platform named, its exit status, its standard output and
// its one line of complaint. What it writes is compared with the in-process
// export of the set the readers give, whose bytes the display-font tests
// check.
class tst_ExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpAndVersion();
    void manualPageListsEveryOption();
    void usageErrors_data();
    void usageErrors();
    void hostileInputs_data();
    void hostileInputs();
    void sameBytesAsTheExport_data();
    void sameBytesAsTheExport();
    void outlineFont();
    void arrayReadsBackItsOwnExport();
    void check_data();
    void check();
    void formats_data();
    void formats();
    void tooLargeFont();
    void inputChangingWhileRead();
    void sameAsTheFile_data();
    void sameAsTheFile();
    void storedOptionsAreTheDefaults_data();
    void storedOptionsAreTheDefaults();
    void outputToAPipe();
    void severalFontsInOneFile_data();
    void severalFontsInOneFile();
    void bdfFromAFontsSource();

private:
    struct Run
    {
        QProcess::ExitStatus status = QProcess::CrashExit;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    // `input`, where given, comes through a pipe on standard input.
    Run run(const QStringList &arguments, const QByteArray &input = {}) const;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    QTemporaryDir m_dir;
    QString m_5x7; // misc-fixed 5x7 as BDF
};

Q_DECLARE_METATYPE(FontExport::Options)

namespace {
// Exit status 2, one line of complaint naming `names`, nothing on standard
// output.
bool refused(int exitCode, const QByteArray &err, const QByteArray &out, const QString &names, QString *message)
{
    if (exitCode != 2)
        *message = QStringLiteral("exit status %1, not 2").arg(exitCode);
    else if (!out.isEmpty())
        *message = QStringLiteral("standard output is not empty: %1").arg(QString::fromUtf8(out.left(200)));
    else if (err.count('\n') != 1 || !err.endsWith('\n') || !QString::fromLocal8Bit(err).contains(names))
        *message = QStringLiteral("not one line naming '%1' on standard error: '%2'").arg(names, QString::fromLocal8Bit(err));
    else
        return true;
    return false;
}

// The in-process export of the font as the readers give it, in UTF-8.
bool exported(const QString &font, const FontExport::Options &options, QByteArray *bytes, QString *message)
{
    const ReadResult read = GlyphSetFile::open(font, {});
    const FontExport::Result result = read.ok() ? FontExport::write(*read.set, options) : FontExport::Result{{}, read.error};
    *message = result.error;
    *bytes = result.text.toUtf8();
    return result.ok() && !bytes->isEmpty();
}
} // namespace

tst_ExportCommand::Run tst_ExportCommand::run(const QStringList &arguments, const QByteArray &input) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KELVOR21_PATH), QStringList{QStringLiteral("export")} + arguments);
    if (!input.isEmpty()) {
        process.write(input);
        process.closeWriteChannel();
    }
    Run result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    return {process.exitStatus(), process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

void tst_ExportCommand::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString message;
    QVERIFY2(RealFonts::prepare(RealFonts::all().front(), m_dir.path(), &m_5x7, &message), qPrintable(message));
}

void tst_ExportCommand::helpAndVersion()
{
    const Run help = run({QStringLiteral("font.bdf"), QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.out.startsWith("Usage: KELVOR21") && help.err.isEmpty(), help.out.constData());
    const Run version = run({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("KELVOR21 " KELVOR_VERSION "\n"));
}

// The manual page, written at build time, names every option --help lists,
// and groff reads it without a warning.
void tst_ExportCommand::manualPageListsEveryOption()
{
#ifndef KELVOR_MANUAL_PAGE
    QSKIP("the manual page is built on Linux and the BSDs");
#else
    const Run help = run({QStringLiteral("--help")});
    QVERIFY(help.exitCode == 0);
    QStringList names;
    static const QRegularExpression option(QStringLiteral("(?:^|, )(--?[a-z][a-z-]*)"));
    for (const QString &line : QString::fromUtf8(help.out).split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("  -")))
            continue;
        for (const auto &match : option.globalMatch(line.trimmed().section(QLatin1String("  "), 0, 0)))
            names << match.captured(1);
    }
    QVERIFY(names.contains(QLatin1String("--format")) && names.contains(QLatin1String("-o")));
    QFile file(QStringLiteral(KELVOR_MANUAL_PAGE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString page = QString::fromUtf8(file.readAll()).replace(QLatin1String("\\-"), QLatin1String("-"));
    for (const QString &name : std::as_const(names))
        QVERIFY2(page.contains(QLatin1String("\\fB") + name + QLatin1String("\\fR")), qPrintable(name));

    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (groff.isEmpty())
        QSKIP("groff is missing: the page's roff is not checked");
    QProcess render;
    render.start(groff, {QStringLiteral("-man"), QStringLiteral("-Tutf8"), QStringLiteral("-ww"), QStringLiteral("-z"), file.fileName()});
    QVERIFY(render.waitForFinished(60000));
    const QByteArray warnings = render.readAllStandardError();
    QVERIFY2(render.exitCode() == 0 && warnings.isEmpty(), warnings.constData());
#endif
}

void tst_ExportCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments"); // "@5x7" stands for the font
    QTest::addColumn<QString>("names");

    const QString font = QStringLiteral("@5x7");
    QTest::newRow("no font") << QStringList{"--comments"} << "no font";
    QTest::newRow("two fonts") << QStringList{font, font} << "one font";
    QTest::newRow("unknown option") << QStringList{font, "--colour"} << "colour";
    QTest::newRow("option without its value") << QStringList{font, "--prefix"} << "prefix";
    QTest::newRow("unknown orientation") << QStringList{font, "--orientation", "diagonal"} << "diagonal";
    QTest::newRow("range of letters") << QStringList{font, "--range", "A-C"} << "A-C";
    QTest::newRow("range running backwards") << QStringList{font, "--range", "0x43-0x41"} << "backwards";
    QTest::newRow("range open at one end") << QStringList{font, "--range", "65-"} << "65-";
    QTest::newRow("code point beyond Unicode") << QStringList{font, "--range", "U+110000"} << "U+110000";
    QTest::newRow("-o and --check") << QStringList{font, "-o", "a.h", "--check", "b.h"} << "--check";
    QTest::newRow("size for a BDF font") << QStringList{font, "--size", "5x7"} << "--size";
    QTest::newRow("matrix too large") << QStringList{"a.c", "--size", "5x17"} << "5x17";
    QTest::newRow("threshold beyond grey") << QStringList{"a.png", "--threshold", "300"} << "300";
    QTest::newRow("range missing the font") << QStringList{font, "--range", "0x10000-0x10010"} << "--range";
    QTest::newRow("unknown format") << QStringList{font, "--format", "bmp"} << "bmp";
    QTest::newRow("name not a C name") << QStringList{font, "--format", "gfx", "--name", "5x7"} << "--name";
    QTest::newRow("option of another format") << QStringList{font, "--widths"} << "--widths";
    QTest::newRow("remap without a target") << QStringList{font, "--format", "gfx", "--remap", "0x41"} << "0x41";
    QTest::newRow("code point beyond gfx") << QStringList{font, "--format", "gfx", "--range", "0x41,0x410"} << "U+0410";
    QTest::newRow("--check of what gfx cannot hold") << QStringList{font, "--format", "gfx", "--check", font} << "U+0100";
    QTest::newRow("--font for a BDF font") << QStringList{font, "--font", "first"} << "--font";
    QTest::newRow("--name for BDF") << QStringList{font, "--format", "bdf", "--name", "a"} << "--name";
    QTest::newRow("--range for BDF") << QStringList{font, "--format", "bdf", "--range", "65"} << "--range";
}

void tst_ExportCommand::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, names);

    arguments.replaceInStrings(QStringLiteral("@5x7"), m_5x7);
    const Run result = run(arguments);
    QCOMPARE(result.status, QProcess::NormalExit);
    QString message;
    QVERIFY2(refused(result.exitCode, result.err, result.out, names, &message), qPrintable(message));
}

void tst_ExportCommand::hostileInputs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseSize"); // > 0: that many bytes without data; -1 a folder, -2 nothing

    QFile real(m_5x7);
    QVERIFY(real.open(QIODevice::ReadOnly));
    const QByteArray bdf = real.readAll();
    const QByteArray header = bdf.left(bdf.indexOf("CHARS "));
    const QByteArray glyph = "STARTCHAR A\nENCODING 65\nSWIDTH 640 0\nDWIDTH 5 0\nBBX 5 7 0 -1\nBITMAP\n"
                             "60\n90\n90\nF0\n90\n90\n00\nENDCHAR\n";
    const auto withBox = [&](const char *box) {
        return header + "CHARS 1\n" + QByteArray(glyph).replace("BBX 5 7", box) + "ENDFONT\n";
    };
    // A PSF2 header saying 512 glyphs of 16 bytes, and 300 bytes after it.
    const QByteArray psf("\x72\xb5\x4a\x86\0\0\0\0\x20\0\0\0\0\0\0\0\0\x02\0\0\x10\0\0\0\x10\0\0\0\x08\0\0\0", 32);
    // 100 MiB of zeros, packed into some 100 KiB.
    QProcess gzip;
    gzip.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("head -c 104857600 /dev/zero | gzip -1")});
    QVERIFY2(gzip.waitForFinished(60000) && gzip.exitCode() == 0, "gzip is missing or failed");

    QTest::newRow("truncated BDF") << "cut.bdf" << bdf.left(bdf.size() / 2) << qint64(0);
    QTest::newRow("CHARS 1000000000") << "many.bdf" << header + "CHARS 1000000000\n" + glyph + "ENDFONT\n" << qint64(0);
    QTest::newRow("negative BBX") << "negative.bdf" << withBox("BBX -5 7") << qint64(0);
    QTest::newRow("huge BBX") << "huge.bdf" << withBox("BBX 5 70000000") << qint64(0);
    QTest::newRow("binary named BDF") << "binary.bdf" << QByteArray("\x00\xff\x01STARTFONT\x00", 13) << qint64(0);
    QTest::newRow("PSF header that lies") << "lies.psf" << psf + QByteArray(300, '\x55') << qint64(0);
    QTest::newRow("zip bomb") << "bomb.psf.gz" << gzip.readAllStandardOutput() << qint64(0);
    QTest::newRow("1 GiB file") << "gigabyte.bdf" << QByteArray() << (qint64(1) << 30);
    QTest::newRow("directory") << "folder.bdf" << QByteArray() << qint64(-1);
    QTest::newRow("missing file") << "missing.psf" << QByteArray() << qint64(-2);
}

void tst_ExportCommand::hostileInputs()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparseSize);

    QFile file(path(name));
    if (sparseSize == -1)
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    else if (sparseSize >= 0)
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.resize(qMax(sparseSize, qint64(bytes.size()))));
    file.close();

    const Run result = run({path(name), QStringLiteral("--comments")});
    QCOMPARE(result.status, QProcess::NormalExit);
    QString message;
    QVERIFY2(refused(result.exitCode, result.err, result.out, name, &message), qPrintable(message));
    QFile::remove(path(name));
}

void tst_ExportCommand::sameBytesAsTheExport_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<FontExport::Options>("options"); // what the arguments ask for

    FontExport::Options cStyle;
    cStyle.lines.output = {BitOrder::Vertical, QStringLiteral("0x"), QStringLiteral(", ")};
    cStyle.lines.comments = true;
    cStyle.lines.ranges = {{0x20, 0x7E}, {160, 255}, {0x2500, 0x257F}};
    QString file;
    QString message;
    for (const RealFonts::Font &font : RealFonts::all()) {
        QVERIFY2(RealFonts::prepare(font, m_dir.path(), &file, &message), qPrintable(message));
        QTest::addRow("%s, the window's start state", font.row) << file << QStringList{} << FontExport::Options();
        QTest::addRow("%s, vert, C, commented, a range", font.row)
                << file
                << QStringList{"--orientation", "vert", "--prefix", "0x", "--delimiter", ", ", "--comments",
                               "--range", "U+0020-0x7e,160-255,0x2500-0x257F"}
                << cStyle;
    }
}

// The lines stream out in parts, to standard output or into the file -o
// names, and a large font opened for --range alone gives what the whole
// font gives.
void tst_ExportCommand::sameBytesAsTheExport()
{
    QFETCH(QString, font);
    QFETCH(QStringList, arguments);
    QFETCH(FontExport::Options, options);

    QByteArray expected;
    QString message;
    QVERIFY2(exported(font, options, &expected, &message), qPrintable(message));

    const Run toStdout = run(QStringList{font} + arguments);
    QCOMPARE(toStdout.status, QProcess::NormalExit);
    QVERIFY2(toStdout.exitCode == 0 && toStdout.err.isEmpty(), toStdout.err.constData());
    QVERIFY(toStdout.out == expected);

    const QString output = path(QStringLiteral("font.h"));
    const Run toFile = run(QStringList{font, QStringLiteral("-o"), output} + arguments);
    QVERIFY2(toFile.exitCode == 0 && toFile.out.isEmpty() && toFile.err.isEmpty(), toFile.err.constData());
    QFile written(output);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == expected);
}

// Rendered by Qt's font engine, on a platform the command picks itself.
void tst_ExportCommand::outlineFont()
{
    const QString font = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    QVERIFY2(QFileInfo::exists(font), "DejaVu Sans Mono is missing: install the Debian package fonts-dejavu-core");
    GlyphSetFile::Options open;
    open.outline.pixelSize = 12;
    for (int code = 0x20; code <= 0x7E; ++code)
        open.outline.codePoints.append(code);
    const ReadResult read = GlyphSetFile::open(font, open);
    QVERIFY2(read.ok(), qPrintable(read.error));

    const Run result = run({font, QStringLiteral("--pixel-size"), QStringLiteral("12")});
    QCOMPARE(result.status, QProcess::NormalExit);
    QVERIFY2(result.exitCode == 0 && result.err.isEmpty(), result.err.constData());
    QVERIFY(result.out == FontExport::write(*read.set, {}).text.toUtf8());
    QCOMPARE(result.out.count("\r\n"), 95);
}

// An exported header is an array the command reads back to the same bytes.
void tst_ExportCommand::arrayReadsBackItsOwnExport()
{
    const QStringList c = {QStringLiteral("--orientation"), QStringLiteral("vert"), QStringLiteral("--prefix"),
                           QStringLiteral("0x"), QStringLiteral("--delimiter"), QStringLiteral(", ")};
    const Run exported = run(QStringList{m_5x7, QStringLiteral("--range"), QStringLiteral("0x20-0x7E")} + c);
    QVERIFY2(exported.exitCode == 0 && write(QStringLiteral("font.h"), exported.out), exported.err.constData());
    const Run again = run(QStringList{path(QStringLiteral("font.h")), QStringLiteral("--size"), QStringLiteral("5x7")} + c);
    QVERIFY2(again.exitCode == 0, again.err.constData());
    QVERIFY(again.out == exported.out);
}

void tst_ExportCommand::check_data()
{
    QTest::addColumn<QByteArray>("edit"); // what replaces the first "$0C," of the fresh file
    QTest::addColumn<int>("exitCode");

    QTest::newRow("fresh") << QByteArray("$0C,") << 0;
    QTest::newRow("stale") << QByteArray("$0D,") << 1;
    QTest::newRow("stale, a byte shorter") << QByteArray("$0C") << 1;
}

void tst_ExportCommand::check()
{
    QFETCH(QByteArray, edit);
    QFETCH(int, exitCode);

    const QStringList options = {QStringLiteral("--range"), QStringLiteral("0x20-0x7E"), QStringLiteral("--comments")};
    QByteArray header = run(QStringList{m_5x7} + options).out;
    const qsizetype a = header.indexOf("$0C,$12,$12,$1E,$12,$12,$00, // U+0041 'A'");
    QVERIFY(a > 0);
    header.replace(a, 4, edit);
    QVERIFY(write(QStringLiteral("font.h"), header));

    const Run result = run(QStringList{m_5x7, QStringLiteral("--check"), path(QStringLiteral("font.h"))} + options);
    QCOMPARE(result.status, QProcess::NormalExit);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(result.out.isEmpty());
    const QByteArray says = exitCode ? QByteArray("line 34: U+0041 'A' differs\n") : QByteArray();
    QVERIFY2(result.err.endsWith(says) && result.err.count('\n') == exitCode, result.err.constData());
    QFile checked(path(QStringLiteral("font.h")));
    QVERIFY(checked.open(QIODevice::ReadOnly) && checked.readAll() == header);
}

void tst_ExportCommand::formats_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<FontExport::Options>("options"); // what the arguments ask for

    FontExport::Options a;
    a.lines.ranges = {{0x41, 0x41}};
    a.name = QStringLiteral("font_5x7"); // from the file's name
    const QStringList onlyA = {"--range", "0x41"};
    using F = FontExport::Format;
    const QList<QPair<const char *, F>> formats = {{"lines", F::Lines}, {"c", F::C},       {"gfx", F::Gfx},
                                                   {"u8g2", F::U8g2},   {"u8x8", F::U8x8}, {"pages", F::Pages}};
    for (const auto &[name, format] : formats) {
        a.format = format;
        QTest::newRow(name) << QStringList{"--format", name} + onlyA << a;
    }
    a.format = FontExport::Format::Pages;
    a.pageOrder = FontExport::PageOrder::Page;
    a.widths = true;
    QTest::newRow("pages, by page, with widths")
            << QStringList{"--format", "pages", "--page-order", "page", "--widths"} + onlyA << a;
    FontExport::Options cyrillic;
    cyrillic.format = FontExport::Format::Gfx;
    cyrillic.lines.ranges = {{0x410, 0x44F}};
    cyrillic.remaps = {{0x410, 0x44F, 0xC0}};
    cyrillic.name = QStringLiteral("font_5x7");
    QTest::newRow("gfx, Cyrillic remapped to 0xC0")
            << QStringList{"--format", "gfx", "--range", "0x410-0x44F", "--remap", "U+0410-U+044F:0xC0"} << cyrillic;
}

// Each format from the command line, written whole into the file -o names;
// the file --check finds fresh, and stale once a byte changes.
void tst_ExportCommand::formats()
{
    QFETCH(QStringList, arguments);
    QFETCH(FontExport::Options, options);
    const QString format = arguments.at(1);

    QByteArray expected;
    QString message;
    QVERIFY2(exported(m_5x7, options, &expected, &message), qPrintable(message));
    const QString output = path(QStringLiteral("out.") + format);
    const Run written = run(QStringList{m_5x7, QStringLiteral("-o"), output} + arguments);
    QVERIFY2(written.exitCode == 0 && written.err.isEmpty() && written.out.isEmpty(), written.err.constData());
    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    file.close();
    QCOMPARE(text, expected);

    const QStringList check = QStringList{m_5x7, QStringLiteral("--check"), output} + arguments;
    const Run fresh = run(check);
    QVERIFY2(fresh.exitCode == 0 && fresh.err.isEmpty(), fresh.err.constData());
    text[text.size() / 2] = text[text.size() / 2] == '#' ? '*' : '#';
    QVERIFY(write(QStringLiteral("out.") + format, text));
    const Run stale = run(check);
    QVERIFY2(stale.exitCode == 1 && stale.err.count('\n') == 1 && stale.out.isEmpty(), stale.err.constData());
}

// misc-fixed 9x18 is 18 rows high: refused whole, with code points that
// fit, which then export; so does printable ASCII.
void tst_ExportCommand::tooLargeFont()
{
    QString font;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("9x18.pcf.gz"), m_dir.path(), &font, &message), qPrintable(message));
    const Run whole = run({font});
    QVERIFY2(refused(whole.exitCode, whole.err, whole.out, QStringLiteral("--range"), &message), qPrintable(message));
    const QString suggested = QRegularExpression(QStringLiteral("--range\\W*([0-9][0-9,-]*[0-9])")).match(QString::fromLocal8Bit(whole.err)).captured(1);
    QVERIFY2(!suggested.isEmpty(), whole.err.constData());
    const Run fitting = run({font, QStringLiteral("--range"), suggested});
    QVERIFY2(fitting.exitCode == 0 && !fitting.out.isEmpty(), fitting.err.constData());

    const Run ascii = run({font, QStringLiteral("--range"), QStringLiteral("32-126")});
    QVERIFY2(ascii.exitCode == 0, ascii.err.constData());
    QCOMPARE(ascii.out.count("\r\n"), 95);
}

// Another program cuts the font short and writes it whole again, over and
// over, while the command reads it: each run exports the font as it was or
// refuses it with one line naming the file, and none ends by a signal.
void tst_ExportCommand::inputChangingWhileRead()
{
    QString font;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("unifont.pcf.gz"), m_dir.path(), &font, &message), qPrintable(message));
    const Run whole = run({font});
    QVERIFY2(whole.exitCode == 0 && !whole.out.isEmpty(), whole.err.constData());
    QFile source(font);
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    source.close();

    std::atomic<bool> done = false;
    std::unique_ptr<QThread> writer(QThread::create([&] {
        QFile file(font);
        if (!file.open(QIODevice::ReadWrite))
            return;
        const qsizetype half = bytes.size() / 2;
        while (!done) {
            file.resize(half);
            file.seek(half);
            file.write(bytes.constData() + half, bytes.size() - half);
            file.flush();
        }
    }));
    writer->start();
    const auto stop = qScopeGuard([&] {
        done = true;
        writer->wait();
    });
    int exported = 0;
    for (int i = 0; i < 20; ++i) {
        const Run result = run({font, QStringLiteral("-o"), path(QStringLiteral("out.txt"))});
        QCOMPARE(result.status, QProcess::NormalExit);
        if (result.exitCode == 0) {
            QFile out(path(QStringLiteral("out.txt")));
            QVERIFY(out.open(QIODevice::ReadOnly) && out.readAll() == whole.out);
            ++exported;
        } else {
            QCOMPARE(result.exitCode, 2);
            QVERIFY2(result.err.count('\n') == 1 && result.err.contains(font.toLocal8Bit()), result.err.constData());
        }
    }
    qInfo("%d of 20 runs read the font whole", exported);
}

void tst_ExportCommand::sameAsTheFile_data()
{
    QTest::addColumn<bool>("piped"); // else cut after its last glyph
    QTest::addColumn<QByteArray>("note"); // what standard error's one line holds; empty: nothing

    // Some converters end a font after its last glyph without ENDFONT: the
    // export goes on, and says so.
    QTest::newRow("file without ENDFONT") << false << QByteArray("ENDFONT");
    // A font read through a pipe, as from "<(zcat font.bdf.gz)", is read as
    // the file itself is: the kind is told from the bytes read, not read
    // again.
    QTest::newRow("font from a pipe") << true << QByteArray();
}

void tst_ExportCommand::sameAsTheFile()
{
    QFETCH(bool, piped);
    QFETCH(QByteArray, note);
    const QStringList options = {QStringLiteral("--range"), QStringLiteral("0x20-0x7E"), QStringLiteral("--comments")};
    const Run file = run(QStringList{m_5x7} + options);
    QVERIFY2(file.exitCode == 0 && !file.out.isEmpty(), file.err.constData());
    QFile bdf(m_5x7);
    QVERIFY(bdf.open(QIODevice::ReadOnly));
    QByteArray font = bdf.readAll();
    Run result;
    if (piped) {
        result = run(QStringList{QStringLiteral("/dev/stdin")} + options, font);
    } else {
        QVERIFY(font.endsWith("ENDFONT\n"));
        font.chop(8);
        QVERIFY(write(QStringLiteral("cut.bdf"), font));
        result = run(QStringList{path(QStringLiteral("cut.bdf"))} + options);
    }
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QVERIFY(result.out == file.out);
    QVERIFY2(note.isEmpty() ? result.err.isEmpty() : result.err.count('\n') == 1 && result.err.contains(note) && result.err.contains("cut.bdf"),
             result.err.constData());
}

void tst_ExportCommand::storedOptionsAreTheDefaults_data()
{
    QTest::addColumn<QString>("delimiter"); // stored with orientation vert and prefix 0x
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("line"); // the line of 'A'

    QTest::newRow("stored options") << "," << QStringList{} << QByteArray("0x3E,0x09,0x09,0x3E,0x00,\r\n");
    QTest::newRow("stored delimiter with a blank") << ", " << QStringList{} << QByteArray("0x3E, 0x09, 0x09, 0x3E, 0x00, \r\n");
    QTest::newRow("given options win") << "," << QStringList{"--prefix", "$", "--orientation", "horiz"}
                                       << QByteArray("$0C,$12,$12,$1E,$12,$12,$00,\r\n");
}

void tst_ExportCommand::storedOptionsAreTheDefaults()
{
    QFETCH(QString, delimiter);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, line);

    // The file as the window saves it, with its output settings.
    ReadResult read = GlyphSetFile::open(m_5x7, {});
    QVERIFY2(read.ok(), qPrintable(read.error));
    read.set->exportOptions = ExportOptions{BitOrder::Vertical, QStringLiteral("0x"), delimiter};
    QVERIFY(write(QStringLiteral("saved.bdf"), BdfFormat::write(*read.set)));

    const Run result = run(QStringList{path(QStringLiteral("saved.bdf")), QStringLiteral("--range"), QStringLiteral("65")} + arguments);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QCOMPARE(result.out, line);
}

// A pipe named by -o is written into, not replaced by a file of its name.
void tst_ExportCommand::outputToAPipe()
{
#ifdef Q_OS_UNIX
    const QStringList options = {m_5x7, QStringLiteral("--range"), QStringLiteral("0x20-0x7E")};
    const QString fifo = path(QStringLiteral("pipe.h"));
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QProcess reader;
    reader.start(QStringLiteral("cat"), {fifo});
    QVERIFY(reader.waitForStarted());
    const Run written = run(options + QStringList{QStringLiteral("-o"), fifo});
    const bool read = reader.waitForFinished(10000);
    if (!read)
        reader.kill();
    QVERIFY2(written.exitCode == 0, written.err.constData());
    QVERIFY2(read, "the pipe was never written");
    QVERIFY(!QFileInfo(fifo).isFile());
    QVERIFY(reader.readAllStandardOutput() == run(options).out);
#else
    QSKIP("named pipes are a Unix matter");
#endif
}

void tst_ExportCommand::severalFontsInOneFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected"); // "second.c": the export that wrote it; "!text": refused, naming text

    QTest::newRow("no --font") << QStringList{"--format", "u8x8"} << "!first, second";
    QTest::newRow("a font it does not hold") << QStringList{"--font", "third"} << "!third";
    QTest::newRow("--size for a font's source") << QStringList{"--font", "second", "--size", "5x7"} << "!--size";
    QTest::newRow("the second, as it was written")
            << QStringList{"--font", "second", "--format", "u8x8"} << "second.c";
    QTest::newRow("the first, under a name of its own")
            << QStringList{"--font", "first", "--format", "u8x8", "--name", "other"} << "other.c";
}

// A file of two u8x8 fonts, the 5x7 font's printable ASCII under two names:
// --font chooses one, which keeps its name; without it the message lists
// them.
void tst_ExportCommand::severalFontsInOneFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);

    QByteArray both;
    for (const QString name : {"first", "second", "other"}) {
        const Run written = run({m_5x7, "--range", "32-126", "--format", "u8x8", "--name", name});
        QVERIFY2(written.exitCode == 0 && write(name + ".c", written.out), written.err.constData());
        if (name != QLatin1String("other"))
            both += written.out;
    }
    QVERIFY(write(QStringLiteral("both.c"), both));

    const Run result = run(QStringList{path(QStringLiteral("both.c"))} + arguments);
    QCOMPARE(result.status, QProcess::NormalExit);
    if (expected.startsWith(QLatin1Char('!'))) {
        QString message;
        QVERIFY2(refused(result.exitCode, result.err, result.out, expected.mid(1), &message), qPrintable(message));
        return;
    }
    QVERIFY2(result.exitCode == 0 && result.err.isEmpty(), result.err.constData());
    QFile file(path(expected));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(result.out, file.readAll());
}

// --format bdf writes what the window's Save writes: a font read from a
// display library's source becomes a BDF font that exports again to the
// same bytes, its name and metrics kept.
void tst_ExportCommand::bdfFromAFontsSource()
{
    const Run gfx = run({m_5x7, "--range", "32-126", "--format", "gfx", "--name", "font5x7"});
    QVERIFY2(gfx.exitCode == 0 && write(QStringLiteral("font5x7.h"), gfx.out), gfx.err.constData());
    const Run bdf = run({path(QStringLiteral("font5x7.h")), "--format", "bdf", "-o", path(QStringLiteral("font5x7.bdf"))});
    QVERIFY2(bdf.exitCode == 0 && bdf.err.isEmpty(), bdf.err.constData());
    const Run again = run({path(QStringLiteral("font5x7.bdf")), "--format", "gfx"});
    QVERIFY2(again.exitCode == 0, again.err.constData());
    QCOMPARE(again.out, gfx.out);
    const Run check = run({path(QStringLiteral("font5x7.h")), "--format", "bdf", "--check", path(QStringLiteral("font5x7.bdf"))});
    QVERIFY2(check.exitCode == 0, check.err.constData());

    // A font that opens in part ('A' has 17 rows) is written whole.
    QVERIFY(write(QStringLiteral("tall.h"),
                  "const uint8_t tallBitmaps[] = { 0xFF, 0xFF, 0xFF, 0xFF };\n"
                  "const GFXglyph tallGlyphs[] = { { 0, 1, 17, 2, 0, -16 }, { 3, 8, 1, 9, 0, 0 } };\n"
                  "const GFXfont tall = { (uint8_t *)tallBitmaps, (GFXglyph *)tallGlyphs, 0x41, 0x42, 17 };\n"));
    const Run whole = run({path(QStringLiteral("tall.h")), "--format", "bdf"});
    QVERIFY2(whole.exitCode == 0 && whole.err.isEmpty(), whole.err.constData());
    QVERIFY(whole.out.contains("CHARS 2\n") && whole.out.contains("BBX 1 17 0 0\n"));
}

QTEST_MAIN(tst_ExportCommand)
#include "tst_exportcommand.moc"
