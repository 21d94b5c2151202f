#include "bdfformat.h"
#include "fontfile.h"
#include "glyphexport.h"
#include "psfformat.h"
#include "readoutreference.h"
#include "realfonts.h"

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
    void initTestCase();
    void realFonts_data();
    void realFonts();
    void comments_data();
    void comments();
    void ranges_data();
    void ranges();
    void check_data();
    void check();

private:
    bool load(const QString &path, GlyphSet *set, QString *message);

    QTemporaryDir m_dir;
    QHash<QString, GlyphSet> m_sets;
};

Q_DECLARE_METATYPE(BitOrder)

using Ranges = QList<QPair<int, int>>;

namespace {
ReadoutReference::Order referenceOrder(BitOrder order)
{
    switch (order) {
    case BitOrder::Vertical:
        return ReadoutReference::Order::Vertical;
    case BitOrder::Horizontal:
        return ReadoutReference::Order::Horizontal;
    case BitOrder::HorizontalLeftToRight:
        break;
    }
    return ReadoutReference::Order::HorizontalLeftToRight;
}

// The line worked out from the pixels by the reference rules, the bytes cut
// and framed here rather than by Copy to Text.
QString referenceLine(const Glyph &glyph, const ExportOptions &output)
{
    const Drawing &bits = glyph.bits;
    const auto order = referenceOrder(output.order);
    const int valueCount = order == ReadoutReference::Order::Vertical ? bits.cols() : bits.rows();
    const auto isSet = [&bits](int r, int c) { return bits.isSet(r, c); };
    std::string hex;
    for (int i = 0; i < valueCount; ++i)
        hex += ReadoutReference::text(ReadoutReference::lineValue(isSet, bits.rows(), bits.cols(), order, i), valueCount);
    QString line;
    for (size_t i = 0; i < hex.size(); i += 2)
        line += output.prefix + QString::fromStdString(hex.substr(i, 2)) + output.delimiter;
    return line + QLatin1String("\r\n");
}

GlyphSet smallSet()
{
    GlyphSet set(5, 7);
    const QList<QPair<int, QByteArray>> glyphs = {
        {0x41, "A"}, {0x42, "B"}, {0x43, "C"}, {0x100, "Amacron"}, {Glyph::kNoCodePoint, "ornament"}};
    int seed = 1;
    for (const auto &[codePoint, name] : glyphs) {
        Glyph glyph;
        glyph.codePoint = codePoint;
        glyph.name = name;
        glyph.bits = Drawing(7, 5);
        for (int r = 0; r < 7; ++r)
            glyph.bits.set(r, (r * seed) % 5);
        ++seed;
        set.append(glyph);
    }
    return set;
}
} // namespace

void tst_GlyphExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

bool tst_GlyphExport::load(const QString &path, GlyphSet *set, QString *message)
{
    if (m_sets.contains(path)) {
        *set = m_sets.value(path);
        return true;
    }
    QByteArray bytes;
    if (!FontFile::load(path, &bytes, message))
        return false;
    const ReadResult read = path.endsWith(QLatin1String(".bdf")) ? BdfFormat::read(bytes, path)
                                                                 : PsfFormat::read(bytes, path);
    if (!read.ok()) {
        *message = read.error;
        return false;
    }
    *set = *read.set;
    m_sets.insert(path, *set);
    return true;
}

void tst_GlyphExport::realFonts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("package");
    QTest::addColumn<BitOrder>("order");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");

    const struct {
        const char *name;
        BitOrder order;
        const char *prefix;
        const char *delimiter;
    } orders[] = {
        {"vert", BitOrder::Vertical, "0x", ", "},
        {"horiz", BitOrder::Horizontal, "$", ","},
        {"horiz-ltr", BitOrder::HorizontalLeftToRight, "", ""},
    };
    for (const RealFonts::Font &font : RealFonts::all()) {
        for (const auto &order : orders) {
            QTest::addRow("%s, %s", font.row, order.name)
                    << QString::fromLatin1(font.path) << QString::fromLatin1(font.package) << order.order
                    << QString::fromLatin1(order.prefix) << QString::fromLatin1(order.delimiter);
        }
    }
}

