#include "bdfformat.h"
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
    void exportChoicesPerFontAndInTheFile();
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
        session.setAdvance(0, value);
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

QTEST_GUILESS_MAIN(tst_GlyphSetSession)
#include "tst_glyphsetsession.moc"
