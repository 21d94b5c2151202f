#pragma once

#include "exportchoices.h"
#include "fontkind.h"
#include "glyphset.h"
#include "readresult.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

#include <memory>

class GlyphEditor;

// An open glyph set tied to the editor: choosing a glyph draws it in Grid1,
// and every drawing action on Grid1 after that, undo and redo included, is
// written back into the glyph the drawing belongs to.
//
// The editor keeps, with each drawing, an owner that names the glyph: the
// set's generation (a new one for every set opened) and the glyph's index.
// A drawing restored by undo from before this set was opened belongs to no
// glyph of it and changes nothing in it.
//
// The metrics are undone in the editor's history too: the session gives the
// editor, with every state it takes, the set's generation, metrics and the
// advance of the glyph drawn, and puts them back when undo or redo gives
// them back. A step changes at most the metrics and that glyph's advance,
// so these are all that moving by one step can change.
class GlyphSetSession : public QObject
{
    Q_OBJECT

public:
    explicit GlyphSetSession(GlyphEditor &editor, QObject *parent = nullptr);
    ~GlyphSetSession() override;

    bool isOpen() const { return m_open; }
    const GlyphSet &set() const { return m_set; }
    // The file the set was read from, and the file Save writes: a BDF font,
    // or the source code a font for a display library was read from, which
    // Save writes back in its own form. Empty until there is one: a set read
    // from any other format is saved as BDF under a new name, never over its
    // source.
    QString sourcePath() const { return m_sourcePath; }
    QString savePath() const { return m_savePath; }
    // The C name of the font read from source code, which may hold several;
    // empty for a font of any other file.
    QString sourceFont() const { return m_sourceFont; }
    bool isModified() const { return m_modified; }
    // How many glyphs the font in the file holds where the set holds only
    // some of them; 0 when it holds them all.
    qsizetype fontGlyphs() const { return m_fontGlyphs; }
    // The glyph drawn in Grid1, or -1 (as after an undo back to a drawing
    // from before the set was opened).
    qsizetype current() const { return m_current; }

    // Opens the set that `read` holds, read from `path` as a file of `kind`,
    // and draws its first glyph. The output settings the set stores are
    // applied by the window, which owns the boxes that show them.
    void open(ReadResult read, const QString &path, FontKind::Kind kind);
    void close();

    // Draws glyph `index` in Grid1 and makes it current.
    void choose(qsizetype index);
    void choosePrevious();
    void chooseNext();

    // The set's metrics, which BDF keeps: the rows above the baseline, where
    // the cell's left edge lies from the pen, and how far the pen moves after
    // the current glyph. A change marks the set modified, is signalled and
    // is a step to undo; changes of one metric in a row, with nothing done
    // between, are one step, so that a value typed digit by digit or a run of
    // a spin box's arrows is undone at once. The same value again changes
    // nothing, so an advance the font left to the cell's width stays so.
    void setAscent(int ascent);
    void setXOffset(int xOffset);
    void setAdvance(int advance);

    // What the export dialog was left at for the open set's font: as it was
    // left before in this run for a font from the same file, or else as the
    // file stores it. A change does not make the set modified; save()
    // stores the choices in the file.
    ExportChoices exportChoices() const;
    void setExportChoices(const ExportChoices &choices);

    // Writes the set as BDF to `path`, with `options` and the export
    // choices stored in it: a set opened for part of a BDF font into the
    // whole font, the rest of it as the file had it. A font read from source
    // code is written back to that file in its own form, under its own name,
    // in the place of the one it was read from, the rest of the file as it
    // was; one opened in part is not saved, so that its other glyphs are not
    // lost. On success `path` becomes the save path and the set is
    // unmodified; otherwise `error` says why, naming the file, and nothing
    // changes.
    bool save(const QString &path, const ExportOptions &options, QString *error);

signals:
    void opened();
    void closed();
    void currentChanged(qsizetype index);
    // Its bits or its advance.
    void glyphChanged(qsizetype index);
    // The ascent or the pen offset.
    void metricsChanged();
    void modifiedChanged(bool modified);

private:
    enum class Metric { None, Ascent, XOffset, Advance };

    void editorHistoryChanged();
    QVariant metricsState() const;
    void restoreMetrics(const QVariant &state);
    void changeMetric(Metric metric, const std::function<void()> &change);
    void setModified(bool modified);
    QByteArray writtenBack(const ExportOptions &options, QString *error) const;
    QString choicesKey() const;
    qint64 ownerOf(qsizetype index) const { return (m_generation << 32) | qint64(index); }

    GlyphEditor &m_editor;
    GlyphSet m_set;
    bool m_open = false;
    QString m_sourcePath;
    QString m_savePath;
    bool m_modified = false;
    qsizetype m_fontGlyphs = 0;
    std::shared_ptr<const BdfFormat::Source> m_bdfSource;
    std::shared_ptr<const LeftOut> m_leftOut;
    // For a font read from source code: its C name there, and the choices
    // (format, page order, widths) it was written with.
    QString m_sourceFont;
    ExportChoices m_sourceForm;
    qsizetype m_current = -1;
    qint64 m_generation = 0;
    // The metric the newest step changed, until anything else happens.
    Metric m_metricRun = Metric::None;
    // By the absolute path of each font opened in this run.
    QHash<QString, ExportChoices> m_exportChoices;
};
