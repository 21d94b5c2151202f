#include "gridview.h"
#include "mainwindow.h"
#include "outputtext.h"
#include "plaintextbox.h"
#include "plaintextdocument.h"
#include "startup.h"
#include "stringtextbox.h"
#include "testsettings.h"
#include "windowdriver.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <memory>

// Huge and hostile input, on the cores and through the real main window: a
// 16 MiB paste, an output text of 100,000 lines, prefixes and delimiters that
// are long, control characters, right-to-left or beyond the BMP, and a
// settings store that cannot be written. Each must finish, keep the text the
// user already has, and leave a window that still closes.
class tst_HostileInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void coreCopiesSixteenMiB();
    void windowCopiesPastedSixteenMiB();
    void windowHandlesHundredThousandLines();
    void hostilePrefixAndDelimiter_data();
    void hostilePrefixAndDelimiter();
    void unwritableSettingsStore();

private:
    TestSettings m_settings;
};

namespace {

constexpr qsizetype kSixteenMiB = qsizetype(16) * 1024 * 1024;

QString hexPattern(qsizetype length)
{
    static const QString digits = QStringLiteral("0123456789ABCDEF");
    QString hex;
    hex.reserve(length);
    while (hex.size() + digits.size() <= length)
        hex += digits;
    hex += digits.left(length - hex.size());
    return hex;
}

// Checks that `text` is `before` followed by the line Copy to Text makes of
// `hex` with prefix "$" and delimiter ",": its length, both ends, and pieces
// sampled through the middle.
bool holdsDollarCommaLine(const QString &text, const QString &before, const QString &hex, QString *why)
{
    const qsizetype pieces = (hex.size() + 1) / 2;
    const qsizetype expectedLength = before.size() + hex.size() + 2 * pieces + 2;
    if (text.size() != expectedLength) {
        *why = QStringLiteral("length %1, expected %2").arg(text.size()).arg(expectedLength);
        return false;
    }
    if (!text.startsWith(before)) {
        *why = QStringLiteral("the text that was there before is not kept");
        return false;
    }
    if (!text.endsWith(QStringLiteral("\r\n"))) {
        *why = QStringLiteral("no line break at the end");
        return false;
    }
    const qsizetype step = std::max<qsizetype>(1, pieces / 997);
    for (qsizetype k = 0; k < pieces; k += step) {
        const qsizetype at = before.size() + 4 * k;
        const QString expected = QLatin1Char('$') + hex.mid(2 * k, 2) + QLatin1Char(',');
        if (QStringView(text).mid(at, expected.size()) != expected) {
            *why = QStringLiteral("piece %1 reads \"%2\", expected \"%3\"")
                           .arg(k).arg(text.mid(at, expected.size()), expected);
            return false;
        }
    }
    return true;
}

template <typename T>
T *control(QWidget &window, const char *name)
{
    T *widget = window.findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("no control named %s", name);
    return widget;
}

} // namespace

void tst_HostileInput::initTestCase()
{
    Startup::setUpApplication();
}

void tst_HostileInput::cleanup()
{
    TestSettings::setPath(m_settings.path());
}

// A very long hex string: the line goes in after what the output already
// holds.
void tst_HostileInput::coreCopiesSixteenMiB()
{
    const QString hex = hexPattern(kSixteenMiB);
    const QString before = QStringLiteral("typed first\r\nno line end");
    StringTextBox Text1;
    OutputText output(Text1);
    Text1.setText(before);
    QVERIFY(output.Command1_Click(hex));
    QString why;
    QVERIFY2(holdsDollarCommaLine(Text1.text(), before, hex, &why), qPrintable(why));
}

