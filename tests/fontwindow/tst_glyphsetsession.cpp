#include "bdfformat.h"
#include "codepoints.h"
#include "firmwaresource.h"
#include "fontexport.h"
#include "editorsession.h"
#include "glyphsetsession.h"
#include "stringtextbox.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Two glyphs of a 5 x 7 cell, the baseline under the sixth row: one that
// leaves its advance to the cell's width and has a blank last column, one
// whose advance the font gave.
GlyphSet twoGlyphs()
{
    GlyphSet set(5, 7);
    set.ascent = 6;
    Glyph a;
    a.codePoint = 'A';
    a.bits = Drawing(7, 5);
    for (int r = 0; r < 6; ++r)
        a.bits.set(r, 0);
    set.append(a);
    Glyph b;
    b.codePoint = 'B';
    b.bits = Drawing(7, 5);
    b.bits.set(0, 4);
    b.advance = 5;
    set.append(b);
    return set;
}

// What differs from the set as opened (an advance the font leaves to the
// cell's width differs from any number), the glyph drawn unless it is the
// first, then whether the set is modified.
QString describe(const GlyphSetSession &session)
{
    const GlyphSet opened = twoGlyphs();
    const GlyphSet &set = session.set();
    QStringList parts;
    if (set.ascent != opened.ascent)
        parts << QStringLiteral("ascent %1").arg(set.ascent);
    if (set.xOffset != opened.xOffset)
        parts << QStringLiteral("offset %1").arg(set.xOffset);
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        if (glyph.advance != opened.at(i).advance)
            parts << QStringLiteral("%1 advance %2").arg(QChar(glyph.codePoint)).arg(glyph.advance.value_or(-1));
        if (!(glyph.bits == opened.at(i).bits))
            parts << QStringLiteral("%1 edited").arg(QChar(glyph.codePoint));
    }
    if (session.current() != 0)
        parts << (session.current() < 0 ? QStringLiteral("at none")
                                        : QStringLiteral("at %1").arg(QChar(set.at(session.current()).codePoint)));
    parts << (session.isModified() ? QStringLiteral("modified") : QStringLiteral("saved"));
    return parts.join(QStringLiteral(", "));
}

} // namespace

// The font's metrics edited through the session: each change marks the set
// modified and says so, and lands in the BDF file as its own lines (written
// here from BDF's rules: FONTBOUNDINGBOX and BBX hold the width, height, x
// and y of the cell's lower left corner from the pen, DWIDTH the advance).
class tst_GlyphSetSession : public QObject
{
    Q_OBJECT

private slots:
    void metrics_data();
    void metrics();
    void undo_data();
    void undo();
    void exportChoicesPerFontAndInTheFile();
    void savesAFontBackInItsPlace();
    void savesARemappedFontWhereItWas();
    void savesNoFontItWouldCut_data();
    void savesNoFontItWouldCut();
    void savesAFontOpenedInPartWhole();
};

void tst_GlyphSetSession::metrics_data()
{
    QTest::addColumn<QString>("metric");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("changes");
    QTest::addColumn<QByteArrayList>("lines");

    QTest::newRow("baseline a row higher")
            << "ascent" << 5 << true
            << QByteArrayList{"FONTBOUNDINGBOX 5 7 0 -2", "FONT_ASCENT 5", "FONT_DESCENT 2", "BBX 5 7 0 -2"};
    QTest::newRow("baseline under the cell")
            << "ascent" << 7 << true << QByteArrayList{"FONTBOUNDINGBOX 5 7 0 0", "FONT_DESCENT 0"};
    QTest::newRow("baseline where it was") << "ascent" << 6 << false << QByteArrayList{"FONTBOUNDINGBOX 5 7 0 -1"};
    QTest::newRow("cell a pixel left of the pen")
            << "xOffset" << -1 << true << QByteArrayList{"FONTBOUNDINGBOX 5 7 -1 -1", "BBX 5 7 -1 -1"};
    QTest::newRow("narrower advance") << "advance" << 4 << true << QByteArrayList{"DWIDTH 4 0", "BBX 4 7 0 -1"};
    QTest::newRow("no advance, a mark") << "advance" << 0 << true << QByteArrayList{"DWIDTH 0 0"};
    QTest::newRow("the cell's width, as it was") << "advance" << 5 << false << QByteArrayList{"DWIDTH 5 0"};
}

