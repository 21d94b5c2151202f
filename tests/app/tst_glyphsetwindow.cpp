#include "bdftext.h"
#include "choosefontdialog.h"
#include "exportreference.h"
#include "fontexport.h"
#include "glyphsetfile.h"
#include "glypheditor.h"
#include "glyphsetview.h"
#include "glyphsetwindow.h"
#include "openglyphsetdialog.h"
#include "gridview.h"
#include "mainwindow.h"
#include "plaintextbox.h"
#include "realfonts.h"
#include "startup.h"
#include "testsettings.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QPointer>
#include <QScopeGuard>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>
#include <QTimer>

#include <memory>

using WindowDriver::clickCell;

namespace {
QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// The glyph-set window beside the real main window: a font opened, its
// glyphs chosen and edited through Grid1, undone, saved, and the question
// that keeps unsaved drawings from being lost.
class tst_GlyphSetWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Startup::setUpApplication(); }
    void init();
    void cleanup();

    void chooseEditUndo_data();
    void chooseEditUndo();
    void savedOptionsComeBack();
    void metricsComeBack();
    void unsavedChangesAreAsked_data();
    void unsavedChangesAreAsked();
    void unreadableFileChangesNothing();
    void tooLargeFontAsksForGlyphs_data();
    void tooLargeFontAsksForGlyphs();
    void openedInPartSavesWhole();
    void severalFontsInOneSourceAskWhich();
    void unsavedChangesAreAskedFirst();
    void outlineSizeIsCheckedLive();
    void notesAreShown();
    void exportFollowsTheRules_data();
    void exportFollowsTheRules();
    void goToChoosesTheGlyph_data();
    void goToChoosesTheGlyph();
    void typingInTheListChoosesTheGlyph();

private:
    template <typename T>
    T *control(QWidget *window, const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    GridView *Grid1() const { return control<GridView>(m_window.get(), "Grid1"); }
    GlyphSetWindow *setWindow() const { return m_window->findChild<GlyphSetWindow *>(); }
    GlyphSetWindow *openedWindow() const;
    // Whether Grid1 shows exactly the bits of glyph `index` of the open set.
    bool gridShows(qsizetype index, QString *message) const;

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    // Fresh for each test, since tests save into the fonts they converted.
    std::unique_ptr<QTemporaryDir> m_dir;
};

GlyphSetWindow *tst_GlyphSetWindow::openedWindow() const
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *set = qobject_cast<GlyphSetWindow *>(window))
            return set;
    }
    return nullptr;
}

bool tst_GlyphSetWindow::gridShows(qsizetype index, QString *message) const
{
    const GlyphSet &set = openedWindow()->session().set();
    const Grid &grid = Grid1()->grid();
    if (grid.rows() != set.rows() || grid.cols() != set.cols()) {
        *message = QStringLiteral("Grid1 is %1 x %2, the set %3 x %4")
                           .arg(grid.cols()).arg(grid.rows()).arg(set.cols()).arg(set.rows());
        return false;
    }
    for (int r = 0; r < set.rows(); ++r) {
        for (int c = 0; c < set.cols(); ++c) {
            if ((grid.cellBackColorAt(r, c) == GlyphEditor::kSetColour) != set.at(index).bits.isSet(r, c)) {
                *message = QStringLiteral("cell %1, %2 of glyph %3 differs").arg(r).arg(c).arg(index);
                return false;
            }
        }
    }
    return true;
}

void tst_GlyphSetWindow::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<MainWindow>();
    m_window->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_GlyphSetWindow::cleanup()
{
    if (GlyphSetWindow *set = openedWindow())
        set->session().close(); // nothing to ask about
    m_window.reset();
    m_dir.reset();
    m_settings.reset();
}

void tst_GlyphSetWindow::chooseEditUndo_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::newRow("misc-fixed 5x7, BDF") << "5x7.pcf.gz" << 5 << 7;
    QTest::newRow("misc-fixed 8x13, BDF") << "8x13.pcf.gz" << 8 << 13;
    QTest::newRow("Terminus 6x12, PSF2") << "Lat2-Terminus12x6.psf.gz" << 6 << 12;
    QTest::newRow("Unifont, BDF") << "unifont.pcf.gz" << 16 << 16;
}

