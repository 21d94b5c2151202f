#include "openglyphsetdialog.h"

#include "codepoints.h"
#include "glyphset.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kSmallestPixelSize = 4;
constexpr int kLargestPixelSize = 64;
// How much of a list of code points shows at once.
constexpr int kCodePointsChars = 48;

// A message of the readers as a sentence of its own.
QString sentence(QString text)
{
    text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}
} // namespace

OpenGlyphSetDialog::OpenGlyphSetDialog(GlyphSetFile::Kind kind, const QString &fileName,
                                       const GlyphSetFile::Options &defaults, QWidget *parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_options(defaults)
{
    setObjectName(QStringLiteral("dlgOpenGlyphSet"));
    setWindowTitle(tr("Open %1").arg(fileName));
    auto *form = new QFormLayout;
    using Kind = GlyphSetFile::Kind;
    if (kind == Kind::Array || kind == Kind::Image) {
        const bool array = kind == Kind::Array;
        m_cols = sizeBox("spnCols", array ? defaults.array.cols : defaults.image.cols);
        m_rows = sizeBox("spnRows", array ? defaults.array.rows : defaults.image.rows);
        form->addRow(tr("Glyph &width:"), m_cols);
        form->addRow(tr("Glyph &height:"), m_rows);
        if (array) {
            m_order = new QComboBox;
            m_order->setObjectName(QStringLiteral("lstOrder"));
            m_order->addItem(tr("Vertical: a value per column, top cell lowest"), int(BitOrder::Vertical));
            m_order->addItem(tr("Horizontal: a value per row, right cell lowest"), int(BitOrder::Horizontal));
            m_order->addItem(tr("Horizontal, left to right: left cell lowest"),
                             int(BitOrder::HorizontalLeftToRight));
            m_order->setCurrentIndex(m_order->findData(int(defaults.array.order.kind())));
            form->addRow(tr("&Values:"), m_order);
        } else {
            m_threshold = new QSpinBox;
            m_threshold->setObjectName(QStringLiteral("spnThreshold"));
            m_threshold->setRange(1, 255);
            m_threshold->setValue(defaults.image.threshold);
            m_threshold->setToolTip(tr("A pixel darker than this grey level is a set cell"));
            form->addRow(tr("&Threshold:"), m_threshold);
        }
        m_first = new QLineEdit(CodePoints::name(array ? defaults.array.firstCodePoint
                                                       : defaults.image.firstCodePoint));
        m_first->setObjectName(QStringLiteral("txtFirst"));
        form->addRow(tr("&First code point:"), m_first);
    } else if (kind == Kind::OutlineFont) {
        m_pixelSize = new QSpinBox;
        m_pixelSize->setObjectName(QStringLiteral("spnPixelSize"));
        m_pixelSize->setRange(kSmallestPixelSize, kLargestPixelSize);
        m_pixelSize->setSuffix(tr(" px"));
        m_pixelSize->setValue(defaults.outline.pixelSize);
        form->addRow(tr("&Pixel size:"), m_pixelSize);
        m_codePoints = new QLineEdit(QStringLiteral("32-126"));
        m_codePoints->setObjectName(QStringLiteral("txtCodePoints"));
        m_codePoints->setToolTip(tr("Code points and ranges, e.g. 32-126,0xA0-0xFF,U+20AC"));
        form->addRow(tr("&Code points:"), m_codePoints);
    }
    placeControls(form);
}

OpenGlyphSetDialog::OpenGlyphSetDialog(const BdfFormat::Scan &scan, const QString &fileName,
                                       const GlyphSetFile::Options &defaults, QWidget *parent)
    : QDialog(parent)
    , m_kind(GlyphSetFile::Kind::Bdf)
    , m_options(defaults)
    , m_scan(&scan)
{
    setObjectName(QStringLiteral("dlgOpenGlyphSet"));
    setWindowTitle(tr("Open %1").arg(fileName));
    auto *size = new QLabel(tr("The font's %L1 glyphs are %2 × %3 pixels together, more than the %4 × %4 cells "
                               "this program edits. It opens for the code points below, whose glyphs fit "
                               "together.")
                                    .arg(scan.glyphs.size())
                                    .arg(scan.whole.w)
                                    .arg(scan.whole.h)
                                    .arg(GlyphSet::kMaxSize));
    size->setObjectName(QStringLiteral("lblSize"));
    size->setWordWrap(true);
    m_codePoints = new QLineEdit(CodePoints::format(BdfFormat::defaultSubset(scan)));
    m_codePoints->setObjectName(QStringLiteral("txtCodePoints"));
    m_codePoints->setToolTip(tr("Code points and ranges, e.g. 32-126,0xA0-0xFF,U+20AC"));
    // The list can be long: its start, where ASCII stands, is what shows.
    m_codePoints->setCursorPosition(0);
    m_codePoints->setMinimumWidth(m_codePoints->fontMetrics().averageCharWidth() * kCodePointsChars);
    m_taken = new QLabel;
    m_taken->setObjectName(QStringLiteral("lblTaken"));
    m_taken->setWordWrap(true);
    connect(m_codePoints, &QLineEdit::textChanged, this, &OpenGlyphSetDialog::txtCodePoints_Change);
    auto *form = new QFormLayout;
    form->addRow(size);
    form->addRow(tr("&Code points:"), m_codePoints);
    form->addRow(m_taken);
    placeControls(form);
    txtCodePoints_Change();
}

void OpenGlyphSetDialog::placeControls(QLayout *form)
{
    m_error = new QLabel;
    m_error->setObjectName(QStringLiteral("lblError"));
    m_error->setWordWrap(true);
    m_error->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
}

QSpinBox *OpenGlyphSetDialog::sizeBox(const char *name, int value)
{
    auto *box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(GlyphSet::kMinSize, GlyphSet::kMaxSize);
    box->setValue(value);
    return box;
}

bool OpenGlyphSetDialog::takenCodePoints(CodePoints::Ranges *ranges, BdfFormat::Fit *fit, QString *error) const
{
    if (!CodePoints::parseRanges(m_codePoints->text(), ranges, error)) {
        *error = sentence(*error);
        return false;
    }
    *fit = BdfFormat::fit(*m_scan, {*ranges});
    if (!fit->fits()) {
        *error = sentence(fit->misfit);
        return false;
    }
    if (fit->glyphs == 0) {
        *error = tr("The font has no glyph for these code points.");
        return false;
    }
    return true;
}

void OpenGlyphSetDialog::txtCodePoints_Change()
{
    CodePoints::Ranges ranges;
    BdfFormat::Fit fit;
    QString error;
    if (takenCodePoints(&ranges, &fit, &error))
        m_taken->setText(tr("They take %L1 of the %L2 glyphs, in cells of %3 × %4.")
                                 .arg(fit.glyphs)
                                 .arg(m_scan->glyphs.size())
                                 .arg(fit.cols)
                                 .arg(fit.rows));
    else
        m_taken->setText(error);
}

void OpenGlyphSetDialog::accept()
{
    QString error;
    if (m_first) {
        int first = 0;
        if (!CodePoints::parse(m_first->text(), &first)) {
            error = tr("\"%1\" is no code point: write 65, 0x41 or U+0041.").arg(m_first->text());
        } else if (m_order) {
            m_options.array = {m_cols->value(), m_rows->value(), BitOrder(BitOrder::Kind(m_order->currentData().toInt())), first};
        } else {
            m_options.image.cols = m_cols->value();
            m_options.image.rows = m_rows->value();
            m_options.image.threshold = m_threshold->value();
            m_options.image.firstCodePoint = first;
        }
    }
    if (m_scan) {
        CodePoints::Ranges ranges;
        BdfFormat::Fit fit;
        // The label under the code points already says what is wrong.
        if (!takenCodePoints(&ranges, &fit, &error))
            return;
        m_options.bdf.codePoints = ranges;
    } else if (m_codePoints) {
        CodePoints::Ranges ranges;
        if (CodePoints::parseRanges(m_codePoints->text(), &ranges, &error)) {
            m_options.outline.pixelSize = m_pixelSize->value();
            m_options.outline.codePoints = CodePoints::expanded(ranges);
        } else {
            error = sentence(error);
        }
    }
    if (!error.isEmpty()) {
        m_error->setText(error);
        m_error->show();
        return;
    }
    QDialog::accept();
}
