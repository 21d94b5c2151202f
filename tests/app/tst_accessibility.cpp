#include "glyphsetview.h"
#include "glyphsetwindow.h"
#include "gridview.h"
#include "mainwindow.h"
#include "realfonts.h"
#include "sizelist.h"
#include "startup.h"
#include "testsettings.h"
#include "windowdriver.h"

#include <QAccessible>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// What a screen reader gets from the main window: the interfaces Qt hands to
// the platform's accessibility bridge, read as the bridge reads them.
class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void namesAndRoles_data();
    void namesAndRoles();
    void sizeListKeepsItsNameWhateverItShows_data();
    void sizeListKeepsItsNameWhateverItShows();
    void gridsAreTablesOfTheirCells_data();
    void gridsAreTablesOfTheirCells();
    void clickedCellsReadAsChecked();
    void arrowKeysMoveTheFocusedCell();
    void cellsStayTheirOwnAfterAResize();
    void glyphListIsATableOfItsRows();

private:
    template <typename T>
    T *control(const char *name) const
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }
    QAccessibleInterface *accessible(const char *name) const
    {
        QObject *object = qstrcmp(name, "frmMain") == 0 ? static_cast<QObject *>(m_window.get())
                                                        : control<QWidget>(name);
        return object ? QAccessible::queryAccessibleInterface(object) : nullptr;
    }
    QAccessibleTableInterface *table(const char *name) const
    {
        QAccessibleInterface *iface = accessible(name);
        return iface ? iface->tableInterface() : nullptr;
    }

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
};

void tst_Accessibility::initTestCase()
{
    Startup::setUpApplication();
}

void tst_Accessibility::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_Accessibility::cleanup()
{
    m_window.reset();
    m_settings.reset();
}

void tst_Accessibility::namesAndRoles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("accessibleName");

    QTest::newRow("main window") << "frmMain" << QAccessible::Window << "KELVOR 2.1";
    QTest::newRow("width list") << "lstCol" << QAccessible::ComboBox << "Matrix width";
    QTest::newRow("height list") << "lstRow" << QAccessible::ComboBox << "Matrix height";
    QTest::newRow("Exit") << "Command10" << QAccessible::Button << "Exit";
    QTest::newRow("Copy to Text") << "Command1" << QAccessible::Button << "Copy to Text";
    QTest::newRow("editing grid") << "Grid1" << QAccessible::Table << "Editing grid";
    QTest::newRow("miniature") << "Grid2" << QAccessible::Table << "Miniature";
    QTest::newRow("column values") << "colGrid" << QAccessible::Table << "Column values";
    QTest::newRow("row values") << "rowGrid" << QAccessible::Table << "Row values";
}

void tst_Accessibility::namesAndRoles()
{
    QFETCH(QString, name);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, accessibleName);

    QAccessibleInterface *iface = accessible(qPrintable(name));
    QVERIFY(iface);
    QCOMPARE(iface->role(), role);
    QCOMPARE(iface->text(QAccessible::Name), accessibleName);
    // What the user reads is left as it was.
    QCOMPARE(control<QAbstractButton>("Command10")->text(), QStringLiteral("E&xit "));
}

void tst_Accessibility::sizeListKeepsItsNameWhateverItShows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QString>("placeholder");

    QTest::newRow("width") << "lstCol" << "Matrix width" << "Width";
    QTest::newRow("height") << "lstRow" << "Matrix height" << "Height";
}

void tst_Accessibility::sizeListKeepsItsNameWhateverItShows()
{
    QFETCH(QString, name);
    QFETCH(QString, accessibleName);
    QFETCH(QString, placeholder);

    auto *list = control<SizeList>(qPrintable(name));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(iface->text(QAccessible::Value), placeholder);

    list->setFocus();
    for (int i = 0; i < 6; ++i) // from the placeholder to the sixth size, "8"
        QTest::keyClick(list->lineEdit(), Qt::Key_Down);
    QCOMPARE(list->lineEdit()->text(), QStringLiteral("8"));
    QCOMPARE(iface->text(QAccessible::Name), accessibleName);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("8"));

    // The edit field, a child of its own, carries the same name.
    QCOMPARE(iface->childCount(), 2);
    QAccessibleInterface *field = iface->child(1);
    QVERIFY(field);
    QCOMPARE(field->object(), list->lineEdit());
    QCOMPARE(field->text(QAccessible::Name), accessibleName);
    QCOMPARE(iface->indexOfChild(field), 1);
    QCOMPARE(iface->child(0)->object(), list->view());
}

void tst_Accessibility::gridsAreTablesOfTheirCells_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");

    // An 8 x 5 matrix, horizontal: one value per row.
    QTest::newRow("editing grid") << "Grid1" << 5 << 8;
    QTest::newRow("miniature") << "Grid2" << 5 << 8;
    QTest::newRow("row values") << "rowGrid" << 5 << 1;
}