void tst_GlyphSetSession::metrics()
{
    QFETCH(QString, metric);
    QFETCH(int, value);
    QFETCH(bool, changes);
    QFETCH(QByteArrayList, lines);

    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    session.open(ReadResult(twoGlyphs()), QStringLiteral("two.bdf"), FontKind::Kind::Bdf);
    QSignalSpy metricsChanged(&session, &GlyphSetSession::metricsChanged);
    QSignalSpy glyphChanged(&session, &GlyphSetSession::glyphChanged);

    if (metric == "ascent")
        session.setAscent(value);
    else if (metric == "xOffset")
        session.setXOffset(value);
    else
        session.setAdvance(value);
    QCOMPARE(session.isModified(), changes);
    QCOMPARE(metricsChanged.count() + glyphChanged.count(), changes ? 1 : 0);
    // An advance left to the cell stays so until it is given another one.
    QCOMPARE(session.set().at(0).advance.has_value(), metric == "advance" && changes);

    const QByteArray bdf = BdfFormat::write(session.set());
    const QByteArrayList written = bdf.split('\n');
    for (const QByteArray &line : lines)
        QVERIFY2(written.contains(line), line.constData());
    const ReadResult read = BdfFormat::read(bdf, QStringLiteral("two.bdf"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.set->cols(), 5);
    QCOMPARE(read.set->rows(), 7);
    QCOMPARE(read.set->ascent, session.set().ascent);
    QCOMPARE(read.set->xOffset, session.set().xOffset);
    QCOMPARE(read.set->advanceOf(read.set->at(0)), session.set().advanceOf(session.set().at(0)));
    QVERIFY(read.set->at(0).bits == session.set().at(0).bits);
}

// Metric changes and cell edits in one history: each action of a script,
// then the session as describe() words it.
void tst_GlyphSetSession::undo_data()
{
    QTest::addColumn<QString>("script");

    QTest::newRow("a metric change is a step of its own")
            << "edit: A edited, modified / ascent=5: ascent 5, A edited, modified / undo: A edited, modified / "
               "undo: modified / redo: A edited, modified / redo: ascent 5, A edited, modified";
    QTest::newRow("advances of two glyphs, each undone and redone")
            << "advance=4: A advance 4, modified / next: A advance 4, at B, modified / "
               "advance=3: A advance 4, B advance 3, at B, modified / undo: A advance 4, at B, modified / "
               "undo: A advance 4, modified / undo: modified / redo: A advance 4, modified / "
               "redo: A advance 4, at B, modified / redo: A advance 4, B advance 3, at B, modified";
    QTest::newRow("a value typed digit by digit is one step")
            << "edit: A edited, modified / advance=1: A advance 1, A edited, modified / "
               "advance=12: A advance 12, A edited, modified / undo: A edited, modified";
    QTest::newRow("a run of one metric ends at another, and at an undo")
            << "offset=-1: offset -1, modified / ascent=5: ascent 5, offset -1, modified / "
               "offset=-2: ascent 5, offset -2, modified / undo: ascent 5, offset -1, modified / "
               "undo: offset -1, modified / offset=-3: offset -3, modified / undo: offset -1, modified";
    QTest::newRow("choosing the glyph drawn is no step")
            << "edit: A edited, modified / again: A edited, modified / undo: modified";
    QTest::newRow("saved, then undone: modified again")
            << "ascent=5: ascent 5, modified / save: ascent 5, saved / undo: modified";
    // Back past its opening a set has no glyph drawn to give an advance to.
    QTest::newRow("steps of a closed set change nothing in the next")
            << "ascent=5: ascent 5, modified / advance=4: ascent 5, A advance 4, modified / reopen: saved / "
               "undo: at none, saved / advance=3: at none, saved / undo: at none, saved / undo: at none, saved";
}

void tst_GlyphSetSession::undo()
{
    QFETCH(QString, script);

    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("two.bdf"));
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    session.open(ReadResult(twoGlyphs()), path, FontKind::Kind::Bdf);

    for (const QString &step : script.split(QStringLiteral(" / "))) {
        const QString action = step.section(QStringLiteral(": "), 0, 0);
        const int value = action.section(u'=', 1).toInt();
        QString error;
        if (action == u"edit")
            editor.Grid1_Click(6, 4);
        else if (action == u"undo")
            editor.undo();
        else if (action == u"redo")
            editor.redo();
        else if (action == u"next")
            session.chooseNext();
        else if (action == u"again")
            session.choose(session.current());
        else if (action == u"save")
            QVERIFY2(session.save(path, ExportOptions(), &error), qPrintable(error));
        else if (action == u"reopen") {
            session.close();
            session.open(ReadResult(twoGlyphs()), path, FontKind::Kind::Bdf);
        } else if (action.startsWith(u"ascent="))
            session.setAscent(value);
        else if (action.startsWith(u"offset="))
            session.setXOffset(value);
        else if (action.startsWith(u"advance="))
            session.setAdvance(value);
        else
            QFAIL(qPrintable(action));
        QCOMPARE(action + QStringLiteral(": ") + describe(session), step);
    }
}

