#pragma once

#include <QAbstractListModel>
#include <QListView>

class GlyphSetSession;

// The glyphs of the open set as a model: one row per glyph, its code point
// (or name) as text, and for screen readers the character's name. It
// follows the session: a set opened or closed resets it, a glyph drawn anew
// changes its row.
class GlyphSetModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit GlyphSetModel(const GlyphSetSession &session, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // "U+0041", or the name of a glyph without a code point.
    static QString label(int codePoint, const QByteArray &name);

private:
    const GlyphSetSession &m_session;
};

// The glyphs as a grid of small pictures, each over its code point, the
// current one selected. Painted straight from the set's bitmaps, so that a
// font of 60,000 glyphs shows at once: only the visible ones are drawn.
class GlyphSetView : public QListView
{
    Q_OBJECT

public:
    explicit GlyphSetView(GlyphSetSession &session, QWidget *parent = nullptr);

    // The pixels a cell of a glyph takes in its picture.
    int cellPixels() const { return m_cellPixels; }
    // How many glyphs stand side by side in a row, as the view is laid out
    // now; 0 without glyphs.
    int columnsShown() const;

    // Goes to the glyph of the character typed, as a click on it does.
    void keyboardSearch(const QString &search) override;

signals:
    // The user chose glyph `index` (a click, or the keyboard).
    void glyphChosen(qsizetype index);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void updateGeometryForSet();
    void sessionCurrentChanged(qsizetype index);
    void viewCurrentChanged(const QModelIndex &current);

    GlyphSetSession &m_session;
    GlyphSetModel m_model;
    int m_cellPixels = 2;
    bool m_following = false; // while the view follows the session
};
