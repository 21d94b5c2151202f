#include "gridview.h"

#include "grid.h"
#include "gridaccessible.h"
#include "palettecolour.h"
#include "twips.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {
constexpr Colour kGridLineColour = Colours::kLightGrey;
constexpr Colour kOutsideColour = Colours::kGrey;

// Edges of cells whose sizes are given in twips. Each size is turned into
// pixels on its own, so equal sizes give equal cells, and two grids with the
// same sizes line up cell for cell.
std::vector<int> edgesFor(int count, int start, int (Grid::*sizeOf)(int) const, const Grid &grid)
{
    constexpr int kSmallestCell = 1;
    std::vector<int> edges;
    edges.reserve(size_t(count) + 1);
    int edge = start;
    edges.push_back(edge);
    for (int i = 0; i < count; ++i) {
        edge += std::max(Twips::toPixels((grid.*sizeOf)(i)), kSmallestCell);
        edges.push_back(edge);
    }
    return edges;
}

int indexAt(const std::vector<int> &edges, int pos)
{
    if (edges.size() < 2 || pos < edges.front() || pos >= edges.back())
        return -1;
    const auto next = std::upper_bound(edges.begin(), edges.end(), pos);
    return int(next - edges.begin()) - 1;
}
} // namespace

GridView::GridView(const Grid &grid, QWidget *parent)
    : QWidget(parent)
    , m_grid(grid)
{
    GridAccessible::install();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    connect(&grid, &Grid::cellChanged, this, &GridView::updateCell);
    connect(&grid, &Grid::cellChanged, this,
            [this](int row, int col) { GridAccessible::notifyCellChanged(this, row, col); });
    connect(&grid, &Grid::layoutChanged, this, &GridView::updateLayout);
    connect(&grid, &Grid::visibleChanged, this, &QWidget::setVisible);
    if (!grid.isVisible())
        hide();
    updateLayout();
    describeKeyboardCell();
}

void GridView::setFramed(bool framed)
{
    m_framed = framed;
    updateLayout();
}

void GridView::setGridLines(bool shown)
{
    m_lineWidth = shown ? 1 : 0;
    updateLayout();
}

void GridView::setCellTextColour(Colour colour)
{
    m_cellTextColour = colour;
    update();
}

QSize GridView::sizeHint() const
{
    return QSize(Twips::toPixels(m_grid.width()), Twips::toPixels(m_grid.height()));
}

void GridView::updateLayout()
{
    const int start = m_framed ? m_lineWidth : 0;
    m_colEdges = edgesFor(m_grid.cols(), start, &Grid::colWidth, m_grid);
    m_rowEdges = edgesFor(m_grid.rows(), start, &Grid::rowHeight, m_grid);
    m_keyboardCell.rx() = std::clamp(m_keyboardCell.x(), 0, std::max(m_grid.cols() - 1, 0));
    m_keyboardCell.ry() = std::clamp(m_keyboardCell.y(), 0, std::max(m_grid.rows() - 1, 0));
    setFixedSize(sizeHint());
    update();
    // The cells may all have changed (a clear, a restore); a screen reader
    // hears about the keyboard cell while the view has the focus.
    if (hasFocus())
        describeKeyboardCell();
    GridAccessible::notifyLayoutChanged(this);
}

void GridView::updateCell(int row, int col)
{
    update(cellRect(row, col));
    if (QPoint(col, row) == m_keyboardCell)
        describeKeyboardCell();
}

bool GridView::isFilled(int row, int col) const
{
    const Colour colour = m_grid.cellBackColorAt(row, col);
    return colour != Colours::kNone && colour != m_grid.backColor();
}

void GridView::describeKeyboardCell()
{
    const int row = m_keyboardCell.y();
    const int col = m_keyboardCell.x();
    const bool filled = isFilled(row, col);
    const QString text = m_grid.textAt(row, col);
    setAccessibleDescription(tr("Row %1, column %2%3%4")
                                     .arg(row + 1)
                                     .arg(col + 1)
                                     .arg(filled ? tr(", filled") : QString())
                                     .arg(text.isEmpty() ? QString() : QStringLiteral(": ") + text));
}

QPoint GridView::cellAt(const QPoint &pos) const
{
    const int col = indexAt(m_colEdges, pos.x());
    const int row = indexAt(m_rowEdges, pos.y());
    return col < 0 || row < 0 ? QPoint(-1, -1) : QPoint(col, row);
}

QRect GridView::cellRect(int row, int col) const
{
    if (row < 0 || col < 0 || row >= m_grid.rows() || col >= m_grid.cols())
        return QRect();
    const int left = m_colEdges[size_t(col)];
    const int top = m_rowEdges[size_t(row)];
    return QRect(left, top, std::max(m_colEdges[size_t(col) + 1] - left - m_lineWidth, 1),
                 std::max(m_rowEdges[size_t(row) + 1] - top - m_lineWidth, 1));
}