void tst_HostileInput::windowCopiesPastedSixteenMiB()
{
    MainWindow window;
    window.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *Text1 = control<PlainTextBox>(window, "Text1");
    auto *Text2 = control<PlainTextBox>(window, "Text2");
    auto *Command1 = control<QPushButton>(window, "Command1");
    QVERIFY(Text1 && Text2 && Command1);

    Text1->setFocus();
    QTest::keyClicks(Text1, QStringLiteral("keep me"));
    QTest::keyClick(Text1, Qt::Key_Return);
    QTest::keyClicks(Text1, QStringLiteral("and me"));
    const QString before = QStringLiteral("keep me\r\nand me");
    QCOMPARE(Text1->text(), before);

    const QString hex = hexPattern(kSixteenMiB);
    QGuiApplication::clipboard()->setText(hex);
    Text2->setFocus();
    QTest::keyClick(Text2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(qobject_cast<PlainTextDocument *>(Text2->document())->length(), kSixteenMiB);
    QVERIFY(Text2->text() == hex);

    QTest::mouseClick(Command1, Qt::LeftButton);
    QString why;
    QVERIFY2(holdsDollarCommaLine(Text1->text(), before, hex, &why), qPrintable(why));

    QTest::qWait(50); // let the window repaint with both boxes full
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
}

void tst_HostileInput::windowHandlesHundredThousandLines()
{
    MainWindow window;
    window.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *Text1 = control<PlainTextBox>(window, "Text1");
    auto *Text2 = control<PlainTextBox>(window, "Text2");
    auto *Grid1 = control<GridView>(window, "Grid1");
    auto *Command1 = control<QPushButton>(window, "Command1");
    auto *Command12 = control<QPushButton>(window, "Command12");
    QVERIFY(Text1 && Text2 && Grid1 && Command1 && Command12);

    QString lines;
    for (int i = 0; i < 100000; ++i)
        lines += QStringLiteral("$%1,line %2\r\n").arg(i % 256, 2, 16, QLatin1Char('0')).arg(i);
    Text1->setText(lines);

    // Row 0 of the 16 x 16 matrix, its leftmost cell: "8000" then 15 "0000".
    QTest::mouseClick(Grid1, Qt::LeftButton, {}, Grid1->cellRect(0, 0).center());
    QCOMPARE(Text2->text(), QStringLiteral("8000") + QString(60, QLatin1Char('0')));
    QTest::mouseClick(Command1, Qt::LeftButton);
    const QString expected = lines + QStringLiteral("$80,$00,") + QStringLiteral("$00,").repeated(30)
            + QStringLiteral("\r\n");
    QVERIFY(Text1->text() == expected);

    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    WindowDriver::MessageBoxWatcher closer;
    QTest::mouseClick(Command12, Qt::LeftButton);
    QVERIFY(closer.seen);
    QCOMPARE(closer.text, QStringLiteral("Cliboard now has the text"));
    const QString onClipboard = QGuiApplication::clipboard()->text();
    QCOMPARE(onClipboard.size(), expected.size());
    QVERIFY(onClipboard == expected);
    QCOMPARE(onClipboard.count(QStringLiteral("\r\n")), 100001);

    QVERIFY(window.close());
}

void tst_HostileInput::hostilePrefixAndDelimiter_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<bool>("typed"); // typed key by key, or set like a paste

    const QString nonBmp = QStringLiteral("\U0001F600\U00010348");
    QTest::newRow("10,000 characters each")
            << QString(10000, QLatin1Char('p')) << QStringLiteral("d").repeated(10000) << false;
    QTest::newRow("control characters")
            << QStringLiteral("\x01\t\x1B") + QChar(0) << QStringLiteral("\x7F\x08\x07") << false;
    QTest::newRow("right-to-left typed")
            << QStringLiteral("\u05D0\u05D1") << QStringLiteral("\u0627\u060C") << true;
    QTest::newRow("right-to-left with overrides")
            << QStringLiteral("\u202E0x") << QStringLiteral("\u200F,\u202C") << false;
    QTest::newRow("beyond the BMP typed") << nonBmp << QStringLiteral("\U0001D11E") << true;
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) << QString(QChar(0xDC00)) << false;
    QTest::newRow("long non-BMP") << nonBmp.repeated(5000) << QStringLiteral("\u0600").repeated(10000)
                                  << false;
    // Pasted into a line edit these survive; the output area must keep them.
    QTest::newRow("lone line feed and carriage return")
            << QStringLiteral("\n") << QStringLiteral("\r") << false;
    QTest::newRow("line and paragraph separators")
            << QStringLiteral("\u2028") << QStringLiteral("\u2029") << false;
}

void tst_HostileInput::hostilePrefixAndDelimiter()
{
    QFETCH(QString, prefix);
    QFETCH(QString, delimiter);
    QFETCH(bool, typed);

    MainWindow window;
    window.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *txtfmt = control<QLineEdit>(window, "txtfmt");
    auto *txtdelim = control<QLineEdit>(window, "txtdelim");
    auto *Text1 = control<PlainTextBox>(window, "Text1");
    auto *Text2 = control<PlainTextBox>(window, "Text2");
    auto *Command1 = control<QPushButton>(window, "Command1");
    QVERIFY(txtfmt && txtdelim && Text1 && Text2 && Command1);

    for (auto [box, text] : {std::pair{txtfmt, prefix}, std::pair{txtdelim, delimiter}}) {
        if (typed) {
            box->setFocus();
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Delete);
            // One key event per character, a surrogate pair as one.
            for (qsizetype i = 0; i < text.size(); ++i) {
                const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
                i += length - 1;
            }
        } else {
            box->setText(text);
        }
        QCOMPARE(box->text(), text);
    }

    Text1->setText(QStringLiteral("kept"));
    Text2->setText(QStringLiteral("1F05"));
    QTest::mouseClick(Command1, Qt::LeftButton);
    const QString line = prefix + QStringLiteral("1F") + delimiter + prefix + QStringLiteral("05") + delimiter
            + QStringLiteral("\r\n");
    QCOMPARE(Text1->text(), QStringLiteral("kept") + line);
    QVERIFY(window.close());
}

// The placement cannot be written: the window still closes, says why on the
// console, and loses nothing the user has.
void tst_HostileInput::unwritableSettingsStore()
{
    // A directory cannot be made inside a regular file, not even by root.
    QFile blocker(m_settings.path() + QStringLiteral("/not-a-directory"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestSettings::setPath(blocker.fileName() + QStringLiteral("/settings"));

    auto window = std::make_unique<MainWindow>();
    window->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *Text1 = control<PlainTextBox>(*window, "Text1");
    QVERIFY(Text1);
    Text1->setText(QStringLiteral("$01,\r\nstill here"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^KELVOR: ")));
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(Text1->text(), QStringLiteral("$01,\r\nstill here"));
    window.reset();
    QVERIFY(QFileInfo(blocker.fileName()).isFile());
}

QTEST_MAIN(tst_HostileInput)
#include "tst_hostileinput.moc"
