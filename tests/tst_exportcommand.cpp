#include "bdfformat.h"
#include "glyphexport.h"
#include "glyphsetfile.h"
#include "realfonts.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// "KELVOR21 export" as a script runs it: the built program, started with no
// display and no Qt platform named, its exit status, its standard output and
// its one line of complaint.
class tst_ExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpAndVersion_data();
    void helpAndVersion();
    void usageErrors_data();
    void usageErrors();
    void hostileInputs_data();
    void hostileInputs();
    void sameBytesAsTheExport_data();
    void sameBytesAsTheExport();
    void outlineFontWithoutDisplay();
    void check_data();
    void check();
    void storedOptionsAreTheDefaults_data();
    void storedOptionsAreTheDefaults();

private:
    struct Run
    {
        QProcess::ExitStatus status = QProcess::CrashExit;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Run run(const QStringList &arguments) const;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    bool write(const QString &name, const QByteArray &bytes) const;

    QTemporaryDir m_dir;
    QString m_5x7; // misc-fixed 5x7 as BDF
};

namespace {
// One line of complaint, ending in a line break, and nothing on standard
// output.
bool complainsOnce(const QByteArray &err, const QByteArray &out, QString *message)
{
    if (!out.isEmpty())
        *message = QStringLiteral("standard output is not empty: %1").arg(QString::fromUtf8(out.left(200)));
    else if (err.count('\n') != 1 || !err.endsWith('\n'))
        *message = QStringLiteral("not one line on standard error: '%1'").arg(QString::fromLocal8Bit(err));
    else
        return true;
    return false;
}
} // namespace

tst_ExportCommand::Run tst_ExportCommand::run(const QStringList &arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KELVOR21_PATH), QStringList{QStringLiteral("export")} + arguments);
    Run result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.status = process.exitStatus();
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool tst_ExportCommand::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(path(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void tst_ExportCommand::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString message;
    QVERIFY2(RealFonts::prepare(RealFonts::all().front(), m_dir.path(), &m_5x7, &message), qPrintable(message));
}

void tst_ExportCommand::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("begins");

    QTest::newRow("export --help") << QStringList{"--help"} << QByteArray("Usage: KELVOR21");
    QTest::newRow("export --version") << QStringList{"--version"} << QByteArray("KELVOR21 " KELVOR_VERSION "\n");
    QTest::newRow("--help after other options") << QStringList{"font.bdf", "--comments", "--help"} << QByteArray("Usage: KELVOR21");
}

void tst_ExportCommand::helpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, begins);

    const Run result = run(arguments);
    QCOMPARE(result.status, QProcess::NormalExit);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.out.startsWith(begins), result.out.constData());
    QVERIFY(result.err.isEmpty());
}

void tst_ExportCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("names"); // what the message must mention

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
    QTest::newRow("signed code point") << QStringList{font, "--range", "+65"} << "+65";
    QTest::newRow("-o and --check") << QStringList{font, "-o", "a.h", "--check", "b.h"} << "--check";
    QTest::newRow("empty -o") << QStringList{font, "-o", ""} << "-o";
    QTest::newRow("size for a BDF font") << QStringList{font, "--size", "5x7"} << "--size";
    QTest::newRow("threshold for a BDF font") << QStringList{font, "--threshold", "100"} << "--threshold";
    QTest::newRow("pixel size for a BDF font") << QStringList{font, "--pixel-size", "12"} << "--pixel-size";
    QTest::newRow("matrix too small") << QStringList{"a.c", "--size", "2x7"} << "2x7";
    QTest::newRow("matrix too large") << QStringList{"a.c", "--size", "5x17"} << "5x17";
    QTest::newRow("no matrix") << QStringList{"a.c", "--size", "5"} << "'5'";
    QTest::newRow("threshold beyond grey") << QStringList{"a.png", "--threshold", "300"} << "300";
    QTest::newRow("pixel size zero") << QStringList{"a.ttf", "--pixel-size", "0"} << "--pixel-size";
    QTest::newRow("range missing the font") << QStringList{font, "--range", "0x10000-0x10010"} << "--range";
}

void tst_ExportCommand::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, names);

    arguments.replaceInStrings(QStringLiteral("@5x7"), m_5x7);
    const Run result = run(arguments);
    QCOMPARE(result.status, QProcess::NormalExit);
    QCOMPARE(result.exitCode, 2);
    QString message;
    QVERIFY2(complainsOnce(result.err, result.out, &message), qPrintable(message));
    QVERIFY2(QString::fromLocal8Bit(result.err).contains(names), result.err.constData());
}

