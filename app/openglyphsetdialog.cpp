#include "openglyphsetdialog.h"

#include "codepoints.h"
#include "glyphset.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

namespace {
constexpr int kSmallestPixelSize = 4;
constexpr int kLargestPixelSize = 64;
// The box of code points a font is opened for: this many characters wide
// and lines high before it scrolls.
constexpr int kSubsetChars = 56;
constexpr int kSubsetLines = 4;
// How wide a line of code points is at least, in characters.
constexpr int kCodePointsChars = 32;
// How many of the glyphs left out are named.
constexpr int kLeftOutNamed = 6;

// A message of the readers as a sentence of its own.
QString sentence(QString text)
{
    text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

// "À U+00C0"; a code point alone where its character shows as nothing or
// would join the one before.
QString characterLabel(int codePoint)
{
    const auto ucs4 = char32_t(codePoint);
    if (!QChar::isPrint(ucs4) || QChar::isSpace(ucs4) || QChar::isMark(ucs4))
        return CodePoints::name(codePoint);
    // A no-break space keeps the two on one line.
    return QString::fromUcs4(&ucs4, 1) + QChar(0x00A0) + CodePoints::name(codePoint);
}

// The code points as the box shows them: a blank after each comma lets the
// box break its lines there.
QString shownRanges(const CodePoints::Ranges &ranges)
{
    return CodePoints::format(ranges).replace(QLatin1Char(','), QStringLiteral(", "));
}
} // namespace

OpenGlyphSetDialog::OpenGlyphSetDialog(GlyphSetFile::Kind kind, const QString &fileName,
                                       const GlyphSetFile::Options &defaults, QWidget *parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_options(defaults)
{
    setWindowTitle(tr("Open %1").arg(fileName));
    auto *form = new QFormLayout;
    createPictureControls(form);
    placeControls(form);
}

OpenGlyphSetDialog::OpenGlyphSetDialog(const QByteArray &outlineFont, const QString &fileName,
                                       const GlyphSetFile::Options &defaults, QWidget *parent)
    : QDialog(parent)
    , m_kind(GlyphSetFile::Kind::OutlineFont)
    , m_options(defaults)
    , m_outlineFont(outlineFont)
{
    setWindowTitle(tr("Open %1").arg(fileName));
    auto *form = new QFormLayout;
    createOutlineControls(form);
    placeControls(form);
}

OpenGlyphSetDialog::OpenGlyphSetDialog(const FontSubset::Scan &scan, const QString &fileName,
                                       const GlyphSetFile::Options &defaults, QWidget *parent)
    : QDialog(parent)
    , m_kind(GlyphSetFile::Kind::Bdf)
    , m_options(defaults)
    , m_scan(&scan)
{
    setWindowTitle(tr("Open %1").arg(fileName));
    auto *form = new QFormLayout;
    createSubsetControls(form, fileName);
    placeControls(form);
}

void OpenGlyphSetDialog::createPictureControls(QFormLayout *form)
{
    const bool array = m_kind == GlyphSetFile::Kind::Array;
    m_cols = sizeBox("spnCols", array ? m_options.array.cols : m_options.image.cols);
    m_rows = sizeBox("spnRows", array ? m_options.array.rows : m_options.image.rows);
    form->addRow(tr("Glyph &width:"), m_cols);
    form->addRow(tr("Glyph &height:"), m_rows);
    if (array) {
        m_order = new QComboBox(this);
        m_order->setObjectName(QStringLiteral("lstOrder"));
        for (const BitOrder::Kind kind : BitOrder::all()) {
            const BitOrder::Words &words = BitOrder(kind).words();
            m_order->addItem(tr("%1: a value per %2, %3 cell lowest")
                                     .arg(BitOrder(kind).title(), QLatin1String(words.line),
                                          QLatin1String(words.lowestCell)),
                             int(kind));
        }
        m_order->setCurrentIndex(m_order->findData(int(m_options.array.order.kind())));
        form->addRow(tr("&Values:"), m_order);
    } else {
        m_threshold = new QSpinBox(this);
        m_threshold->setObjectName(QStringLiteral("spnThreshold"));
        m_threshold->setRange(1, 255);
        m_threshold->setValue(m_options.image.threshold);
        m_threshold->setToolTip(tr("A pixel darker than this grey level is a set cell"));
        form->addRow(tr("&Threshold:"), m_threshold);
    }
    m_first = new QLineEdit(CodePoints::name(array ? m_options.array.firstCodePoint : m_options.image.firstCodePoint),
                            this);
    m_first->setObjectName(QStringLiteral("txtFirst"));
    m_entry = m_first;
    addCheckedRow(form, tr("&First code point:"), "lblFirst");
    connect(m_first, &QLineEdit::textChanged, this, &OpenGlyphSetDialog::entry_Change);
}

void OpenGlyphSetDialog::createOutlineControls(QFormLayout *form)
{
    m_pixelSize = new QSpinBox(this);
    m_pixelSize->setObjectName(QStringLiteral("spnPixelSize"));
    m_pixelSize->setRange(kSmallestPixelSize, kLargestPixelSize);
    m_pixelSize->setSuffix(tr(" px"));
    m_pixelSize->setValue(m_options.outline.pixelSize);
    form->addRow(tr("&Pixel size:"), m_pixelSize);
    m_codePoints = new QLineEdit(CodePoints::format({{CodePoints::kFirstPrintable, CodePoints::kLastPrintable}}), this);
    m_codePoints->setObjectName(QStringLiteral("txtCodePoints"));
    m_codePoints->setToolTip(tr("Code points and ranges, e.g. 32-126,0xA0-0xFF,U+20AC"));
    m_codePoints->setMinimumWidth(m_codePoints->fontMetrics().averageCharWidth() * kCodePointsChars);
    m_entry = m_codePoints;
    addCheckedRow(form, tr("&Code points:"), "lblCells");
    connect(m_pixelSize, &QSpinBox::valueChanged, this, &OpenGlyphSetDialog::entry_Change);
    connect(m_codePoints, &QLineEdit::textChanged, this, &OpenGlyphSetDialog::entry_Change);
}

void OpenGlyphSetDialog::createSubsetControls(QFormLayout *form, const QString &fileName)
{
    auto *size = new QLabel(tr("The %L1 glyphs of %2 are %3 × %4 pixels together, more than the %5 × %5 cells "
                               "this program edits. It opens for the code points below, whose glyphs fit together.")
                                    .arg(m_scan->glyphs.size())
                                    .arg(fileName)
                                    .arg(m_scan->whole.w)
                                    .arg(m_scan->whole.h)
                                    .arg(GlyphSet::kMaxSize),
                            this);
    size->setObjectName(QStringLiteral("lblSize"));
    size->setWordWrap(true);
    m_subset = new QPlainTextEdit(shownRanges(FontSubset::defaultSubset(*m_scan)), this);
    m_subset->setObjectName(QStringLiteral("txtCodePoints"));
    m_subset->setToolTip(tr("Code points and ranges, e.g. 32-126, 0xA0-0xFF, U+20AC"));
    m_subset->setTabChangesFocus(true);
    m_subset->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QFontMetrics metrics = m_subset->fontMetrics();
    m_subset->setMinimumWidth(metrics.averageCharWidth() * kSubsetChars);
    m_subset->setFixedHeight(metrics.lineSpacing() * kSubsetLines + 2 * m_subset->frameWidth()
                             + int(2 * m_subset->document()->documentMargin()));
    m_entry = m_subset;
    m_leftOut = new QLabel(this);
    m_leftOut->setObjectName(QStringLiteral("lblLeftOut"));
    m_leftOut->setWordWrap(true);
    form->addRow(size);
    addCheckedRow(form, tr("&Code points:"), "lblTaken", m_leftOut);
    connect(m_subset, &QPlainTextEdit::textChanged, this, &OpenGlyphSetDialog::entry_Change);
    m_subset->installEventFilter(this);
}

QSpinBox *OpenGlyphSetDialog::sizeBox(const char *name, int value)
{
    auto *box = new QSpinBox(this);
    box->setObjectName(QLatin1String(name));
    box->setRange(GlyphSet::kMinSize, GlyphSet::kMaxSize);
    box->setValue(value);
    return box;
}

// The entry's row: the line that says why it is wrong (or what it takes)
// stands right under it, `below` under that. A layout of their own keeps the
// labels that wrap as high as their text: rows of their own in the form
// were given a line too many.
void OpenGlyphSetDialog::addCheckedRow(QFormLayout *form, const QString &text, const char *checkName, QWidget *below)
{
    m_check = new QLabel(this);
    m_check->setObjectName(QLatin1String(checkName));
    m_check->setWordWrap(true);
    auto *column = new QVBoxLayout;
    column->addWidget(m_entry);
    column->addWidget(m_check);
    if (below)
        column->addWidget(below);
    // A row whose field is a layout gets no buddy from the form.
    auto *label = new QLabel(text, this);
    label->setBuddy(m_entry);
    form->addRow(label, column);
}

void OpenGlyphSetDialog::placeControls(QFormLayout *form)
{
    setObjectName(QStringLiteral("dlgOpenGlyphSet"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    m_cmdOpen = buttons->button(QDialogButtonBox::Open);
    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The labels that wrap grow the form downwards, never wider.
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
    m_entryDescription = m_entry->accessibleDescription();
    entry_Change();
}

bool OpenGlyphSetDialog::takeSubset(QString *error, QString *said)
{
    CodePoints::Ranges ranges;
    // A line break typed in the box separates as a comma does.
    const QString text = m_subset->toPlainText().replace(QLatin1Char('\n'), QLatin1Char(','));
    if (!CodePoints::parseRanges(text, &ranges, error)) {
        *error = sentence(*error);
        return false;
    }
    const FontSubset::Fit fit = FontSubset::fit(*m_scan, {ranges});
    if (!fit.fits()) {
        *error = sentence(fit.misfit);
        return false;
    }
    if (fit.glyphs == 0) {
        *error = tr("The font has no glyph for these code points.");
        return false;
    }
    *said = tr("They take %L1 of the %L2 glyphs, in cells of %3 × %4.")
                    .arg(fit.glyphs)
                    .arg(m_scan->glyphs.size())
                    .arg(fit.cols)
                    .arg(fit.rows);
    m_leftOut->setText(leftOutText(ranges));
    m_options.subset.codePoints = ranges;
    return true;
}

QString OpenGlyphSetDialog::leftOutText(const CodePoints::Ranges &ranges) const
{
    const FontSubset::LeftOut left = FontSubset::leftOut(*m_scan, ranges, kLeftOutNamed);
    QString text;
    if (left.glyphs == 0) {
        text = tr("No glyph of the font is left out.");
    } else {
        QStringList named;
        for (const int codePoint : left.first)
            named << characterLabel(codePoint);
        const qsizetype more = left.glyphs - left.first.size();
        text = left.first.isEmpty() ? tr("Left out: %Ln of the font's glyphs, none with a code point.", nullptr,
                                         int(left.glyphs))
                : more == 0 ? tr("Left out: %Ln of the font's glyphs: %1.", nullptr, int(left.glyphs))
                                      .arg(named.join(QStringLiteral(", ")))
                            : tr("Left out: %Ln of the font's glyphs: %1 and %L2 more.", nullptr, int(left.glyphs))
                                      .arg(named.join(QStringLiteral(", ")))
                                      .arg(more);
    }
    if (left.missingAscii.isEmpty())
        return text + QLatin1Char(' ') + tr("Printable ASCII is complete.");
    QStringList missing;
    for (const int codePoint : left.missingAscii)
        missing << (codePoint == ' ' ? tr("space") : QString(QChar(codePoint)));
    return text + QLatin1Char(' ') + tr("Printable ASCII lacks %1.").arg(missing.join(QLatin1Char(' ')));
}

bool OpenGlyphSetDialog::takeEntry(QString *error, QString *said)
{
    if (m_scan)
        return takeSubset(error, said);
    if (m_first) {
        int first = 0;
        if (!CodePoints::parse(m_first->text(), &first)) {
            *error = tr("\"%1\" is no code point: write 65, 0x41 or U+0041.").arg(m_first->text());
            return false;
        }
        if (m_order) {
            m_options.array = {m_cols->value(), m_rows->value(),
                               BitOrder(BitOrder::Kind(m_order->currentData().toInt())), first};
        } else {
            m_options.image.cols = m_cols->value();
            m_options.image.rows = m_rows->value();
            m_options.image.threshold = m_threshold->value();
            m_options.image.firstCodePoint = first;
        }
        return true;
    }
    CodePoints::Ranges ranges;
    if (!CodePoints::parseRanges(m_codePoints->text(), &ranges, error)) {
        *error = sentence(*error);
        return false;
    }
    OutlineFont::Options outline{m_pixelSize->value(), CodePoints::expanded(ranges)};
    QSize cells;
    *error = OutlineFont::checkData(m_outlineFont, outline, &cells);
    if (!error->isEmpty()) {
        *error = sentence(*error);
        return false;
    }
    *said = tr("The glyphs take cells of %1 × %2 pixels.").arg(cells.width()).arg(cells.height());
    m_options.outline = outline;
    return true;
}

void OpenGlyphSetDialog::entry_Change()
{
    QString error;
    QString said;
    const bool right = takeEntry(&error, &said);
    m_cmdOpen->setEnabled(right);
    m_check->setText(right ? said : error);
    m_check->setVisible(!m_check->text().isEmpty());
    if (m_leftOut)
        m_leftOut->setVisible(right);
    // Qt has no state for an entry that is wrong: the reason goes with the
    // fields, so that a screen reader says it there.
    for (QWidget *field : {m_entry, static_cast<QWidget *>(m_pixelSize)}) {
        if (field)
            field->setAccessibleDescription(right ? m_entryDescription : error);
    }
    growToText();
}

// A label that wraps to more lines than it had makes the dialog taller;
// QDialog would otherwise keep its size and cut the text off.
void OpenGlyphSetDialog::growToText()
{
    QLayout *top = layout();
    if (!top || !isVisible())
        return;
    top->activate();
    const int needed = top->hasHeightForWidth() ? top->totalHeightForWidth(width()) : top->totalSizeHint().height();
    if (needed > height())
        resize(width(), needed);
}

bool OpenGlyphSetDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_subset && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OpenGlyphSetDialog::accept()
{
    QString error;
    QString said;
    // Open is disabled while the entry is wrong; Enter and a test's direct
    // call still come here.
    if (!takeEntry(&error, &said))
        return;
    QDialog::accept();
}