void tst_Accessibility::gridsAreTablesOfTheirCells()
{
    QFETCH(QString, name);
    QFETCH(int, rows);
    QFETCH(int, cols);

    emit control<SizeList>("lstCol")->activated(5); // 8
    emit control<SizeList>("lstRow")->activated(2); // 5
    QAccessibleInterface *iface = accessible(qPrintable(name));
    QAccessibleTableInterface *cells = iface->tableInterface();
    QVERIFY(cells);
    QCOMPARE(cells->rowCount(), rows);
    QCOMPARE(cells->columnCount(), cols);
    QCOMPARE(iface->childCount(), rows * cols);
    QVERIFY(!cells->cellAt(rows, 0));
    QVERIFY(!cells->cellAt(0, cols));

    // Every cell lies where it is painted, in the coordinates of every other
    // control, and is found there.
    auto *view = control<GridView>(qPrintable(name));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QAccessibleInterface *cell = cells->cellAt(r, c);
            QVERIFY(cell);
            QCOMPARE(cell->role(), QAccessible::Cell);
            QCOMPARE(cell->tableCellInterface()->rowIndex(), r);
            QCOMPARE(cell->tableCellInterface()->columnIndex(), c);
            QCOMPARE(iface->child(iface->indexOfChild(cell)), cell);
            QCOMPARE(cell->parent(), iface);
            const QRect rect = cell->rect();
            QCOMPARE(rect.size(), view->cellRect(r, c).size());
            QVERIFY(iface->rect().contains(rect));
            QCOMPARE(iface->childAt(rect.center().x(), rect.center().y()), cell);
        }
    }
}

void tst_Accessibility::clickedCellsReadAsChecked()
{
    auto *Grid1 = control<GridView>("Grid1");
    WindowDriver::clickCell(Grid1, 2, 15);

    QAccessibleTableInterface *editing = table("Grid1");
    QVERIFY(editing && table("Grid2") && table("rowGrid"));
    QVERIFY(editing->cellAt(2, 15)->state().checkable);
    QVERIFY(editing->cellAt(2, 15)->state().checked);
    QVERIFY(!editing->cellAt(2, 14)->state().checked);
    QVERIFY(!editing->cellAt(3, 15)->state().checked);
    QVERIFY(table("Grid2")->cellAt(2, 15)->state().checked);
    QVERIFY(table("Grid2")->cellAt(2, 15)->state().readOnly);
    QCOMPARE(table("rowGrid")->cellAt(2, 0)->text(QAccessible::Name), QStringLiteral("0001"));
    QCOMPARE(table("rowGrid")->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("0000"));

    WindowDriver::clickCell(Grid1, 2, 15);
    QVERIFY(!editing->cellAt(2, 15)->state().checked);
    QCOMPARE(table("rowGrid")->cellAt(2, 0)->text(QAccessible::Name), QStringLiteral("0000"));
}

void tst_Accessibility::arrowKeysMoveTheFocusedCell()
{
    auto *Grid1 = control<GridView>("Grid1");
    Grid1->setFocus();
    QAccessibleInterface *iface = accessible("Grid1");
    QVERIFY(table("Grid1"));
    QCOMPARE(iface->focusChild(), table("Grid1")->cellAt(0, 0));

    QTest::keyClick(Grid1, Qt::Key_Right);
    QTest::keyClick(Grid1, Qt::Key_Right);
    QTest::keyClick(Grid1, Qt::Key_Down);
    QAccessibleInterface *focused = iface->focusChild();
    QVERIFY(focused);
    QCOMPARE(focused, table("Grid1")->cellAt(1, 2));
    QVERIFY(focused->state().focused);
    QVERIFY(focused->state().selected);
    QVERIFY(!table("Grid1")->cellAt(0, 0)->state().focused);
    // Horizontal, the column values are hidden, and so are their cells.
    QVERIFY(table("colGrid")->cellAt(0, 0)->state().invisible);
    QVERIFY(table("colGrid")->cellAt(0, 0)->rect().isEmpty());
    QCOMPARE(table("Grid1")->selectedCells(), QList<QAccessibleInterface *>{focused});

    QTest::keyClick(Grid1, Qt::Key_Space);
    QVERIFY(focused->state().checked);

    // Elsewhere the cell is still the one selected, but no longer focused.
    control<QWidget>("Command1")->setFocus();
    QVERIFY(!iface->focusChild());
    QVERIFY(!focused->state().focused);
    QVERIFY(focused->state().selected);
}

