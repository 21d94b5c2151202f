#include "bdftext.h"
#include "bytereader.h"
#include "exportdialog.h"
#include "glyphsetwindow.h"
#include "mainwindow.h"
#include "realfonts.h"
#include "startup.h"
#include "testsettings.h"
#include "textpreviewview.h"
#include "windowdriver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

GlyphSetWindow *openedWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *set = qobject_cast<GlyphSetWindow *>(window))
            return set;
    }
    return nullptr;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The glyph at `codePoint` in the X11 5x7 font's 5 x 7 cell, read from the
// BDF text apart from the program's reader.
Drawing bdfGlyph(const QByteArray &bdf, int codePoint)
{
    return BdfText::placed(BdfText::chars(bdf).value(codePoint), 5, 7, BdfText::numbers(bdf, "FONT_ASCENT").value(0));
}

// Whether the preview's top left 5 x 7 pixels are `glyph`.
bool previewShows(const TextPreviewView *preview, const Drawing &glyph)
{
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            if ((preview->image().pixelIndex(x, y) == 1) != glyph.isSet(y, x))
                return false;
        }
    }
    return true;
}

template <typename T>
T *control(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

// What the dialog is set to, as far as these tests set it.
QStringList choices(QWidget *dialog)
{
    return {control<QLineEdit>(dialog, "txtCodePoints")->text(), control<QLineEdit>(dialog, "txtRemaps")->text(),
            control<QPlainTextEdit>(dialog, "txtSample")->toPlainText(), control<QSpinBox>(dialog, "spnHeight")->text()};
}

// A dialog closed goes at the next turn of the event loop.
void deleteClosed()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

// The export dialog on the X11 5x7 font, opened from the set window beside
// the real main window in vertical order with the prefix "0x" and the
// delimiter ", ".
class tst_ExportDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Startup::setUpApplication(); }
    void init();
    void cleanup();

    void previewNameAndSave();
    void choicesPerFontAndLivePreview();
    void faultMarkedAndAnnounced_data();
    void faultMarkedAndAnnounced();

private:
    // The set window's export dialog, opened (or brought forward) by its
    // button, on the font open.
    ExportDialog *openDialog();

    // Every step on the dialog, as the set window opened it.
    bool drive(ExportDialog *dialog, QString *message);

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_font;
};

void tst_ExportDialog::init()
{
    m_settings = std::make_unique<TestSettings>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<MainWindow>();
    m_window->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QString message;
    const RealFonts::Font font{"misc-fixed 5x7", "/usr/share/fonts/X11/misc/5x7.pcf.gz", "xfonts-base"};
    QVERIFY2(RealFonts::prepare(font, m_dir->path(), &m_font, &message), qPrintable(message));
}

void tst_ExportDialog::cleanup()
{
    if (GlyphSetWindow *set = openedWindow())
        set->session().close();
    m_window.reset();
    m_dir.reset();
    m_settings.reset();
}

