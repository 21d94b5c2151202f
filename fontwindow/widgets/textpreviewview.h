#pragma once

#include "textpreview.h"

#include <QImage>
#include <QWidget>

// A text laid out by TextPreview as the display shows it: lit pixels on a
// dark panel, once at its real size and once enlarged as far as the widget
// allows. Every display pixel is a whole number of device pixels, so the
// picture stays sharp on any screen.
class TextPreviewView : public QWidget
{
    Q_OBJECT

public:
    explicit TextPreviewView(QWidget *parent = nullptr);

    void setCanvas(const TextPreview::Canvas &canvas);
    // The canvas as painted: one pixel per display pixel, colour index 1
    // where a pixel is lit.
    const QImage &image() const { return m_image; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
