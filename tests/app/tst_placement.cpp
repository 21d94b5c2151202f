#include "placement.h"
#include "testsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

// Writing the window placement: it succeeds whatever the file held before,
// and says why when the store cannot be written. Where a window beside the
// main window opens.
class tst_Placement : public QObject
{
    Q_OBJECT

private slots:
    void write_data();
    void write();
    void besideMain_data();
    void besideMain();
};

namespace {
enum Before { NoFile, GoodFile, Garbage, UnwritableFolder };

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}
} // namespace

void tst_Placement::write_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("written");

    QTest::newRow("no file yet") << int(NoFile) << QByteArray() << true;
    QTest::newRow("a good file") << int(GoodFile) << QByteArray("[Settings]\nMainLeft=1\nOther=kept\n") << true;
    for (quint32 seed : {1u, 2u, 3u}) {
        QTest::addRow("4 KiB of random bytes, seed %u", seed) << int(Garbage) << randomBytes(4096, seed) << true;
    }
    QTest::newRow("unbalanced brackets and no equals signs")
            << int(Garbage) << QByteArray("[Settings\n]]]\nMainLeft\n\"\\\n") << true;
    QTest::newRow("a folder that cannot be made") << int(UnwritableFolder) << QByteArray() << false;
}

void tst_Placement::write()
{
    QFETCH(int, before);
    QFETCH(QByteArray, contents);
    QFETCH(bool, written);

    TestSettings settings;
    if (before == UnwritableFolder) {
        // A folder cannot be made inside a regular file, not even by root.
        QFile blocker(settings.path() + QStringLiteral("/file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TestSettings::setPath(blocker.fileName() + QStringLiteral("/settings"));
    } else if (before != NoFile) {
        QFile file(TestSettings::store().fileName());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(contents), contents.size());
    }

    const QRect frame(-60, 75, 7785, 7050);
    QString error;
    QCOMPARE(Placement::writeMainPlacement(frame, &error), written);
    if (!written) {
        QVERIFY2(error.startsWith(QStringLiteral("could not write the window placement to ")), qPrintable(error));
        QVERIFY(!QFile::exists(TestSettings::store().fileName()));
        return;
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The file, read afresh, holds the placement as plain decimal text.
    QSettings store = TestSettings::store();
    QCOMPARE(store.status(), QSettings::NoError);
    QCOMPARE(store.value("Settings/MainLeft").toString(), QStringLiteral("-60"));
    QCOMPARE(store.value("Settings/MainTop").toString(), QStringLiteral("75"));
    QCOMPARE(store.value("Settings/MainWidth").toString(), QStringLiteral("7785"));
    QCOMPARE(store.value("Settings/MainHeight").toString(), QStringLiteral("7050"));
    if (before == GoodFile)
        QCOMPARE(store.value("Settings/Other").toString(), QStringLiteral("kept"));
}

void tst_Placement::besideMain_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("main"); // its frame
    QTest::addColumn<QRect>("grid");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("placed"); // without its frame

    // Worked out by hand: a gap of 8 pixels from the main window's frame.
    const QRect wide(0, 0, 1920, 1040);
    const QRect small(0, 0, 1280, 800);
    const QRect mainLeft(100, 100, 520, 470);
    const QRect gridLeft(330, 240, 270, 290);
    const QRect centred(383, 150, 514, 470); // on the small screen
    const QRect gridCentred(575, 278, 300, 290);
    const QSize size(600, 440);
    const QSize minimum(450, 200);
    QTest::newRow("room on the right") << wide << mainLeft << gridLeft << size << minimum << QMargins()
                                       << QRect(628, 100, 600, 440);
    QTest::newRow("more room on the left") << wide << QRect(1300, 100, 520, 470) << QRect(1530, 240, 270, 290) << size
                                           << minimum << QMargins() << QRect(692, 100, 600, 440);
    QTest::newRow("narrowed to the room, the right side first") << small << centred << gridCentred << size
                                                                << QSize(300, 200) << QMargins()
                                                                << QRect(905, 150, 375, 440);
    // Neither side holds 450: left of the grid, as low as the screen lets it
    // stand, is where it covers least of the main window for its size.
    QTest::newRow("no room beside it: left of the grid") << small << centred << gridCentred << size << minimum
                                                         << QMargins() << QRect(0, 360, 567, 440);
    QTest::newRow("no room beside it: below the main window")
            << small << QRect(383, 0, 514, 350) << QRect(575, 60, 300, 280) << size << minimum << QMargins()
            << QRect(0, 358, 600, 440);
    QTest::newRow("the frame counts") << wide << mainLeft << gridLeft << size << minimum << QMargins(4, 24, 4, 4)
                                      << QRect(632, 124, 600, 440);
    QTest::newRow("shortened to the screen") << wide << mainLeft << gridLeft << QSize(600, 1200) << minimum
                                             << QMargins() << QRect(628, 0, 600, 1040);
    QTest::newRow("a screen left of the first") << QRect(-1920, 0, 1920, 1080) << QRect(-1000, 200, 520, 470)
                                                << QRect(-770, 340, 270, 290) << size << minimum << QMargins()
                                                << QRect(-1608, 200, 600, 440);
    // At its minimum size it covers 200 × 200 pixels of the grid in the top
    // left corner, more in the others.
    QTest::newRow("no room anywhere: the corner covering least of the grid")
            << QRect(0, 0, 640, 400) << QRect(60, 0, 520, 400) << QRect(250, 100, 250, 280) << size << QSize(450, 300)
            << QMargins() << QRect(0, 0, 450, 300);
}

void tst_Placement::besideMain()
{
    QFETCH(QRect, available);
    QFETCH(QRect, main);
    QFETCH(QRect, grid);
    QFETCH(QSize, size);
    QFETCH(QSize, minimum);
    QFETCH(QMargins, frame);
    QFETCH(QRect, placed);
    QCOMPARE(Placement::besideMain(main, grid, size, minimum, available, frame), placed);
}

QTEST_APPLESS_MAIN(tst_Placement)
#include "tst_placement.moc"