void tst_ExportCommand::hostileInputs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseSize"); // > 0: a file of this size without data

    QFile real(m_5x7);
    QVERIFY(real.open(QIODevice::ReadOnly));
    const QByteArray bdf = real.readAll();
    const QByteArray header = bdf.left(bdf.indexOf("CHARS "));
    const QByteArray oneGlyph = "STARTCHAR A\nENCODING 65\nSWIDTH 640 0\nDWIDTH 5 0\nBBX 5 7 0 -1\nBITMAP\n"
                                "60\n90\n90\nF0\n90\n90\n00\nENDCHAR\n";

    QTest::newRow("truncated BDF") << "cut.bdf" << bdf.left(bdf.size() / 2) << qint64(0);
    QTest::newRow("CHARS 1000000000") << "many.bdf" << header + "CHARS 1000000000\n" + oneGlyph + "ENDFONT\n" << qint64(0);
    QTest::newRow("negative BBX") << "negative.bdf"
                                  << header + "CHARS 1\n" + QByteArray(oneGlyph).replace("BBX 5 7", "BBX -5 7") + "ENDFONT\n"
                                  << qint64(0);
    QTest::newRow("huge BBX") << "huge.bdf"
                              << header + "CHARS 1\n" + QByteArray(oneGlyph).replace("BBX 5 7", "BBX 5 70000000") + "ENDFONT\n"
                              << qint64(0);
    QTest::newRow("empty BDF") << "empty.bdf" << QByteArray() << qint64(0);
    QTest::newRow("binary named BDF") << "binary.bdf" << QByteArray("\x00\xff\x01STARTFONT\x00", 13) << qint64(0);
    // A PSF2 header saying 512 glyphs of 16 bytes, and 300 bytes after it.
    QByteArray psf("\x72\xb5\x4a\x86\0\0\0\0\x20\0\0\0\0\0\0\0\0\x02\0\0\x10\0\0\0\x10\0\0\0\x08\0\0\0", 32);
    QTest::newRow("PSF header that lies") << "lies.psf" << psf + QByteArray(300, '\x55') << qint64(0);
    // 100 MiB of zeros, packed into some 100 KiB.
    QProcess gzip;
    gzip.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("head -c 104857600 /dev/zero | gzip -1")});
    QVERIFY2(gzip.waitForFinished(60000) && gzip.exitCode() == 0, "gzip is missing or failed");
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

    if (sparseSize == -1) {
        QVERIFY(QDir(m_dir.path()).mkpath(name));
    } else if (sparseSize > 0) {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(sparseSize));
    } else if (sparseSize == 0) {
        QVERIFY(write(name, bytes));
    }

    const Run result = run({path(name), QStringLiteral("--comments")});
    QCOMPARE(result.status, QProcess::NormalExit);
    QCOMPARE(result.exitCode, 2);
    QString message;
    QVERIFY2(complainsOnce(result.err, result.out, &message), qPrintable(message));
    QVERIFY2(result.err.contains(name.toUtf8()), result.err.constData());
    QFile::remove(path(name));
}

void tst_ExportCommand::sameBytesAsTheExport_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("range");

    QString file;
    QString message;
    for (const RealFonts::Font &font : RealFonts::all()) {
        QVERIFY2(RealFonts::prepare(font, m_dir.path(), &file, &message), qPrintable(message));
        QTest::addRow("%s, the window's start state", font.row)
                << file << QStringList{} << int(BitOrder::Horizontal) << "$" << "," << QString();
        QTest::addRow("%s, vert, C, commented", font.row)
                << file << QStringList{"--orientation", "vert", "--prefix", "0x", "--delimiter", ", ", "--comments"}
                << int(BitOrder::Vertical) << "0x" << ", " << QString();
        QTest::addRow("%s, horiz-ltr, a range", font.row)
                << file << QStringList{"--orientation", "horiz-ltr", "--prefix", "", "--delimiter", ""}
                << int(BitOrder::HorizontalLeftToRight) << "" << "" << "U+0020-0x7e,160,0x2500-0x257F";
    }
}

void tst_ExportCommand::sameBytesAsTheExport()
{
    QFETCH(QString, font);
    QFETCH(QStringList, arguments);
    QFETCH(int, order);
    QFETCH(QString, prefix);
    QFETCH(QString, delimiter);
    QFETCH(QString, range);

    const ReadResult read = GlyphSetFile::open(font, {});
    QVERIFY2(read.ok(), qPrintable(read.error));
    GlyphExport::Options options;
    options.output = {BitOrder(order), prefix, delimiter};
    options.comments = arguments.contains(QStringLiteral("--comments"));
    if (!range.isEmpty()) {
        arguments << QStringLiteral("--range") << range;
        options.ranges = {{0x20, 0x7E}, {160, 160}, {0x2500, 0x257F}};
    }
    const QByteArray expected = GlyphExport::text(*read.set, options).toUtf8();
    QVERIFY(!expected.isEmpty());

    const Run toStdout = run(QStringList{font} + arguments);
    QCOMPARE(toStdout.status, QProcess::NormalExit);
    QVERIFY2(toStdout.exitCode == 0, toStdout.err.constData());
    QVERIFY(toStdout.err.isEmpty());
    QVERIFY(toStdout.out == expected);

    const QString output = path(QStringLiteral("font.h"));
    const Run toFile = run(QStringList{font, QStringLiteral("-o"), output} + arguments);
    QCOMPARE(toFile.exitCode, 0);
    QVERIFY(toFile.out.isEmpty() && toFile.err.isEmpty());
    QFile written(output);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == expected);
}

