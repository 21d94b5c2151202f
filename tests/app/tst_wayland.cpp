#include "mainwindow.h"
#include "startup.h"
#include "testsettings.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

// The program on a real Wayland compositor (wayland.sh starts one): the main
// window is mapped, closing it ends the program, and the placement is still
// written. A Wayland client is never told where its window is: Qt puts the
// client area at (0, 0) whatever was asked, so the position written is minus
// the margins of the frame that Qt draws itself; the size is the real one.
class tst_Wayland : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showAndClose();
};

void tst_Wayland::initTestCase()
{
    // Without a compositor Qt would fail or, given another platform, test that.
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
}

void tst_Wayland::showAndClose()
{
    TestSettings settings;
    Startup::setUpApplication();
    MainWindow window;
    window.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.windowHandle()->isExposed());

    QRect frame;
    QTimer::singleShot(0, &window, [&] {
        frame = window.frameGeometry();
        window.close();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window.isVisible());

    QSettings store = TestSettings::store();
    qInfo("Written: left %s, top %s, width %s, height %s; frame %d,%d %dx%d, client %dx%d",
          qPrintable(store.value("Settings/MainLeft").toString()), qPrintable(store.value("Settings/MainTop").toString()),
          qPrintable(store.value("Settings/MainWidth").toString()),
          qPrintable(store.value("Settings/MainHeight").toString()), frame.x(), frame.y(), frame.width(),
          frame.height(), window.width(), window.height());
    QCOMPARE(store.value("Settings/MainLeft").toString(), QString::number(frame.x() * 15));
    QCOMPARE(store.value("Settings/MainTop").toString(), QString::number(frame.y() * 15));
    QCOMPARE(store.value("Settings/MainWidth").toString(), QString::number(frame.width() * 15));
    QCOMPARE(store.value("Settings/MainHeight").toString(), QString::number(frame.height() * 15));
    QVERIFY(frame.width() * 15 >= MainWindow::kClientWidthTwips);
    QVERIFY(frame.height() * 15 >= MainWindow::kClientHeightTwips);
}

QTEST_MAIN(tst_Wayland)
#include "tst_wayland.moc"
