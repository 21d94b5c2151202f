#include "textpreviewview.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
const QColor kPanelColour(0x10, 0x14, 0x18);
const QColor kLitColour(0xDD, 0xF3, 0xFF);
constexpr int kMargin = 4;  // around the pictures, in logical pixels
constexpr int kGap = 8;     // between them
constexpr int kHintScale = 3;
constexpr int kHintWidth = 480; // the enlarged picture a size hint asks for at most

// Device pixels per display pixel at real size: one logical pixel, rounded
// down to whole device pixels so that the pixels stay square and sharp.
int realSizeUnit(qreal dpr)
{
    return std::max(1, int(std::floor(dpr + 0.01)));
}
} // namespace

TextPreviewView::TextPreviewView(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TextPreviewView::setCanvas(const TextPreview::Canvas &canvas)
{
    const QSize before = m_image.size();
    if (canvas.width <= 0 || canvas.height <= 0) {
        m_image = QImage();
    } else {
        m_image = QImage(canvas.width, canvas.height, QImage::Format_Mono);
        m_image.setColorTable({kPanelColour.rgb(), kLitColour.rgb()});
        m_image.fill(0);
        for (int y = 0; y < canvas.height; ++y) {
            for (int x = 0; x < canvas.width; ++x) {
                if (canvas.isSet(x, y))
                    m_image.setPixel(x, y, 1);
            }
        }
    }
    if (m_image.size() != before)
        updateGeometry();
    update();
}

QSize TextPreviewView::minimumSizeHint() const
{
    return m_image.size() + QSize(2 * kMargin, 2 * kMargin);
}

QSize TextPreviewView::sizeHint() const
{
    if (m_image.isNull())
        return minimumSizeHint();
    const int scale = std::clamp(kHintWidth / m_image.width(), 1, kHintScale);
    if (scale < 2)
        return minimumSizeHint();
    return {m_image.width() * scale + 2 * kMargin, m_image.height() * (1 + scale) + kGap + 2 * kMargin};
}

void TextPreviewView::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Places and sizes are worked out in device pixels and handed to the
    // painter in logical ones, so that each edge falls on a device pixel.
    const qreal dpr = devicePixelRatioF();
    const auto logical = [dpr](int x, int y, int w, int h) { return QRectF(x / dpr, y / dpr, w / dpr, h / dpr); };
    const auto picture = [&](int x, int y, int unit) {
        const int w = m_image.width() * unit;
        const int h = m_image.height() * unit;
        painter.fillRect(logical(x - 1, y - 1, w + 2, h + 2), palette().color(QPalette::Mid));
        painter.drawImage(logical(x, y, w, h), m_image);
        return y + h;
    };

    const int margin = int(std::lround(kMargin * dpr));
    const int unit = realSizeUnit(dpr);
    const int realBottom = picture(margin, margin, unit);

    const int top = realBottom + int(std::lround(kGap * dpr));
    const int width = int(std::floor(this->width() * dpr)) - 2 * margin;
    const int height = int(std::floor(this->height() * dpr)) - top - margin;
    const int scale = std::min(width / m_image.width(), height / m_image.height());
    // An enlargement smaller than twice the real size shows nothing new.
    if (scale >= 2 * unit)
        picture(margin, top, scale);
}