bool tst_ExportDialog::drive(ExportDialog *dialog, QString *message)
{
    const auto fail = [message](const QString &why) {
        *message = why;
        return false;
    };
    auto *lstFormat = dialog->findChild<QComboBox *>(QStringLiteral("lstFormat"));
    auto *txtName = dialog->findChild<QLineEdit *>(QStringLiteral("txtName"));
    auto *lblError = dialog->findChild<QLabel *>(QStringLiteral("lblError"));
    auto *cmdSave = dialog->findChild<QPushButton *>(QStringLiteral("cmdSave"));
    auto *preview = dialog->findChild<TextPreviewView *>(QStringLiteral("picPreview"));
    if (!lstFormat || !txtName || !lblError || !cmdSave || !preview)
        return fail(QStringLiteral("a control is missing"));

    // "5x7" starts with a digit, which no C name may.
    if (txtName->text() != QLatin1String("font_5x7"))
        return fail(QStringLiteral("the name is %1").arg(txtName->text()));

    // The lines draw each glyph with its whole cell; the font's tallest
    // glyphs reach the cell's top, so the sample's "T" fills the first 5
    // columns and 7 rows of the display just as the font's bitmap has it.
    const QImage &image = preview->image();
    if (image.size() != QSize(128, 64))
        return fail(QStringLiteral("the preview is %1 x %2").arg(image.width()).arg(image.height()));
    if (!previewShows(preview, bdfGlyph(contents(m_font), 'T')))
        return fail(QStringLiteral("the preview's first 5 x 7 pixels differ from T"));

    // A name that C keeps for itself: the dialog says so and saves nothing.
    lstFormat->setCurrentIndex(lstFormat->findData(int(FontExport::Format::C)));
    txtName->setText(QStringLiteral("int"));
    const QString refused = m_dir->filePath(QStringLiteral("refused.h"));
    if (dialog->result().ok() || !lblError->text().contains(QLatin1String("int")) || cmdSave->isEnabled()
        || dialog->saveTo(refused) || QFile::exists(refused))
        return fail(QStringLiteral("the name \"int\" was not refused: \"%1\"").arg(lblError->text()));
    if (preview->image().pixelIndex(1, 0) != 1)
        return fail(QStringLiteral("a refused name hid the preview"));

    // Three glyphs saved as lines: each line's values, read back in the
    // main window's order, are the glyph the font holds.
    lstFormat->setCurrentIndex(lstFormat->findData(int(FontExport::Format::Lines)));
    dialog->findChild<QLineEdit *>(QStringLiteral("txtCodePoints"))->setText(QStringLiteral("0x41-0x43"));
    const QString path = m_dir->filePath(QStringLiteral("font_5x7.h"));
    if (!cmdSave->isEnabled() || !dialog->saveTo(path))
        return fail(QStringLiteral("the lines could not be saved: \"%1\"").arg(lblError->text()));
    const QList<QByteArray> lines = contents(path).split('\n');
    if (lines.size() != 4 || !lines[3].isEmpty())
        return fail(QStringLiteral("the file holds %1 lines").arg(lines.size() - 1));
    for (int i = 0; i < 3; ++i) {
        const ByteReader::Result values = ByteReader::read(QString::fromUtf8(lines[i]), 5, 7);
        if (!(BitOrder(BitOrder::Vertical).drawing(values.values, 7, 5) == bdfGlyph(contents(m_font), 'A' + i)))
            return fail(QStringLiteral("line %1 reads back otherwise than the font: %2")
                                .arg(i + 1)
                                .arg(QString::fromUtf8(lines[i])));
    }
    return true;
}

ExportDialog *tst_ExportDialog::openDialog()
{
    GlyphSetWindow *setWindow = openedWindow();
    if (!setWindow)
        return nullptr;
    QTest::mouseClick(control<QPushButton>(setWindow, "cmdExportFont"), Qt::LeftButton);
    return setWindow->findChild<ExportDialog *>();
}

void tst_ExportDialog::previewNameAndSave()
{
    QTest::mouseClick(m_window->findChild<QAbstractButton *>(QStringLiteral("Command6")), Qt::LeftButton);
    QTest::mouseClick(m_window->findChild<QRadioButton *>(QStringLiteral("optvert")), Qt::LeftButton);
    m_window->findChild<QLineEdit *>(QStringLiteral("txtfmt"))->setText(QStringLiteral("0x"));
    m_window->findChild<QLineEdit *>(QStringLiteral("txtdelim"))->setText(QStringLiteral(", "));
    QVERIFY(m_window->openGlyphSet(m_font));
    ExportDialog *dialog = openDialog();
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    QString message;
    QVERIFY2(drive(dialog, &message), qPrintable(message));

    // The lines follow the main window's delimiter while the dialog is open.
    m_window->findChild<QLineEdit *>(QStringLiteral("txtdelim"))->setText(QStringLiteral(";"));
    QVERIFY(dialog->result().text.contains(QLatin1Char(';')));
}