void GridView::paintEvent(QPaintEvent *event)
{
    const Grid &grid = m_grid;
    QPainter painter(this);
    const QPalette &pal = palette();
    const QRect dirty = event->rect();

    painter.fillRect(dirty, paletteColour(kOutsideColour, pal));
    const QRect cells(0, 0, m_colEdges.back(), m_rowEdges.back());
    painter.fillRect(cells.intersected(dirty), paletteColour(kGridLineColour, pal));

    const QColor background = paletteColour(grid.backColor(), pal);
    painter.setPen(paletteColour(m_cellTextColour, pal));
    for (int row = 0; row < grid.rows(); ++row) {
        for (int col = 0; col < grid.cols(); ++col) {
            const QRect rect = cellRect(row, col);
            if (!rect.intersects(dirty))
                continue;
            const Colour colour = grid.cellBackColorAt(row, col);
            painter.fillRect(rect, colour == Colours::kNone ? background : paletteColour(colour, pal));
            const QString text = grid.textAt(row, col);
            if (!text.isEmpty())
                drawCellText(painter, rect, text);
        }
    }

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = cellRect(m_keyboardCell.y(), m_keyboardCell.x());
        option.backgroundColor = background;
        if (option.rect.intersects(dirty))
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// Centres the text; a text wider than its cell is drawn in a smaller font
// rather than cut, so four-digit readouts stay whole in narrow cells.
void GridView::drawCellText(QPainter &painter, const QRect &rect, const QString &text) const
{
    const QFontMetricsF metrics(font());
    const qreal width = metrics.horizontalAdvance(text);
    if (width <= rect.width()) {
        painter.drawText(rect, Qt::AlignCenter, text);
        return;
    }
    painter.save();
    QFont smaller = font();
    smaller.setPointSizeF(std::max(smaller.pointSizeF() * rect.width() / width, 1.0));
    painter.setFont(smaller);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextDontClip, text);
    painter.restore();
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (!m_clickable) {
        const QPoint cell = cellAt(event->position().toPoint());
        moveKeyboardCell(cell.y(), cell.x());
        return;
    }
    m_stroking = true;
    m_strokeCell = QPoint(-1, -1);
    m_strokePos = event->position().toPoint();
    strokeTo(m_strokePos);
}

void GridView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_stroking && (event->buttons() & Qt::LeftButton))
        strokeTo(event->position().toPoint());
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_stroking) {
        strokeTo(event->position().toPoint());
        endStroke();
    }
    QWidget::mouseReleaseEvent(event);
}

// Follows the pointer from where it was last seen to `pos`, one pixel at a
// time, and reports each cell it comes into; outside the cells it reports
// nothing, and coming back goes on with the same stroke.
void GridView::strokeTo(const QPoint &pos)
{
    const QPoint from = m_strokePos;
    const int steps = std::max({std::abs(pos.x() - from.x()), std::abs(pos.y() - from.y()), 1});
    for (int i = 1; i <= steps; ++i) {
        const QPoint at(from.x() + (pos.x() - from.x()) * i / steps, from.y() + (pos.y() - from.y()) * i / steps);
        const QPoint cell = cellAt(at);
        if (cell.x() < 0 || cell == m_strokeCell)
            continue;
        const bool first = m_strokeCell.x() < 0;
        m_strokeCell = cell;
        moveKeyboardCell(cell.y(), cell.x());
        if (first)
            emit strokeStarted(cell.y(), cell.x());
        else
            emit strokeEntered(cell.y(), cell.x());
    }
    m_strokePos = pos;
}

void GridView::endStroke()
{
    if (!m_stroking)
        return;
    m_stroking = false;
    if (m_strokeCell.x() >= 0)
        emit strokeEnded();
    m_strokeCell = QPoint(-1, -1);
}

void GridView::hideEvent(QHideEvent *event)
{
    endStroke();
    QWidget::hideEvent(event);
}

void GridView::contextMenuEvent(QContextMenuEvent *event)
{
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    emit menuRequested(byMouse ? event->pos() : cellRect(m_keyboardCell.y(), m_keyboardCell.x()).center());
    event->accept();
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    const int row = m_keyboardCell.y();
    const int col = m_keyboardCell.x();
    switch (event->key()) {
    case Qt::Key_Left:
        moveKeyboardCell(row, col - 1);
        break;
    case Qt::Key_Right:
        moveKeyboardCell(row, col + 1);
        break;
    case Qt::Key_Up:
        moveKeyboardCell(row - 1, col);
        break;
    case Qt::Key_Down:
        moveKeyboardCell(row + 1, col);
        break;
    case Qt::Key_F10:
        if (event->modifiers() != Qt::ShiftModifier) {
            QWidget::keyPressEvent(event);
            return;
        }
        emit menuRequested(cellRect(row, col).center());
        break;
    case Qt::Key_Space:
        if (!m_clickable) {
            event->ignore();
            return;
        }
        if (!event->isAutoRepeat())
            click(row, col);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void GridView::click(int row, int col)
{
    if (m_clickable)
        emit cellToggledByKey(row, col);
}

void GridView::moveKeyboardCell(int row, int col)
{
    if (row < 0 || col < 0 || row >= m_grid.rows() || col >= m_grid.cols())
        return;
    const QPoint old = m_keyboardCell;
    m_keyboardCell = QPoint(col, row);
    update(cellRect(old.y(), old.x()));
    update(cellRect(row, col));
    describeKeyboardCell();
    GridAccessible::notifyKeyboardCellMoved(this, old.y(), old.x());
}

void GridView::focusInEvent(QFocusEvent *event)
{
    describeKeyboardCell();
    updateCell(m_keyboardCell.y(), m_keyboardCell.x());
    QWidget::focusInEvent(event);
    GridAccessible::notifyFocusIn(this);
}

void GridView::focusOutEvent(QFocusEvent *event)
{
    endStroke();
    updateCell(m_keyboardCell.y(), m_keyboardCell.x());
    QWidget::focusOutEvent(event);
}
