#include "look.h"

#include "palettecolour.h"
#include "twips.h"

#include <QLabel>
#include <QPalette>

namespace Look {

// Edges are turned into pixels rather than sizes, so that controls that meet
// in twips meet in pixels too.
void place(QWidget *widget, int left, int top, int width, int height)
{
    const int x = Twips::toPixels(left);
    const int y = Twips::toPixels(top);
    widget->setGeometry(x, y, Twips::toPixels(left + width) - x, Twips::toPixels(top + height) - y);
}

void placeAutoSized(QLabel *label, int left, int top, int width, int height, bool centred)
{
    place(label, left, top, width, height);
    const QRect designed = label->geometry();
    label->adjustSize();
    if (centred)
        label->move(designed.center().x() - label->width() / 2, designed.y());
}

void shrinkToFit(QLabel *label, qreal minimumPoints)
{
    QFont font = label->font();
    while (label->heightForWidth(label->width()) > label->height() && font.pointSizeF() > minimumPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        label->setFont(font);
    }
}

void setClientSize(QWidget *window, int width, int height)
{
    window->setFixedSize(Twips::toPixels(width), Twips::toPixels(height));
}

namespace {
QFont font(const QStringList &families, QFont::StyleHint hint, qreal points, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
} // namespace

// The windows' fonts by their names, falling back to the nearest faces found
// on other desktops at the same point size.
QFont sansSerif(qreal points, bool bold)
{
    return font({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                 QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")},
                QFont::SansSerif, points, bold);
}

QFont serif(qreal points)
{
    return font({QStringLiteral("MS Serif"), QStringLiteral("Times New Roman"),
                 QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")},
                QFont::Serif, points, false);
}

void setTextColour(QWidget *widget, Colour colour)
{
    QPalette pal = widget->palette();
    const QColor text = paletteColour(colour, pal);
    pal.setColor(QPalette::Active, QPalette::WindowText, text);
    pal.setColor(QPalette::Inactive, QPalette::WindowText, text);
    widget->setPalette(pal);
}

void setBackground(QWidget *widget, Colour colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, paletteColour(colour, pal));
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QIcon applicationIcon()
{
    return QIcon(QStringLiteral(":/kelvor/kelvor.png"));
}

} // namespace Look
