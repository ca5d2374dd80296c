#include "MainMenu.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPolygon>

namespace {

constexpr int kFirstEntryLeft = 140;
constexpr int kEntryHeight = 20;
constexpr int kEntryPadding = 16;
constexpr int kEntryGap = 4;

} // namespace

ZMainMenu::ZMainMenu(QWidget *parent) : QWidget(parent)
{
    m_color = vellora::buttonFace();
    m_highlight = palette().color(QPalette::Highlight);
    m_font = font();
    m_menuFont = font();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ZMainMenu::~ZMainMenu() = default;

void ZMainMenu::SetCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void ZMainMenu::SetClose(bool show)
{
    m_close = show;
    update();
}

void ZMainMenu::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZMainMenu::SetFont(const QFont &font)
{
    m_font = font;
    update();
}

void ZMainMenu::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void ZMainMenu::SetHighlight(const QColor &color)
{
    m_highlight = color;
    update();
}

void ZMainMenu::SetMenuFont(const QFont &font)
{
    m_menuFont = font;
    update();
}

void ZMainMenu::SetMenuFontColor(const QColor &color)
{
    m_menuFontColor = color;
    update();
}

void ZMainMenu::SetMinimize(bool show)
{
    m_minimize = show;
    update();
}

void ZMainMenu::CloseMenus()
{
    m_subMenuOpen = false;
    const int old = m_hovered;
    m_hovered = -1;
    const ZItem *item = m_items.Item(old);
    if (item && item->SubMenu())
        item->SubMenu()->HideMenu();
    repaintEntry(old);
}

void ZMainMenu::LayoutItems()
{
    const QFontMetrics fm(m_menuFont);
    int x = kFirstEntryLeft;
    for (int i = 0; i < m_items.Count(); ++i) {
        ZItem *item = m_items.Item(i);
        if (!item->Visible())
            continue;
        const int w = fm.horizontalAdvance(item->Caption()) + kEntryPadding;
        item->SetBounds(x, 0, x + w, kEntryHeight);
        x += w + kEntryGap;
    }
}

void ZMainMenu::resizeEvent(QResizeEvent *)
{
    // The boxes follow the size by themselves (CloseRect, MinimizeRect).
    LayoutItems();
}

void ZMainMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);

    painter.setFont(m_font);
    const QFontMetrics fm(m_font);
    const int tx = (width() - fm.horizontalAdvance(m_caption)) / 2;
    const int ty = (height() - fm.height()) / 2;
    painter.setPen(m_fontColor);
    painter.drawText(tx, ty + fm.ascent(), m_caption);

    if (m_close)
        paintCloseGlyph(painter);
    if (m_minimize)
        paintMinimizeGlyph(painter);

    painter.setFont(m_menuFont);
    for (int i = 0; i < m_items.Count(); ++i)
        paintEntry(painter, i);
}

void ZMainMenu::paintCloseGlyph(QPainter &painter) const
{
    const QRect box = CloseRect();
    const int l = box.left();
    const int t = box.top();
    const int r = l + box.width();
    const int b = t + box.height();
    painter.setPen(QPen(m_closeHover ? m_highlight : m_fontColor, 2));
    painter.drawLine(l + 4, t + 4, r - 3, b - 3);
    painter.drawLine(r - 3, t + 4, l + 4, b - 3);
}

void ZMainMenu::paintMinimizeGlyph(QPainter &painter) const
{
    const QRect box = MinimizeRect();
    const int l = box.left();
    const int r = l + box.width();
    const int b = box.top() + box.height();
    painter.setPen(QPen(m_minimizeHover ? m_highlight : m_fontColor, 2));
    painter.drawLine(l + 4, b - 3, r - 3, b - 3);
}

