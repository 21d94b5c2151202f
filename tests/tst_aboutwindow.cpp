#include "aboutwindow.h"
#include "startup.h"
#include "twips.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

// The about window: its layout, its wording and picture, and how it hides and
// goes away.
class tst_AboutWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layout();
    void wordingFits_data();
    void wordingFits();
    void image1KeepsItsSize_data();
    void image1KeepsItsSize();
    void closeButtonHidesAndTitleBarCloseDeletes();
};

void tst_AboutWindow::initTestCase()
{
    Startup::setUpApplication();
}

void tst_AboutWindow::layout()
{
    const auto about = std::make_unique<AboutWindow>();
    QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about->windowTitle(), QStringLiteral("About"));
    QCOMPARE(about->parentWidget(), nullptr);
    QCOMPARE(about->size(), QSize(Twips::toPixels(6270), Twips::toPixels(3585)));
    QVERIFY2(!about->windowIcon().isNull(), "the application icon is missing from the resources");
    const QString title = about->findChild<QLabel *>(QStringLiteral("Label1"))->text();
    QVERIFY2(title.startsWith(QStringLiteral("KELVOR2 Beta  ")), qPrintable(title));
    auto *close = about->findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("&Close"));
}

void tst_AboutWindow::wordingFits_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Label1 title and notice, one line") << "Label1";
    QTest::newRow("Label2 notice") << "Label2";
    QTest::newRow("Label4 contact") << "Label4";
}

// The wording must fit its fixed label in the window's fonts, and the
// auto-sized title must stay inside the window.
void tst_AboutWindow::wordingFits()
{
    QFETCH(QString, name);
    const auto about = std::make_unique<AboutWindow>();
    auto *label = about->findChild<QLabel *>(name);
    QVERIFY(label);
    QVERIFY2(about->rect().contains(label->geometry()), qPrintable(label->text()));
    const QSize needed = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                           : label->sizeHint();
    QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
             qPrintable(QStringLiteral("%1 x %2 px needed").arg(needed.width()).arg(needed.height())));
}

void tst_AboutWindow::image1KeepsItsSize_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::newRow("tall and narrow") << QSize(5, 200);
    QTest::newRow("wide and flat") << QSize(400, 3);
    QTest::newRow("smaller than the control") << QSize(4, 4);
}

// Whatever the picture's proportions, the control keeps its size and the
// picture fills it to the edges.
void tst_AboutWindow::image1KeepsItsSize()
{
    QFETCH(QSize, pictureSize);
    const auto about = std::make_unique<AboutWindow>();
    auto *image = about->findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(image);
    QVERIFY2(!image->pixmap().isNull(), "the about picture is missing from the resources");
    const QSize designed(Twips::toPixels(1185), Twips::toPixels(435));
    QCOMPARE(image->size(), designed);

    QPixmap picture(pictureSize);
    picture.fill(Qt::red);
    image->setPixmap(picture);
    image->adjustSize();
    QCOMPARE(image->size(), designed);
    const QImage shown = image->grab().toImage();
    const QRect r = shown.rect();
    for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        QCOMPARE(shown.pixelColor(corner), QColor(Qt::red));
}

void tst_AboutWindow::closeButtonHidesAndTitleBarCloseDeletes()
{
    QPointer<AboutWindow> about = new AboutWindow;
    about->show();
    about->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(!about->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(about, "deleted by \"&Close\"");

    about->show();
    about->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(about.isNull());
}

QTEST_MAIN(tst_AboutWindow)
#include "tst_aboutwindow.moc"
