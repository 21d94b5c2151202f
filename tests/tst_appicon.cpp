#include <QImage>
#include <QSet>
#include <QTest>

// The application icon: 32 by 32 pixels in at most 16 colours, the same
// picture in Qt's resources and in the Windows icon file made from it.
class tst_AppIcon : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void icoFileShowsThePngPicture();
};

namespace {
const QString kPng = QStringLiteral(":/kelvor/kelvor.png");
const QString kIco = QStringLiteral(KELVOR_ICO_FILE);
} // namespace

void tst_AppIcon::picture_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("PNG in the resources") << kPng;
    QTest::newRow("Windows .ico") << kIco;
}

void tst_AppIcon::picture()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
}

// A PNG edited without remaking the .ico would give the program file another
// picture than its windows. Compared pixel by pixel: QImage's own comparison
// also weighs the colour space, which only the PNG records.
void tst_AppIcon::icoFileShowsThePngPicture()
{
    const QImage png(kPng);
    const QImage ico(kIco);
    QCOMPARE(ico.size(), png.size());
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            QVERIFY2(ico.pixel(x, y) == png.pixel(x, y), qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
}

QTEST_MAIN(tst_AppIcon)
#include "tst_appicon.moc"
