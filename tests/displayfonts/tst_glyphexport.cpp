#include "bdfformat.h"
#include "exportreference.h"
#include "fontfile.h"
#include "glyphexport.h"
#include "psfformat.h"
#include "realfonts.h"

#include <QBuffer>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

// The export of whole fonts: every glyph's line as the readout rules give it,
// the comments that name the glyphs, the ranges, and the check of a file
// against the export.
class tst_GlyphExport : public QObject
{
    Q_OBJECT

private slots:
    void realFonts_data();
    void realFonts();
    void comments_data();
    void comments();
    void ranges_data();
    void ranges();
    void check_data();
    void check();

private:
    QTemporaryDir m_dir;
    QHash<QString, GlyphSet> m_sets; // each font read once for its three rows
};

Q_DECLARE_METATYPE(BitOrder)
Q_DECLARE_METATYPE(ReadoutReference::Order)
using Ranges = QList<QPair<int, int>>;

namespace {
// A, B, C, Amacron and a glyph without a code point, each drawn differently.
GlyphSet smallSet()
{
    GlyphSet set(5, 7);
    const QList<QPair<int, QByteArray>> glyphs = {
        {0x41, "A"}, {0x42, "B"}, {0x43, "C"}, {0x100, "Amacron"}, {Glyph::kNoCodePoint, "ornament"}};
    for (int i = 0; i < glyphs.size(); ++i) {
        Glyph glyph{glyphs[i].first, glyphs[i].second, Drawing(7, 5), 0};
        for (int r = 0; r < 7; ++r)
            glyph.bits.set(r, (r * (i + 1)) % 5);
        set.append(glyph);
    }
    return set;
}
} // namespace

void tst_GlyphExport::realFonts_data()
{
    QTest::addColumn<int>("font"); // in RealFonts::all()
    QTest::addColumn<BitOrder>("order");
    QTest::addColumn<ReadoutReference::Order>("reference");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");

    const auto fonts = RealFonts::all();
    for (int i = 0; i < fonts.size(); ++i) {
        QTest::addRow("%s, vert", fonts[i].row)
                << i << BitOrder(BitOrder::Vertical) << ReadoutReference::Order::Vertical << "0x" << ", ";
        QTest::addRow("%s, horiz", fonts[i].row)
                << i << BitOrder(BitOrder::Horizontal) << ReadoutReference::Order::Horizontal << "$" << ",";
        QTest::addRow("%s, horiz-ltr", fonts[i].row) << i << BitOrder(BitOrder::HorizontalLeftToRight)
                                                     << ReadoutReference::Order::HorizontalLeftToRight << "" << "";
    }
}

void tst_GlyphExport::realFonts()
{
    QFETCH(int, font);
    QFETCH(BitOrder, order);
    QFETCH(ReadoutReference::Order, reference);
    QFETCH(QString, prefix);
    QFETCH(QString, delimiter);

    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(RealFonts::all().at(font), m_dir.path(), &path, &message), qPrintable(message));
    if (!m_sets.contains(path)) {
        QByteArray bytes;
        QVERIFY2(FontFile::load(path, &bytes, &message), qPrintable(message));
        const ReadResult read = path.endsWith(QLatin1String(".bdf")) ? BdfFormat::read(bytes, path)
                                                                     : PsfFormat::read(bytes, path);
        QVERIFY2(read.ok(), qPrintable(read.error));
        m_sets.insert(path, *read.set);
    }
    const GlyphSet set = m_sets.value(path);
    QVERIFY(!set.isEmpty());

    GlyphExport::Options options;
    options.output = {order, prefix, delimiter};
    for (const bool comments : {false, true}) {
        options.comments = comments;
        const QString text = GlyphExport::text(set, options);
        const ExportReference::Style style{reference, prefix, delimiter, comments};
        qsizetype at = 0;
        for (const Glyph &glyph : set.glyphs()) {
            const QString expected = ExportReference::line(glyph, style);
            QVERIFY2(QStringView(text).mid(at, expected.size()) == expected,
                     qPrintable(QStringLiteral("'%1', the rules give '%2'").arg(text.mid(at, expected.size()), expected)));
            at += expected.size();
        }
        QCOMPARE(at, text.size());
    }
}

