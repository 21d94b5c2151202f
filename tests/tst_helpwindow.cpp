#include "helptext.h"
#include "helpwindow.h"
#include "twips.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

// The help window: its layout, the page its load step sets, and how it hides
// and goes away.
class tst_HelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void layout();
    void label2ShowsTheWholePage();
    void closeButtonHidesWithoutLoadingAgain();
    void titleBarCloseDeletes_data();
    void titleBarCloseDeletes();
};

void tst_HelpWindow::layout()
{
    const auto help = std::make_unique<HelpWindow>();
    QCOMPARE(help->objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(help->windowTitle(), QStringLiteral("KELVOR HELP"));
    QCOMPARE(help->parentWidget(), nullptr);
    QCOMPARE(help->size(), QSize(Twips::toPixels(5280), Twips::toPixels(4215)));
    QCOMPARE(help->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Kelvor 2 Help"));
    auto *close = help->findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(close);
    QCOMPARE(close->text(), QStringLiteral("&Close"));
}

// The caption keeps its CR LF breaks; the label shows the same lines, broken
// where the text breaks them, and none is lost below its edge.
void tst_HelpWindow::label2ShowsTheWholePage()
{
    const auto help = std::make_unique<HelpWindow>();
    QCOMPARE(help->loadCount(), 1);
    QCOMPARE(help->label2Caption(), HelpText::text());
    auto *label2 = help->findChild<QLabel *>(QStringLiteral("Label2"));
    QVERIFY(label2);
    QCOMPARE(label2->text().split(QLatin1Char('\n')), HelpText::lines());
    const int needed = label2->heightForWidth(label2->width());
    QVERIFY2(needed <= label2->height(),
             qPrintable(QStringLiteral("needs %1 px of %2").arg(needed).arg(label2->height())));
}

void tst_HelpWindow::closeButtonHidesWithoutLoadingAgain()
{
    QPointer<HelpWindow> help = new HelpWindow;
    help->show();
    help->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(!help->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(help, "deleted by \"&Close\"");

    help->show();
    QVERIFY(help->isVisible());
    QCOMPARE(help->loadCount(), 1);
    QCOMPARE(help->label2Caption(), HelpText::text());
    delete help;
}

void tst_HelpWindow::titleBarCloseDeletes_data()
{
    QTest::addColumn<bool>("hiddenFirst");
    QTest::newRow("shown") << false;
    QTest::newRow("hidden by &Close") << true;
}

void tst_HelpWindow::titleBarCloseDeletes()
{
    QFETCH(bool, hiddenFirst);
    QPointer<HelpWindow> help = new HelpWindow;
    help->show();
    if (hiddenFirst)
        help->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(help.isNull());
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
