#include "editorsession.h"
#include "fontset.h"
#include "gridview.h"
#include "mainwindow.h"
#include "plaintextbox.h"
#include "sizelist.h"
#include "startup.h"
#include "testsettings.h"
#include "windowdriver.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using WindowDriver::clickCell;

namespace {
// QLineEdit keeps this much room on each side of its text inside its contents
// (QLineEditPrivate's horizontal and vertical margins, fixed in Qt).
constexpr int kLineEditHorizontalMargin = 2;
constexpr int kLineEditVerticalMargin = 1;

// What the clipboard holds, counting every question asked of it: on X11 each
// is a round trip to the program that owns the clipboard, which may never
// answer. A null text stands for such an owner: it gives no formats.
class CountingMimeData : public QMimeData
{
public:
    CountingMimeData(const QString &text, int *questions)
        : m_text(text)
        , m_questions(questions)
    {
    }

    QStringList formats() const override
    {
        ++*m_questions;
        return m_text.isNull() ? QStringList() : QStringList{QStringLiteral("text/plain")};
    }

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType) const override
    {
        ++*m_questions;
        return m_text.isNull() || !mimeType.startsWith(QLatin1String("text/plain")) ? QVariant() : QVariant(m_text);
    }

private:
    QString m_text;
    int *m_questions;
};

// Where a control draws its caption, in the control's own coordinates, and the
// caption's size in the control's font.
struct CaptionRoom
{
    QRect room;
    QSize text;
};

// A caption's width as laid out (without the '&' that marks an access key)
// and its line height, in the control's font.
QSize textSize(const QWidget *control, QString text)
{
    text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    const QFontMetrics metrics = control->fontMetrics();
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

CaptionRoom lineEditRoom(const QLineEdit *edit)
{
    QStyleOptionFrame panel;
    panel.initFrom(edit);
    panel.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, edit) : 0;
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &panel, edit);
    room = room.marginsRemoved(edit->textMargins());
    room.adjust(kLineEditHorizontalMargin, kLineEditVerticalMargin, -kLineEditHorizontalMargin,
                -kLineEditVerticalMargin);
    return {room, textSize(edit, edit->text())};
}

CaptionRoom captionRoom(const QWidget *control, const QWidget **owner)
{
    *owner = control;
    if (auto *box = qobject_cast<const QGroupBox *>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.lineWidth = 1;
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
        const QRect room = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
        return {room, textSize(box, box->title())};
    }
    if (auto *button = qobject_cast<const QPushButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return {room, textSize(button, button->text())};
    }
    if (auto *label = qobject_cast<const QLabel *>(control))
        return {label->contentsRect(), textSize(label, label->text())};
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return lineEditRoom(edit);
    if (auto *list = qobject_cast<const QComboBox *>(control)) {
        *owner = list->lineEdit();
        return lineEditRoom(list->lineEdit());
    }
    return {};
}

// Whether the caption of `control` can be read whole: its text fits the room
// the control gives it, in the font the control got, and neither the
// control's container nor a sibling drawn over it hides any of that room.
bool captionFits(const QWidget *control, QString *message)
{
    const QWidget *owner = nullptr;
    const CaptionRoom caption = captionRoom(control, &owner);
    const QFontInfo face(control->font());
    const QString where = QStringLiteral("%1 in %2 %3 pt: ").arg(control->objectName(), face.family())
                                  .arg(control->font().pointSizeF());
    if (caption.room.isEmpty()) {
        *message = where + QStringLiteral("no room for a caption");
        return false;
    }
    if (caption.text.width() > caption.room.width() || caption.text.height() > caption.room.height()) {
        *message = where + QStringLiteral("the caption needs %1 x %2 pixels, the control has %3 x %4")
                                   .arg(caption.text.width()).arg(caption.text.height())
                                   .arg(caption.room.width()).arg(caption.room.height());
        return false;
    }
    // Where the text itself stands in that room, in the container's coordinates.
    Qt::Alignment alignment = Qt::AlignCenter;
    if (auto *label = qobject_cast<const QLabel *>(control))
        alignment = label->alignment();
    else if (auto *edit = qobject_cast<const QLineEdit *>(owner))
        alignment = edit->alignment();
    const QRect text = QStyle::alignedRect(Qt::LeftToRight, alignment, caption.text, caption.room);
    const QWidget *container = control->parentWidget();
    const QRect room(owner->mapTo(container, text.topLeft()), text.size());
    if (!container->rect().contains(room)) {
        *message = where + QStringLiteral("its container %1 cuts off the caption").arg(container->objectName());
        return false;
    }
    const QObjectList siblings = container->children();
    for (qsizetype i = siblings.indexOf(const_cast<QWidget *>(control)) + 1; i < siblings.size(); ++i) {
        auto *above = qobject_cast<QWidget *>(siblings[i]);
        if (above && !above->isWindow() && above->isVisible() && above->geometry().intersects(room)) {
            *message = where + QStringLiteral("%1, drawn over it, hides part of the caption")
                                       .arg(above->objectName());
            return false;
        }
    }
    return true;
}
} // namespace

