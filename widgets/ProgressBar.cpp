#include "ProgressBar.h"

#include <QPainter>

#include "base/rounding.h"

ZProgressBar::ZProgressBar(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    changed();
}

ZProgressBar::~ZProgressBar() = default;

void ZProgressBar::SetBorder(const QColor &color)
{
    m_border = color;
    update();
}

void ZProgressBar::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZProgressBar::SetColorA(const QColor &color)
{
    m_colorA = color;
    update();
}

void ZProgressBar::SetColorB(const QColor &color)
{
    m_colorB = color;
    update();
}

void ZProgressBar::SetMax(int max)
{
    m_max = max;
    changed();
}

void ZProgressBar::SetMin(int min)
{
    m_min = min;
    changed();
}

void ZProgressBar::SetPos(int pos)
{
    m_pos = pos;
    changed();
}

void ZProgressBar::SetShowHint(bool show)
{
    m_showHint = show;
    setToolTip(m_showHint ? m_hint : QString());
}

int ZProgressBar::DividerX() const
{
    if (m_min == m_max)
        return -1;
    return vellora::roundHalfEven(double(width() - 1) * (double(m_pos) - m_min) / (double(m_max) - m_min));
}

void ZProgressBar::changed()
{
    if (m_min == m_max)
        m_hint.clear();
    else
        m_hint = QString::number(
                     vellora::roundHalfEven((double(m_pos) - m_min) * 100.0 / (double(m_max) - m_min))) +
                 QLatin1Char('%');
    setToolTip(m_showHint ? m_hint : QString());
    update();
}

void ZProgressBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), m_border);
    if (m_min == m_max) {
        vellora::fillLTRB(p, 1, 1, w - 1, h - 1, m_color);
        return;
    }
    const int a = DividerX();
    if (a > 0)
        vellora::fillLTRB(p, 1, 1, a, h - 1, m_colorA);
    if (a < w - 2)
        vellora::fillLTRB(p, a + 1, 1, w - 1, h - 1, m_colorB);
}