void tst_GlyphExport::comments_data()
{
    QTest::addColumn<int>("codePoint");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("comment");

    QTest::newRow("printable") << 0x41 << QByteArray("A") << "U+0041 'A'";
    QTest::newRow("space") << 0x20 << QByteArray("space") << "U+0020 ' '";
    QTest::newRow("quote") << 0x27 << QByteArray("quotesingle") << "U+0027 '''";
    QTest::newRow("backslash, quoted") << 0x5C << QByteArray("backslash") << "U+005C '\\'";
    QTest::newRow("five hex digits") << 0x1F600 << QByteArray() << QStringLiteral("U+1F600 '\U0001F600'");
    QTest::newRow("control: its name") << 0x00 << QByteArray("uni0000") << "U+0000 uni0000";
    QTest::newRow("control without a name") << 0x0A << QByteArray() << "U+000A";
    QTest::newRow("combining mark") << 0x0301 << QByteArray("acutecomb") << "U+0301 acutecomb";
    QTest::newRow("line separator") << 0x2028 << QByteArray("uni2028") << "U+2028 uni2028";
    QTest::newRow("bidi override") << 0x202E << QByteArray("uni202E") << "U+202E uni202E";
    QTest::newRow("surrogate") << 0xD800 << QByteArray("uniD800") << "U+D800 uniD800";
    QTest::newRow("no code point") << int(Glyph::kNoCodePoint) << QByteArray("ornament") << "ornament";
    QTest::newRow("no code point, no name") << int(Glyph::kNoCodePoint) << QByteArray() << "unnamed glyph";
    QTest::newRow("name ending in a backslash") << int(Glyph::kNoCodePoint) << QByteArray("slash\\") << "slash_";
    QTest::newRow("name ending in a trigraph backslash") << 0x01 << QByteArray("x?\?/") << "U+0001 x?\?_";
    QTest::newRow("name with line break, blanks, UTF-8") << 0x02 << QByteArray("a b\r\n\xc3\xa9\\") << "U+0002 a_b_____";
}

void tst_GlyphExport::comments()
{
    QFETCH(int, codePoint);
    QFETCH(QByteArray, name);
    QFETCH(QString, comment);

    GlyphSet set(5, 7);
    set.append({codePoint, name, Drawing(7, 5), 0});
    GlyphExport::Options options;
    options.comments = true;
    const QString plain = QStringLiteral("$00,$00,$00,$00,$00,$00,$00,"); // a blank glyph keeps its zeros
    QCOMPARE(GlyphExport::line(set.at(0), options), plain + QLatin1String(" // ") + comment);
    QCOMPARE(GlyphExport::text(set, options), plain + QLatin1String(" // ") + comment + QLatin1String("\r\n"));
    QCOMPARE(ExportReference::label(set.at(0)), comment); // the reference the real fonts are checked against
}

void tst_GlyphExport::ranges_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QList<int>>("kept"); // indexes into smallSet()

    QTest::newRow("none: every glyph, the one without code point too") << Ranges{} << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("bounds included, set order kept") << Ranges{{0x100, 0x100}, {0x41, 0x42}} << QList<int>{0, 1, 3};
    QTest::newRow("overlapping ranges keep a glyph once") << Ranges{{0x41, 0x43}, {0x42, 0x100}} << QList<int>{0, 1, 2, 3};
    QTest::newRow("everything: still no glyph without code point") << Ranges{{0, 0x10FFFF}} << QList<int>{0, 1, 2, 3};
}

void tst_GlyphExport::ranges()
{
    QFETCH(Ranges, ranges);
    QFETCH(QList<int>, kept);

    const GlyphSet set = smallSet();
    GlyphExport::Options options;
    options.ranges = ranges;
    QString expected;
    for (const int index : kept)
        expected += ExportReference::line(set.at(index));
    QCOMPARE(GlyphExport::text(set, options), expected);
}

void tst_GlyphExport::check_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<qint64>("line");
    QTest::addColumn<QString>("what");

    ExportReference::Style commented;
    commented.comments = true;
    const QByteArray fresh = ExportReference::text(smallSet(), commented).toUtf8();
    const QList<QByteArray> lines = fresh.split('\n');
    QByteArray changed = fresh;
    changed[lines[0].size() + lines[1].size() + 2 + 3] = 'F';

    QTest::newRow("fresh") << fresh << qint64(0) << QString();
    QTest::newRow("one byte changed in the third line") << changed << qint64(3) << "U+0043 'C' differs";
    QTest::newRow("line breaks without CR") << QByteArray(fresh).replace("\r\n", "\n") << qint64(1) << "U+0041 'A' differs";
    QTest::newRow("empty") << QByteArray() << qint64(1) << "the text ends before U+0041 'A'";
    QTest::newRow("ends inside the last line") << fresh.chopped(2) << qint64(5) << "ornament differs";
    QTest::newRow("one byte more") << fresh + " " << qint64(6) << "the text goes on after the last glyph";
}

void tst_GlyphExport::check()
{
    QFETCH(QByteArray, existing);
    QFETCH(qint64, line);
    QFETCH(QString, what);

    GlyphExport::Options options;
    options.comments = true;
    QBuffer buffer(&existing);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const GlyphExport::Difference difference = GlyphExport::check(buffer, smallSet(), options);
    QCOMPARE(difference.line, line);
    QCOMPARE(difference.what, what);
}

QTEST_GUILESS_MAIN(tst_GlyphExport)
#include "tst_glyphexport.moc"
