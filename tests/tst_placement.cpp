#include "placement.h"
#include "testsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

// Writing the window placement: it succeeds whatever the file held before,
// and says why when the store cannot be written.
class tst_Placement : public QObject
{
    Q_OBJECT

private slots:
    void write_data();
    void write();
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

QTEST_APPLESS_MAIN(tst_Placement)
#include "tst_placement.moc"
