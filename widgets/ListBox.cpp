#include "ListBox.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "base/colorref.h"
#include "base/rounding.h"

namespace {

int ceilDiv(int a, int b)
{
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

void paintButton(QPainter &p, const QRect &r, bool hovered, bool down)
{
    p.fillRect(r, vellora::colorRef(hovered ? vellora::kSilver : vellora::kGrey));
    const int a = (r.left() + r.left() + r.width()) / 2;
    const int top = r.top();
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

ZListBox::ZListBox(QWidget *parent) : QWidget(parent)
{
    m_font = QWidget::font();
    setMouseTracking(true);
}

ZListBox::~ZListBox() = default;

void ZListBox::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZListBox::SetFont(const QFont &font)
{
    m_font = font;
    update();
}

void ZListBox::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void ZListBox::SetHighlight(const QColor &color)
{
    m_highlight = color;
    update();
}

void ZListBox::SetItemHeight(int height)
{
    m_itemHeight = qMax(1, height);
    computeRange();
    update();
}

void ZListBox::SetItemIndex(int index)
{
    if (index == m_itemIndex)
        return;
    const int previous = m_itemIndex;
    m_itemIndex = index;
    update(RowRect(previous));
    update(RowRect(index));
    // The bottom frame line may be repainted with a cut row.
    update(QRect(0, height() - 1, width(), 1));
    if (OnChange)
        OnChange(this);
}

QStringList &ZListBox::Items()
{
    computeRange();
    return m_items;
}

void ZListBox::SetItems(const QStringList &items)
{
    m_items = items;
    computeRange();
    update();
}

void ZListBox::BeginUpdate()
{
    m_updating = true;
}

void ZListBox::EndUpdate()
{
    m_updating = false;
    computeRange();
    update();
}

void ZListBox::ScrollToTop()
{
    m_topRow = 0;
    update();
}

void ZListBox::Scroll(int delta)
{
    computeRange();
    if (delta > 0)
        setTopRow(qMax(0, m_topRow - 1));
    else if (delta < 0)
        setTopRow(qMin(m_topMaximum, m_topRow + 1));
}

int ZListBox::TopMaximum() const
{
    computeRange();
    return m_topMaximum;
}

int ZListBox::ThumbLength() const
{
    computeRange();
    return m_thumbLength;
}

float ZListBox::Step() const
{
    computeRange();
    return m_step;
}

bool ZListBox::BarShown() const
{
    return height() - 2 < int(m_items.size()) * m_itemHeight;
}

// The parts follow the current size: a hidden widget gets its resize event only when shown.
QRect ZListBox::DownButtonRect() const
{
    return QRect(width() - 18, height() - 18, 17, 17);
}

QRect ZListBox::UpButtonRect() const
{
    return QRect(width() - 18, 1, 17, 17);
}

QRect ZListBox::ThumbRect() const
{
    computeRange();
    const int offset = vellora::roundHalfEven(double(m_topRow) * m_step);
    return QRect(width() - 18, 18 + offset, 17, m_thumbLength);
}

QRect ZListBox::RowRect(int row) const
{
    if (row < 0 || row >= m_items.size())
        return QRect();
    const int top = (row - m_topRow) * m_itemHeight + 1;
    const int right = BarShown() ? width() - 19 : width() - 1;
    return QRect(1, top, right - 1, m_itemHeight);
}

// Recomputed whenever it is needed, so that rows added through Items() after the read count.
void ZListBox::computeRange() const
{
    const int count = int(m_items.size());
    const int h = height();
    m_topMaximum = qMax(0, ceilDiv(count * m_itemHeight - h + 2, m_itemHeight));
    m_thumbLength = count <= 0 ? 0 : vellora::roundHalfEven(double(count - m_topMaximum) * (h - 36) / count);
    m_step = m_topMaximum <= 0 ? 0.0f : float(h - m_thumbLength - 36) / float(m_topMaximum);
}

void ZListBox::setTopRow(int row)
{
    if (row == m_topRow)
        return;
    m_topRow = row;
    update();
}

void ZListBox::paintEvent(QPaintEvent *)
{
    if (m_updating)
        return;
    computeRange();
    QPainter p(this);
    const int w = width();
    const int h = height();
    const QColor white = vellora::colorRef(vellora::kWhite);
    const bool bar = BarShown();
    if (bar)
        vellora::fillLTRB(p, 0, 0, w - 19, h, white);
    else
        p.fillRect(rect(), white);
    if (bar) {
        paintButton(p, DownButtonRect(), m_downHover, true);
        paintButton(p, UpButtonRect(), m_upHover, false);
        vellora::fillLTRB(p, w - 18, 18, w - 1, h - 18, vellora::colorRef(vellora::kSilver));
        const int top = vellora::roundHalfEven(double(m_topRow) * m_step) + 19;
        vellora::fillLTRB(p, w - 18, top, w - 1, top + m_thumbLength - 2,
                          vellora::colorRef(m_thumbHover ? vellora::kThumbHover : vellora::kGrey));
        vellora::fillLTRB(p, w - 19, 0, w - 18, h - 1, vellora::colorRef(vellora::kGrey));
    }

    p.setFont(m_font);
    const QFontMetrics fm(m_font, this);
    const int last = qMin(int(m_items.size()) - 1, m_topRow + h / m_itemHeight);
    for (int i = qMax(0, m_topRow); i <= last; ++i) {
        const QRect r = RowRect(i);
        p.fillRect(r, i == m_itemIndex ? m_highlight : white);
        p.setPen(m_fontColor);
        p.drawText(QPoint(3, r.top() + (m_itemHeight - fm.height()) / 2 + fm.ascent()), m_items[i]);
        if (r.top() + r.height() > h - 1)
            vellora::fillLTRB(p, 0, h - 1, w - 1, h, m_color);
    }
    vellora::frameLTRB(p, 0, 0, w, h, m_color);
}

void ZListBox::resizeEvent(QResizeEvent *event)
{
    computeRange();
    QWidget::resizeEvent(event);
}

void ZListBox::selectAt(int x, int y)
{
    if (m_itemHeight <= 0 || y < 1)
        return;
    const int row = m_topRow + (y - 1) / m_itemHeight;
    if (RowRect(row).contains(x, y))
        SetItemIndex(row);
}

void ZListBox::updateHover(int x, int y)
{
    const QPoint at(x, y);
    const bool bar = BarShown();
    const bool down = bar && DownButtonRect().contains(at);
    const bool up = bar && UpButtonRect().contains(at);
    const bool thumb = bar && ThumbRect().contains(at);
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

void ZListBox::mousePressEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    computeRange();
    updateHover(x, y);
    selectAt(x, y);
    if (!BarShown())
        return;
    int row = m_topRow;
    if (m_downHover)
        row = qMin(m_topMaximum, row + 1);
    if (m_upHover)
        row = qMax(0, row - 1);
    if (m_thumbHover) {
        m_anchor = y;
        m_dragging = true;
    }
    setTopRow(row);
}

void ZListBox::mouseMoveEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    const bool left = event->buttons() & Qt::LeftButton;
    if (m_dragging) {
        if (left) {
            computeRange();
            int row = m_topRow;
            if (m_anchor - y >= m_step) {
                row = qMax(0, m_topRow - 1);
                m_anchor -= vellora::roundHalfEven(m_step);
            } else if (y - m_anchor >= m_step) {
                row = qMin(m_topMaximum, m_topRow + 1);
                m_anchor += vellora::roundHalfEven(m_step);
            }
            setTopRow(row);
            return;
        }
        m_dragging = false;
    }
    updateHover(x, y);
    if (left && !m_thumbHover)
        selectAt(x, y);
}

void ZListBox::leaveEvent(QEvent *event)
{
    m_dragging = false;
    updateHover(-1, -1);
    QWidget::leaveEvent(event);
}
