#include "glyphsetwindow.h"

#include "charactername.h"
#include "choosefontdialog.h"
#include "codepoints.h"
#include "exportdialog.h"
#include "firmwaresource.h"
#include "fontfile.h"
#include "fontkind.h"
#include "glypheditor.h"
#include "glyphexport.h"
#include "glyphsetfile.h"
#include "glyphsetview.h"
#include "openglyphsetdialog.h"
#include "outputtext.h"
#include "statuslabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {
// The widest advance the box offers; a font's own larger one still shows.
constexpr int kLargestAdvance = 2 * GlyphSet::kMaxSize;

// Sets a metric's box to `value` without its change reaching the set: the
// range, widened to take in whatever value a font gave, would otherwise
// clamp the old value on its way.
void showMetric(QSpinBox *box, int value, int low, int high)
{
    const QSignalBlocker blocker(box);
    box->setRange(std::min(low, value), std::max(high, value));
    box->setValue(value);
}

ReadResult readFile(const QByteArray &bytes, const QString &path, GlyphSetFile::Kind kind,
                    const GlyphSetFile::Options &options)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ReadResult read = GlyphSetFile::read(bytes, path, kind, options);
    QApplication::restoreOverrideCursor();
    return read;
}
} // namespace

GlyphSetWindow::GlyphSetWindow(GlyphEditor &editor, const OutputText &output)
    : QWidget(nullptr)
    , m_editor(editor)
    , m_output(output)
    , m_session(editor)
{
    setObjectName(QStringLiteral("frmGlyphSet"));
    setWindowTitle(tr("Glyph set[*]"));
    // Left open, it must not keep the program running once the main window
    // has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();
    connectControls();
    placeControls();
    updateStatus();
    updateMetrics();
}

// The dialog works on the session, which goes before the window's children.
GlyphSetWindow::~GlyphSetWindow()
{
    delete m_dlgExport.data();
}

void GlyphSetWindow::updateStatus()
{
    const bool open = m_session.isOpen();
    m_cmdSave->setEnabled(open);
    m_cmdSaveAs->setEnabled(open);
    m_cmdExport->setEnabled(open);
    m_cmdExportFont->setEnabled(open);
    m_txtGoTo->setEnabled(open);
    setWindowModified(m_session.isModified());
    if (!open) {
        setWindowFilePath(QString());
        setWindowTitle(tr("Glyph set[*]"));
        m_lblSet->setText(tr("No glyph set is open. Open a BDF or console font, source code with arrays, "
                             "a picture or a TrueType font."));
        return;
    }
    const GlyphSet &set = m_session.set();
    const QString file = QFileInfo(m_session.sourcePath()).fileName();
    const QString name = m_session.sourceFont().isEmpty() ? file : tr("%1 in %2").arg(m_session.sourceFont(), file);
    setWindowTitle(tr("%1[*] – Glyph set").arg(name));
    // A font opened in part says so: the rest of it is in the file only.
    QString text = m_session.fontGlyphs() > 0
                           ? tr("%L3 of %L4 glyphs opened, in %1 × %2 cells")
                                     .arg(set.cols())
                                     .arg(set.rows())
                                     .arg(set.size())
                                     .arg(m_session.fontGlyphs())
                           : (set.size() == 1 ? tr("1 glyph of %1 × %2 cells") : tr("%L3 glyphs of %1 × %2 cells"))
                                     .arg(set.cols())
                                     .arg(set.rows())
                                     .arg(set.size());
    const qsizetype current = m_session.current();
    if (current >= 0) {
        const Glyph &glyph = set.at(current);
        text += tr("; drawn in the grid: %1 (%L2 of %L3)")
                        .arg(GlyphSetModel::label(glyph.codePoint, glyph.name))
                        .arg(current + 1)
                        .arg(set.size());
        // A turn or a size chosen from the lists can leave the grid at
        // another size than the set's glyphs.
        const Grid &grid = m_editor.Grid1();
        if (grid.cols() != set.cols() || grid.rows() != set.rows())
            text += tr(". The grid is %1 × %2: only its cells within %3 × %4 go into the glyph.")
                            .arg(grid.cols())
                            .arg(grid.rows())
                            .arg(set.cols())
                            .arg(set.rows());
    }
    // What the reader made good, such as a missing ENDFONT.
    if (!m_notes.isEmpty())
        text += (text.endsWith(QLatin1Char('.')) ? QStringLiteral(" ") : QStringLiteral(". ")) + m_notes.join(' ');
    m_lblSet->setText(text);
}