// The main window as a user meets it: its controls, the way their events
// reach the handlers, and what closing the window leaves behind.
class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captions_data();
    void captions();
    void tabOrderStartsOnTheEditingGrid();
    void readoutsLineUpWithTheEditingGrid_data();
    void readoutsLineUpWithTheEditingGrid();
    void clickingCellsDrawsAndReads();
    void pressOutsideTheCellsDoesNothing();
    void keyboardTogglesTheKeyboardCell();
    void strokeDrawsAlongThePointer();
    void contextMenuAndShortcutsActOnGrid1();
    void menuDoesNotAskTheClipboard();
    void ctrlVAsksTheClipboardOnce_data();
    void ctrlVAsksTheClipboardOnce();
    void orientationControls();
    void lockedFrameDisablesItsControls();
    void sizeListChoices_data();
    void sizeListChoices();
    void sameItemAgainIsAChoice();
    void typingIntoSizeListChangesNothing_data();
    void typingIntoSizeListChangesNothing();
    void copyToTextThroughTheWindow();
    void lineBreakTypedIntoText2CountsTwoCharacters();
    void tooLongLineIsRefusedWithAMessage();
    void copyPutsExactTextOnClipboard();
    void copyOfEmptyTextStillReplacesClipboard();
    void clearEmptiesOnlyTheOutput();
    void closeWritesPlacement_data();
    void closeWritesPlacement();
    void minimisedCloseWritesNothing();
    void closeEndsTheProgram();
    void exitEndsAtOnceWritingNothing();
    void unwritableStoreStillCloses();
    void helpAndAboutOpenOnce_data();
    void helpAndAboutOpenOnce();
    void closeUnloadsOtherWindowsNewestFirst();
    void exitWithHelpOpenEndsAtOnce();

private:
    template <typename T>
    T *control(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    GridView *grid(const char *name) const { return control<GridView>(name); }
    PlainTextBox *textBox(const char *name) const { return control<PlainTextBox>(name); }
    void press(const char *buttonName) const
    {
        QTest::mouseClick(control<QAbstractButton>(buttonName), Qt::LeftButton);
    }
    static bool storeIsEmpty() { return TestSettings::store().allKeys().isEmpty(); }
    static QList<QWidget *> windowsNamed(const QString &name)
    {
        QList<QWidget *> found;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->objectName() == name)
                found << window;
        }
        return found;
    }
    // Runs the program's event loop until something ends it, and returns its
    // exit code; a watchdog ends it with 99 if nothing does within 10 s.
    static int runEventLoop()
    {
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        return QApplication::exec();
    }
    static void processDeferredDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
};

void tst_MainWindow::initTestCase()
{
    Startup::setUpApplication();
    QString message;
    QVERIFY2(FontSet::verify(&message), qPrintable(message));
}

void tst_MainWindow::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_MainWindow::cleanup()
{
    m_window.reset();
    m_settings.reset();
}

void tst_MainWindow::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    const QList<QPair<QString, QString>> captions = {
        {"Frame4", "Settings"},
        {"lstCol", "Width"},
        {"lstRow", "Height"},
        {"Label1", "Display"},
        {"cmdInverse", "Invert"},
        {"Frame1", ""},
        {"frmmatrix", "Matrix"},
        {"Label4", "Horiz"},
        {"Label5", "Vert"},
        {"opthoriz", ""},
        {"optvert", ""},
        {"Label8", "Lt to Rt"},
        {"chkdir", ""},
        {"Frame9", "Binary to Hex Utility"},
        {"Label6", "KELVOR 2.1 Beta"},
        {"Label7", "Feedback: see the README"},
        {"Command2", "&Help"},
        {"Command11", "&About"},
        {"Frame7", "Format"},
        {"Label2", "Preface"},
        {"txtfmt", "$"},
        {"Label3", "Delimiter"},
        {"txtdelim", ","},
        {"Frame3", "Editable Text"},
        {"Frame2", "Copy to Clipboard"},
        {"Command12", "Copy"},
        {"Command9", "Clear"},
        {"Frame5", "Grid"},
        {"Command1", "Copy to Text"},
        {"Command6", "Clear"},
        {"Frame6", "Exit"},
        {"Command10", "E&xit "},
    };
    for (const auto &[name, caption] : captions)
        QTest::newRow(qPrintable(name)) << name << caption;
}