void tst_GlyphSetWindow::chooseEditUndo()
{
    QFETCH(QString, font);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(font, m_dir->path(), &path, &message), qPrintable(message));

    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetWindow *window = openedWindow();
    QVERIFY(window && window->isVisible());
    GlyphSetSession &session = window->session();
    QCOMPARE(session.set().cols(), cols);
    QCOMPARE(session.set().rows(), rows);
    QCOMPARE(session.current(), 0);
    QVERIFY2(gridShows(0, &message), qPrintable(message));

    // A click on the glyph's picture draws it in Grid1, at the set's size.
    auto *view = control<GlyphSetView>(window, "lstGlyphs");
    const qsizetype a = session.set().indexOf('A');
    QVERIFY(a > 0);
    view->scrollTo(view->model()->index(int(a), 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(int(a), 0)).center());
    QCOMPARE(session.current(), a);
    QVERIFY2(gridShows(a, &message), qPrintable(message));
    QCOMPARE(control<QComboBox>(m_window.get(), "lstCol")->currentText(), QString::number(cols));
    QCOMPARE(control<QComboBox>(m_window.get(), "lstRow")->currentText(), QString::number(rows));
    QVERIFY(!session.isModified());

    // A click on Grid1 changes the glyph in the set; undo takes it back.
    const Drawing original = session.set().at(a).bits;
    clickCell(Grid1(), 0, 0);
    QCOMPARE(session.set().at(a).bits.isSet(0, 0), !original.isSet(0, 0));
    QVERIFY(session.isModified());
    QVERIFY(window->isWindowModified());
    Grid1()->setFocus();
    QTest::keyClick(Grid1(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(session.set().at(a).bits == original);

    // Page Down goes on to the next glyph; an edit there, then undo twice,
    // comes back to 'A' as it was.
    QTest::keyClick(Grid1(), Qt::Key_PageDown);
    QCOMPARE(session.current(), a + 1);
    QVERIFY2(gridShows(a + 1, &message), qPrintable(message));
    const Drawing next = session.set().at(a + 1).bits;
    QTest::keyClick(Grid1(), Qt::Key_H, Qt::ShiftModifier); // mirror
    QVERIFY2(gridShows(a + 1, &message), qPrintable(message));
    QTest::keyClick(Grid1(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(session.set().at(a + 1).bits == next);
    QTest::keyClick(Grid1(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(session.current(), a);
    QVERIFY(view->currentIndex().row() == a);
    QTest::keyClick(Grid1(), Qt::Key_PageUp);
    QCOMPARE(session.current(), a - 1);
}

// A set saved in vertical order with its own prefix and delimiter opens with
// them again, and its edited glyph is in the file.
void tst_GlyphSetWindow::savedOptionsComeBack()
{
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetSession &session = openedWindow()->session();
    session.choose(session.set().indexOf('K'));

    QTest::mouseClick(control<QAbstractButton>(m_window.get(), "Command6"), Qt::LeftButton); // Clear
    QTest::mouseClick(control<QRadioButton>(m_window.get(), "optvert"), Qt::LeftButton);
    control<QLineEdit>(m_window.get(), "txtfmt")->setText(QStringLiteral("0x"));
    control<QLineEdit>(m_window.get(), "txtdelim")->setText(QStringLiteral(", "));
    session.choose(session.set().indexOf('K'));
    clickCell(Grid1(), 6, 4);
    const Drawing edited = session.set().at(session.current()).bits;
    Grid1()->setFocus();
    QTest::keyClick(Grid1(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!session.isModified());
    QVERIFY(contents(path).contains("KELVOR_ORIENTATION \"vert\""));

    // Back to the start state, then the file again.
    openedWindow()->close();
    QVERIFY(!session.isOpen());
    QTest::mouseClick(control<QAbstractButton>(m_window.get(), "Command6"), Qt::LeftButton);
    QTest::mouseClick(control<QRadioButton>(m_window.get(), "opthoriz"), Qt::LeftButton);
    control<QLineEdit>(m_window.get(), "txtfmt")->setText(QStringLiteral("$"));
    control<QLineEdit>(m_window.get(), "txtdelim")->setText(QStringLiteral(","));
    QVERIFY(m_window->openGlyphSet(path));
    QVERIFY(control<QRadioButton>(m_window.get(), "optvert")->isChecked());
    QCOMPARE(control<QLineEdit>(m_window.get(), "txtfmt")->text(), QStringLiteral("0x"));
    QCOMPARE(control<QLineEdit>(m_window.get(), "txtdelim")->text(), QStringLiteral(", "));
    const GlyphSet &set = openedWindow()->session().set();
    QVERIFY(set.at(set.indexOf('K')).bits == edited);
}

// The baseline, the pen offset and a glyph's advance, edited in the set
// window, are saved and open again; the other glyphs keep their advance.
void tst_GlyphSetWindow::metricsComeBack()
{
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetWindow *window = openedWindow();
    auto *advance = control<QSpinBox>(window, "spnAdvance");
    auto *ascent = control<QSpinBox>(window, "spnAscent");
    auto *xOffset = control<QSpinBox>(window, "spnXOffset");
    // The font's own: FONTBOUNDINGBOX 5 7 0 -1, DWIDTH 5.
    QCOMPARE(ascent->value(), 6);
    QCOMPARE(xOffset->value(), 0);
    window->session().choose(window->session().set().indexOf('A'));
    QCOMPARE(advance->value(), 5);

    advance->setValue(4);
    ascent->setValue(5);
    xOffset->setValue(-1);
    QVERIFY(window->isWindowModified());
    QTest::mouseClick(control<QAbstractButton>(window, "cmdSave"), Qt::LeftButton);
    QVERIFY(!window->isWindowModified());
    const QString status = control<QLabel>(window, "lblSet")->text();
    QVERIFY2(status.endsWith(QStringLiteral(". Saved to %1.").arg(QDir::toNativeSeparators(path))), qPrintable(status));
    const QByteArray saved = contents(path);
    QVERIFY(saved.contains("\nFONTBOUNDINGBOX 5 7 -1 -2\n"));

    window->close();
    QVERIFY(m_window->openGlyphSet(path));
    window = openedWindow();
    QCOMPARE(control<QSpinBox>(window, "spnAscent")->value(), 5);
    QCOMPARE(control<QSpinBox>(window, "spnXOffset")->value(), -1);
    GlyphSetSession &session = window->session();
    session.choose(session.set().indexOf('A'));
    QCOMPARE(control<QSpinBox>(window, "spnAdvance")->value(), 4);
    session.choose(session.set().indexOf('B'));
    QCOMPARE(control<QSpinBox>(window, "spnAdvance")->value(), 5);
    QCOMPARE(session.set().cols(), 5);
    QCOMPARE(session.set().rows(), 7);
}

void tst_GlyphSetWindow::unsavedChangesAreAsked_data()
{
    QTest::addColumn<bool>("closeMainWindow");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("set window, Cancel") << false << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("set window, Discard") << false << int(QMessageBox::Discard) << true << false;
    QTest::newRow("set window, Save") << false << int(QMessageBox::Save) << true << true;
    QTest::newRow("main window, Cancel") << true << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("main window, Discard") << true << int(QMessageBox::Discard) << true << false;
    QTest::newRow("main window, Save") << true << int(QMessageBox::Save) << true << true;
}

void tst_GlyphSetWindow::unsavedChangesAreAsked()
{
    QFETCH(bool, closeMainWindow);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("6x13.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    const QByteArray before = contents(path);
    QVERIFY(m_window->openGlyphSet(path));
    QPointer<GlyphSetWindow> window = openedWindow();
    clickCell(Grid1(), 2, 2);

    WindowDriver::MessageBoxWatcher reply{QMessageBox::StandardButton(answer)};
    QWidget *closing = closeMainWindow ? static_cast<QWidget *>(m_window.get()) : window;
    QCOMPARE(closing->close(), closed);
    QVERIFY(reply.seen);
    QVERIFY2(reply.text.contains(QLatin1String("6x13.bdf")), qPrintable(reply.text));
    QCOMPARE(m_window->isVisible(), !(closeMainWindow && closed));
    // The main window, closing, unloads the set window with the others.
    QCOMPARE(window.isNull(), closeMainWindow && closed);
    if (window)
        QCOMPARE(window->session().isOpen(), !closed);
    QCOMPARE(contents(path) != before, saved);
}

// A file that is no font: one message, and the grid as it was.
void tst_GlyphSetWindow::unreadableFileChangesNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("cut.bdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("STARTFONT 2.1\nFONTBOUNDINGBOX 5 7 0 -1\nCHARS 1000000000\n");
    file.close();
    clickCell(Grid1(), 1, 1);
    WindowDriver::MessageBoxWatcher watcher;
    QVERIFY(!m_window->openGlyphSet(path));
    QVERIFY(watcher.seen);
    QVERIFY2(watcher.text.contains(QLatin1String("cut.bdf")), qPrintable(watcher.text));
    QCOMPARE(Grid1()->grid().cellBackColorAt(1, 1), GlyphEditor::kSetColour);
    QCOMPARE(Grid1()->grid().cols(), 16);
}

void tst_GlyphSetWindow::tooLargeFontAsksForGlyphs_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("typed"); // none: the code points offered
    QTest::addColumn<int>("glyphs");   // 0: cancelled
    QTest::addColumn<QString>("taken"); // what the dialog says of them
    QTest::addColumn<QString>("leftOut"); // its start; none: not shown

    // Counts and sizes as a separate implementation of the rule finds them.
    const QString fixed = QStringLiteral("9x18.pcf.gz");
    QTest::newRow("9x18, the code points offered")
            << fixed << QString() << 4274 << "They take 4274 of the 4766 glyphs, in cells of 9 × 16."
            << "Left out: 492 of the font's glyphs: À U+00C0, Á U+00C1, Â U+00C2, Å U+00C5, È U+00C8, É U+00C9 and 486 "
               "more. Printable ASCII is complete.";
    QTest::newRow("9x18, printable ASCII") << fixed << "32-126" << 95
                                           << "They take 95 of the 4766 glyphs, in cells of 9 × 16."
                                           << "Left out: 4671 of the font's glyphs: U+0000, U+00A0, ¡ U+00A1";
    QTest::newRow("9x18, Latin-1, which does not fit, then Cancel")
            << fixed << "0-255" << 0 << "Glyph 'Agrave' (U+00C0), 7 x 14 pixels of ink, does not fit with the others taken"
            << QString();
    QTest::newRow("9x18, a code point the font lacks, then Cancel")
            << fixed << "U+10FFFF" << 0 << "The font has no glyph for these code points." << QString();
    QTest::newRow("Terminus 24x12, the code points offered")
            << "Lat15-Terminus24x12.psf.gz" << QString() << 169 << "They take 169 of the 256 glyphs, in cells of 12 × 16."
            << "Left out: 87 of the font's glyphs: \" U+0022, $ U+0024, ' U+0027, Q U+0051, ^ U+005E, _ U+005F and 81 "
               "more. Printable ASCII lacks \" $ ' Q ^ _ ` g j p q y.";
}

// Fonts larger than 16 × 16: the dialog offers the glyphs that fit and says
// how many they are and what is left out; Open is disabled while the entry
// is wrong. What does not fit is not taken, and the set window says the set
// is part of a larger font.
void tst_GlyphSetWindow::tooLargeFontAsksForGlyphs()
{
    QFETCH(QString, font);
    QFETCH(QString, typed);
    QFETCH(int, glyphs);
    QFETCH(QString, taken);
    QFETCH(QString, leftOut);
    QString path = QStringLiteral("/usr/share/consolefonts/") + font;
    QString message;
    if (RealFonts::isPcf(font))
        QVERIFY2(RealFonts::prepare(font, m_dir->path(), &path, &message), qPrintable(message));
    QVERIFY2(QFile::exists(path), "install console-setup-linux");
    QLocale::setDefault(QLocale::c());
    const auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });

    QString size;
    QString said;
    QString left;
    bool openEnabled = false;
    bool stayedOpen = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<OpenGlyphSetDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        size = dialog->findChild<QLabel *>(QStringLiteral("lblSize"))->text();
        auto *txtCodePoints = dialog->findChild<QPlainTextEdit *>(QStringLiteral("txtCodePoints"));
        if (!typed.isEmpty())
            txtCodePoints->setPlainText(typed);
        said = dialog->findChild<QLabel *>(QStringLiteral("lblTaken"))->text();
        auto *lblLeftOut = dialog->findChild<QLabel *>(QStringLiteral("lblLeftOut"));
        // Each character and its code point are kept together by a no-break space.
        left = lblLeftOut->isVisible() ? lblLeftOut->text().replace(QChar(0xA0), QLatin1Char(' ')) : QString();
        openEnabled = dialog->findChild<QPushButton *>(QStringLiteral("cmdOpen"))->isEnabled();
        // Enter in the box opens, as in a one-line field.
        QTest::keyClick(txtCodePoints, Qt::Key_Return);
        stayedOpen = dialog->isVisible();
        if (stayedOpen)
            dialog->reject();
    });
    QCOMPARE(m_window->openGlyphSet(path), glyphs > 0);
    const QString fontGlyphs = font == QLatin1String("9x18.pcf.gz") ? "4766" : "256";
    QVERIFY2(size.contains(fontGlyphs + " glyphs of " + QFileInfo(path).fileName()), qPrintable(size));
    QVERIFY2(said.startsWith(taken), qPrintable(said));
    QVERIFY2(left.startsWith(leftOut) && left.isEmpty() == leftOut.isEmpty(), qPrintable(left));
    QCOMPARE(openEnabled, glyphs > 0);
    QCOMPARE(stayedOpen, glyphs == 0);
    if (glyphs == 0) {
        QVERIFY(!openedWindow() || !openedWindow()->session().isOpen());
        return;
    }
    const GlyphSet &set = openedWindow()->session().set();
    QCOMPARE(set.size(), glyphs);
    const QString status = control<QLabel>(openedWindow(), "lblSet")->text();
    QVERIFY2(status.startsWith(QStringLiteral("%1 of %2 glyphs opened").arg(glyphs).arg(fontGlyphs)), qPrintable(status));
    QVERIFY2(gridShows(0, &message), qPrintable(message));
}

// A glyph of a font opened in part, edited and saved, leaves the rest of
// the font in its file: its glyphs and its metrics.
void tst_GlyphSetWindow::openedInPartSavesWhole()
{
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("9x18.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    const QByteArray original = contents(path);
    // The glyphs offered.
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetWindow *window = openedWindow();
    clickCell(Grid1(), 0, 0);
    QVERIFY(window->cmdSave_Click());
    const QByteArray saved = contents(path);
    QVERIFY(saved != original);
    QCOMPARE(saved.count("\nSTARTCHAR "), original.count("\nSTARTCHAR "));
    for (const char *line : {"FONTBOUNDINGBOX", "FONT_ASCENT", "FONT_DESCENT"})
        QCOMPARE(BdfText::numbers(saved, line), BdfText::numbers(original, line));
}

// A source file of two fonts asks which to open, listing both; the one
// chosen opens, and Save writes it back in its place, the other as it was.
void tst_GlyphSetWindow::severalFontsInOneSourceAskWhich()
{
    QString bdf;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &bdf, &message), qPrintable(message));
    FontExport::Options options;
    options.lines.ranges = {{0x20, 0x7E}};
    options.format = FontExport::Format::U8x8;
    options.name = QStringLiteral("first");
    const ReadResult read = GlyphSetFile::open(bdf, {});
    QVERIFY2(read.ok(), qPrintable(read.error));
    const QByteArray first = FontExport::write(*read.set, options).text.toUtf8();
    options.format = FontExport::Format::Gfx;
    options.name = QStringLiteral("second");
    const QByteArray second = FontExport::write(*read.set, options).text.toUtf8();
    const QString path = m_dir->filePath(QStringLiteral("fonts.h"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(first + second) == first.size() + second.size());
    file.close();

    QStringList listed;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ChooseFontDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("lstFonts"));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList row;
            for (int column = 0; column < list->columnCount(); ++column)
                row << list->topLevelItem(i)->text(column);
            listed << row.join(QLatin1Char('|'));
        }
        list->setCurrentItem(list->topLevelItem(1));
        dialog->accept();
    });
    QVERIFY(m_window->openGlyphSet(path));
    QCOMPARE(listed, (QStringList{"first|u8x8 font of 8 x 8 tiles|95|8 × 8", "second|GFX font (Adafruit GFX)|95|5 × 7"}));
    GlyphSetWindow *window = openedWindow();
    QCOMPARE(window->session().set().size(), 95);
    window->session().choose(window->session().set().indexOf('A'));
    clickCell(Grid1(), 0, 0);
    QVERIFY(window->cmdSave_Click());
    const QByteArray saved = contents(path);
    QVERIFY(saved.startsWith(first));
    QVERIFY(saved != first + second);
}

