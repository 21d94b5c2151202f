#include "glyphsetwindow.h"

#include "glypheditor.h"
#include "glyphsetview.h"
#include "outputtext.h"
#include "statuslabel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

// The set window's controls, how they are wired, and where they stand.

namespace {
constexpr int kStartWidth = 600;
constexpr int kStartHeight = 440;
} // namespace

void GlyphSetWindow::createControls()
{
    m_cmdOpen = new QPushButton(tr("&Open…"), this);
    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    m_cmdSave = new QPushButton(tr("&Save"), this);
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setShortcut(QKeySequence::Save);
    m_cmdSaveAs = new QPushButton(tr("Save &As…"), this);
    m_cmdSaveAs->setObjectName(QStringLiteral("cmdSaveAs"));
    m_cmdExport = new QPushButton(tr("&Export to Text"), this);
    m_cmdExport->setObjectName(QStringLiteral("cmdExport"));
    m_cmdExport->setToolTip(tr("Appends a line per glyph to the editable text, as Copy to Text writes it"));
    m_chkComments = new QCheckBox(tr("&Comments"), this);
    m_chkComments->setObjectName(QStringLiteral("chkComments"));
    m_chkComments->setToolTip(tr("Ends each exported line with a comment naming its character"));
    m_cmdExportFont = new QPushButton(tr("E&xport…"), this);
    m_cmdExportFont->setObjectName(QStringLiteral("cmdExportFont"));
    m_cmdExportFont->setToolTip(tr("Exports the set as a font for a display library, with a preview"));
    m_lblSet = new StatusLabel(this);
    m_lblSet->setObjectName(QStringLiteral("lblSet"));
    m_spnAdvance = new QSpinBox(this);
    m_spnAdvance->setObjectName(QStringLiteral("spnAdvance"));
    m_spnAdvance->setSuffix(tr(" px"));
    m_spnAdvance->setToolTip(tr("How far the pen moves after the glyph drawn in the grid"));
    m_lblAdvance = new QLabel(tr("A&dvance:"), this);
    m_lblAdvance->setBuddy(m_spnAdvance);
    m_spnAscent = new QSpinBox(this);
    m_spnAscent->setObjectName(QStringLiteral("spnAscent"));
    m_spnAscent->setToolTip(tr("The baseline: how many rows of every glyph stand above it; the rest "
                               "hang below, as descenders do"));
    m_lblAscent = new QLabel(tr("Rows above the base&line:"), this);
    m_lblAscent->setBuddy(m_spnAscent);
    m_spnXOffset = new QSpinBox(this);
    m_spnXOffset->setObjectName(QStringLiteral("spnXOffset"));
    m_spnXOffset->setSuffix(tr(" px"));
    m_spnXOffset->setToolTip(tr("Where the glyphs' left edge lies from the pen: 0 at the pen, -1 a pixel "
                                "left of it"));
    m_lblXOffset = new QLabel(tr("Pen o&ffset:"), this);
    m_lblXOffset->setBuddy(m_spnXOffset);
    m_txtGoTo = new QLineEdit(this);
    m_txtGoTo->setObjectName(QStringLiteral("txtGoTo"));
    m_txtGoTo->setPlaceholderText(tr("K, U+004B or 0x4B"));
    m_txtGoTo->setToolTip(tr("Draws a character's glyph in the grid: type the character, or its code point "
                             "as U+004B, 0x4B or 75, and press Enter"));
    m_lblGoTo = new QLabel(tr("&Go to:"), this);
    m_lblGoTo->setBuddy(m_txtGoTo);
    m_lblGoToResult = new QLabel(this);
    m_lblGoToResult->setObjectName(QStringLiteral("lblGoToResult"));
    m_lstGlyphs = new GlyphSetView(m_session, this);
    m_lstGlyphs->setObjectName(QStringLiteral("lstGlyphs"));
    m_lstGlyphs->setAccessibleName(tr("Glyphs"));
}