void tst_GlyphExport::realFonts()
{
    QFETCH(QString, path);
    QFETCH(QString, package);
    QFETCH(BitOrder, order);
    QFETCH(QString, prefix);
    QFETCH(QString, delimiter);

    const QByteArray pathBytes = path.toLocal8Bit();
    const QByteArray packageBytes = package.toLatin1();
    const RealFonts::Font font{"", pathBytes.constData(), packageBytes.constData()};
    QString file;
    QString message;
    QVERIFY2(RealFonts::prepare(font, m_dir.path(), &file, &message), qPrintable(message));
    GlyphSet set;
    QVERIFY2(load(file, &set, &message), qPrintable(message));
    QVERIFY(!set.isEmpty());

    GlyphExport::Options options;
    options.output = {order, prefix, delimiter};
    const QString text = GlyphExport::text(set, options);
    options.comments = true;
    const QString commented = GlyphExport::text(set, options);

    qsizetype at = 0;
    qsizetype commentedAt = 0;
    for (qsizetype i = 0; i < set.size(); ++i) {
        const Glyph &glyph = set.at(i);
        const QString expected = referenceLine(glyph, options.output);
        const QString glyphName = GlyphExport::label(glyph);
        QVERIFY2(QStringView(text).mid(at, expected.size()) == expected,
                 qPrintable(QStringLiteral("glyph %1 (%2): '%3', the rules give '%4'")
                                    .arg(i).arg(glyphName, text.mid(at, expected.size()), expected)));
        at += expected.size();

        // The comment adds to the line and ends it: one line break, no
        // backslash before it that would carry the comment on.
        const qsizetype end = commented.indexOf(QLatin1String("\r\n"), commentedAt);
        QVERIFY2(end >= 0, qPrintable(glyphName));
        const QString line = commented.mid(commentedAt, end - commentedAt);
        QVERIFY2(line == expected.chopped(2) + QLatin1String(" // ") + glyphName, qPrintable(line));
        QVERIFY2(!line.endsWith(QLatin1Char('\\')) && !line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')),
                 qPrintable(glyphName));
        commentedAt = end + 2;
    }
    QCOMPARE(at, text.size());
    QCOMPARE(commentedAt, commented.size());
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
    QTest::newRow("DEL") << 0x7F << QByteArray("DEL") << "U+007F DEL";
    QTest::newRow("combining mark") << 0x0301 << QByteArray("acutecomb") << "U+0301 acutecomb";
    QTest::newRow("line separator") << 0x2028 << QByteArray("uni2028") << "U+2028 uni2028";
    QTest::newRow("bidi override") << 0x202E << QByteArray("uni202E") << "U+202E uni202E";
    QTest::newRow("surrogate") << 0xD800 << QByteArray("uniD800") << "U+D800 uniD800";
    QTest::newRow("no code point") << int(Glyph::kNoCodePoint) << QByteArray("ornament") << "ornament";
    QTest::newRow("no code point, no name") << int(Glyph::kNoCodePoint) << QByteArray() << "unnamed glyph";
    QTest::newRow("name ending in a backslash") << int(Glyph::kNoCodePoint) << QByteArray("slash\\") << "slash_";
    QTest::newRow("name ending in a trigraph backslash") << 0x01 << QByteArray("x?\?/") << "U+0001 x?\?_";
    QTest::newRow("name with a line break and blanks") << 0x02 << QByteArray("a b\r\nc\\") << "U+0002 a_b__c_";
    QTest::newRow("name beyond ASCII") << int(Glyph::kNoCodePoint) << QByteArray("caf\xc3\xa9") << "caf__";
}

void tst_GlyphExport::comments()
{
    QFETCH(int, codePoint);
    QFETCH(QByteArray, name);
    QFETCH(QString, comment);

    GlyphSet set(5, 7);
    Glyph glyph;
    glyph.codePoint = codePoint;
    glyph.name = name;
    glyph.bits = Drawing(7, 5);
    glyph.bits.set(0, 0);
    set.append(glyph);

    GlyphExport::Options options;
    options.comments = true;
    const QString plain = QStringLiteral("$10,$00,$00,$00,$00,$00,$00,");
    QCOMPARE(GlyphExport::line(set.at(0), set, options), plain + QLatin1String(" // ") + comment);
    QCOMPARE(GlyphExport::text(set, options), plain + QLatin1String(" // ") + comment + QLatin1String("\r\n"));
}

void tst_GlyphExport::ranges_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QList<int>>("kept"); // indexes into smallSet()

    QTest::newRow("none: every glyph, the one without code point too") << Ranges{} << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("bounds included") << Ranges{{0x41, 0x42}} << QList<int>{0, 1};
    QTest::newRow("single code points, set order kept") << Ranges{{0x100, 0x100}, {0x41, 0x41}} << QList<int>{0, 3};
    QTest::newRow("overlapping ranges keep a glyph once") << Ranges{{0x41, 0x43}, {0x42, 0x100}} << QList<int>{0, 1, 2, 3};
    QTest::newRow("a range missing the font") << Ranges{{0x30, 0x39}} << QList<int>{};
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
        expected += referenceLine(set.at(index), options.output);
    QCOMPARE(GlyphExport::text(set, options), expected);
}

void tst_GlyphExport::check_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<qint64>("line");
    QTest::addColumn<QString>("what");

    GlyphExport::Options options;
    options.comments = true;
    const QByteArray fresh = GlyphExport::text(smallSet(), options).toUtf8();
    const QList<QByteArray> lines = fresh.split('\n');
    QCOMPARE(lines.size(), 6); // five lines and nothing after the last break

    QByteArray changed = fresh;
    changed[lines[0].size() + 1 + lines[1].size() + 1 + 3] = 'F';
    QByteArray unix = fresh;
    unix.replace("\r\n", "\n");

    QTest::newRow("fresh") << fresh << qint64(0) << QString();
    QTest::newRow("one byte changed in the third line") << changed << qint64(3) << "U+0043 'C' differs";
    QTest::newRow("line breaks without CR") << unix << qint64(1) << "U+0041 'A' differs";
    QTest::newRow("empty") << QByteArray() << qint64(1) << "the text ends before U+0041 'A'";
    QTest::newRow("ends after four lines") << fresh.left(fresh.size() - lines[4].size() - 1) << qint64(5)
                                           << "the text ends before ornament";
    QTest::newRow("ends inside the last line") << fresh.chopped(2) << qint64(5) << "ornament differs";
    QTest::newRow("a line more") << fresh + "extra\r\n" << qint64(6) << "the text goes on after the last glyph";
    QTest::newRow("one byte more") << fresh + " " << qint64(6) << "the text goes on after the last glyph";
}

void tst_GlyphExport::check()
{
    QFETCH(QByteArray, existing);
    QFETCH(qint64, line);
    QFETCH(QString, what);

    GlyphExport::Options options;
    options.comments = true;
    const GlyphExport::Difference difference = GlyphExport::check(existing, smallSet(), options);
    QCOMPARE(difference.line, line);
    QCOMPARE(difference.what, what);
    QCOMPARE(difference.same(), line == 0);
}

QTEST_GUILESS_MAIN(tst_GlyphExport)
#include "tst_glyphexport.moc"