// The question about unsaved changes comes before the glyphs are chosen; a
// set whose changes may go stays open until another takes its place.
void tst_GlyphSetWindow::unsavedChangesAreAskedFirst()
{
    QString small;
    QString large;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &small, &message), qPrintable(message));
    QVERIFY2(RealFonts::prepare(QStringLiteral("9x18.pcf.gz"), m_dir->path(), &large, &message), qPrintable(message));
    QVERIFY(m_window->openGlyphSet(small));
    GlyphSetSession &session = openedWindow()->session();
    clickCell(Grid1(), 2, 2);
    QVERIFY(session.isModified());

    // Discard, then Cancel in the dialog: the edited set is still there.
    bool askedFirst = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        askedFirst = box != nullptr;
        if (box)
            box->button(QMessageBox::Discard)->click();
        QTimer::singleShot(0, this, [] {
            if (auto *dialog = qobject_cast<OpenGlyphSetDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
    });
    QVERIFY(!m_window->openGlyphSet(large));
    QVERIFY(askedFirst);
    QVERIFY(session.isOpen() && session.isModified());
    QCOMPARE(session.sourcePath(), small);
}

// Open is disabled while the outline font's size is too large, and the line
// under the fields, and their description, say why.
void tst_GlyphSetWindow::outlineSizeIsCheckedLive()
{
    QFile font(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
    QVERIFY2(font.open(QIODevice::ReadOnly), "install fonts-dejavu-core");
    OpenGlyphSetDialog dialog(font.readAll(), QStringLiteral("DejaVuSansMono.ttf"), {});
    auto *cmdOpen = dialog.findChild<QPushButton *>(QStringLiteral("cmdOpen"));
    auto *spnPixelSize = dialog.findChild<QSpinBox *>(QStringLiteral("spnPixelSize"));
    spnPixelSize->setValue(24);
    QVERIFY(!cmdOpen->isEnabled());
    // 24 px: ascent 23 and descent 6 rounded up, as Qt's font engine gives them.
    const QString said = dialog.findChild<QLabel *>(QStringLiteral("lblCells"))->text();
    QVERIFY2(said.startsWith(QStringLiteral("DejaVu Sans Mono at 24 px needs 14 x 29 cells")), qPrintable(said));
    QCOMPARE(spnPixelSize->accessibleDescription(), said);
    spnPixelSize->setValue(12);
    QVERIFY(cmdOpen->isEnabled());
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblCells"))->text(),
             QStringLiteral("The glyphs take cells of 7 × 15 pixels."));
}

