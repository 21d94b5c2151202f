#include "bdftext.h"
#include "bytereader.h"
#include "exportdialog.h"
#include "glyphsetwindow.h"
#include "mainwindow.h"
#include "realfonts.h"
#include "startup.h"
#include "testsettings.h"
#include "textpreviewview.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

private:
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
    const Drawing t = bdfGlyph(contents(m_font), 'T');
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            if ((image.pixelIndex(x, y) == 1) != t.isSet(y, x))
                return fail(QStringLiteral("pixel %1, %2 of the preview differs from T").arg(x).arg(y));
        }
    }

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

void tst_ExportDialog::previewNameAndSave()
{
    QTest::mouseClick(m_window->findChild<QAbstractButton *>(QStringLiteral("Command6")), Qt::LeftButton);
    QTest::mouseClick(m_window->findChild<QRadioButton *>(QStringLiteral("optvert")), Qt::LeftButton);
    m_window->findChild<QLineEdit *>(QStringLiteral("txtfmt"))->setText(QStringLiteral("0x"));
    m_window->findChild<QLineEdit *>(QStringLiteral("txtdelim"))->setText(QStringLiteral(", "));
    QVERIFY(m_window->openGlyphSet(m_font));
    GlyphSetWindow *setWindow = openedWindow();
    QVERIFY(setWindow);

    bool opened = false;
    bool ok = false;
    QString message;
    QTimer::singleShot(0, this, [&] {
        if (auto *dialog = qobject_cast<ExportDialog *>(QApplication::activeModalWidget())) {
            opened = true;
            ok = drive(dialog, &message);
            dialog->reject();
        }
    });
    QTest::mouseClick(setWindow->findChild<QPushButton *>(QStringLiteral("cmdExportFont")), Qt::LeftButton);
    QVERIFY(opened);
    QVERIFY2(ok, qPrintable(message));
}

QTEST_MAIN(tst_ExportDialog)
#include "tst_exportdialog.moc"