void GlyphSetWindow::connectControls()
{
    connect(m_cmdOpen, &QPushButton::clicked, this, &GlyphSetWindow::cmdOpen_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &GlyphSetWindow::cmdSave_Click);
    connect(m_cmdSaveAs, &QPushButton::clicked, this, &GlyphSetWindow::cmdSaveAs_Click);
    connect(m_cmdExport, &QPushButton::clicked, this, &GlyphSetWindow::cmdExport_Click);
    connect(m_cmdExportFont, &QPushButton::clicked, this, &GlyphSetWindow::cmdExportFont_Click);
    connect(m_spnAdvance, &QSpinBox::valueChanged, &m_session, &GlyphSetSession::setAdvance);
    connect(m_spnAscent, &QSpinBox::valueChanged, &m_session, &GlyphSetSession::setAscent);
    connect(m_spnXOffset, &QSpinBox::valueChanged, &m_session, &GlyphSetSession::setXOffset);
    connect(m_txtGoTo, &QLineEdit::returnPressed, this, &GlyphSetWindow::txtGoTo_Return);
    connect(m_txtGoTo, &QLineEdit::textEdited, this, &GlyphSetWindow::txtGoTo_Change);
    connect(m_lstGlyphs, &GlyphSetView::glyphChosen, &m_session, &GlyphSetSession::choose);
    connect(&m_session, &GlyphSetSession::opened, this, &GlyphSetWindow::updateStatus);
    connect(&m_session, &GlyphSetSession::closed, this, &GlyphSetWindow::updateStatus);
    connect(&m_session, &GlyphSetSession::modifiedChanged, this, &GlyphSetWindow::updateStatus);
    connect(&m_session, &GlyphSetSession::currentChanged, this, &GlyphSetWindow::updateStatus);
    connect(&m_editor, &GlyphEditor::sizeListsChanged, this, &GlyphSetWindow::updateStatus);
    connect(&m_session, &GlyphSetSession::opened, this, &GlyphSetWindow::updateMetrics);
    connect(&m_session, &GlyphSetSession::closed, this, &GlyphSetWindow::updateMetrics);
    connect(&m_session, &GlyphSetSession::currentChanged, this, &GlyphSetWindow::updateMetrics);
    connect(&m_session, &GlyphSetSession::glyphChanged, this, &GlyphSetWindow::updateMetrics);
    connect(&m_session, &GlyphSetSession::metricsChanged, this, &GlyphSetWindow::updateMetrics);
    connect(&m_editor, &GlyphEditor::matrixOptionsChanged, this, &GlyphSetWindow::outputChanged);
    connect(&m_output, &OutputText::prefixOrDelimiterChanged, this, &GlyphSetWindow::outputChanged);
}

void GlyphSetWindow::placeControls()
{
    // The export's check box stands under its button, beside the status,
    // so that the window can be narrow.
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdOpen);
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdSaveAs);
    buttons->addStretch();
    buttons->addWidget(m_cmdExport);
    buttons->addWidget(m_cmdExportFont);
    auto *status = new QHBoxLayout;
    m_lblSet->setWordWrap(true);
    status->addWidget(m_lblSet, 1);
    status->addWidget(m_chkComments, 0, Qt::AlignTop);
    auto *metrics = new QHBoxLayout;
    metrics->addWidget(m_lblAdvance);
    metrics->addWidget(m_spnAdvance);
    metrics->addSpacing(12);
    metrics->addWidget(m_lblAscent);
    metrics->addWidget(m_spnAscent);
    metrics->addSpacing(12);
    metrics->addWidget(m_lblXOffset);
    metrics->addWidget(m_spnXOffset);
    metrics->addStretch();
    auto *goTo = new QHBoxLayout;
    goTo->addWidget(m_lblGoTo);
    goTo->addWidget(m_txtGoTo);
    m_txtGoTo->setMaximumWidth(m_txtGoTo->fontMetrics().horizontalAdvance(QStringLiteral("U+0000000")) * 2);
    // A character's name can be long; it wraps rather than widen the window.
    m_lblGoToResult->setWordWrap(true);
    goTo->addWidget(m_lblGoToResult, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(status);
    layout->addLayout(metrics);
    layout->addLayout(goTo);
    layout->addWidget(m_lstGlyphs, 1);
    resize(kStartWidth, kStartHeight);
}
