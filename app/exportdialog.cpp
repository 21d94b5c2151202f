#include "exportdialog.h"

#include "alertline.h"
#include "comboboxaccessible.h"
#include "glyphsetsession.h"
#include "textpreviewview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kSampleLines = 3;
// How much of the field's background a fault's red takes.
constexpr qreal kFaultTint = 0.25;
// Writing a font of tens of thousands of glyphs takes most of a second, so
// the export waits for a pause in typing; the preview follows every change.
constexpr int kWriteDelayMs = 250;

// A message of the export's, which reads as part of a sentence, as one.
QString sentence(QString text)
{
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
        if (!text.endsWith(QLatin1Char('.')))
            text += QLatin1Char('.');
    }
    return text;
}

QColor mixed(const QColor &base, const QColor &tint, qreal share)
{
    return QColor::fromRgbF(float(base.redF() * (1 - share) + tint.redF() * share),
                            float(base.greenF() * (1 - share) + tint.greenF() * share),
                            float(base.blueF() * (1 - share) + tint.blueF() * share));
}
} // namespace

ExportDialog::ExportDialog(GlyphSetSession &session, const ExportOptions &output, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_fontPath(session.sourcePath())
    , m_output(output)
{
    setObjectName(QStringLiteral("dlgExport"));
    setWindowTitle(tr("Export %1").arg(QFileInfo(m_fontPath).fileName()));
    setAttribute(Qt::WA_DeleteOnClose);
    ComboBoxAccessible::install();
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(kWriteDelayMs);
    createControls();
    connectControls();
    placeControls();
    optionsChanged();
    writeExport();
}

void ExportDialog::createControls()
{
    const ExportChoices choices = m_session.exportChoices();
    createChoiceControls(choices);
    createPreviewControls(choices);

    m_lblError = new AlertLine(this);
    m_lblError->setObjectName(QStringLiteral("lblError"));
    // A field at fault is tinted red, whatever the colours around it.
    m_faultPalette = m_txtName->palette();
    m_faultPalette.setColor(QPalette::Base, mixed(m_faultPalette.color(QPalette::Base), Qt::red, kFaultTint));
    m_cmdSave = new QPushButton(tr("&Save…"), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setDefault(true);
    m_cmdClose = new QPushButton(tr("Close"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
}

// What is exported and how: the format, its name and the choices it takes.
void ExportDialog::createChoiceControls(const ExportChoices &choices)
{
    // Each list is named before anything asks for its interface, which
    // then names it by its label rather than by the item it shows.
    m_lstFormat = new QComboBox(this);
    m_lstFormat->setObjectName(QStringLiteral("lstFormat"));
    m_lstFormat->setAccessibleName(tr("Format"));
    for (const FontExport::Format format : FontExport::formats())
        m_lstFormat->addItem(FontExport::title(format), int(format));
    m_lstFormat->setCurrentIndex(m_lstFormat->findData(int(choices.format)));
    m_txtName = new QLineEdit(choices.name.isEmpty() ? ExportChoices::defaultName(m_fontPath, choices.format) : choices.name, this);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_txtName->setToolTip(tr("The C name of the font's data in the file"));
    m_lblOutput = new QLabel(this);
    m_lblOutput->setObjectName(QStringLiteral("lblOutput"));
    m_lblOutput->setTextFormat(Qt::PlainText);
    m_lblOutput->setWordWrap(true);
    showOutput();
    m_chkComments = new QCheckBox(tr("&Comments naming each glyph's character"), this);
    m_chkComments->setObjectName(QStringLiteral("chkComments"));
    m_chkComments->setChecked(choices.comments);
    m_lstPageOrder = new QComboBox(this);
    m_lstPageOrder->setObjectName(QStringLiteral("lstPageOrder"));
    m_lstPageOrder->setAccessibleName(tr("Page order"));
    for (const PageLayout::Order order : PageLayout::orders())
        m_lstPageOrder->addItem(PageLayout::title(order), int(order));
    m_lstPageOrder->setCurrentIndex(m_lstPageOrder->findData(int(choices.pageOrder)));
    m_chkWidths = new QCheckBox(tr("Each glyph's &width before its bytes"), this);
    m_chkWidths->setObjectName(QStringLiteral("chkWidths"));
    m_chkWidths->setChecked(choices.widths);
    m_txtCodePoints = new QLineEdit(choices.codePoints, this);
    m_txtCodePoints->setObjectName(QStringLiteral("txtCodePoints"));
    m_txtCodePoints->setPlaceholderText(tr("all"));
    m_txtCodePoints->setToolTip(tr("The glyphs to export, by code point: e.g. 32-126,0xA0-0xFF,U+20AC"));
    m_txtRemaps = new QLineEdit(choices.remaps, this);
    m_txtRemaps->setObjectName(QStringLiteral("txtRemaps"));
    m_txtRemaps->setPlaceholderText(tr("none"));
    m_txtRemaps->setToolTip(tr("Code points to place elsewhere: U+0410-U+044F:0xC0 puts the Cyrillic capitals "
                               "and small letters at 0xC0-0xFF"));
}

// The sample text as the display shows it.
void ExportDialog::createPreviewControls(const ExportChoices &choices)
{
    m_txtSample = new QPlainTextEdit(choices.sample, this);
    m_txtSample->setObjectName(QStringLiteral("txtSample"));
    m_txtSample->setTabChangesFocus(true);
    m_txtSample->setFixedHeight(m_txtSample->fontMetrics().lineSpacing() * kSampleLines
                                + 2 * (m_txtSample->frameWidth() + int(m_txtSample->document()->documentMargin())));
    m_spnWidth = new QSpinBox(this);
    m_spnWidth->setObjectName(QStringLiteral("spnWidth"));
    m_spnWidth->setRange(1, ExportChoices::kLargestDisplay);
    m_spnWidth->setValue(choices.displayWidth);
    m_spnWidth->setSuffix(tr(" px"));
    m_spnWidth->setAccessibleName(tr("Display width"));
    m_spnHeight = new QSpinBox(this);
    m_spnHeight->setObjectName(QStringLiteral("spnHeight"));
    m_spnHeight->setRange(1, ExportChoices::kLargestDisplay);
    m_spnHeight->setValue(choices.displayHeight);
    m_spnHeight->setSuffix(tr(" px"));
    m_spnHeight->setAccessibleName(tr("Display height"));
    m_picPreview = new TextPreviewView(this);
    m_picPreview->setObjectName(QStringLiteral("picPreview"));
    m_picPreview->setAccessibleName(tr("Preview"));
    m_picPreview->setToolTip(tr("The sample text as the display shows it, at its real size and enlarged"));
    m_lblPreview = new QLabel(this);
    m_lblPreview->setObjectName(QStringLiteral("lblPreview"));
    m_lblPreview->setWordWrap(true);
    // Room for two lines at all times, so that the preview does not jump as
    // the message comes and goes.
    m_lblPreview->setMinimumHeight(2 * m_lblPreview->fontMetrics().lineSpacing());
    m_lblPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ExportDialog::connectControls()
{
    connect(m_lstFormat, &QComboBox::currentIndexChanged, this, &ExportDialog::optionsChanged);
    connect(m_txtName, &QLineEdit::textChanged, this, &ExportDialog::txtName_Change);
    connect(m_chkComments, &QCheckBox::toggled, this, &ExportDialog::optionsChanged);
    connect(m_lstPageOrder, &QComboBox::currentIndexChanged, this, &ExportDialog::optionsChanged);
    connect(m_chkWidths, &QCheckBox::toggled, this, &ExportDialog::optionsChanged);
    connect(m_txtCodePoints, &QLineEdit::textChanged, this, &ExportDialog::optionsChanged);
    connect(m_txtRemaps, &QLineEdit::textChanged, this, &ExportDialog::optionsChanged);
    connect(m_txtSample, &QPlainTextEdit::textChanged, this, &ExportDialog::sampleChanged);
    connect(m_spnWidth, &QSpinBox::valueChanged, this, &ExportDialog::sampleChanged);
    connect(m_spnHeight, &QSpinBox::valueChanged, this, &ExportDialog::sampleChanged);
    connect(&m_writeTimer, &QTimer::timeout, this, &ExportDialog::writeExport);
    connect(&m_session, &GlyphSetSession::glyphChanged, this, &ExportDialog::optionsChanged);
    connect(&m_session, &GlyphSetSession::metricsChanged, this, &ExportDialog::optionsChanged);
    // A set opened in the place of this one closes the dialog as well.
    connect(&m_session, &GlyphSetSession::closed, this, &ExportDialog::session_Closed);
    connect(&m_session, &GlyphSetSession::opened, this, &ExportDialog::session_Closed);
    connect(m_cmdSave, &QPushButton::clicked, this, &ExportDialog::cmdSave_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void ExportDialog::session_Closed()
{
    // Nothing more is made of a set that is gone.
    m_writeTimer.stop();
    disconnect(&m_session, nullptr, this, nullptr);
    close();
}

void ExportDialog::setOutput(const ExportOptions &output)
{
    if (output == m_output)
        return;
    m_output = output;
    showOutput();
    optionsChanged();
}

void ExportDialog::showOutput()
{
    m_lblOutput->setText(tr("%1, prefix “%2”, delimiter “%3”, as in the main window")
                                 .arg(m_output.order.title(), m_output.prefix, m_output.delimiter));
}

ExportChoices ExportDialog::choices() const
{
    ExportChoices choices;
    choices.format = format();
    // The name the file gives is kept as no name, so that it follows the file.
    const QString name = m_txtName->text();
    choices.name = name == ExportChoices::defaultName(m_fontPath, choices.format) ? QString() : name;
    choices.comments = m_chkComments->isChecked();
    choices.pageOrder = FontExport::PageOrder(m_lstPageOrder->currentData().toInt());
    choices.widths = m_chkWidths->isChecked();
    choices.codePoints = m_txtCodePoints->text();
    choices.remaps = m_txtRemaps->text();
    choices.sample = m_txtSample->toPlainText();
    choices.displayWidth = m_spnWidth->value();
    choices.displayHeight = m_spnHeight->value();
    return choices;
}

void ExportDialog::placeControls()
{
    auto *form = new QFormLayout;
    form->addRow(tr("&Format:"), m_lstFormat);
    form->addRow(tr("&Name:"), m_txtName);
    form->addRow(tr("Values:"), m_lblOutput);
    form->addRow(QString(), m_chkComments);
    form->addRow(tr("&Page order:"), m_lstPageOrder);
    form->addRow(QString(), m_chkWidths);
    form->addRow(tr("C&ode points:"), m_txtCodePoints);
    form->addRow(tr("&Move code points:"), m_txtRemaps);

    auto *size = new QHBoxLayout;
    size->addWidget(m_spnWidth);
    size->addWidget(new QLabel(QStringLiteral("×"), this));
    size->addWidget(m_spnHeight);
    size->addStretch();
    // A row whose field is a layout gets no buddy from the form.
    auto *lblDisplay = new QLabel(tr("&Display:"), this);
    lblDisplay->setBuddy(m_spnWidth);
    auto *sampleForm = new QFormLayout;
    sampleForm->addRow(tr("Sample &text:"), m_txtSample);
    sampleForm->addRow(lblDisplay, size);
    // A display larger than the dialog scrolls rather than stretch it off
    // the screen.
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrPreview"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_picPreview);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto *preview = new QGroupBox(tr("Preview"), this);
    auto *previewLayout = new QVBoxLayout(preview);
    previewLayout->addLayout(sampleForm);
    previewLayout->addWidget(scroll, 1);
    previewLayout->addWidget(m_lblPreview);

    auto *columns = new QHBoxLayout;
    columns->addLayout(form, 1);
    columns->addWidget(preview, 1);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_cmdSave, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cmdClose, QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(m_lblError);
    layout->addWidget(buttons);

    // The form first, then the preview's controls, then the buttons, as the
    // eye reads the dialog.
    const QList<QWidget *> order{m_lstFormat, m_txtName, m_chkComments, m_lstPageOrder, m_chkWidths,
                                 m_txtCodePoints, m_txtRemaps, m_txtSample, m_spnWidth, m_spnHeight,
                                 m_cmdSave, m_cmdClose};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

FontExport::Format ExportDialog::format() const
{
    return FontExport::Format(m_lstFormat->currentData().toInt());
}

void ExportDialog::optionsChanged()
{
    const FontExport::Format chosen = format();
    using Choice = FontExport::Choice;
    m_txtName->setEnabled(FontExport::takes(chosen, Choice::Name));
    // The other formats name every glyph in a comment of their own.
    m_chkComments->setEnabled(FontExport::takes(chosen, Choice::Comments));
    m_lblOutput->setEnabled(FontExport::takes(chosen, Choice::Orientation));
    m_lstPageOrder->setEnabled(FontExport::takes(chosen, Choice::PageOrder));
    m_chkWidths->setEnabled(FontExport::takes(chosen, Choice::Widths));

    m_options = FontExport::Options();
    m_options.format = chosen;
    m_options.lines.output = m_output;
    m_options.lines.comments = m_chkComments->isChecked();
    m_options.name = m_txtName->text();
    m_options.pageOrder = FontExport::PageOrder(m_lstPageOrder->currentData().toInt());
    m_options.widths = m_chkWidths->isChecked();
    QString error;
    m_stopField = nullptr;
    const QString codePoints = m_txtCodePoints->text().trimmed();
    const QString remaps = m_txtRemaps->text().trimmed();
    if (!codePoints.isEmpty() && !CodePoints::parseRanges(codePoints, &m_options.lines.ranges, &error)) {
        error = tr("Code points: %1").arg(error);
        m_stopField = m_txtCodePoints;
    } else if (!remaps.isEmpty() && !CodePoints::parseRemaps(remaps, &m_options.remaps, &error)) {
        error = tr("Move code points: %1").arg(error);
        m_stopField = m_txtRemaps;
    }

    FontExport::Drawn drawn;
    if (error.isEmpty()) {
        drawn = FontExport::drawn(m_session.set(), m_options);
        error = drawn.error;
    }
    if (!error.isEmpty())
        drawn.glyphs.clear();
    m_stop = error;
    m_preview = TextPreview(std::move(drawn));
    sampleChanged();
    scheduleWrite();
}

void ExportDialog::txtName_Change(const QString &text)
{
    // The name is in the export's text only, not in its glyphs.
    m_options.name = text;
    m_session.setExportChoices(choices());
    scheduleWrite();
}

void ExportDialog::scheduleWrite()
{
    // What stops the preview stops the export too, and is the one to tell.
    if (!m_stop.isEmpty()) {
        m_writeTimer.stop();
        showResult({QString(), m_stop});
        return;
    }
    m_writeTimer.start();
    m_cmdSave->setEnabled(true);
}

void ExportDialog::writeExport()
{
    m_writeTimer.stop();
    showResult(FontExport::write(m_session.set(), m_options));
}

void ExportDialog::showResult(FontExport::Result result)
{
    m_result = std::move(result);
    m_result.error = sentence(m_result.error);
    m_lblError->setMessage(m_result.error);
    m_cmdSave->setEnabled(m_result.ok());
    // The export refuses a name that is no C name before anything else.
    QLineEdit *field = nullptr;
    if (!m_stop.isEmpty())
        field = m_stopField;
    else if (!m_result.ok() && FontExport::takes(format(), FontExport::Choice::Name)
             && !FontExport::isName(format(), m_options.name))
        field = m_txtName;
    markFault(field, m_result.error);
}

void ExportDialog::markFault(QLineEdit *field, const QString &fault)
{
    for (QLineEdit *edit : {m_txtName, m_txtCodePoints, m_txtRemaps}) {
        // A screen reader reads the description with the field; without
        // one it reads the tool tip. Each change of it is announced.
        const QString description = edit == field ? fault : QString();
        if (edit->accessibleDescription() == description)
            continue;
        edit->setAccessibleDescription(description);
        edit->setPalette(edit == field ? m_faultPalette : QPalette());
    }
}

const FontExport::Result &ExportDialog::result()
{
    if (m_writeTimer.isActive())
        writeExport();
    return m_result;
}

void ExportDialog::sampleChanged()
{
    // Every change of a control but the name's passes here.
    m_session.setExportChoices(choices());
    const TextPreview::Layout layout = m_preview.lay(m_txtSample->toPlainText(), m_spnWidth->value(),
                                                     m_spnHeight->value());
    m_picPreview->setCanvas(layout.canvas);
    if (m_preview.font().glyphs.empty()) {
        m_lblPreview->setText(tr("Nothing to show until the export can be made."));
        return;
    }
    QString text = tr("Lines %1 px apart.").arg(m_preview.lineHeight());
    if (layout.missing == 1)
        text += QLatin1Char(' ') + tr("1 character of the sample has no glyph in the export and is left out.");
    else if (layout.missing > 1)
        text += QLatin1Char(' ')
                + tr("%L1 characters of the sample have no glyph in the export and are left out.").arg(layout.missing);
    m_lblPreview->setText(text);
}

QString ExportDialog::suggestedPath() const
{
    // The lines need no name, but their file still gets one.
    QString name = m_txtName->text();
    if (!FontExport::isName(format(), name))
        name = ExportChoices::defaultName(m_fontPath, format());
    return QFileInfo(m_fontPath).absoluteDir().filePath(name + FontExport::suffix(format()));
}

void ExportDialog::cmdSave_Click()
{
    if (!result().ok())
        return;
    const QString suggested = suggestedPath();
    const QString headers = tr("C headers (*.h)");
    const QString sources = tr("C sources (*.c)");
    const QString filter = suggested.endsWith(QLatin1String(".c")) ? sources + QStringLiteral(";;") + headers
                                                                   : headers + QStringLiteral(";;") + sources;
    const QString path = QFileDialog::getSaveFileName(this, tr("Export font"), suggested,
                                                      filter + QStringLiteral(";;") + tr("All files (*)"));
    if (!path.isEmpty() && saveTo(path))
        accept();
}

bool ExportDialog::saveTo(const QString &path)
{
    if (!result().ok())
        return false;
    const QByteArray bytes = m_result.text.toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_lblError->setMessage(
                tr("%1 could not be written (%2).").arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}
