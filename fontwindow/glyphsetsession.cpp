#include "glyphsetsession.h"

#include "bdfformat.h"
#include "codepoints.h"
#include "firmwaresource.h"
#include "fontexport.h"
#include "fontfile.h"
#include "glypheditor.h"

#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <utility>

namespace {
// What of the set a state of the editor's history holds besides the drawing.
struct MetricsState
{
    qint64 generation = 0;
    qsizetype glyph = -1;
    int ascent = 0;
    int xOffset = 0;
    std::optional<int> advance; // of `glyph`

    bool operator==(const MetricsState &other) const
    {
        return generation == other.generation && glyph == other.glyph && ascent == other.ascent
                && xOffset == other.xOffset && advance == other.advance;
    }
};
} // namespace

GlyphSetSession::GlyphSetSession(GlyphEditor &editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
{
    // Every step the editor records, and every undo and redo, ends here.
    connect(&editor, &GlyphEditor::historyChanged, this, &GlyphSetSession::editorHistoryChanged);
    editor.setOwnerState([this] { return metricsState(); }, [this](const QVariant &state) { restoreMetrics(state); });
}

GlyphSetSession::~GlyphSetSession()
{
    m_editor.setOwnerState(nullptr, nullptr);
}

void GlyphSetSession::open(ReadResult read, const QString &path, FontKind::Kind kind)
{
    m_set = std::move(*read.set);
    m_open = true;
    ++m_generation;
    m_sourcePath = path;
    m_sourceFont = read.sourceFont;
    m_sourceForm = ExportChoices::fromProperties(m_set.properties);
    // A compressed font is saved under a new name: Save writes plain text.
    const bool savesBack = kind == FontKind::Kind::Bdf || !m_sourceFont.isEmpty();
    m_savePath = savesBack && !FontKind::isGzipName(path) ? path : QString();
    m_fontGlyphs = read.fontGlyphs;
    m_bdfSource = std::move(read.bdfSource);
    m_leftOut = std::move(read.leftOut);
    m_current = -1;
    const QString key = choicesKey();
    if (!m_exportChoices.contains(key))
        m_exportChoices.insert(key, ExportChoices::fromProperties(m_set.properties));
    setModified(false);
    emit opened();
    choose(0);
}

void GlyphSetSession::close()
{
    if (!m_open)
        return;
    m_open = false;
    ++m_generation; // the drawing in Grid1 stays, but belongs to no glyph now
    m_set = GlyphSet();
    m_sourcePath.clear();
    m_savePath.clear();
    m_sourceFont.clear();
    m_fontGlyphs = 0;
    m_bdfSource.reset();
    m_leftOut.reset();
    m_current = -1;
    setModified(false);
    emit closed();
}

void GlyphSetSession::choose(qsizetype index)
{
    if (!m_open || index < 0 || index >= m_set.size())
        return;
    m_editor.drawGlyph(m_set.at(index).bits, ownerOf(index));
    // Choosing the glyph that is drawn already, unchanged, is no step.
    if (m_current != index) {
        m_current = index;
        emit currentChanged(index);
    }
}

void GlyphSetSession::choosePrevious()
{
    if (m_current > 0)
        choose(m_current - 1);
}

void GlyphSetSession::chooseNext()
{
    if (m_open && m_current + 1 < m_set.size())
        choose(m_current + 1);
}

void GlyphSetSession::editorHistoryChanged()
{
    m_metricRun = Metric::None;
    if (!m_open)
        return;
    const qint64 owner = m_editor.drawingOwner();
    const bool ours = owner != GlyphEditor::kNoOwner && owner >> 32 == m_generation
            && qsizetype(owner & 0xFFFFFFFF) < m_set.size();
    // A drawing of no glyph of this set makes none current, so that no
    // metric is changed for a glyph the grid does not show.
    const qsizetype index = ours ? qsizetype(owner & 0xFFFFFFFF) : -1;
    if (index != m_current) {
        m_current = index;
        emit currentChanged(index);
    }
    if (!ours)
        return;
    const Drawing before = m_set.at(index).bits;
    m_set.setBits(index, m_editor.drawing());
    if (!(m_set.at(index).bits == before)) {
        setModified(true);
        emit glyphChanged(index);
    }
}

void GlyphSetSession::setAscent(int ascent)
{
    if (!m_open || m_set.ascent == ascent)
        return;
    changeMetric(Metric::Ascent, [&] { m_set.ascent = ascent; });
    emit metricsChanged();
}

void GlyphSetSession::setXOffset(int xOffset)
{
    if (!m_open || m_set.xOffset == xOffset)
        return;
    changeMetric(Metric::XOffset, [&] { m_set.xOffset = xOffset; });
    emit metricsChanged();
}

void GlyphSetSession::setAdvance(int advance)
{
    if (!m_open || m_current < 0 || m_set.advanceOf(m_set.at(m_current)) == advance)
        return;
    changeMetric(Metric::Advance, [&] { m_set.setAdvance(m_current, advance); });
    emit glyphChanged(m_current);
}

// A change of the metric that the newest step changed joins that step: the
// history then takes the state after it when it is undone.
void GlyphSetSession::changeMetric(Metric metric, const std::function<void()> &change)
{
    if (metric == m_metricRun)
        change();
    else
        m_editor.changeOwnerState(change);
    // After the step, whose historyChanged ended any run before.
    m_metricRun = metric;
    setModified(true);
}

QVariant GlyphSetSession::metricsState() const
{
    if (!m_open)
        return {};
    return QVariant::fromValue(MetricsState{m_generation, m_current, m_set.ascent, m_set.xOffset,
                                            m_current >= 0 ? m_set.at(m_current).advance : std::nullopt});
}

// A state from another set, or from none, changes nothing in this one.
void GlyphSetSession::restoreMetrics(const QVariant &state)
{
    if (!m_open || state.metaType() != QMetaType::fromType<MetricsState>())
        return;
    const auto metrics = state.value<MetricsState>();
    if (metrics.generation != m_generation)
        return;
    if (m_set.ascent != metrics.ascent || m_set.xOffset != metrics.xOffset) {
        m_set.ascent = metrics.ascent;
        m_set.xOffset = metrics.xOffset;
        setModified(true);
        emit metricsChanged();
    }
    if (metrics.glyph >= 0 && m_set.at(metrics.glyph).advance != metrics.advance) {
        m_set.setAdvance(metrics.glyph, metrics.advance);
        setModified(true);
        emit glyphChanged(metrics.glyph);
    }
}

ExportChoices GlyphSetSession::exportChoices() const
{
    return m_open ? m_exportChoices.value(choicesKey()) : ExportChoices();
}

// The fonts of one source file each keep their own choices.
QString GlyphSetSession::choicesKey() const
{
    return QFileInfo(m_sourcePath).absoluteFilePath()
            + (m_sourceFont.isEmpty() ? QString() : QLatin1Char('#') + m_sourceFont);
}

void GlyphSetSession::setExportChoices(const ExportChoices &choices)
{
    if (m_open)
        m_exportChoices.insert(choicesKey(), choices);
}

void GlyphSetSession::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

bool GlyphSetSession::save(const QString &path, const ExportOptions &options, QString *error)
{
    if (!m_open) {
        *error = QStringLiteral("No glyph set is open.");
        return false;
    }
    const bool writesBack = !m_sourceFont.isEmpty() && QFileInfo(path) == QFileInfo(m_sourcePath);
    // A font opened in part is saved whole or not at all: back in its own
    // form with the glyphs left out, or as BDF.
    if (!m_sourceFont.isEmpty() && m_fontGlyphs > 0 && (writesBack ? !m_leftOut : !m_bdfSource)) {
        *error = QStringLiteral("%1 holds %L2 glyphs in %3; %L4 of them fit the grid and are open, so saving it "
                                "there would lose the others. %5")
                         .arg(QFileInfo(m_sourcePath).fileName())
                         .arg(m_fontGlyphs)
                         .arg(m_sourceFont)
                         .arg(m_set.size())
                         .arg(m_bdfSource ? QStringLiteral("Save As writes the whole font as BDF.")
                                          : QStringLiteral("Export the open glyphs instead."));
        return false;
    }
    QByteArray bytes;
    // The options and choices go into the set itself for the writer, and
    // back out if the file cannot be written: a whole font is not copied for
    // a save.
    const std::optional<ExportOptions> before = std::exchange(m_set.exportOptions, options);
    const QList<QPair<QByteArray, QByteArray>> propertiesBefore = m_set.properties;
    m_set.properties.removeIf([](const auto &property) { return ExportChoices::isChoice(property.first); });
    m_set.properties.append(exportChoices().properties());
    const auto restore = [&] {
        m_set.exportOptions = before;
        m_set.properties = propertiesBefore;
    };
    if (writesBack) {
        restore();
        bytes = writtenBack(options, error);
        if (bytes.isEmpty())
            return false;
    } else {
        bytes = m_bdfSource ? BdfFormat::write(m_set, *m_bdfSource) : BdfFormat::write(m_set);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        restore();
        *error = QStringLiteral("%1: could not be written (%2).").arg(path, file.errorString());
        return false;
    }
    m_savePath = path;
    setModified(false);
    return true;
}

// The source file the font was read from, with the font written again in its
// place in the form it was read in; empty, with `error` set, where the file
// can no longer be read or no longer holds the font.
QByteArray GlyphSetSession::writtenBack(const ExportOptions &options, QString *error) const
{
    FontExport::Options form;
    form.format = m_sourceForm.format;
    form.name = m_sourceFont;
    form.pageOrder = m_sourceForm.pageOrder;
    form.widths = m_sourceForm.widths;
    form.lines.comments = m_sourceForm.comments;
    form.lines.output = options;
    form.leftOut = m_leftOut;
    // Glyphs the file placed away from their code points go back where
    // they stood.
    if (!m_sourceForm.remaps.isEmpty() && !CodePoints::parseRemaps(m_sourceForm.remaps, &form.remaps, error)) {
        *error = QStringLiteral("%1: %2").arg(m_sourcePath, *error);
        return {};
    }
    const FontExport::Result written = FontExport::write(m_set, form);
    if (!written.ok()) {
        *error = QStringLiteral("%1: %2").arg(m_sourcePath, written.error);
        return {};
    }
    QByteArray original;
    if (!FontFile::load(m_sourcePath, &original, error))
        return {};
    const std::optional<QByteArray> text
            = FirmwareSource::replaced(original, m_sourcePath, m_sourceFont, written.text.toUtf8(), error);
    return text.value_or(QByteArray());
}
