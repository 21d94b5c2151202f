#include "glyphsetsession.h"

#include "bdfformat.h"
#include "glypheditor.h"

#include <QFileInfo>
#include <QSaveFile>

#include <utility>

GlyphSetSession::GlyphSetSession(GlyphEditor &editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
{
    // Every step the editor records, and every undo and redo, ends here.
    connect(&editor, &GlyphEditor::historyChanged, this, &GlyphSetSession::editorHistoryChanged);
}

void GlyphSetSession::open(ReadResult read, const QString &path, FontKind::Kind kind)
{
    m_set = std::move(*read.set);
    m_open = true;
    ++m_generation;
    m_sourcePath = path;
    m_savePath = kind == FontKind::Kind::Bdf ? path : QString();
    m_fontGlyphs = read.fontGlyphs;
    m_current = -1;
    const QString key = QFileInfo(path).absoluteFilePath();
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
    m_fontGlyphs = 0;
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
    if (!m_open)
        return;
    const qint64 owner = m_editor.drawingOwner();
    if (owner == GlyphEditor::kNoOwner || owner >> 32 != m_generation)
        return;
    const qsizetype index = qsizetype(owner & 0xFFFFFFFF);
    if (index >= m_set.size())
        return;
    if (index != m_current) {
        m_current = index;
        emit currentChanged(index);
    }
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
    m_set.ascent = ascent;
    setModified(true);
    emit metricsChanged();
}

void GlyphSetSession::setXOffset(int xOffset)
{
    if (!m_open || m_set.xOffset == xOffset)
        return;
    m_set.xOffset = xOffset;
    setModified(true);
    emit metricsChanged();
}

void GlyphSetSession::setAdvance(qsizetype index, int advance)
{
    if (!m_open || index < 0 || index >= m_set.size() || m_set.advanceOf(m_set.at(index)) == advance)
        return;
    m_set.setAdvance(index, advance);
    setModified(true);
    emit glyphChanged(index);
}

ExportChoices GlyphSetSession::exportChoices() const
{
    return m_open ? m_exportChoices.value(QFileInfo(m_sourcePath).absoluteFilePath()) : ExportChoices();
}

void GlyphSetSession::setExportChoices(const ExportChoices &choices)
{
    if (m_open)
        m_exportChoices.insert(QFileInfo(m_sourcePath).absoluteFilePath(), choices);
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
    // The options and choices go into the set itself for the writer, and
    // back out if the file cannot be written: a whole font is not copied for
    // a save.
    const std::optional<ExportOptions> before = std::exchange(m_set.exportOptions, options);
    const QList<QPair<QByteArray, QByteArray>> propertiesBefore = m_set.properties;
    m_set.properties.removeIf([](const auto &property) { return ExportChoices::isChoice(property.first); });
    m_set.properties.append(exportChoices().properties());
    const QByteArray bytes = BdfFormat::write(m_set);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_set.exportOptions = before;
        m_set.properties = propertiesBefore;
        *error = QStringLiteral("%1: could not be written (%2).").arg(path, file.errorString());
        return false;
    }
    m_savePath = path;
    setModified(false);
    return true;
}