// A font that ends after its last glyph without ENDFONT opens, and the set
// window says so.
void tst_GlyphSetWindow::notesAreShown()
{
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    QByteArray text = contents(path);
    text.truncate(text.lastIndexOf("ENDFONT"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    QVERIFY(m_window->openGlyphSet(path));
    const QString status = control<QLabel>(openedWindow(), "lblSet")->text();
    QVERIFY2(status.contains(QLatin1String("The file ends after its last glyph without ENDFONT")), qPrintable(status));
}

void tst_GlyphSetWindow::exportFollowsTheRules_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("orientation");
    QTest::addColumn<bool>("comments");
    QTest::newRow("5x7, vertical, comments") << "5x7.pcf.gz" << "vert" << true;
    QTest::newRow("6x13, horizontal") << "6x13.pcf.gz" << "horiz" << false;
    QTest::newRow("8x13, left to right, comments") << "8x13.pcf.gz" << "horiz-ltr" << true;
    QTest::newRow("Terminus 6x12, vertical") << "Lat2-Terminus12x6.psf.gz" << "vert" << false;
    QTest::newRow("Unifont APL 8x16, horizontal, comments") << "Unifont-APL8x16.psf.gz" << "horiz" << true;
    QTest::newRow("DejaVu Sans Mono 12 px, left to right") << "DejaVuSansMono.ttf" << "horiz-ltr" << true;
}

// "Export to Text" appends to Text1 every glyph's line as the readout rules
// give it in the window's options.
void tst_GlyphSetWindow::exportFollowsTheRules()
{
    QFETCH(QString, font);
    QFETCH(QString, orientation);
    QFETCH(bool, comments);
    QString path = QStringLiteral("/usr/share/fonts/truetype/dejavu/") + font;
    QString message;
    if (!font.endsWith(QLatin1String(".ttf")))
        QVERIFY2(RealFonts::prepare(font, m_dir->path(), &path, &message), qPrintable(message));
    QVERIFY2(QFile::exists(path), "install fonts-dejavu-core");

    QTest::mouseClick(control<QAbstractButton>(m_window.get(), "Command6"), Qt::LeftButton);
    QTest::mouseClick(control<QRadioButton>(m_window.get(), orientation == "vert" ? "optvert" : "opthoriz"),
                      Qt::LeftButton);
    if (orientation == "horiz-ltr")
        QTest::mouseClick(control<QCheckBox>(m_window.get(), "chkdir"), Qt::LeftButton);
    control<QLineEdit>(m_window.get(), "txtfmt")->setText(QStringLiteral("0x"));
    control<QLineEdit>(m_window.get(), "txtdelim")->setText(QStringLiteral(", "));
    // An outline font asks for its pixel size and code points: the defaults.
    QTimer::singleShot(0, this, [] {
        if (auto *dialog = qobject_cast<OpenGlyphSetDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    QVERIFY(m_window->openGlyphSet(path));
    auto *setWindow = openedWindow();
    if (comments)
        QTest::mouseClick(control<QCheckBox>(setWindow, "chkComments"), Qt::LeftButton);
    auto *Text1 = control<PlainTextBox>(m_window.get(), "Text1");
    Text1->setPlainText(QStringLiteral("kept\r\n"));
    QTest::mouseClick(control<QAbstractButton>(setWindow, "cmdExport"), Qt::LeftButton);

    using Order = ReadoutReference::Order;
    const Order order = orientation == "vert"    ? Order::Vertical
                        : orientation == "horiz" ? Order::Horizontal
                                                 : Order::HorizontalLeftToRight;
    const ExportReference::Style style{order, QStringLiteral("0x"), QStringLiteral(", "), comments};
    const QString expected = ExportReference::text(setWindow->session().set(), style);
    QVERIFY(expected.size() > 100);
    QCOMPARE(Text1->text(), QStringLiteral("kept\r\n") + expected);
}

void tst_GlyphSetWindow::goToChoosesTheGlyph_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("character"); // -1: the glyph drawn stays
    QTest::addColumn<QString>("result");

    QTest::newRow("character") << "K" << int('K') << "Drawn in the grid: U+004B K, LATIN CAPITAL LETTER K.";
    QTest::newRow("a glyph the font lacks") << "U+1F600" << -1 << "The font has no glyph for U+1F600 \U0001F600, GRINNING FACE.";
    QTest::newRow("no character") << "KA" << -1 << "Type one character, or a code point as U+004B, 0x4B or 75.";
}

// Enter in the Go to box draws the glyph of the character typed, or says at
// the box, to the eye and to a screen reader, why it cannot.
void tst_GlyphSetWindow::goToChoosesTheGlyph()
{
    QFETCH(QString, typed);
    QFETCH(int, character);
    QFETCH(QString, result);
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetWindow *window = openedWindow();
    GlyphSetSession &session = window->session();
    session.choose(5);

    auto *txtGoTo = control<QLineEdit>(window, "txtGoTo");
    txtGoTo->setText(typed);
    QTest::keyClick(txtGoTo, Qt::Key_Return);
    const qsizetype expected = character >= 0 ? session.set().indexOf(character) : 5;
    QCOMPARE(session.current(), expected);
    QVERIFY2(gridShows(expected, &message), qPrintable(message));
    QCOMPARE(control<QLabel>(window, "lblGoToResult")->text(), result);
    QCOMPARE(txtGoTo->accessibleDescription(), result);

    QTest::keyClick(txtGoTo, Qt::Key_Backspace);
    QVERIFY(control<QLabel>(window, "lblGoToResult")->text().isEmpty());
}

// With the focus in the glyph list, a key goes to its character's glyph.
void tst_GlyphSetWindow::typingInTheListChoosesTheGlyph()
{
    QString path;
    QString message;
    QVERIFY2(RealFonts::prepare(QStringLiteral("5x7.pcf.gz"), m_dir->path(), &path, &message), qPrintable(message));
    QVERIFY(m_window->openGlyphSet(path));
    GlyphSetSession &session = openedWindow()->session();
    auto *list = control<GlyphSetView>(openedWindow(), "lstGlyphs");
    list->setFocus();
    QTest::keyClicks(list, QStringLiteral("Kg"));
    QCOMPARE(session.current(), session.set().indexOf('g'));
    QVERIFY2(gridShows(session.current(), &message), qPrintable(message));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(session.current(), session.set().indexOf(' '));
}

QTEST_MAIN(tst_GlyphSetWindow)
#include "tst_glyphsetwindow.moc"