void tst_MainWindow::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);

    QWidget *widget = m_window->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QString shown;
    if (auto *box = qobject_cast<QGroupBox *>(widget))
        shown = box->title();
    else if (auto *label = qobject_cast<QLabel *>(widget))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        shown = button->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        shown = edit->text();
    else if (auto *list = qobject_cast<QComboBox *>(widget))
        shown = list->currentText();
    else
        QFAIL("unexpected kind of control");
    QCOMPARE(shown, caption);

    // Every caption can be read whole on the fonts this run got.
    if (!caption.isEmpty()) {
        QString message;
        QVERIFY2(captionFits(widget, &message), qPrintable(message));
    }
}

// What Tab visits from the start, as a user presses it: the hidden column
// readout is passed over, and the option group is entered at its selected
// option only.
void tst_MainWindow::tabOrderStartsOnTheEditingGrid()
{
    const QStringList expected = {"Grid1",    "rowGrid",   "Text1",    "Command12", "Command9",
                                  "lstRow",   "lstCol",    "Grid2",    "Command6",  "Command10",
                                  "Command1", "Text2",     "txtfmt",   "txtdelim",  "opthoriz",
                                  "Command11", "cmdInverse", "Command2", "chkdir",   "Grid1"};
    QCOMPARE(m_window->size() * 15, QSize(7665, 6555)); // the client area, 15 twips to a pixel
    QCOMPARE(QApplication::focusWidget(), grid("Grid1"));

    QStringList order{QApplication::focusWidget()->objectName()};
    while (order.size() < expected.size()) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, Qt::Key_Tab);
        // An editable list's focus is its field; name the list.
        QWidget *now = QApplication::focusWidget();
        order << (qobject_cast<SizeList *>(now->parentWidget()) ? now->parentWidget() : now)->objectName();
    }
    QCOMPARE(order, expected);
}

void tst_MainWindow::readoutsLineUpWithTheEditingGrid_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("as started, 16") << 16;
    QTest::newRow("3 chosen") << 3;
    QTest::newRow("11 chosen") << 11;
}

void tst_MainWindow::readoutsLineUpWithTheEditingGrid()
{
    QFETCH(int, size);
    if (size != 16) {
        emit control<SizeList>("lstCol")->activated(size - 3);
        emit control<SizeList>("lstRow")->activated(size - 3);
    }
    GridView *Grid1 = grid("Grid1");
    GridView *colGrid = grid("colGrid");
    GridView *rowGrid = grid("rowGrid");
    QCOMPARE(Grid1->geometry(), QRect(232, 144, 249, 249));
    QCOMPARE(Grid1->grid().cols(), size);

    auto inWindow = [this](GridView *view, const QRect &cell) {
        return QRect(view->mapTo(m_window.get(), cell.topLeft()), cell.size());
    };
    for (int i = 0; i < size; ++i) {
        const QRect column = inWindow(Grid1, Grid1->cellRect(0, i));
        const QRect readout = inWindow(colGrid, colGrid->cellRect(0, i));
        QCOMPARE(readout.left(), column.left());
        QCOMPARE(readout.width(), column.width());
        const QRect row = inWindow(Grid1, Grid1->cellRect(i, 0));
        const QRect rowReadout = inWindow(rowGrid, rowGrid->cellRect(i, 0));
        QCOMPARE(rowReadout.top(), row.top());
        QCOMPARE(rowReadout.height(), row.height());
        QVERIFY(rowReadout.right() < column.left());
    }
    // The miniature is 510 twips wide until a width is chosen, then n x 30 + 1.
    const GridView *Grid2 = grid("Grid2");
    QCOMPARE(Grid2->width(), size == 16 ? 34 : size * 2);
}

void tst_MainWindow::clickingCellsDrawsAndReads()
{
    GridView *Grid1 = grid("Grid1");
    clickCell(Grid1, 0, 15);
    clickCell(Grid1, 2, 0);

    QCOMPARE(Grid1->grid().cellBackColorAt(0, 15), GlyphEditor::kSetColour);
    QCOMPARE(grid("Grid2")->grid().cellBackColorAt(2, 0), GlyphEditor::kMirrorColour);
    QCOMPARE(grid("rowGrid")->grid().textAt(0, 0), QStringLiteral("0001"));
    QCOMPARE(grid("rowGrid")->grid().textAt(2, 0), QStringLiteral("8000"));
    const QString hex = textBox("Text2")->toPlainText();
    QCOMPARE(hex, QStringLiteral("00010000") + QStringLiteral("8000") + QString(13 * 4, QLatin1Char('0')));
    QVERIFY(!control<QGroupBox>("frmmatrix")->isEnabled());

    clickCell(Grid1, 0, 15);
    QCOMPARE(Grid1->grid().cellBackColorAt(0, 15), GlyphEditor::kClearColour);
    QCOMPARE(grid("rowGrid")->grid().textAt(0, 0), QStringLiteral("0000"));
}

