#include "ShadowPanel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// Shadow strength by distance from the card, in alpha of black.
constexpr int kFalloff[5] = {96, 68, 44, 24, 10};

QImage shadowImage()
{
    QImage image(5, 5, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void put(QImage &image, int x, int y, int alpha)
{
    image.setPixelColor(x, y, QColor(0, 0, 0, qBound(0, alpha, 255)));
}

} // namespace

QList<QImage> ZShadowPanel::StandardShadowImages()
{
    QImage rightTop = shadowImage();
    QImage right = shadowImage();
    QImage corner = shadowImage();
    QImage bottom = shadowImage();
    QImage bottomLeft = shadowImage();
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            // The ends fade in over their 5 pixels, so the shadow has soft starts.
            put(right, x, y, kFalloff[x]);
            put(bottom, x, y, kFalloff[y]);
            put(rightTop, x, y, kFalloff[x] * (y + 1) / 6);
            put(bottomLeft, x, y, kFalloff[y] * (x + 1) / 6);
            const int d = qMin(4, int(std::lround(std::sqrt(double(x * x + y * y)))));
            put(corner, x, y, kFalloff[d]);
        }
    }
    return {rightTop, right, corner, bottom, bottomLeft};
}

ZShadowPanel::ZShadowPanel(QWidget *parent) : QWidget(parent)
{
    m_font = QWidget::font();
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Disabled children keep their normal look: the panel only makes them inert.
    QPalette pal = palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        pal.setColor(QPalette::Disabled, r, pal.color(QPalette::Active, r));
    }
    setPalette(pal);
}

ZShadowPanel::~ZShadowPanel() = default;

void ZShadowPanel::SetBackground(const QColor &color)
{
    m_background = color;
    update();
}

void ZShadowPanel::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZShadowPanel::SetFont(const QFont &font)
{
    m_font = font;
    update();
}

void ZShadowPanel::SetMarginLeft(int px)
{
    m_marginLeft = px;
    update();
}

void ZShadowPanel::SetMarginTop(int px)
{
    m_marginTop = px;
    update();
}

void ZShadowPanel::SetMarginRight(int px)
{
    m_marginRight = px;
    update();
}

void ZShadowPanel::SetMarginBottom(int px)
{
    m_marginBottom = px;
    update();
}

void ZShadowPanel::SetShadowImages(const QList<QImage> &images)
{
    m_shadowImages = images;
    update();
}

void ZShadowPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintPanel(p);
}

void ZShadowPanel::paintPanel(QPainter &p)
{
    const int w = width();
    const int h = height();
    const int ml = m_marginLeft;
    const int mt = m_marginTop;
    const int mr = m_marginRight;
    const int mb = m_marginBottom;
    p.fillRect(rect(), m_background);
    vellora::fillLTRB(p, ml, mt, w - mr, h - mb, m_color);
    if (m_shadowImages.size() < 5)
        return;
    // The whole strips take the background first, so that pictures with transparency
    // darken the background rather than the card.
    vellora::fillLTRB(p, w - mr - 5, mt, w - mr, h - mb, m_background);
    vellora::fillLTRB(p, ml, h - mb - 5, w - mr, h - mb, m_background);
    p.drawImage(QPoint(w - mr - 5, mt + 5), m_shadowImages[0]);
    p.drawImage(QPoint(w - mr - 5, h - mb - 5), m_shadowImages[2]);
    p.drawImage(QPoint(ml + 5, h - mb - 5), m_shadowImages[4]);
    const QRect rightStrip(w - mr - 5, mt + 10, 5, h - mb - 5 - (mt + 10));
    if (rightStrip.height() > 0)
        p.drawImage(rightStrip, m_shadowImages[1]);
    const QRect bottomStrip(ml + 10, h - mb - 5, w - mr - 5 - (ml + 10), 5);
    if (bottomStrip.width() > 0)
        p.drawImage(bottomStrip, m_shadowImages[3]);
}

void ZShadowPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (OnResize)
        OnResize(this);
}

void ZShadowPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void ZShadowPanel::mouseDoubleClickEvent(QMouseEvent *) {}

void ZShadowPanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && OnClick)
        OnClick(this);
}

void ZShadowPanel::keyPressEvent(QKeyEvent *event)
{
    if (!OnKeyDown) {
        QWidget::keyPressEvent(event);
        return;
    }
    int key = event->key();
    OnKeyDown(this, key, event->modifiers());
    if (key == 0)
        event->accept();
    else
        event->ignore();
}

void ZShadowPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
