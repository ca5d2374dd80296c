#include "ScrollBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "base/colorref.h"
#include "base/rounding.h"

namespace {

// Quotient rounded toward +infinity, divisor > 0.
int ceilDiv(int a, int b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

void paintButton(QPainter &p, const QRect &r, bool hovered, bool down)
{
    p.fillRect(r, vellora::colorRef(hovered ? vellora::kSilver : vellora::kGrey));
    const int left = r.left();
    const int right = r.left() + r.width();
    const int top = r.top();
    const int a = (left + right) / 2;
    QPolygon triangle;
    if (down)
        triangle << QPoint(a, top + 12) << QPoint(a - 5, top + 7) << QPoint(a + 5, top + 7);
    else
        triangle << QPoint(a, top + 5) << QPoint(a - 5, top + 10) << QPoint(a + 5, top + 10);
    const QColor white = vellora::colorRef(vellora::kWhite);
    p.setPen(white);
    p.setBrush(white);
    p.drawPolygon(triangle);
    p.setBrush(Qt::NoBrush);
}

} // namespace

ZScrollBar::ZScrollBar(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ZScrollBar::~ZScrollBar() = default;

void ZScrollBar::SetMemo(ZMemo *memo)
{
    m_memo = memo;
}

void ZScrollBar::UpdateRange()
{
    const int h = height();
    int rows = 0;
    int rowSize = 1;
    int memoHeight = 0;
    if (m_memo) {
        rows = m_memo->RowCount();
        rowSize = qMax(1, m_memo->RowSize());
        memoHeight = m_memo->height();
    }
    // A text that fits wholly has nothing to scroll: the wheel must not hide its first row.
    const bool fits = !m_memo || (rows + 1) * rowSize <= memoHeight;
    m_maximum = fits ? 0 : qMax(0, ceilDiv(rows * rowSize - memoHeight, rowSize)) + 1;
    m_thumbLength = rows <= 0 ? 0 : vellora::roundHalfEven(double(rows - m_maximum) * (h - 36) / rows);
    if (m_maximum < 2) {
        m_step = 0.0f;
        hide();
    } else {
        m_step = float(h - m_thumbLength - 36) / float(m_maximum);
        show();
    }
    update();
}

void ZScrollBar::ResetPosition()
{
    m_position = 0;
    update();
}

void ZScrollBar::Scroll(int delta)
{
    if (delta > 0)
        setPosition(qMax(0, m_position - 1));
    else if (delta < 0)
        setPosition(qMin(m_maximum, m_position + 1));
}

// The parts follow the current size: a hidden widget gets its resize event only when shown.
QRect ZScrollBar::DownButtonRect() const
{
    return QRect(1, height() - 18, width() - 2, 17);
}

QRect ZScrollBar::UpButtonRect() const
{
    return QRect(1, 1, width() - 2, 17);
}

QRect ZScrollBar::ThumbRect() const
{
    // The grab area travels with the drawn thumb; at position 0 it is (W - 18, 18, W - 1, L + 18).
    const int offset = vellora::roundHalfEven(double(m_position) * m_step);
    return QRect(width() - 18, 18 + offset, 17, m_thumbLength);
}

void ZScrollBar::setPosition(int position)
{
    if (position == m_position)
        return;
    m_position = position;
    if (m_memo) {
        m_memo->SetPosition(position);
        m_memo->update();
    }
    update();
}

void ZScrollBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    const QColor grey = vellora::colorRef(vellora::kGrey);
    vellora::frameLTRB(p, 0, 0, w, h, grey);
    paintButton(p, DownButtonRect(), m_downHover, true);
    paintButton(p, UpButtonRect(), m_upHover, false);
    vellora::fillLTRB(p, 1, 18, w - 1, h - 18, vellora::colorRef(vellora::kSilver));
    const int top = vellora::roundHalfEven(double(m_position) * m_step) + 19;
    const int bottom = top + m_thumbLength - 2;
    vellora::fillLTRB(p, w - 18, top, w - 1, bottom,
                      vellora::colorRef(m_thumbHover ? vellora::kThumbHover : vellora::kGrey));
}

void ZScrollBar::updateHover(int x, int y)
{
    const QPoint at(x, y);
    const bool down = DownButtonRect().contains(at);
    const bool up = UpButtonRect().contains(at);
    const bool thumb = ThumbRect().contains(at);
    if (down != m_downHover) {
        m_downHover = down;
        update(DownButtonRect());
    }
    if (up != m_upHover) {
        m_upHover = up;
        update(UpButtonRect());
    }
    if (thumb != m_thumbHover) {
        m_thumbHover = thumb;
        update(ThumbRect().adjusted(0, 0, 0, 1));
    }
}

void ZScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    if (m_dragging) {
        if (event->buttons() & Qt::LeftButton) {
            int position = m_position;
            if (m_anchor - y >= m_step) {
                position = qMax(0, m_position - 1);
                m_anchor -= vellora::roundHalfEven(m_step);
            } else if (y - m_anchor >= m_step) {
                position = qMin(m_maximum, m_position + 1);
                m_anchor += vellora::roundHalfEven(m_step);
            }
            setPosition(position);
            return;
        }
        m_dragging = false;
    }
    updateHover(x, y);
}

void ZScrollBar::mousePressEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    // A press can arrive without a move before it (first click after showing).
    updateHover(x, y);
    int position = m_position;
    if (m_downHover)
        position = qMin(m_maximum, position + 1);
    if (m_upHover)
        position = qMax(0, position - 1);
    if (m_thumbHover) {
        m_anchor = y;
        m_dragging = true;
    }
    setPosition(position);
}

void ZScrollBar::leaveEvent(QEvent *event)
{
    m_dragging = false;
    updateHover(-1, -1);
    QWidget::leaveEvent(event);
}