void tst_MainWindow::pressOutsideTheCellsDoesNothing()
{
    GridView *Grid1 = grid("Grid1");
    // Below and right of the 16 x 16 cells lies the grid's empty area.
    QTest::mouseClick(Grid1, Qt::LeftButton, {}, QPoint(Grid1->width() - 2, Grid1->height() - 2));
    QTest::mouseClick(Grid1, Qt::LeftButton, {}, QPoint(5, Grid1->height() - 2));
    QVERIFY(control<QGroupBox>("frmmatrix")->isEnabled());
    QVERIFY(textBox("Text2")->text().isEmpty());
}

void tst_MainWindow::keyboardTogglesTheKeyboardCell()
{
    GridView *Grid1 = grid("Grid1");
    Grid1->setFocus();
    QTest::keyClick(Grid1, Qt::Key_Right);
    QTest::keyClick(Grid1, Qt::Key_Down);
    QTest::keyClick(Grid1, Qt::Key_Space);
    QCOMPARE(Grid1->grid().cellBackColorAt(1, 1), GlyphEditor::kSetColour);
    QTest::keyClick(grid("rowGrid"), Qt::Key_Space); // a readout takes no clicks
    QCOMPARE(Grid1->grid().cellBackColorAt(1, 1), GlyphEditor::kSetColour);
}

// One stroke sets every cell under a fast pointer, also after it leaves the
// grid and comes back; a stroke from a set cell clears; Ctrl+Z takes a whole
// stroke back.
void tst_MainWindow::strokeDrawsAlongThePointer()
{
    GridView *Grid1 = grid("Grid1");
    const auto centre = [Grid1](int row, int col) { return Grid1->cellRect(row, col).center(); };
    const int below = Grid1->cellRect(15, 0).bottom() + 4; // under the cells, inside the view
    QTest::mousePress(Grid1, Qt::LeftButton, {}, centre(2, 0));
    QTest::mouseMove(Grid1, centre(2, 10));                   // along row 2 in one move
    QTest::mouseMove(Grid1, QPoint(centre(2, 10).x(), below)); // down column 10 and out
    QTest::mouseMove(Grid1, QPoint(centre(2, 3).x(), below));  // along outside
    QTest::mouseMove(Grid1, centre(5, 3));                    // and back up column 3
    QTest::mouseRelease(Grid1, Qt::LeftButton, {}, centre(5, 3));
    QCOMPARE(grid("rowGrid")->grid().textAt(2, 0), QStringLiteral("FFE0"));
    QCOMPARE(grid("rowGrid")->grid().textAt(4, 0), QStringLiteral("0020"));
    QCOMPARE(grid("rowGrid")->grid().textAt(5, 0), QStringLiteral("1020"));
    QCOMPARE(QApplication::focusWidget(), Grid1);

    QTest::mousePress(Grid1, Qt::LeftButton, {}, centre(2, 5));
    QTest::mouseMove(Grid1, centre(4, 8));
    QTest::mouseRelease(Grid1, Qt::LeftButton, {}, centre(4, 8));
    QCOMPARE(Grid1->grid().cellBackColorAt(2, 5), GlyphEditor::kClearColour);
    QCOMPARE(Grid1->grid().cellBackColorAt(4, 8), Colours::kNone); // a clearing stroke sets nothing

    QTest::keyClick(Grid1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Grid1->grid().cellBackColorAt(2, 5), GlyphEditor::kSetColour);
    QCOMPARE(grid("rowGrid")->grid().textAt(2, 0), QStringLiteral("FFE0"));
}

