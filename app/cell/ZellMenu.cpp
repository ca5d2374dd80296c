#include "ZellMenu.h"

#include "MenuContainer.h"
#include "base/colorref.h"
#include "base/rounding.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

using vellora::fillLTRB;

namespace {

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

namespace zellmenu {

void ZItem::Assign(const ZItem &other)
{
    Caption = other.Caption;
    Color = other.Color;
    Highlight = other.Highlight;
    IconIndex = other.IconIndex;
    FontSize = other.FontSize;
}

ZItem &ZItems::Add(int menuWidth)
{
    ZItem item;
    const int p = Count();
    item.top_ = 40 * (p + 1);
    item.bottom_ = item.top_ + 35;
    item.x3_ = menuWidth - 20;
    item.x4_ = menuWidth - 5;
    items_.append(item);
    return items_.last();
}

} // namespace zellmenu

ZZellMenu::ZZellMenu(QWidget *parent) : ZShadowPanel(parent)
{
    resize(185, 405);
    setMouseTracking(true);
}

void ZZellMenu::SetCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void ZZellMenu::SetHeaderFont(const QFont &font)
{
    headerFont_ = font;
    update();
}

void ZZellMenu::SetNumberFont(const QFont &font)
{
    numberFont_ = font;
    update();
}

void ZZellMenu::SetItemFont(const QFont &font)
{
    itemFont_ = font;
    update();
}

void ZZellMenu::SetFontColor(const QColor &color)
{
    fontColor_ = color;
    update();
}

void ZZellMenu::SetIcons(const QList<QImage> &icons)
{
    icons_ = icons;
    update();
}

zellmenu::ZItem &ZZellMenu::AddItem(const QString &caption, int color, int highlight, int select)
{
    zellmenu::ZItem &item = items_.Add(width());
    item.Caption = caption;
    item.Color = vellora::colorRef(color);
    item.Highlight = vellora::colorRef(highlight);
    item.Select = vellora::colorRef(select);
    item.IconIndex = items_.Count() - 1;
    update();
    return item;
}

void ZZellMenu::SetItems(const zellmenu::ZItems &items)
{
    items_.Clear();
    for (int i = 0; i < items.Count(); ++i)
        items_.Add(width()).Assign(items[i]);
    update();
}

void ZZellMenu::SetTag(int tag)
{
    tag_ = tag;
    update();
}

void ZZellMenu::repaintItem(int index)
{
    if (index < 0 || index >= items_.Count())
        return;
    const zellmenu::ZItem &item = items_[index];
    // The label of a selected entry reaches x4 + (W - 185); cover the widest case.
    update(QRect(0, item.Top(), width(), item.Bottom() - item.Top()));
}

void ZZellMenu::SetItemIndex(int index)
{
    if (index == itemIndex_)
        return;
    const int old = itemIndex_;
    itemIndex_ = index;
    repaintItem(old);
    repaintItem(index);
}

void ZZellMenu::SetModelHighlight(int index)
{
    if (index == modelHighlight_)
        return;
    const int old = modelHighlight_;
    modelHighlight_ = index;
    repaintItem(index);
    repaintItem(old);
}

void ZZellMenu::paintEvent(QPaintEvent *event)
{
    ZShadowPanel::paintEvent(event);
    const int w = width();
    const int h = height();
    QPainter p(this);
    fillLTRB(p, 0, 0, w - 5, h - 5, Color());

    fillLTRB(p, 15, 0, w - 5, 35, vellora::colorRef(vellora::kSilver));
    p.setPen(fontColor_);
    {
        p.setFont(headerFont_);
        const QFontMetrics fm(headerFont_);
        const int tw = fm.horizontalAdvance(caption_);
        const int th = fm.height();
        p.drawText(QRect(200 - w, (35 - th) / 2, tw + 1, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                   caption_);
    }
    {
        const QString number(qMax(tag_, 0), QLatin1Char('I'));
        p.setFont(numberFont_);
        const QFontMetrics fm(numberFont_);
        const int tw = fm.horizontalAdvance(number);
        const int th = fm.height();
        p.drawText(QRect((w - tw) / 2 - w + 64, (35 - th) / 2, tw + 1, th),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, number);
    }
    fillLTRB(p, 0, 0, 15, 35, vellora::colorRef(vellora::kGrey));

    for (int i = 0; i < items_.Count(); ++i)
        drawItem(p, i);
}

void ZZellMenu::drawItem(QPainter &p, int i) const
{
    if (i < 0 || i >= items_.Count())
        return;
    const zellmenu::ZItem &item = items_[i];
    const int d = width() - 185;
    const int top = item.Top();
    const int bottom = item.Bottom();

    QFont font = itemFont_;
    // Entry sizes are points; the forms assume 96 dpi.
    font.setPixelSize(vellora::roundHalfEven(item.FontSize * 96.0 / 72.0));
    p.setFont(font);
    const QFontMetrics fm(font);
    const int tw = fm.horizontalAdvance(item.Caption);
    const int th = fm.height();
    const int y = top + (35 - th) / 2;

    // A full repaint has no extension of an earlier selection to erase: the body fill of the
    // paint covered it.
    const QColor fill = (i == hoverIndex_ || i == modelHighlight_) ? item.Highlight : item.Color;
    int x;
    if (i == itemIndex_) {
        fillLTRB(p, item.X2(), top, item.X4() + d, bottom, fill);
        x = (item.X3() - item.X1() - tw) / 2 + item.X2() + d;
        p.setPen(CaptionColorOn(fill));
        p.drawText(QRect(x, y, tw + 1, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, item.Caption);
        fillLTRB(p, item.X1(), top, item.X2(), bottom, item.Select);
    } else {
        fillLTRB(p, item.X1(), top, item.X3() + d, bottom, fill);
        x = (item.X3() - item.X1() - tw) / 2 + item.X1() + d;
        p.setPen(CaptionColorOn(fill));
        p.drawText(QRect(x, y, tw + 1, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, item.Caption);
    }
    vellora::frameLTRB(p, item.X0(), top, item.X1(), bottom, fill);
    fillLTRB(p, 0, top, 5, bottom, Color());
    fillLTRB(p, item.X0() + 1, top + 1, item.X1() - 1, bottom - 1, QColor(255, 255, 255));
    if (item.IconIndex >= 0 && item.IconIndex < icons_.size())
        p.drawImage(QRect(item.X0() + 1, top + 1, item.X1() - item.X0() - 2, bottom - top - 2),
                    icons_[item.IconIndex]);
}

// White on yellow, light green or pale blue is hard to read, and for one pupil in twelve worse:
// there the caption turns dark.
QColor ZZellMenu::CaptionColorOn(const QColor &fill) const
{
    static const QColor dark(0, 0, 0);
    if (contrast(fontColor_, fill) >= 4.5)
        return fontColor_;
    return contrast(dark, fill) > contrast(fontColor_, fill) ? dark : fontColor_;
}

int ZZellMenu::ItemAt(int x, int y) const
{
    int found = -1;
    for (int i = 0; i < items_.Count(); ++i) {
        const zellmenu::ZItem &item = items_[i];
        const int right = i == itemIndex_ ? item.X4() : item.X3();
        if (x >= item.X0() && x < right && y >= item.Top() && y < item.Bottom())
            found = i;
    }
    return found;
}

void ZZellMenu::setHover(int index)
{
    if (index == hoverIndex_)
        return;
    const int old = hoverIndex_;
    hoverIndex_ = index;
    repaintItem(old);
    repaintItem(index);
    if (OnItemHighlight)
        OnItemHighlight(this, index);
}

void ZZellMenu::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    setHover(ItemAt(pos.x(), pos.y()));
}

void ZZellMenu::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void ZZellMenu::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (!click || hoverIndex_ == -1 || hoverIndex_ == itemIndex_)
        return;
    SetItemIndex(hoverIndex_);
    if (OnItemSelect)
        OnItemSelect(this, itemIndex_);
}

void ZZellMenu::enterEvent(QEnterEvent *)
{
    if (auto *container = qobject_cast<ZMenuContainer *>(parentWidget()))
        container->Expand();
}

void ZZellMenu::leaveEvent(QEvent *)
{
    const int old = hoverIndex_;
    hoverIndex_ = -1;
    repaintItem(old);
    if (OnItemHighlight)
        OnItemHighlight(this, -1);
    // Leaving onto the container itself keeps it open: Qt, unlike the forms' toolkit, sends the
    // container no new enter event for that.
    auto *container = qobject_cast<ZMenuContainer *>(parentWidget());
    if (container && !container->rect().contains(container->mapFromGlobal(QCursor::pos())))
        container->Collapse();
}