// What the dialog is set to comes back when it opens again; the preview
// follows the glyphs as they are drawn, through the remaps; the dialog goes
// with its set.
void tst_ExportDialog::choicesPerFontAndLivePreview()
{
    QVERIFY(m_window->openGlyphSet(m_font));
    QPointer<ExportDialog> dialog = openDialog();
    control<QLineEdit>(dialog, "txtCodePoints")->setText(QStringLiteral("0x41"));
    control<QLineEdit>(dialog, "txtRemaps")->setText(QStringLiteral("0x41:0x80"));
    control<QPlainTextEdit>(dialog, "txtSample")->setPlainText(QStringLiteral("A"));
    control<QSpinBox>(dialog, "spnHeight")->setValue(8);
    const QStringList chosen = choices(dialog);
    QTest::mouseClick(control<QPushButton>(dialog, "cmdClose"), Qt::LeftButton);
    deleteClosed();
    QVERIFY(!dialog);
    dialog = openDialog();
    QCOMPARE(choices(dialog), chosen);

    // "A" typed is drawn with the glyph moved to 0x80; a cell clicked in the
    // glyph is in the preview at once.
    auto *preview = control<TextPreviewView>(dialog, "picPreview");
    Drawing a = bdfGlyph(contents(m_font), 'A');
    QVERIFY(previewShows(preview, a));
    GlyphSetSession &session = openedWindow()->session();
    session.choose(session.set().indexOf('A'));
    WindowDriver::clickCell(m_window->findChild<GridView *>(QStringLiteral("Grid1")), 6, 0);
    a.set(6, 0, !a.isSet(6, 0));
    QVERIFY(previewShows(preview, a));
    session.close();
    deleteClosed();
    QVERIFY(!dialog);
}

// The lists are named by their labels, not by what they show; the error
// line is an alert, shown while there is an error, and the field at fault
// names it to a screen reader and is tinted.
void tst_ExportDialog::faultMarkedAndAnnounced_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("code points") << int(FontExport::Format::Lines) << "txtCodePoints" << "0x41-";
    QTest::newRow("remaps") << int(FontExport::Format::Lines) << "txtRemaps" << "0x41:";
    QTest::newRow("a name C keeps for itself") << int(FontExport::Format::C) << "txtName" << "int";
}

void tst_ExportDialog::faultMarkedAndAnnounced()
{
    QFETCH(int, format);
    QFETCH(QString, field);
    QFETCH(QString, text);

    QVERIFY(m_window->openGlyphSet(m_font));
    ExportDialog *dialog = openDialog();
    auto *lstFormat = control<QComboBox>(dialog, "lstFormat");
    QCOMPARE(QAccessible::queryAccessibleInterface(lstFormat)->text(QAccessible::Name), QStringLiteral("Format"));
    QCOMPARE(QAccessible::queryAccessibleInterface(control<QComboBox>(dialog, "lstPageOrder"))->text(QAccessible::Name),
             QStringLiteral("Page order"));
    lstFormat->setCurrentIndex(lstFormat->findData(format));
    auto *lblError = control<QLabel>(dialog, "lblError");
    auto *faulty = dialog->findChild<QLineEdit *>(field);
    const QString before = faulty->text();
    const QColor base = faulty->palette().color(QPalette::Active, QPalette::Base);
    QVERIFY(!lblError->isVisibleTo(dialog));

    faulty->setText(text);
    const QString message = dialog->result().error;
    QVERIFY(!message.isEmpty());
    QVERIFY(lblError->isVisibleTo(dialog));
    QAccessibleInterface *alert = QAccessible::queryAccessibleInterface(lblError);
    QCOMPARE(alert->role(), QAccessible::AlertMessage);
    QCOMPARE(alert->text(QAccessible::Name), message);
    for (const char *name : {"txtName", "txtCodePoints", "txtRemaps"}) {
        auto *edit = control<QLineEdit>(dialog, name);
        QCOMPARE(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Description) == message, edit == faulty);
        QCOMPARE(edit->palette().color(QPalette::Active, QPalette::Base) != base, edit == faulty);
    }

    faulty->setText(before);
    QVERIFY(dialog->result().ok());
    QVERIFY(!lblError->isVisibleTo(dialog));
    QCOMPARE(QAccessible::queryAccessibleInterface(faulty)->text(QAccessible::Description), faulty->toolTip());
    QCOMPARE(faulty->palette().color(QPalette::Active, QPalette::Base), base);
}

QTEST_MAIN(tst_ExportDialog)
#include "tst_exportdialog.moc"