void tst_MainWindow::contextMenuAndShortcutsActOnGrid1()
{
    GridView *Grid1 = grid("Grid1");
    emit control<SizeList>("lstCol")->activated(2); // 5 columns
    clickCell(Grid1, 0, 0);
    clickCell(Grid1, 1, 1);
    const QString before = textBox("Text2")->text();

    // Through the window, which turns a right press into a menu request.
    QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {},
                      Grid1->mapTo(m_window.get(), Grid1->cellRect(3, 3).center()));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY2(menu, "no menu on a right click");
    QCOMPARE(Grid1->grid().cellBackColorAt(3, 3), Colours::kNone); // a right press toggles nothing
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Undo"));
    QCOMPARE(actions.at(1)->text(), QStringLiteral("Redo"));
    QVERIFY(actions.at(0)->isEnabled());
    QVERIFY(!actions.at(1)->isEnabled());
    for (QAction *action : actions)
        QVERIFY2(action->isSeparator() || action->objectName() == "drawFromText2" || !action->shortcut().isEmpty(),
                 qPrintable(action->text()));
    QAction *mirror = Grid1->findChild<QAction *>(QStringLiteral("mirrorLeftRight"));
    QVERIFY(mirror);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(mirror).center());
    QTRY_VERIFY(!menu->isVisible());
    QCOMPARE(Grid1->grid().cellBackColorAt(0, 4), GlyphEditor::kSetColour);
    QCOMPARE(Grid1->grid().cellBackColorAt(1, 3), GlyphEditor::kSetColour);

    // "]" turns the drawing: the lists show the swapped size; Ctrl+Z and
    // Ctrl+Y go back and forth.
    Grid1->setFocus();
    QTest::keyClick(Grid1, Qt::Key_BracketRight);
    QCOMPARE(control<SizeList>("lstCol")->currentText(), QStringLiteral("16"));
    QCOMPARE(control<SizeList>("lstRow")->currentText(), QStringLiteral("5"));
    QTest::keyClick(Grid1, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(Grid1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(control<SizeList>("lstCol")->currentText(), QStringLiteral("5"));
    QCOMPARE(control<SizeList>("lstRow")->currentText(), QStringLiteral("Height"));
    QCOMPARE(textBox("Text2")->text(), before);
    QTest::keyClick(Grid1, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Grid1->grid().cellBackColorAt(0, 4), GlyphEditor::kSetColour);

    // Shift+F10 asks for the menu too; bytes that do not fit are refused in a message.
    QTest::keyClick(Grid1, Qt::Key_F10, Qt::ShiftModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
    QGuiApplication::clipboard()->setText(QStringLiteral("{ 0x20 };"));
    WindowDriver::MessageBoxWatcher box;
    QTest::keyClick(Grid1, Qt::Key_V, Qt::ControlModifier);
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.title, QStringLiteral("KELVOR"));
    QCOMPARE(box.text, QStringLiteral("The value 20 has bits beyond the 5 columns of the matrix."));
    QCOMPARE(Grid1->grid().cellBackColorAt(0, 4), GlyphEditor::kSetColour);
}

void tst_MainWindow::menuDoesNotAskTheClipboard()
{
    int questions = 0;
    QGuiApplication::clipboard()->setMimeData(new CountingMimeData(QString(), &questions));
    GridView *Grid1 = grid("Grid1");
    Grid1->setFocus();
    QTest::keyClick(Grid1, Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY2(menu, "no menu");
    QCOMPARE(questions, 0);
    QAction *draw = Grid1->findChild<QAction *>(QStringLiteral("drawFromClipboard"));
    QVERIFY(draw && draw->isEnabled());
    menu->close();
    QCOMPARE(questions, 0);
}

void tst_MainWindow::ctrlVAsksTheClipboardOnce_data()
{
    QTest::addColumn<QString>("text"); // null: an owner that never answers
    QTest::addColumn<QString>("message"); // empty: drawn
    QTest::addColumn<int>("questions");

    QTest::newRow("an owner that gives nothing") << QString() << "The clipboard gave no text to draw." << 1;
    QTest::newRow("an empty text") << "" << "The clipboard gave no text to draw." << 2;
    QTest::newRow("a text without a number") << "hello" << "The text holds no hexadecimal number to draw." << 2;
    QTest::newRow("a line of C: one value of two bytes") << "{ 0x10, 0x01 };" << "" << 2;
}

// One question for the formats, one for the text where there is any: an
// owner that never answers keeps the window waiting once, not three times.
void tst_MainWindow::ctrlVAsksTheClipboardOnce()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(int, questions);

    int asked = 0;
    QGuiApplication::clipboard()->setMimeData(new CountingMimeData(text, &asked));
    GridView *Grid1 = grid("Grid1");
    Grid1->setFocus();
    WindowDriver::MessageBoxWatcher box;
    QTest::keyClick(Grid1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(asked, questions);
    if (message.isEmpty()) {
        QVERIFY(!box.seen);
        QCOMPARE(textBox("Text2")->text().left(8), QStringLiteral("10010000"));
        return;
    }
    QTRY_VERIFY(box.seen);
    QCOMPARE(box.text, message);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY(textBox("Text2")->text().isEmpty());
}

void tst_MainWindow::orientationControls()
{
    auto *optvert = control<QRadioButton>("optvert");
    auto *opthoriz = control<QRadioButton>("opthoriz");
    auto *chkdir = control<QCheckBox>("chkdir");
    QVERIFY(opthoriz->isChecked());
    QVERIFY(chkdir->isEnabled());
    QVERIFY(grid("rowGrid")->isVisible());
    QVERIFY(!grid("colGrid")->isVisible());

    QTest::mouseClick(chkdir, Qt::LeftButton);
    QVERIFY(chkdir->isChecked());

    QTest::mouseClick(optvert, Qt::LeftButton);
    QVERIFY(optvert->isChecked());
    QVERIFY(!chkdir->isEnabled());
    QVERIFY(!chkdir->isChecked());
    QVERIFY(grid("colGrid")->isVisible());
    QVERIFY(!grid("rowGrid")->isVisible());

    QTest::mouseClick(opthoriz, Qt::LeftButton);
    QVERIFY(opthoriz->isChecked());
    QVERIFY(chkdir->isEnabled());
    QVERIFY(!chkdir->isChecked());

    // Left to right, the leftmost cell is bit 0.
    QTest::mouseClick(chkdir, Qt::LeftButton);
    clickCell(grid("Grid1"), 0, 0);
    QCOMPARE(grid("rowGrid")->grid().textAt(0, 0), QStringLiteral("0001"));
}

void tst_MainWindow::lockedFrameDisablesItsControls()
{
    clickCell(grid("Grid1"), 3, 3);
    auto *optvert = control<QRadioButton>("optvert");
    QVERIFY(!optvert->isEnabled());
    QTest::mouseClick(optvert, Qt::LeftButton);
    QVERIFY(!optvert->isChecked());
    QVERIFY(grid("rowGrid")->isVisible());

    press("cmdInverse");
    QVERIFY(!optvert->isEnabled());
    press("Command6");
    QVERIFY(optvert->isEnabled());
    QVERIFY(textBox("Text2")->text().isEmpty());
}

namespace {
enum Way { PopupClick, ArrowKey, Wheel };

// Chooses item `index` of a size list the given way; false if the open list
// never showed.
bool choose(SizeList *list, Way way, int index)
{
    switch (way) {
    case PopupClick: {
        list->showPopup();
        QAbstractItemView *view = list->view();
        if (!QTest::qWaitFor([view] { return view->isVisible(); }))
            return false;
        view->scrollTo(list->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(list->model()->index(index, 0)).center());
        break;
    }
    case ArrowKey:
        list->setFocus();
        for (int i = 0; i <= index; ++i)
            QTest::keyClick(list->lineEdit(), Qt::Key_Down);
        break;
    case Wheel:
        for (int i = 0; i <= index; ++i) {
            const QPointF pos = list->rect().center();
            QWheelEvent event(pos, list->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(list, &event);
        }
        break;
    }
    return true;
}
} // namespace

void tst_MainWindow::sizeListChoices_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<bool>("columns");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("size");

    QTest::newRow("width from the open list") << int(PopupClick) << true << 4 << 7;
    QTest::newRow("height from the open list") << int(PopupClick) << false << 13 << 16;
    QTest::newRow("width by arrow key") << int(ArrowKey) << true << 0 << 3;
    QTest::newRow("height by arrow keys") << int(ArrowKey) << false << 2 << 5;
    QTest::newRow("width by wheel") << int(Wheel) << true << 1 << 4;
}

void tst_MainWindow::sizeListChoices()
{
    QFETCH(int, way);
    QFETCH(bool, columns);
    QFETCH(int, index);
    QFETCH(int, size);

    auto *list = control<SizeList>(columns ? "lstCol" : "lstRow");
    const Grid &Grid1 = grid("Grid1")->grid();
    QVERIFY2(choose(list, Way(way), index), "the list did not open");
    QCOMPARE(columns ? Grid1.cols() : Grid1.rows(), size);
    QCOMPARE(list->currentText(), QString::number(size));
    QCOMPARE(list->count(), 14);
    const GridView *Grid2 = grid("Grid2");
    QCOMPARE(columns ? Grid2->width() : Grid2->height(), size * 2);
}

// Choosing the item the list already shows runs the handler again.
void tst_MainWindow::sameItemAgainIsAChoice()
{
    auto *list = control<SizeList>("lstCol");
    QSignalSpy chosen(list, &SizeList::itemChosen);
    QVERIFY2(choose(list, PopupClick, 2), "the list did not open");
    QVERIFY2(choose(list, PopupClick, 2), "the list did not open the second time");
    QCOMPARE(chosen.count(), 2);
    QCOMPARE(chosen.at(1).at(0).toString(), QStringLiteral("5"));
    QCOMPARE(grid("Grid1")->grid().cols(), 5);
}

void tst_MainWindow::typingIntoSizeListChangesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter");

    QTest::newRow("an item's text, then Enter") << "5" << true;
    QTest::newRow("an item's text, then leaving") << "7" << false;
    QTest::newRow("a number outside the list, then Enter") << "40" << true;
    QTest::newRow("words, then Enter") << "wide" << true;
}

void tst_MainWindow::typingIntoSizeListChangesNothing()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);

    for (const char *name : {"lstCol", "lstRow"}) {
        auto *list = control<SizeList>(name);
        list->setFocus();
        list->lineEdit()->selectAll();
        QTest::keyClicks(list->lineEdit(), typed);
        if (enter)
            QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        textBox("Text2")->setFocus();
        QCOMPARE(list->count(), 14);
        QCOMPARE(list->currentIndex(), -1);
    }
    const Grid &Grid1 = grid("Grid1")->grid();
    QCOMPARE(Grid1.cols(), 16);
    QCOMPARE(Grid1.rows(), 16);
}