void GlyphSetWindow::updateMetrics()
{
    const bool open = m_session.isOpen();
    const GlyphSet &set = m_session.set();
    const qsizetype current = m_session.current();
    for (QWidget *control : {static_cast<QWidget *>(m_lblAscent), static_cast<QWidget *>(m_spnAscent),
                             static_cast<QWidget *>(m_lblXOffset), static_cast<QWidget *>(m_spnXOffset)})
        control->setEnabled(open);
    m_lblAdvance->setEnabled(open && current >= 0);
    m_spnAdvance->setEnabled(open && current >= 0);
    showMetric(m_spnAscent, set.ascent, 0, set.rows());
    showMetric(m_spnXOffset, set.xOffset, -set.cols(), set.cols());
    showMetric(m_spnAdvance, current >= 0 ? set.advanceOf(set.at(current)) : 0, 0, kLargestAdvance);
}

void GlyphSetWindow::txtGoTo_Return()
{
    int codePoint = 0;
    QString result;
    if (!CodePoints::parseCharacter(m_txtGoTo->text(), &codePoint)) {
        result = tr("Type one character, or a code point as U+004B, 0x4B or 75.");
    } else if (const qsizetype index = m_session.set().indexOf(codePoint); index < 0) {
        result = tr("The font has no glyph for %1.").arg(CharacterName::spoken(codePoint, {}, false));
    } else {
        m_session.choose(index);
        m_txtGoTo->selectAll();
        const QModelIndex item = m_lstGlyphs->model()->index(int(index), 0);
        result = tr("Drawn in the grid: %1.").arg(item.data(Qt::AccessibleTextRole).toString());
    }
    m_lblGoToResult->setText(result);
    // Screen readers speak a new description of the field that has the focus.
    m_txtGoTo->setAccessibleDescription(result);
}

void GlyphSetWindow::txtGoTo_Change()
{
    m_lblGoToResult->clear();
    m_txtGoTo->setAccessibleDescription(QString());
}

// Until the next change of the status, which rebuilds it.
void GlyphSetWindow::showSaved(const QString &path)
{
    QString text = m_lblSet->text();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    m_lblSet->setText(text + tr(" Saved to %1.").arg(QDir::toNativeSeparators(path)));
}

void GlyphSetWindow::showError(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool GlyphSetWindow::openFile(const QString &path)
{
    QByteArray bytes;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = FontFile::load(path, &bytes, &error);
    QApplication::restoreOverrideCursor();
    if (!loaded) {
        showError(error);
        return false;
    }
    // The question about unsaved changes comes before any dialog, so that
    // what the user chooses there is not asked for in vain.
    bool asked = false;
    const auto mayReplace = [&] { return asked || (asked = askToSaveChanges()); };
    // The file is read once; its kind, as GlyphSetFile::open tells it.
    const GlyphSetFile::Kind kind = GlyphSetFile::kindOf(bytes.left(FontKind::kHeadBytes), QFileInfo(path).fileName());
    std::optional<ReadResult> read;
    if (kind == GlyphSetFile::Kind::Array)
        read = readFirmwareFont(bytes, path, mayReplace);
    if (!read)
        read = readAsked(bytes, path, kind, mayReplace);
    // Only a set that could be read takes the place of the open one; a
    // dialog cancelled gives neither a set nor a message.
    if (!read->ok()) {
        if (!read->error.isEmpty())
            showError(read->error);
        return false;
    }
    if (!mayReplace())
        return false;
    m_session.close();
    m_lastFolder = QFileInfo(path).absolutePath();
    m_notes = read->notes;
    const std::optional<ExportOptions> stored = read->set->exportOptions;
    // The options go first, so that the glyph is drawn in the stored order.
    if (stored)
        applyStoredOptions(*stored);
    m_session.open(std::move(*read), path, kind);
    show();
    raise();
    return true;
}

std::optional<ReadResult> GlyphSetWindow::readFirmwareFont(const QByteArray &bytes, const QString &path,
                                                           const std::function<bool()> &mayReplace)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FirmwareSource::Scan scan = FirmwareSource::scan(bytes, path);
    QApplication::restoreOverrideCursor();
    if (!scan.ok())
        return ReadResult::failure(scan.error);
    if (scan.fonts.empty())
        return std::nullopt;
    QString name;
    if (scan.fonts.size() > 1) {
        if (!mayReplace())
            return ReadResult();
        ChooseFontDialog dialog(scan.fonts, QFileInfo(path).fileName(), this);
        if (dialog.exec() != QDialog::Accepted)
            return ReadResult();
        name = dialog.chosen();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ReadResult read = FirmwareSource::read(scan, path, name);
    QApplication::restoreOverrideCursor();
    return read;
}

ReadResult GlyphSetWindow::readAsked(const QByteArray &bytes, const QString &path, GlyphSetFile::Kind kind,
                                     const std::function<bool()> &mayReplace)
{
    const QString fileName = QFileInfo(path).fileName();
    GlyphSetFile::Options options;
    // Arrays and pictures are cut at the grid's present size and read in its
    // present order, unless the user says otherwise.
    const Grid &grid = m_editor.Grid1();
    options.array.cols = options.image.cols = grid.cols();
    options.array.rows = options.image.rows = grid.rows();
    options.array.order = m_editor.order();
    if (kind == GlyphSetFile::Kind::Bdf || kind == GlyphSetFile::Kind::Psf) {
        ReadResult read = readFile(bytes, path, kind, options);
        // A font whose glyphs do not fit together opens for those the user
        // takes; a damaged one is refused as it stands.
        if (read.ok())
            return read;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const FontSubset::Scan scan = GlyphSetFile::scan(bytes, path, kind);
        QApplication::restoreOverrideCursor();
        if (!scan.ok())
            return read;
        if (!mayReplace())
            return ReadResult();
        OpenGlyphSetDialog dialog(scan, fileName, options, this);
        if (dialog.exec() != QDialog::Accepted)
            return ReadResult();
        return readFile(bytes, path, kind, dialog.options());
    }
    if (!mayReplace())
        return ReadResult();
    std::unique_ptr<OpenGlyphSetDialog> dialog =
            kind == GlyphSetFile::Kind::OutlineFont
                    ? std::make_unique<OpenGlyphSetDialog>(bytes, fileName, options, this)
                    : std::make_unique<OpenGlyphSetDialog>(kind, fileName, options, this);
    if (dialog->exec() != QDialog::Accepted)
        return ReadResult();
    return readFile(bytes, path, kind, dialog->options());
}

// Orientation and bit order can change only while frmmatrix is enabled, as
// after the grid's Clear; the prefix and delimiter go through their boxes.
void GlyphSetWindow::applyStoredOptions(const ExportOptions &options)
{
    m_editor.Command6_Click();
    if (options.order.isVertical()) {
        m_editor.optvert_Click();
    } else {
        m_editor.opthoriz_Click();
        m_editor.setChkdirValue(options.order.isLeftToRight() ? 1 : 0);
    }
    emit outputOptionsRestored(options.prefix, options.delimiter);
}

ExportOptions GlyphSetWindow::currentOptions() const
{
    return {m_editor.order(), m_output.prefix(), m_output.delimiter()};
}

void GlyphSetWindow::cmdOpen_Click()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open glyph set"), m_lastFolder,
                                                      GlyphSetFile::dialogFilter());
    if (!path.isEmpty())
        openFile(path);
}

