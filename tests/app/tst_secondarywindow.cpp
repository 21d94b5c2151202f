#include "aboutwindow.h"
#include "helpwindow.h"
#include "startup.h"

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

// The help and about windows: what each shows and that all of it fits, the
// about picture, and how either hides and goes away.
class tst_SecondaryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Startup::setUpApplication(); }
    void looks_data();
    void looks();
    void textFits_data();
    void textFits();
    void helpPageHasEveryArea();
    void image1KeepsItsSize_data();
    void image1KeepsItsSize();
    void closing_data();
    void closing();
};

namespace {
// A new window of either kind, by its name.
QWidget *create(const QString &name)
{
    if (name == QLatin1String("frmHelp"))
        return new HelpWindow;
    return new AboutWindow;
}

template <typename T>
T *control(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}
} // namespace

void tst_SecondaryWindow::looks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("twips"); // the client area
    QTest::addColumn<QString>("label1"); // how Label1 starts

    QTest::newRow("help") << "frmHelp" << "KELVOR HELP" << QSize(5280, 4215) << "Kelvor 2 Help";
    QTest::newRow("about") << "frmAbout" << "About" << QSize(6270, 3585) << "KELVOR2 Beta  ";
}

void tst_SecondaryWindow::looks()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QSize, twips);
    QFETCH(QString, label1);

    const std::unique_ptr<QWidget> window(create(name));
    QCOMPARE(window->objectName(), name);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->parentWidget(), nullptr);
    QCOMPARE(window->size() * 15, twips); // 15 twips to a pixel at 96 dpi
    QVERIFY2(!window->windowIcon().isNull(), "the application icon is missing from the resources");
    const QString shown = control<QLabel>(window.get(), "Label1")->text();
    QVERIFY2(shown.startsWith(label1), qPrintable(shown));
    QCOMPARE(control<QPushButton>(window.get(), "Command1")->text(), QStringLiteral("&Close"));
}

void tst_SecondaryWindow::textFits_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");

    QTest::newRow("help: Label1 title") << "frmHelp" << "Label1";
    QTest::newRow("help: Label2 page, no line lost below its edge") << "frmHelp" << "Label2";
    QTest::newRow("about: Label1 title and notice, one line") << "frmAbout" << "Label1";
    QTest::newRow("about: Label2 notice") << "frmAbout" << "Label2";
    QTest::newRow("about: Label4 contact") << "frmAbout" << "Label4";
}

// Each text fits its fixed label in the windows' fonts, and an auto-sized
// title stays inside the window.
void tst_SecondaryWindow::textFits()
{
    QFETCH(QString, window);
    QFETCH(QString, label);

    const std::unique_ptr<QWidget> shown(create(window));
    auto *text = shown->findChild<QLabel *>(label);
    QVERIFY(text);
    QVERIFY2(shown->rect().contains(text->geometry()), qPrintable(text->text()));
    const QSize needed = text->wordWrap() ? QSize(text->width(), text->heightForWidth(text->width()))
                                          : text->sizeHint();
    QVERIFY2(needed.width() <= text->width() && needed.height() <= text->height(),
             qPrintable(QStringLiteral("%1 x %2 px needed, %3 x %4 given")
                                .arg(needed.width()).arg(needed.height()).arg(text->width()).arg(text->height())));
}

// The page has fourteen lines of its own, a paragraph for each area of the
// main window led by the area's name in capitals.
void tst_SecondaryWindow::helpPageHasEveryArea()
{
    HelpWindow help;
    const QStringList lines = control<QLabel>(&help, "Label2")->text().split(QLatin1Char('\n'));
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
}

void tst_SecondaryWindow::image1KeepsItsSize_data()
{
    QTest::addColumn<QSize>("pictureSize");
    QTest::newRow("tall and narrow") << QSize(5, 200);
    QTest::newRow("wide and flat") << QSize(400, 3);
    QTest::newRow("smaller than the control") << QSize(4, 4);
}

// Whatever the picture's proportions, the control keeps its size and the
// picture fills it to the edges.
void tst_SecondaryWindow::image1KeepsItsSize()
{
    QFETCH(QSize, pictureSize);
    AboutWindow about;
    auto *image = control<QLabel>(&about, "Image1");
    QVERIFY(image);
    QVERIFY2(!image->pixmap().isNull(), "the about picture is missing from the resources");
    const QSize twips(1185, 435);
    QCOMPARE(image->size() * 15, twips);

    QPixmap picture(pictureSize);
    picture.fill(Qt::red);
    image->setPixmap(picture);
    image->adjustSize();
    QCOMPARE(image->size() * 15, twips);
    const QImage shown = image->grab().toImage();
    const QRect r = shown.rect();
    for (const QPoint corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        QCOMPARE(shown.pixelColor(corner), QColor(Qt::red));
}

void tst_SecondaryWindow::closing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hiddenFirst"); // closed by the title bar while hidden by "&Close"

    QTest::newRow("help, shown again") << "frmHelp" << false;
    QTest::newRow("help, hidden") << "frmHelp" << true;
    QTest::newRow("about, shown again") << "frmAbout" << false;
    QTest::newRow("about, hidden") << "frmAbout" << true;
}

// "&Close" hides the window and keeps it as it was; the title-bar close box
// deletes it, shown or hidden.
void tst_SecondaryWindow::closing()
{
    QFETCH(QString, name);
    QFETCH(bool, hiddenFirst);

    QPointer<QWidget> window = create(name);
    window->show();
    const QString text = control<QLabel>(window, "Label2")->text();
    control<QPushButton>(window, "Command1")->click();
    QVERIFY(!window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(window, "deleted by \"&Close\"");
    if (!hiddenFirst) {
        window->show();
        QVERIFY(window->isVisible());
        QCOMPARE(control<QLabel>(window, "Label2")->text(), text);
    }
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window.isNull());
}

QTEST_MAIN(tst_SecondaryWindow)
#include "tst_secondarywindow.moc"