void tst_MainWindow::copyToTextThroughTheWindow()
{
    emit control<SizeList>("lstCol")->activated(0); // 3 columns
    QTest::mouseClick(control<QRadioButton>("optvert"), Qt::LeftButton);
    GridView *Grid1 = grid("Grid1");
    for (int row : {0, 1, 2, 3, 4})
        clickCell(Grid1, row, 0);
    clickCell(Grid1, 0, 1);
    clickCell(Grid1, 2, 1);
    QCOMPARE(textBox("Text2")->text(), QStringLiteral("1F0500"));

    press("Command1");
    QCOMPARE(textBox("Text1")->text(), QStringLiteral("$1F,$05,$00,\r\n"));

    auto *txtfmt = control<QLineEdit>("txtfmt");
    auto *txtdelim = control<QLineEdit>("txtdelim");
    txtfmt->selectAll();
    QTest::keyClicks(txtfmt, QStringLiteral("0x"));
    txtdelim->selectAll();
    QTest::keyClicks(txtdelim, QStringLiteral(", "));
    press("Command1");
    QCOMPARE(textBox("Text1")->text(),
             QStringLiteral("$1F,$05,$00,\r\n0x1F, 0x05, 0x00, \r\n"));
    // The new line is kept in view, with the cursor after it.
    QCOMPARE(textBox("Text1")->textCursor().position(), textBox("Text1")->document()->characterCount() - 1);
}