// The export dialog's choices: kept for each font while the program runs,
// taken from the file for a font not opened before, and saved into it.
void tst_GlyphSetSession::exportChoicesPerFontAndInTheFile()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.bdf"));
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    ExportChoices chosen;
    chosen.format = FontExport::Format::U8g2;
    chosen.sample = QStringLiteral("Привет\n\nмир");
    session.open(ReadResult(twoGlyphs()), a, FontKind::Kind::Bdf);
    session.setExportChoices(chosen);
    QVERIFY(!session.isModified());

    GlyphSet stored = twoGlyphs();
    stored.properties = {{"KELVOR_EXPORT_FORMAT", "\"pages\""}};
    session.open(ReadResult(stored), dir.filePath(QStringLiteral("b.bdf")), FontKind::Kind::Bdf);
    QCOMPARE(session.exportChoices().format, FontExport::Format::Pages);
    session.open(ReadResult(twoGlyphs()), a, FontKind::Kind::Bdf);
    QVERIFY(session.exportChoices() == chosen);

    QString error;
    const auto saved = [&] {
        QFile file(a);
        return session.save(a, ExportOptions(), &error) && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const ReadResult read = BdfFormat::read(saved(), a);
    QVERIFY2(read.ok(), qPrintable(read.error + error));
    QVERIFY(ExportChoices::fromProperties(read.set->properties) == chosen);
    // Choices set back to the defaults leave none of the old ones.
    session.setExportChoices(ExportChoices());
    const QByteArray again = saved();
    QVERIFY(again.startsWith("STARTFONT") && !again.contains("KELVOR_EXPORT_"));
}

namespace {
QByteArray exported(const GlyphSet &set, FontExport::Format format, const QString &name)
{
    FontExport::Options options;
    options.format = format;
    options.name = name;
    return FontExport::write(set, options).text.toUtf8();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// A GFX font between a u8g2 font and lines of the user's own: Save writes
// the GFX font again where it stood, with the advance changed, and leaves
// every other byte of the file as it was.
void tst_GlyphSetSession::savesAFontBackInItsPlace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fonts.h"));
    const QByteArray before = "// fonts of the board\n" + exported(twoGlyphs(), FontExport::Format::U8g2, "small");
    const QByteArray after = "\nint keep = 1; /* the user's */\n";
    const QByteArray gfx = exported(twoGlyphs(), FontExport::Format::Gfx, "large");
    QVERIFY(writeFile(path, before + gfx + after));

    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    ReadResult read = FirmwareSource::read(readFile(path), path, QStringLiteral("large"));
    QVERIFY2(read.ok(), qPrintable(read.error));
    session.open(std::move(read), path, FontKind::Kind::Array);
    QCOMPARE(session.savePath(), path);
    session.setAdvance(7);
    QString error;
    QVERIFY2(session.save(path, ExportOptions(), &error), qPrintable(error));

    const QByteArray saved = readFile(path);
    QVERIFY(saved.startsWith(before));
    QVERIFY(saved.endsWith(after));
    const ReadResult again = FirmwareSource::read(saved, path, QStringLiteral("large"));
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(again.set->advanceOf(again.set->at(0)), 7);
    QCOMPARE(again.set->size(), 2);
    QVERIFY(FirmwareSource::read(saved, path, QStringLiteral("small")).ok());
}

// A font written with its glyphs placed away from their code points (A and
// B at 0xC0 and 0xC1) goes back to the same places.
void tst_GlyphSetSession::savesARemappedFontWhereItWas()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("moved.h"));
    FontExport::Options options;
    options.format = FontExport::Format::Gfx;
    options.name = QStringLiteral("moved");
    QString error;
    QVERIFY(CodePoints::parseRemaps(u"0x41-0x42:0xC0", &options.remaps, &error));
    const QByteArray text = FontExport::write(twoGlyphs(), options).text.toUtf8();
    QVERIFY(writeFile(path, text));

    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    session.open(FirmwareSource::read(text, path), path, FontKind::Kind::Array);
    QCOMPARE(session.set().at(0).codePoint, 'A');
    session.setAdvance(4);
    QVERIFY2(session.save(path, ExportOptions(), &error), qPrintable(error));
    const QByteArray saved = readFile(path);
    QVERIFY2(saved.contains("0xC0, 0xC1, 7"), saved.constData());
    const ReadResult again = FirmwareSource::read(saved, path);
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(again.set->at(0).codePoint, 'A');
    QCOMPARE(again.set->advanceOf(again.set->at(0)), 4);
}

