#pragma once

#include "colour.h"

#include <QFont>
#include <QIcon>
#include <QLatin1String>
#include <QWidget>

#include <utility>

class QLabel;

// How the program's windows build and dress their controls: named controls,
// geometry in twips relative to the container, the windows' fonts and colours,
// and the application icon.
namespace Look {

// A control of type Widget in `parent`, its objectName the control's name.
template <typename Widget, typename... Args>
Widget *makeControl(const char *name, QWidget *parent, Args &&...args)
{
    auto *widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void place(QWidget *widget, int left, int top, int width, int height);

// A label that takes the size of its caption, from its left edge or, when
// centred, around its centre.
void placeAutoSized(QLabel *label, int left, int top, int width, int height, bool centred = false);

// Makes a word-wrapped label's font smaller, in quarter points down to
// `minimumPoints`, until its text fits the label's height.
void shrinkToFit(QLabel *label, qreal minimumPoints);

// Sizes a window's client area, which then stays fixed: the layouts are fixed.
void setClientSize(QWidget *window, int width, int height);

constexpr qreal kDefaultPoints = 8.25;

QFont sansSerif(qreal points, bool bold = false);
QFont serif(qreal points);

void setTextColour(QWidget *widget, Colour colour);
void setBackground(QWidget *widget, Colour colour);

QIcon applicationIcon();

} // namespace Look