void tst_MainWindow::lineBreakTypedIntoText2CountsTwoCharacters()
{
    PlainTextBox *Text2 = textBox("Text2");
    Text2->setFocus();
    QTest::keyClicks(Text2, QStringLiteral("1F"));
    QTest::keyClick(Text2, Qt::Key_Return);
    QTest::keyClicks(Text2, QStringLiteral("05"));
    press("Command1");
    QCOMPARE(textBox("Text1")->text(), QStringLiteral("$1F,$\r\n,$05,\r\n"));

    // Appending to a typed line without a line break continues that line.
    PlainTextBox *Text1 = textBox("Text1");
    Text1->setFocus();
    QTest::keyClicks(Text1, QStringLiteral("abc"));
    press("Command6");
    press("Command1");
    QCOMPARE(Text1->text(), QStringLiteral("$1F,$\r\n,$05,\r\nabc\r\n"));
}

// A line that would push the output past its limit is refused whole, the
// user is told, and the output keeps what it had.
void tst_MainWindow::tooLongLineIsRefusedWithAMessage()
{
    auto *txtfmt = control<QLineEdit>("txtfmt");
    txtfmt->setText(QString(txtfmt->maxLength(), QLatin1Char('p')));
    textBox("Text1")->setText(QStringLiteral("kept"));
    textBox("Text2")->setText(QString(20000, QLatin1Char('F'))); // 10,000 pieces of 32,000 and more

    WindowDriver::MessageBoxWatcher box;
    press("Command1");
    QVERIFY(box.seen);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY2(box.text.contains(QStringLiteral("not added")), qPrintable(box.text));
    QCOMPARE(textBox("Text1")->text(), QStringLiteral("kept"));
}

void tst_MainWindow::copyPutsExactTextOnClipboard()
{
    clickCell(grid("Grid1"), 0, 15);
    press("Command1");
    press("Command1");
    PlainTextBox *Text1 = textBox("Text1");
    Text1->setFocus();
    QTest::keyClicks(Text1, QStringLiteral("tail"));
    // A selection does not limit what is copied.
    QTextCursor cursor = Text1->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    Text1->setTextCursor(cursor);

    const QString line = QStringLiteral("$00,$01,") + QString(15, QLatin1Char('x')).replace(
                                 QLatin1String("x"), QLatin1String("$00,$00,")) + QStringLiteral("\r\n");
    const QString expected = line + line + QStringLiteral("tail");
    QCOMPARE(Text1->text(), expected);

    WindowDriver::MessageBoxWatcher box;
    press("Command12");
    QVERIFY(box.seen);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(box.text, QStringLiteral("Cliboard now has the text"));
    QCOMPARE(box.title, QStringLiteral("KELVOR"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttonCount, qsizetype(1));
    QVERIFY(box.modal);
    QCOMPARE(Text1->text(), expected);
}

void tst_MainWindow::copyOfEmptyTextStillReplacesClipboard()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    WindowDriver::MessageBoxWatcher box;
    press("Command12");
    QVERIFY(box.seen);
    QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
}

void tst_MainWindow::clearEmptiesOnlyTheOutput()
{
    clickCell(grid("Grid1"), 1, 1);
    press("Command1");
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    const QString hex = textBox("Text2")->text();

    press("Command9");
    QVERIFY(textBox("Text1")->text().isEmpty());
    QCOMPARE(textBox("Text2")->text(), hex);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    QCOMPARE(grid("Grid1")->grid().cellBackColorAt(1, 1), GlyphEditor::kSetColour);
}

void tst_MainWindow::closeWritesPlacement_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::newRow("on screen") << QPoint(40, 60);
    QTest::newRow("partly off the left and top") << QPoint(-4, -2);
}