void tst_GlyphSetSession::savesNoFontItWouldCut_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("says");

    // The library's own layout: 'A' one column of 2 rows, 'B' a dot.
    const QByteArray font = "const GFXglyph fGlyphs[] = {\n  {0, 1, 2, 2, 0, -1},\n  {3, 1, 1, 2, 0, -1},\n};\n"
                            "const GFXfont f = { (uint8_t *)fBitmaps, (GFXglyph *)fGlyphs, 0x41, 0x42, 20 };\n";
    QTest::newRow("#if inside its arrays")
            << "#define MORE 0\nconst uint8_t fBitmaps[] = { 0xFF, 0xFF, 0xFF, 0x80,\n#if MORE\n 0x01,\n#endif\n};\n"
                       + font
            << "#if";
}

// What Save would not write back whole is refused, and the file stays.
void tst_GlyphSetSession::savesNoFontItWouldCut()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, says);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.h"));
    QVERIFY(writeFile(path, text));
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    ReadResult read = FirmwareSource::read(text, path);
    QVERIFY2(read.ok(), qPrintable(read.error));
    session.open(std::move(read), path, FontKind::Kind::Array);
    session.setAdvance(3);
    QString error;
    QVERIFY(!session.save(path, ExportOptions(), &error));
    QVERIFY2(error.contains(says), qPrintable(error));
    QCOMPARE(readFile(path), text);
    QVERIFY(session.isModified());
}

// A font opened in part is saved whole: as BDF (Save As), the glyph left
// out as the file holds it and the one opened as edited; and back in its
// place, with the glyph left out where it stood.
void tst_GlyphSetSession::savesAFontOpenedInPartWhole()
{
    const QByteArray text = "const uint8_t fBitmaps[] = { 0xFF, 0xFF, 0xFF, 0x80 };\n"
                            "const GFXglyph fGlyphs[] = {\n  {0, 1, 20, 2, 0, -19},\n  {3, 1, 1, 2, 0, -1},\n};\n"
                            "const GFXfont f = { (uint8_t *)fBitmaps, (GFXglyph *)fGlyphs, 0x41, 0x42, 20 };\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.h"));
    QVERIFY(writeFile(path, text));
    StringTextBox Text2;
    GlyphEditor editor(Text2);
    EditorSession::startUp(editor);
    GlyphSetSession session(editor);
    session.open(FirmwareSource::read(text, path), path, FontKind::Kind::Array);
    session.setAdvance(3);
    const QString bdf = dir.filePath(QStringLiteral("f.bdf"));
    QString error;
    QVERIFY2(session.save(bdf, ExportOptions(), &error), qPrintable(error));
    QVERIFY(!session.isModified());
    QCOMPARE(readFile(path), text);

    const QByteArray saved = readFile(bdf);
    QVERIFY2(saved.contains("ENCODING 65\nSWIDTH") && saved.contains("DWIDTH 2 0\nBBX 1 20 0 0\nBITMAP\n"
                                                                       + QByteArray("80\n").repeated(20) + "ENDCHAR"),
             saved.constData());
    QVERIFY(saved.contains("ENCODING 66\n") && saved.contains("DWIDTH 3 0"));
    QVERIFY(saved.contains("CHARS 2\n"));

    session.setAdvance(4);
    QVERIFY2(session.save(path, ExportOptions(), &error), qPrintable(error));
    const ReadResult again = FirmwareSource::read(readFile(path), path);
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(again.fontGlyphs, 2);
    QCOMPARE(again.set->advanceOf(again.set->at(0)), 4);
    QVERIFY(readFile(path).contains("{     0,   1,  20,   2,    0,  -19 }"));
}

QTEST_GUILESS_MAIN(tst_GlyphSetSession)
#include "tst_glyphsetsession.moc"
