#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

// The application icon: 32 by 32 pixels in at most 16 colours, the same
// picture in Qt's resources, in the Windows icon file and in the larger icons
// that desktops show (make-icons.py makes them all from the PNG).
class tst_AppIcon : public QObject
{
    Q_OBJECT

private slots:
    void picture_data();
    void picture();
    void icoFileShowsThePngPicture();
    void largerPngsRepeatEachPixel_data();
    void largerPngsRepeatEachPixel();
    void svgPaintsEachPixel();
};

namespace {
const QString kPng = QStringLiteral(":/kelvor/kelvor.png");
const QString kIco = QStringLiteral(KELVOR_ICO_FILE);
const QString kResources = QStringLiteral(KELVOR_RESOURCES_DIR);

// The first pixel where `image` differs from `png` scaled up k times with
// every pixel repeated, as "x, y", or an empty string.
QString firstDifference(const QImage &png, const QImage &image, int k)
{
    if (image.size() != png.size() * k)
        return QStringLiteral("size %1 x %2").arg(image.width()).arg(image.height());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != png.pixel(x / k, y / k))
                return QStringLiteral("%1, %2").arg(x).arg(y);
    return {};
}

// Paints the SVG's opaque rectangles one pixel per unit. The icon is made of
// nothing else; anything else in it fails the test rather than go unpainted.
QImage paintSvgRects(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QImage image;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("svg")) {
            const QStringList box = a.value("viewBox").toString().split(QLatin1Char(' '));
            if (box != QStringList{"0", "0", "32", "32"}) {
                *error = QStringLiteral("viewBox %1").arg(box.join(QLatin1Char(' ')));
                return {};
            }
            image = QImage(32, 32, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
        } else if (xml.name() == QLatin1String("rect") && !image.isNull() && !a.hasAttribute("fill-opacity")) {
            QPainter painter(&image);
            painter.fillRect(a.value("x").toInt(), a.value("y").toInt(), a.value("width").toInt(),
                             a.value("height").toInt(), QColor(a.value("fill").toString()));
        } else {
            *error = QStringLiteral("unexpected <%1> at line %2").arg(xml.name()).arg(xml.lineNumber());
            return {};
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return image;
}
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

// The larger icons are the small one with every pixel repeated, so that they
// stay sharp: a smoothed upscale or a stale copy of an older picture differs.
void tst_AppIcon::largerPngsRepeatEachPixel_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("64 x 64") << 64;
    QTest::newRow("128 x 128") << 128;
    QTest::newRow("256 x 256") << 256;
}

void tst_AppIcon::largerPngsRepeatEachPixel()
{
    QFETCH(int, size);
    const QString path = kResources + QStringLiteral("/kelvor-%1.png").arg(size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    const QString difference = firstDifference(QImage(kPng), image, size / 32);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void tst_AppIcon::svgPaintsEachPixel()
{
    QString error;
    const QImage painted = paintSvgRects(kResources + QStringLiteral("/kelvor.svg"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString difference = firstDifference(QImage(kPng), painted, 1);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_MAIN(tst_AppIcon)
#include "tst_appicon.moc"
