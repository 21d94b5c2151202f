#include "look.h"

#include "palettecolour.h"
#include "twips.h"

#include <QFontDatabase>
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
// The first of `families` that the system has, or an empty name, which
// leaves the choice to the style hint. Looked up once per run, in the list of
// installed families: asking the font system for a family it lacks makes it
// search for substitutes, and that search, repeated for every font of every
// control, was a large part of the main window's start-up.
QString installedFamily(std::initializer_list<const char *> families)
{
    // Names come as "Family" or, where two foundries make one, "Family [foundry]".
    QStringList installed = QFontDatabase::families();
    for (QString &name : installed)
        name = name.section(QLatin1String(" ["), 0, 0);
    for (const char *family : families) {
        if (installed.contains(QLatin1String(family), Qt::CaseInsensitive))
            return QLatin1String(family);
    }
    return QString();
}

QFont font(const QString &family, QFont::StyleHint hint, qreal points, bool bold)
{
    QFont font(family);
    font.setStyleHint(hint);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
} // namespace

// The windows' fonts by their names, else the nearest TrueType faces found
// on other desktops at the same point size: Arial-like metrics where a system
// has them, else DejaVu, which every Debian has and whose sans serif face is
// the one any window's text gets there anyway. The Type 1 and CFF clones
// (Nimbus Sans, Nimbus Roman) are left out on purpose: each of their faces
// costs several times a TrueType face to open and to lay out, and that made
// a large part of the main window's start-up. The fixed layout fits DejaVu,
// the widest of these faces.
QFont sansSerif(qreal points, bool bold)
{
    static const QString family = installedFamily({"MS Sans Serif", "Microsoft Sans Serif", "Arial",
                                                   "Liberation Sans", "DejaVu Sans"});
    return font(family, QFont::SansSerif, points, bold);
}

QFont serif(qreal points)
{
    static const QString family = installedFamily({"MS Serif", "Times New Roman", "Liberation Serif",
                                                   "DejaVu Serif"});
    return font(family, QFont::Serif, points, false);
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