void ZMainMenu::paintEntry(QPainter &painter, int index) const
{
    const ZItem *item = m_items.Item(index);
    if (!item || !item->Visible())
        return;
    painter.fillRect(item->Rect(), index == m_hovered ? m_highlight : m_color);

    // Entries ignore Enabled: the bar items open their popups whatever that flag says.
    const QFontMetrics fm(m_menuFont);
    painter.setPen(m_menuFontColor);
    painter.drawText(item->Left() + 13, (height() - fm.height()) / 2 + fm.ascent(), item->Caption());

    const int left = item->Left();
    const int mid = (item->Top() + item->Bottom()) / 2;
    const QPolygon triangle(
        {QPoint(left + 2, mid - 2), QPoint(left + 10, mid - 2), QPoint(left + 6, mid + 2)});
    painter.setPen(QPen(m_fontColor, 1));
    painter.setBrush(m_fontColor);
    painter.drawPolygon(triangle);
    painter.setBrush(Qt::NoBrush);
}

void ZMainMenu::repaintEntry(int index)
{
    const ZItem *item = m_items.Item(index);
    if (item)
        update(item->Rect());
}

int ZMainMenu::entryAt(int x, int y) const
{
    return m_items.IndexAt(x, y);
}

void ZMainMenu::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();

    const bool closeHover = CloseRect().contains(pos);
    if (closeHover != m_closeHover) {
        m_closeHover = closeHover;
        if (m_close)
            update(CloseRect());
    }
    const bool minimizeHover = MinimizeRect().contains(pos);
    if (minimizeHover != m_minimizeHover) {
        m_minimizeHover = minimizeHover;
        if (m_minimize)
            update(MinimizeRect());
    }

    const int old = m_hovered;
    m_hovered = entryAt(pos.x(), pos.y());
    if (m_hovered != old) {
        const ZItem *item = m_items.Item(old);
        if (m_subMenuOpen && item && item->SubMenu()) {
            item->SubMenu()->HideMenu();
            m_subMenuOpen = false;
        }
        repaintEntry(old);
        repaintEntry(m_hovered);
    }

    if (OnMouseMove)
        OnMouseMove(this, event->buttons(), pos.x(), pos.y());
}

void ZMainMenu::leaveEvent(QEvent *)
{
    m_closeHover = false;
    m_minimizeHover = false;
    if (!m_subMenuOpen)
        m_hovered = -1;
    update();
}

void ZMainMenu::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), pos.x(), pos.y());
}

// The second press of a double click may start a drag but arms no second click.
void ZMainMenu::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown)
        OnMouseDown(this, event->button(), pos.x(), pos.y());
}

void ZMainMenu::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const bool clicked = event->button() == Qt::LeftButton && m_pressed && rect().contains(pos);
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    // The click may close the window; the bar itself may go with it.
    QPointer<ZMainMenu> self(this);
    if (clicked)
        click();
    if (self && OnMouseUp)
        OnMouseUp(this, event->button(), pos.x(), pos.y());
}

void ZMainMenu::click()
{
    QPointer<ZMainMenu> self(this);
    if (m_close && m_closeHover) {
        if (OnClose)
            OnClose(this);
        else if (QWidget *form = window())
            form->close();
        if (!self)
            return;
    }
    if (m_minimize && m_minimizeHover) {
        const auto windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (w->isVisible() && w->isWindow() && w->windowType() != Qt::ToolTip &&
                w->windowType() != Qt::Popup && w->windowType() != Qt::Desktop)
                w->showMinimized();
        }
        if (!self)
            return;
    }
    const ZItem *item = m_items.Item(m_hovered);
    if (item && item->SubMenu()) {
        ZMenu *sub = item->SubMenu();
        const QPoint below(item->Left(), height());
        QWidget *subParent = sub->parentWidget();
        QPoint pos;
        if (subParent == this)
            pos = below;
        else if (subParent && subParent->isAncestorOf(this))
            pos = mapTo(subParent, below);
        else if (subParent)
            pos = subParent->mapFromGlobal(mapToGlobal(below));
        else
            pos = mapToGlobal(below);
        sub->move(pos);
        sub->Popup();
        m_subMenuOpen = true;
    }
}
