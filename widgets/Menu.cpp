#include "Menu.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QScreen>

#include <algorithm>

#include "base/colorref.h"
#include "zcontrol.h"

namespace {

constexpr int kBorderGrey = 11579568;   // B0B0B0
constexpr int kDisabledGrey = 11184810; // AAAAAA

} // namespace

// ---------------------------------------------------------------------------------------------
// ZItem

ZItem::ZItem(ZItems *collection) : m_collection(collection) {}

void ZItem::SetCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    changed();
}

void ZItem::SetSubMenu(ZMenu *menu)
{
    m_subMenu = menu;
    changed();
}

void ZItem::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    changed();
}

void ZItem::SetEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    changed();
}

void ZItem::SetBounds(int left, int top, int right, int bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
}

bool ZItem::Contains(int x, int y) const
{
    return m_left <= x && x < m_right && m_top <= y && y < m_bottom;
}

void ZItem::changed()
{
    if (m_collection)
        m_collection->changed();
}

// ---------------------------------------------------------------------------------------------
// ZItems

ZItems::ZItems(QWidget *owner) : m_owner(owner) {}

ZItem *ZItems::Item(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

ZItem *ZItems::Add()
{
    m_items.push_back(std::make_unique<ZItem>(this));
    changed();
    return m_items.back().get();
}

ZItem *ZItems::Add(const QString &caption, bool visible, bool enabled, ZMenu *subMenu)
{
    ZItem *item = Add();
    item->m_caption = caption;
    item->m_visible = visible;
    item->m_enabled = enabled;
    item->m_subMenu = subMenu;
    return item;
}

void ZItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    changed();
}

void ZItems::Clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    changed();
}

int ZItems::IndexAt(int x, int y) const
{
    int found = -1;
    for (int i = 0; i < Count(); ++i)
        if (m_items[i]->Visible() && m_items[i]->Contains(x, y))
            found = i;
    return found;
}

void ZItems::changed()
{
    // The owner lays out on its own schedule (Popup, LayoutItems); a repaint is all it needs.
    if (m_owner)
        m_owner->update();
}

// ---------------------------------------------------------------------------------------------
// ZMenu

ZMenu::ZMenu(QWidget *parent) : QWidget(parent)
{
    m_color = vellora::buttonFace();
    m_highlight = palette().color(QPalette::Highlight);
    m_font = font();
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Explicitly hidden, so that showing the parent window does not show the menu.
    hide();
}

ZMenu::~ZMenu() = default;

void ZMenu::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZMenu::SetFont(const QFont &font)
{
    m_font = font;
    update();
}

void ZMenu::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void ZMenu::SetHighlight(const QColor &color)
{
    m_highlight = color;
    update();
}

void ZMenu::SetHovered(int index)
{
    if (index == m_hovered)
        return;
    const int old = m_hovered;
    m_hovered = index;
    repaintEntry(old);
    repaintEntry(m_hovered);
}

void ZMenu::Popup()
{
    m_hovered = -1;
    Layout();
    show();
    raise();
    update();
}

void ZMenu::HideMenu()
{
    hide();
    if (m_subMenuOpen) {
        for (int i = 0; i < m_items.Count(); ++i) {
            ZMenu *sub = m_items.Item(i)->SubMenu();
            if (sub && sub != this && !sub->isHidden())
                sub->HideMenu();
        }
        m_subMenuOpen = false;
    }
}

void ZMenu::Layout()
{
    const QFontMetrics fm(m_font);
    int h = 0;
    int w = 0;
    for (int i = 0; i < m_items.Count(); ++i) {
        const ZItem *item = m_items.Item(i);
        if (!item->Visible())
            continue;
        h = std::max(h, fm.height());
        w = std::max(w, fm.horizontalAdvance(item->Caption()));
    }
    int n = 0;
    for (int i = 0; i < m_items.Count(); ++i) {
        ZItem *item = m_items.Item(i);
        if (!item->Visible())
            continue;
        item->SetBounds(1, h * n + 1, w + 11, h * (n + 1) + 1);
        ++n;
    }
    resize(w + 12, std::max(h * n, 1) + 2);
}