bool GlyphSetWindow::cmdSave_Click()
{
    if (!m_session.isOpen())
        return false;
    if (m_session.savePath().isEmpty())
        return cmdSaveAs_Click();
    QString error;
    if (!m_session.save(m_session.savePath(), currentOptions(), &error)) {
        showError(error);
        return false;
    }
    showSaved(m_session.savePath());
    return true;
}

bool GlyphSetWindow::cmdSaveAs_Click()
{
    if (!m_session.isOpen())
        return false;
    // A set read from another format is saved beside it under the same name.
    const QFileInfo source(m_session.savePath().isEmpty() ? m_session.sourcePath() : m_session.savePath());
    // A font of a source file that may hold several is named after itself.
    const bool fromSource = !m_session.sourceFont().isEmpty() && m_session.savePath() == m_session.sourcePath();
    const QString name = (fromSource ? m_session.sourceFont() : FontKind::stem(source.fileName())) + QStringLiteral(".bdf");
    const QString path = QFileDialog::getSaveFileName(this, tr("Save glyph set as BDF"),
                                                      source.absoluteDir().filePath(name),
                                                      tr("BDF fonts (*.bdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!m_session.save(path, currentOptions(), &error)) {
        showError(error);
        return false;
    }
    updateStatus();
    showSaved(path);
    return true;
}

void GlyphSetWindow::cmdExport_Click()
{
    if (!m_session.isOpen())
        return;
    GlyphExport::Options options;
    options.output = currentOptions();
    options.comments = m_chkComments->isChecked();
    emit exportReady(GlyphExport::text(m_session.set(), options));
}

void GlyphSetWindow::cmdExportFont_Click()
{
    if (!m_session.isOpen())
        return;
    if (!m_dlgExport) {
        m_dlgExport = new ExportDialog(m_session, currentOptions(), this);
        emit placeWindow(m_dlgExport);
    }
    m_dlgExport->show();
    m_dlgExport->raise();
    m_dlgExport->activateWindow();
}

void GlyphSetWindow::outputChanged()
{
    if (m_dlgExport)
        m_dlgExport->setOutput(currentOptions());
}

bool GlyphSetWindow::maySetClose()
{
    if (!askToSaveChanges())
        return false;
    m_session.close();
    return true;
}

bool GlyphSetWindow::askToSaveChanges()
{
    if (!m_session.isOpen() || !m_session.isModified())
        return true;
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    tr("The glyph set %1 has changes that are not saved. Save them?")
                            .arg(QDir::toNativeSeparators(m_session.sourcePath())),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return cmdSave_Click();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void GlyphSetWindow::closeEvent(QCloseEvent *event)
{
    if (!maySetClose()) {
        event->ignore();
        return;
    }
    event->accept();
}
