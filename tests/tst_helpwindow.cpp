#include "helpwindow.h"
#include "startup.h"
#include "twips.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

// The help window: its layout, the page it shows, and how it hides and goes
// away.
class tst_HelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layout();
    void label2ShowsTheWholePage();
    void closeButtonHidesAndKeepsThePage();
    void titleBarCloseDeletes_data();
    void titleBarCloseDeletes();
};

namespace {
QLabel *label2(QWidget *help)
{
    return help->findChild<QLabel *>(QStringLiteral("Label2"));
}
} // namespace

void tst_HelpWindow::initTestCase()
{
    Startup::setUpApplication();
}

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

// The page has fourteen lines of its own, a paragraph for each area of the
// main window led by the area's name in capitals, and none is lost below the
// label's edge.
void tst_HelpWindow::label2ShowsTheWholePage()
{
    const auto help = std::make_unique<HelpWindow>();
    QLabel *label = label2(help.get());
    QVERIFY(label);
    const QStringList lines = label->text().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 14);
    QStringList areas;
    const QRegularExpression heading(QStringLiteral("^([A-Z ]+): "));
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = heading.match(line);
        if (match.hasMatch())
            areas << match.captured(1);
    }
    QCOMPARE(areas, (QStringList{"SETTINGS", "DISPLAY", "INVERT", "MATRIX", "FORMAT", "EDITABLE TEXT", "GRID"}));
    QVERIFY(lines.constLast().endsWith(QStringLiteral("text area")));
    const int needed = label->heightForWidth(label->width());
    QVERIFY2(needed <= label->height(),
             qPrintable(QStringLiteral("needs %1 px of %2").arg(needed).arg(label->height())));
}

void tst_HelpWindow::closeButtonHidesAndKeepsThePage()
{
    QPointer<HelpWindow> help = new HelpWindow;
    help->show();
    const QString page = label2(help)->text();
    help->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(!help->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(help, "deleted by \"&Close\"");

    help->show();
    QVERIFY(help->isVisible());
    QCOMPARE(label2(help)->text(), page);
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
