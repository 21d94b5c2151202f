#include "glyphsetview.h"

#include "charactername.h"
#include "codepoints.h"
#include "glyphsetaccessible.h"
#include "glyphsetsession.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {
constexpr int kLabelPoints = 7;
constexpr int kMargin = 3;
// The baseline, under the ink and a little beyond the frame on either side.
const QColor kBaselineColour(0xE0, 0x5A, 0x2B);
constexpr int kBaselineOverhang = 2;

// Paints a glyph's picture, one square of the view's cell size per set cell,
// on white in a thin frame crossed by the font's baseline, with its label
// below; the current glyph is drawn on the selection colour.
class GlyphDelegate : public QStyledItemDelegate
{
public:
    GlyphDelegate(const GlyphSetSession &session, const GlyphSetView &view)
        : QStyledItemDelegate(const_cast<GlyphSetView *>(&view))
        , m_session(session)
        , m_view(view)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        const GlyphSet &set = m_session.set();
        const int cell = m_view.cellPixels();
        QFont font = option.font;
        font.setPointSize(kLabelPoints);
        const QFontMetrics metrics(font);
        const int width = std::max(set.cols() * cell, metrics.horizontalAdvance(QStringLiteral("U+00000")));
        return {width + 2 * kMargin, set.rows() * cell + metrics.height() + 3 * kMargin};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const GlyphSet &set = m_session.set();
        if (index.row() >= set.size())
            return;
        const Glyph &glyph = set.at(index.row());
        const int cell = m_view.cellPixels();
        const bool current = option.state & QStyle::State_Selected;
        painter->save();
        painter->fillRect(option.rect, current ? option.palette.highlight() : option.palette.base());
        const QRect picture(option.rect.left() + (option.rect.width() - set.cols() * cell) / 2,
                            option.rect.top() + kMargin, set.cols() * cell, set.rows() * cell);
        painter->fillRect(picture, Qt::white);
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->drawRect(picture.adjusted(-1, -1, 0, 0));
        // The line takes the top pixels of the row under the baseline, so
        // that letters stand on it; with no descent it is the frame's bottom.
        if (set.ascent >= 0 && set.ascent <= set.rows()) {
            painter->fillRect(picture.left() - 1 - kBaselineOverhang, picture.top() + set.ascent * cell,
                              picture.width() + 2 + 2 * kBaselineOverhang, 1, kBaselineColour);
        }
        for (int r = 0; r < set.rows(); ++r) {
            for (int c = 0; c < set.cols(); ++c) {
                if (glyph.bits.isSet(r, c))
                    painter->fillRect(picture.left() + c * cell, picture.top() + r * cell, cell, cell, Qt::black);
            }
        }
        QFont font = option.font;
        font.setPointSize(kLabelPoints);
        painter->setFont(font);
        painter->setPen(option.palette.color(current ? QPalette::HighlightedText : QPalette::Text));
        const QRect text(option.rect.left(), picture.bottom() + kMargin, option.rect.width(),
                         option.rect.bottom() - picture.bottom() - kMargin);
        painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop,
                          GlyphSetModel::label(glyph.codePoint, glyph.name));
        painter->restore();
    }

private:
    const GlyphSetSession &m_session;
    const GlyphSetView &m_view;
};
} // namespace

GlyphSetModel::GlyphSetModel(const GlyphSetSession &session, QObject *parent)
    : QAbstractListModel(parent)
    , m_session(session)
{
    connect(&session, &GlyphSetSession::opened, this, [this] { beginResetModel(); endResetModel(); });
    connect(&session, &GlyphSetSession::closed, this, [this] { beginResetModel(); endResetModel(); });
    connect(&session, &GlyphSetSession::glyphChanged, this, [this](qsizetype row) {
        const QModelIndex changed = index(int(row));
        emit dataChanged(changed, changed);
    });
}

int GlyphSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_session.set().size());
}

QString GlyphSetModel::label(int codePoint, const QByteArray &name)
{
    if (codePoint == Glyph::kNoCodePoint)
        return QString::fromLatin1(name);
    return CodePoints::name(codePoint);
}

QVariant GlyphSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_session.set().size())
        return {};
    const Glyph &glyph = m_session.set().at(index.row());
    if (role == Qt::DisplayRole)
        return label(glyph.codePoint, glyph.name);
    if (role == Qt::AccessibleTextRole) {
        const bool blank = glyph.bits == Drawing(glyph.bits.rows(), glyph.bits.cols());
        return CharacterName::spoken(glyph.codePoint, glyph.name, blank);
    }
    if (role == Qt::ToolTipRole && !glyph.name.isEmpty())
        return QString::fromLatin1(glyph.name);
    return {};
}

GlyphSetView::GlyphSetView(GlyphSetSession &session, QWidget *parent)
    : QListView(parent)
    , m_session(session)
    , m_model(session)
{
    setModel(&m_model);
    setItemDelegate(new GlyphDelegate(session, *this));
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setLayoutMode(QListView::SinglePass);
    setSpacing(1);
    connect(&session, &GlyphSetSession::opened, this, &GlyphSetView::updateGeometryForSet);
    connect(&session, &GlyphSetSession::currentChanged, this, &GlyphSetView::sessionCurrentChanged);
    connect(&session, &GlyphSetSession::metricsChanged, viewport(), qOverload<>(&QWidget::update));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &GlyphSetView::viewCurrentChanged);
    GlyphSetAccessible::install();
    updateGeometryForSet();
}

int GlyphSetView::columnsShown() const
{
    // The items flow left to right and wrap: the first row holds as many as
    // every other full one.
    const int count = m_model.rowCount();
    if (count == 0)
        return 0;
    const int top = rectForIndex(m_model.index(0)).top();
    int columns = 1;
    while (columns < count && rectForIndex(m_model.index(columns)).top() == top)
        ++columns;
    return columns;
}

void GlyphSetView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // QListView would tell screen readers that the new current glyph has the
    // focus even while the user types in the Go to box; it has it only when
    // the view has.
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus() && current.isValid())
        GlyphSetAccessible::notifyFocus(this, current.row());
}

void GlyphSetView::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    GlyphSetAccessible::notifyFocusIn(this);
}

void GlyphSetView::keyboardSearch(const QString &search)
{
    // Each key typed is looked up on its own: the glyph of that character,
    // not a glyph whose label starts with what was typed.
    const QList<uint> typed = search.toUcs4();
    if (typed.isEmpty())
        return;
    const qsizetype found = m_session.set().indexOf(int(typed.back()));
    if (found >= 0)
        setCurrentIndex(m_model.index(int(found)));
}

void GlyphSetView::updateGeometryForSet()
{
    // Small glyphs get bigger squares, so that every picture can be read.
    const GlyphSet &set = m_session.set();
    m_cellPixels = std::max(set.cols(), set.rows()) <= 8 ? 3 : 2;
    scheduleDelayedItemsLayout();
}

void GlyphSetView::sessionCurrentChanged(qsizetype index)
{
    m_following = true;
    const QModelIndex current = m_model.index(int(index));
    setCurrentIndex(current);
    scrollTo(current);
    m_following = false;
}

void GlyphSetView::viewCurrentChanged(const QModelIndex &current)
{
    if (!m_following && current.isValid())
        emit glyphChosen(current.row());
}