void tst_MainWindow::closeWritesPlacement()
{
    QFETCH(QPoint, position);
    m_window->move(position);
    QTRY_COMPARE(m_window->frameGeometry().topLeft(), position);
    const QRect frame = m_window->frameGeometry();

    QVERIFY(m_window->close());

    QSettings store = TestSettings::store();
    QCOMPARE(store.value("Settings/MainLeft").toString(), QString::number(frame.x() * 15));
    QCOMPARE(store.value("Settings/MainTop").toString(), QString::number(frame.y() * 15));
    QCOMPARE(store.value("Settings/MainWidth").toString(), QString::number(frame.width() * 15));
    QCOMPARE(store.value("Settings/MainHeight").toString(), QString::number(frame.height() * 15));

    // Stored as plain decimal text, a leading "-" for a negative edge.
    QFile file(store.fileName());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray contents = file.readAll();
    QVERIFY2(contents.contains("MainLeft=" + QByteArray::number(position.x() * 15) + '\n'), contents);
    // The outer window: the client area and whatever frame the platform adds.
    QVERIFY(frame.width() * 15 >= MainWindow::kClientWidthTwips);
}

void tst_MainWindow::minimisedCloseWritesNothing()
{
    m_window->showMinimized();
    QTRY_VERIFY(m_window->isMinimized());
    QVERIFY(m_window->close());
    QVERIFY(storeIsEmpty());
}

void tst_MainWindow::closeEndsTheProgram()
{
    QTimer::singleShot(0, m_window.get(), &QWidget::close);
    QCOMPARE(runEventLoop(), 0);
    QVERIFY(!m_window->isVisible());
    QVERIFY(!storeIsEmpty());
}

void tst_MainWindow::exitEndsAtOnceWritingNothing()
{
    m_window->move(100, 100);
    QTimer::singleShot(0, m_window.get(), [this] { press("Command10"); });
    QCOMPARE(runEventLoop(), 0);
    QVERIFY(m_window->isVisible()); // no close happened
    QVERIFY(storeIsEmpty());
}

void tst_MainWindow::unwritableStoreStillCloses()
{
    QFile blocker(m_settings->path() + QStringLiteral("/file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TestSettings::setPath(blocker.fileName() + QStringLiteral("/settings"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^KELVOR: could not write")));
    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());
}

void tst_MainWindow::helpAndAboutOpenOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::newRow("help") << "Command2" << "frmHelp";
    QTest::newRow("about") << "Command11" << "frmAbout";
}

void tst_MainWindow::helpAndAboutOpenOnce()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    const QByteArray name = button.toLatin1();

    press(name);
    press(name);
    QCOMPARE(windowsNamed(window).size(), 1);
    QPointer<QWidget> first = windowsNamed(window).constFirst();
    QVERIFY(first->isVisible());
    QVERIFY(!first->parentWidget()); // no owner: the main window stays usable
    QVERIFY(!first->isModal());

    // Its own "&Close" hides it; the next press shows the same window.
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!first->isVisible());
    press(name);
    QCOMPARE(windowsNamed(window), QList<QWidget *>{first.data()});
    QVERIFY(first->isVisible());

    // The title-bar close box unloads it; the next press loads a new one.
    first->close();
    processDeferredDeletes();
    QVERIFY(first.isNull());
    press(name);
    QCOMPARE(windowsNamed(window).size(), 1);
    QVERIFY(windowsNamed(window).constFirst()->isVisible());
}

void tst_MainWindow::closeUnloadsOtherWindowsNewestFirst()
{
    press("Command11"); // about, then help, loaded in this order
    press("Command2");
    QWidget *about = windowsNamed(QStringLiteral("frmAbout")).value(0);
    QWidget *help = windowsNamed(QStringLiteral("frmHelp")).value(0);
    QVERIFY(about && help);
    QTest::mouseClick(help->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);

    QStringList unloaded;
    for (QWidget *window : {about, help}) {
        connect(window, &QObject::destroyed, this,
                [&unloaded, name = window->objectName()] { unloaded << name; });
    }
    QTimer::singleShot(0, m_window.get(), &QWidget::close);
    QCOMPARE(runEventLoop(), 0);
    QCOMPARE(unloaded, (QStringList{"frmHelp", "frmAbout"}));
    QVERIFY(!storeIsEmpty());
}

void tst_MainWindow::exitWithHelpOpenEndsAtOnce()
{
    press("Command2");
    QPointer<QWidget> help = windowsNamed(QStringLiteral("frmHelp")).value(0);
    QVERIFY(help);
    QTimer::singleShot(0, m_window.get(), [this] { press("Command10"); });
    QCOMPARE(runEventLoop(), 0);
    QVERIFY(help && help->isVisible()); // nothing was closed
    QVERIFY(storeIsEmpty());
    m_window.reset(); // the program's end takes the help window with it
    QVERIFY(help.isNull());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
