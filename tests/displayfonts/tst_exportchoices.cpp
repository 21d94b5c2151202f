#include "exportchoices.h"

#include <QTest>

Q_DECLARE_METATYPE(ExportChoices)

// The export dialog's choices as BDF properties, the lines written here from
// BDF's rules (a string in double quotes, a quote in it doubled) and the
// escapes a one-line property needs; and what is read back from properties
// another program or a hand may have left.
class tst_ExportChoices : public QObject
{
    Q_OBJECT

private slots:
    void properties_data();
    void properties();
    void defaultName_data();
    void defaultName();
};

void tst_ExportChoices::properties_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<ExportChoices>("choices");
    QTest::addColumn<bool>("writtenSo"); // whether the choices give these lines back

    ExportChoices every;
    every.format = FontExport::Format::Gfx;
    every.name = QStringLiteral("font_cyr");
    every.comments = every.widths = true;
    every.pageOrder = FontExport::PageOrder::Page;
    every.codePoints = QStringLiteral("32-126,0x410-0x44F");
    every.remaps = QStringLiteral("U+0410-U+044F:0xC0");
    every.sample = QStringLiteral(" \"Привет\"\nC:\\new ");
    every.displayWidth = 96;
    every.displayHeight = 32;

    QTest::newRow("the defaults write nothing") << QByteArrayList{} << ExportChoices() << true;
    QTest::newRow("every choice") << QByteArrayList{"KELVOR_EXPORT_FORMAT \"gfx\"",
                                                    "KELVOR_EXPORT_NAME \"font_cyr\"",
                                                    "KELVOR_EXPORT_COMMENTS 1",
                                                    "KELVOR_EXPORT_PAGE_ORDER \"page\"",
                                                    "KELVOR_EXPORT_WIDTHS 1",
                                                    "KELVOR_EXPORT_CODE_POINTS \"32-126,0x410-0x44F\"",
                                                    "KELVOR_EXPORT_REMAPS \"U+0410-U+044F:0xC0\"",
                                                    "KELVOR_EXPORT_SAMPLE \" \"\"Привет\"\"\\nC:\\\\new \"",
                                                    "KELVOR_EXPORT_DISPLAY_WIDTH 96",
                                                    "KELVOR_EXPORT_DISPLAY_HEIGHT 32"}
                                  << every << true;
    QTest::newRow("values the dialog cannot take, and other properties, are the defaults")
            << QByteArrayList{"KELVOR_EXPORT_FORMAT \"bmp\"", "KELVOR_EXPORT_PAGE_ORDER \"row\"",
                              "KELVOR_EXPORT_COMMENTS 2", "KELVOR_EXPORT_DISPLAY_WIDTH 1025",
                              "KELVOR_EXPORT_DISPLAY_HEIGHT 0", "KELVOR_EXPORT_CODE_POINTS \"32-126",
                              "KELVOR_EXPORT_COLOUR \"red\"", "KELVOR_PREFIX \"0x\""}
            << ExportChoices() << false;
}

void tst_ExportChoices::properties()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(ExportChoices, choices);
    QFETCH(bool, writtenSo);

    ExportChoices::Properties properties;
    for (const QByteArray &line : lines)
        properties.append({line.left(line.indexOf(' ')), line.mid(line.indexOf(' ') + 1)});
    QVERIFY(ExportChoices::fromProperties(properties) == choices);
    if (writtenSo)
        QCOMPARE(choices.properties(), properties);
}

// The C name a font's file gives, for the format it is exported in.
void tst_ExportChoices::defaultName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<FontExport::Format>("format");
    QTest::addColumn<QString>("name");

    using F = FontExport::Format;
    QTest::newRow("digit first") << "/fonts/5x7.bdf" << F::C << "font_5x7";
    QTest::newRow("gzip") << "/fonts/ter-u16n.psf.gz" << F::U8g2 << "ter_u16n";
    QTest::newRow("dots") << "a.b.PSF" << F::Pages << "a_b";
    QTest::newRow("keyword") << "int.bdf" << F::C << "int_";
    // The graphics library's header declares GFXfont: its font cannot be
    // named so, another format's can.
    QTest::newRow("library's name, gfx") << "GFXfont.bdf" << F::Gfx << "GFXfont_";
    QTest::newRow("library's name, c") << "GFXfont.bdf" << F::C << "GFXfont";
}

void tst_ExportChoices::defaultName()
{
    QFETCH(QString, path);
    QFETCH(FontExport::Format, format);
    QFETCH(QString, name);
    QCOMPARE(ExportChoices::defaultName(path, format), name);
    QVERIFY(FontExport::isName(format, name));
}

QTEST_GUILESS_MAIN(tst_ExportChoices)
#include "tst_exportchoices.moc"
