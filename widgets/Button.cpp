#include "Button.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

ZButton::ZButton(QWidget *parent) : QWidget(parent)
{
    m_font = QWidget::font();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ZButton::~ZButton() = default;

void ZButton::SetAlignment(TextAlignment alignment)
{
    m_alignment = alignment;
    update();
}

void ZButton::SetBorder(const QColor &color)
{
    m_border = color;
    update();
}

void ZButton::SetCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void ZButton::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZButton::SetFont(const QFont &font)
{
    m_font = font;
    update();
}

void ZButton::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void ZButton::SetHighlight(const QColor &color)
{
    m_highlight = color;
    update();
}

void ZButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), m_hover ? m_highlight : m_color);
    vellora::frameLTRB(p, 0, 0, w, h, m_border);
    p.setFont(m_font);
    p.setPen(m_fontColor);
    const QFontMetrics fm(m_font, this);
    const int textWidth = fm.horizontalAdvance(m_caption);
    const int y = (h - fm.height()) / 2;
    int x = 5;
    if (m_alignment == TextAlignment::RightJustify)
        x = w - textWidth - 5;
    else if (m_alignment == TextAlignment::Center)
        x = (w - textWidth) / 2;
    p.drawText(QPoint(x, y + fm.ascent()), m_caption);
}

void ZButton::mouseMoveEvent(QMouseEvent *event)
{
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_hover) {
        m_hover = inside;
        update();
    }
}

void ZButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void ZButton::mouseDoubleClickEvent(QMouseEvent *) {}

void ZButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && OnClick)
        OnClick(this);
}

void ZButton::leaveEvent(QEvent *event)
{
    if (m_hover) {
        m_hover = false;
        update();
    }
    QWidget::leaveEvent(event);
}