// A cell handed out before the matrix changed size still means its own row
// and column, and says so when it is gone.
void tst_Accessibility::cellsStayTheirOwnAfterAResize()
{
    QAccessibleInterface *iface = accessible("Grid1");
    QAccessibleTableInterface *cells = iface->tableInterface();
    QVERIFY(cells);
    QAccessibleInterface *corner = cells->cellAt(1, 15);
    QVERIFY(corner->isValid());

    emit control<SizeList>("lstCol")->activated(0); // 3 columns
    QCOMPARE(cells->columnCount(), 3);
    QVERIFY(!corner->isValid());
    QVERIFY(corner->state().invalid);
    QAccessibleInterface *next = iface->child(4);
    QCOMPARE(next->tableCellInterface()->rowIndex(), 1);
    QCOMPARE(next->tableCellInterface()->columnIndex(), 1);

    emit control<SizeList>("lstCol")->activated(13); // 16 columns
    QVERIFY(corner->isValid());
    QCOMPARE(iface->indexOfChild(corner), 31);
}

// The glyph list is a table of the rows and columns it shows, its glyphs
// named by their characters, the current one selected; the window's status
// line is its status bar. (The events that tell a screen reader of changes
// reach only a platform's bridge: tests/app/atspi/walk.py shows them.)
void tst_Accessibility::glyphListIsATableOfItsRows()
{
    QTemporaryDir dir;
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("6x13.pcf.gz"), dir.path(), &path, &message), qPrintable(message));
    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetWindow *window = nullptr;
    for (QWidget *topLevel : QApplication::topLevelWidgets())
        window = window ? window : qobject_cast<GlyphSetWindow *>(topLevel);
    QVERIFY(window);
    const auto closeSet = qScopeGuard([window] { window->session().close(); });
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *list = window->findChild<GlyphSetView *>(QStringLiteral("lstGlyphs"));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(list);
    QAccessibleTableInterface *cells = iface->tableInterface();
    QVERIFY(cells);
    QCOMPARE(iface->role(), QAccessible::Table);

    // Cells of a row stand side by side, the next row below its first; the
    // last row's places after the last of the 4121 glyphs are empty cells.
    const int columns = cells->columnCount();
    QVERIFY2(columns > 1, qPrintable(QString::number(columns)));
    const int rows = (4121 + columns - 1) / columns;
    QCOMPARE(cells->rowCount(), rows);
    QCOMPARE(iface->childCount(), rows * columns);
    QAccessibleInterface *lastPlace = cells->cellAt(rows - 1, columns - 1);
    QVERIFY(lastPlace);
    QCOMPARE(lastPlace->text(QAccessible::Name).isEmpty(), 4121 % columns != 0);
    const QRect first = cells->cellAt(0, 0)->rect();
    const QRect last = cells->cellAt(0, columns - 1)->rect();
    const QRect below = cells->cellAt(1, 0)->rect();
    QCOMPARE(last.top(), first.top());
    QVERIFY(iface->rect().contains(last));
    QVERIFY(!iface->rect().contains(last.translated(last.width(), 0)));
    QCOMPARE(below.left(), first.left());
    QVERIFY(below.top() > first.bottom());
    QCOMPARE(iface->childAt(below.center().x(), below.center().y()), cells->cellAt(1, 0));

    GlyphSetSession &session = window->session();
    const int k = int(session.set().indexOf('K'));
    session.choose(k);
    QAccessibleInterface *cellK = iface->child(k);
    QCOMPARE(cellK->text(QAccessible::Name), QStringLiteral("U+004B K, LATIN CAPITAL LETTER K"));
    QVERIFY(cellK->state().selected);
    QVERIFY(!iface->child(0)->state().selected);
    QCOMPARE(cells->selectedCells(), QList<QAccessibleInterface *>{cellK});
    auto *lblSet = window->findChild<QLabel *>(QStringLiteral("lblSet"));
    QAccessibleInterface *status = QAccessible::queryAccessibleInterface(lblSet);
    QCOMPARE(status->role(), QAccessible::StatusBar);
    QCOMPARE(status->text(QAccessible::Name), lblSet->text());
    QVERIFY(!iface->focusChild());
    list->setFocus();
    session.choose(k + 1);
    QCOMPARE(iface->focusChild(), iface->child(k + 1));

    // Narrower, the list shows fewer columns; each glyph keeps its cell.
    window->resize(window->width() / 2, window->height());
    QCoreApplication::sendPostedEvents();
    QVERIFY2(cells->columnCount() < columns, qPrintable(QString::number(cells->columnCount())));
    QCOMPARE(iface->child(k), cellK);
    QCOMPARE(cellK->tableCellInterface()->rowIndex(), k / cells->columnCount());

    const int space = int(session.set().indexOf(' '));
    QCOMPARE(iface->child(space)->text(QAccessible::Name), QStringLiteral("U+0020, SPACE, blank"));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