void ZMenu::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(vellora::colorRef(kBorderGrey), 1));
    painter.setBrush(m_color);
    painter.drawRect(0, 0, width() - 1, height() - 1);
    painter.setFont(m_font);
    for (int i = 0; i < m_items.Count(); ++i)
        paintEntry(painter, i);
}

void ZMenu::paintEntry(QPainter &painter, int index) const
{
    const ZItem *item = m_items.Item(index);
    if (!item || !item->Visible())
        return;
    painter.fillRect(item->Rect(), index == m_hovered ? m_highlight : m_color);

    const QFontMetrics fm(m_font);
    painter.setPen(item->Enabled() ? m_fontColor : vellora::colorRef(kDisabledGrey));
    painter.drawText(item->Left() + 2, item->Top() + fm.ascent(), item->Caption());

    if (item->SubMenu()) {
        const int mid = (item->Top() + item->Bottom()) / 2;
        const int r = item->Right();
        const QPolygon triangle({QPoint(r - 3, mid), QPoint(r - 6, mid + 3), QPoint(r - 6, mid - 3)});
        painter.setPen(QPen(m_fontColor, 1));
        painter.setBrush(m_fontColor);
        painter.drawPolygon(triangle);
    }
}

void ZMenu::repaintEntry(int index)
{
    const ZItem *item = m_items.Item(index);
    if (item)
        update(item->Rect());
}

int ZMenu::entryAt(int x, int y) const
{
    return m_items.IndexAt(x, y);
}

void ZMenu::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const int index = entryAt(pos.x(), pos.y());
    if (index == m_hovered)
        return;
    const int old = m_hovered;
    m_hovered = index;
    repaintEntry(old);
    repaintEntry(index);
    hideSubMenuOf(old);
    openSubMenuOf(index);
}

void ZMenu::hideSubMenuOf(int index)
{
    const ZItem *item = m_items.Item(index);
    if (!item || !item->SubMenu())
        return;
    item->SubMenu()->HideMenu();
    m_subMenuOpen = false;
}

void ZMenu::openSubMenuOf(int index)
{
    const ZItem *item = m_items.Item(index);
    if (!item || !item->SubMenu())
        return;
    ZMenu *sub = item->SubMenu();
    // Lay it out first so that the placement sees its real size, not the size it had when it
    // was last shown (or its initial one).
    sub->Layout();

    QWidget *parent = parentWidget();
    const QRect bounds = parent ? parent->rect() : (screen() ? screen()->availableGeometry() : QRect());
    const int boundsRight = bounds.x() + bounds.width();
    const int boundsBottom = bounds.y() + bounds.height();

    int left;
    if (boundsRight - x() - width() < sub->width())
        left = x() + width() - sub->width();
    else
        left = x() + width();
    int top;
    if (boundsBottom - y() - item->Top() < sub->height())
        top = item->Bottom() + y() - sub->height();
    else
        top = item->Top() + y();

    QPoint pos(left, top);
    QWidget *subParent = sub->parentWidget();
    if (subParent != parent) {
        const QPoint global = parent ? parent->mapToGlobal(pos) : pos;
        pos = subParent ? subParent->mapFromGlobal(global) : global;
    }
    sub->move(pos);
    sub->m_hovered = -1;
    sub->Popup();
    m_subMenuOpen = true;
}

void ZMenu::leaveEvent(QEvent *)
{
    if (m_subMenuOpen)
        return;
    const int old = m_hovered;
    m_hovered = -1;
    repaintEntry(old);
}

void ZMenu::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void ZMenu::mouseDoubleClickEvent(QMouseEvent *) {}

void ZMenu::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool clicked = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (!clicked)
        return;
    const ZItem *item = m_items.Item(m_hovered);
    if (item && item->Enabled() && OnClick)
        OnClick(this, m_hovered);
}
