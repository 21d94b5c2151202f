#include "exportchoices.h"

#include <QTest>

Q_DECLARE_METATYPE(ExportChoices)

namespace {

ExportChoices everyChoice()
{
    ExportChoices choices;
    choices.format = FontExport::Format::Gfx;
    choices.name = QStringLiteral("font_cyr");
    choices.comments = true;
    choices.pageOrder = FontExport::PageOrder::Page;
    choices.widths = true;
    choices.codePoints = QStringLiteral("32-126,0x410-0x44F");
    choices.remaps = QStringLiteral("U+0410-U+044F:0xC0");
    choices.sample = QStringLiteral("Привет\nA");
    choices.displayWidth = 96;
    choices.displayHeight = 32;
    return choices;
}

ExportChoices withSample(const QString &sample)
{
    ExportChoices choices;
    choices.sample = sample;
    return choices;
}

ExportChoices withWidths()
{
    ExportChoices choices;
    choices.widths = true;
    return choices;
}

} // namespace

// The dialog's choices as BDF properties, the lines written here from BDF's
// rules (a string in double quotes, a quote in it doubled) and from the
// escapes a one-line property needs; and what is read back from properties
// another program or a hand may have left.
class tst_ExportChoices : public QObject
{
    Q_OBJECT

private slots:
    void properties_data();
    void properties();
};

void tst_ExportChoices::properties_data()
{
    QTest::addColumn<ExportChoices::Properties>("properties");
    QTest::addColumn<ExportChoices>("choices");
    QTest::addColumn<bool>("writtenSo"); // whether the choices give these properties back

    QTest::newRow("the defaults write nothing") << ExportChoices::Properties{} << ExportChoices() << true;
    QTest::newRow("every choice")
            << ExportChoices::Properties{{"KELVOR_EXPORT_FORMAT", "\"gfx\""},
                                         {"KELVOR_EXPORT_NAME", "\"font_cyr\""},
                                         {"KELVOR_EXPORT_COMMENTS", "1"},
                                         {"KELVOR_EXPORT_PAGE_ORDER", "\"page\""},
                                         {"KELVOR_EXPORT_WIDTHS", "1"},
                                         {"KELVOR_EXPORT_CODE_POINTS", "\"32-126,0x410-0x44F\""},
                                         {"KELVOR_EXPORT_REMAPS", "\"U+0410-U+044F:0xC0\""},
                                         {"KELVOR_EXPORT_SAMPLE", "\"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\\nA\""},
                                         {"KELVOR_EXPORT_DISPLAY_WIDTH", "96"},
                                         {"KELVOR_EXPORT_DISPLAY_HEIGHT", "32"}}
            << everyChoice() << true;
    QTest::newRow("quotes, a backslash and blanks in the sample")
            << ExportChoices::Properties{{"KELVOR_EXPORT_SAMPLE", "\" \"\"hi\"\"\\nC:\\\\new \""}}
            << withSample(QStringLiteral(" \"hi\"\nC:\\new ")) << true;
    QTest::newRow("an empty sample") << ExportChoices::Properties{{"KELVOR_EXPORT_SAMPLE", "\"\""}}
                                     << withSample(QString()) << true;
    QTest::newRow("a backslash before another letter stands for itself")
            << ExportChoices::Properties{{"KELVOR_EXPORT_SAMPLE", "\"a\\tb\\\""}} << withSample(QStringLiteral("a\\tb\\"))
            << false;
    QTest::newRow("values the dialog cannot take are the defaults")
            << ExportChoices::Properties{{"KELVOR_EXPORT_FORMAT", "\"bmp\""},
                                         {"KELVOR_EXPORT_PAGE_ORDER", "\"row\""},
                                         {"KELVOR_EXPORT_COMMENTS", "2"},
                                         {"KELVOR_EXPORT_DISPLAY_WIDTH", "1025"},
                                         {"KELVOR_EXPORT_DISPLAY_HEIGHT", "0"},
                                         {"KELVOR_EXPORT_CODE_POINTS", "\"32-126"},
                                         {"KELVOR_EXPORT_COLOUR", "\"red\""}}
            << ExportChoices() << false;
    QTest::newRow("the font's and the other options' properties are not choices")
            << ExportChoices::Properties{{"FONT_ASCENT", "6"},
                                         {"KELVOR_PREFIX", "\"0x\""},
                                         {"KELVOR_EXPORT_WIDTHS", " 1 "},
                                         {"COPYRIGHT", "\"Public domain\""}}
            << withWidths() << false;
}

void tst_ExportChoices::properties()
{
    QFETCH(ExportChoices::Properties, properties);
    QFETCH(ExportChoices, choices);
    QFETCH(bool, writtenSo);

    QVERIFY(ExportChoices::fromProperties(properties) == choices);
    if (writtenSo)
        QCOMPARE(choices.properties(), properties);
}

QTEST_GUILESS_MAIN(tst_ExportChoices)
#include "tst_exportchoices.moc"