void tst_ExportCommand::outlineFontWithoutDisplay()
{
    const QString font = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    QVERIFY2(QFileInfo::exists(font), "DejaVu Sans Mono is missing: install the Debian package fonts-dejavu-core");
    GlyphSetFile::Options open;
    open.outline.pixelSize = 12;
    for (int code = 0x20; code <= 0x7E; ++code)
        open.outline.codePoints.append(code);
    const ReadResult read = GlyphSetFile::open(font, open);
    QVERIFY2(read.ok(), qPrintable(read.error));
    GlyphExport::Options options;
    options.comments = true;

    const Run result = run({font, QStringLiteral("--pixel-size"), QStringLiteral("12"), QStringLiteral("--comments")});
    QCOMPARE(result.status, QProcess::NormalExit);
    QVERIFY2(result.exitCode == 0, result.err.constData());
    QVERIFY2(result.err.isEmpty(), result.err.constData());
    QVERIFY(result.out == GlyphExport::text(*read.set, options).toUtf8());
    QCOMPARE(result.out.count("\r\n"), 95);
}

void tst_ExportCommand::check_data()
{
    QTest::addColumn<QByteArray>("edit"); // what replaces the first "$0C," of the fresh file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says");

    QTest::newRow("fresh") << QByteArray("$0C,") << 0 << QString();
    QTest::newRow("stale") << QByteArray("$0D,") << 1 << "line 34: U+0041 'A' differs";
    QTest::newRow("stale, a byte shorter") << QByteArray("$0C") << 1 << "line 34: U+0041 'A' differs";
}

void tst_ExportCommand::check()
{
    QFETCH(QByteArray, edit);
    QFETCH(int, exitCode);
    QFETCH(QString, says);

    const QStringList options = {QStringLiteral("--range"), QStringLiteral("0x20-0x7E"), QStringLiteral("--comments")};
    const Run fresh = run(QStringList{m_5x7} + options);
    QCOMPARE(fresh.exitCode, 0);
    QByteArray header = fresh.out;
    const qsizetype a = header.indexOf("$0C,$12,$12,$1E,$12,$12,$00, // U+0041 'A'");
    QVERIFY(a > 0);
    header.replace(a, 4, edit);
    QVERIFY(write(QStringLiteral("font.h"), header));

    const Run result = run(QStringList{m_5x7, QStringLiteral("--check"), path(QStringLiteral("font.h"))} + options);
    QCOMPARE(result.status, QProcess::NormalExit);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY(result.out.isEmpty());
    if (exitCode == 0) {
        QVERIFY(result.err.isEmpty());
    } else {
        QString message;
        QVERIFY2(complainsOnce(result.err, result.out, &message), qPrintable(message));
        QVERIFY2(result.err.contains(says.toUtf8()), result.err.constData());
    }
    QFile checked(path(QStringLiteral("font.h")));
    QVERIFY(checked.open(QIODevice::ReadOnly));
    QVERIFY(checked.readAll() == header);
}

void tst_ExportCommand::storedOptionsAreTheDefaults_data()
{
    QTest::addColumn<QString>("delimiter"); // stored with orientation vert and prefix 0x
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("line"); // the line of 'A'

    QTest::newRow("stored options") << "," << QStringList{} << QByteArray("0x3E,0x09,0x09,0x3E,0x00,\r\n");
    QTest::newRow("prefix given") << "," << QStringList{"--prefix", "$"} << QByteArray("$3E,$09,$09,$3E,$00,\r\n");
    QTest::newRow("orientation given") << "," << QStringList{"--orientation", "horiz"}
                                       << QByteArray("0x0C,0x12,0x12,0x1E,0x12,0x12,0x00,\r\n");
    QTest::newRow("stored delimiter with a blank") << ", " << QStringList{}
                                                   << QByteArray("0x3E, 0x09, 0x09, 0x3E, 0x00, \r\n");
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

QTEST_MAIN(tst_ExportCommand)
#include "tst_exportcommand.moc"
