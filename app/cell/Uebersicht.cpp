#include "Uebersicht.h"

#include "MenuContainer.h"
#include "base/colorref.h"

#include <QCursor>
#include <QFontMetrics>
#include <QPainter>

using vellora::fillLTRB;

ZUebersicht::ZUebersicht(QWidget *parent)
    : ZShadowPanel(parent), highlight_(vellora::colorRef(13421772)),
      select_(vellora::colorRef(vellora::kGrey))
{
    SetColor(vellora::colorRef(vellora::kSilver));
    SetFontColor(QColor(255, 255, 255));
    resize(185, 45);
}

void ZUebersicht::SetCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void ZUebersicht::SetHighlight(const QColor &color)
{
    highlight_ = color;
    update();
}

void ZUebersicht::SetSelect(const QColor &color)
{
    select_ = color;
    update();
}

void ZUebersicht::SetSelected(bool selected)
{
    selected_ = selected;
    update();
}

void ZUebersicht::SetIconIndex(int index)
{
    iconIndex_ = index;
    update();
}

void ZUebersicht::SetIcons(const QList<QImage> &icons)
{
    icons_ = icons;
    update();
}

void ZUebersicht::paintEvent(QPaintEvent *event)
{
    const int w = width();
    const int h = height();
    const int rightMargin = selected_ ? 0 : 15;
    const QColor fill = hovered_ ? highlight_ : Color();
    if (MarginRight() != rightMargin)
        SetMarginRight(rightMargin);
    ZShadowPanel::paintEvent(event);

    QPainter p(this);
    const int ml = MarginLeft();
    const int mt = MarginTop();
    const int mb = MarginBottom();
    fillLTRB(p, ml, mt, w - rightMargin - 5, h - mb - 5, fill);

    p.setFont(Font());
    p.setPen(FontColor());
    const QFontMetrics fm(Font());
    const int tw = fm.horizontalAdvance(caption_);
    const int th = fm.height();
    const int c = selected_ ? 175 : 190;
    const int x = h + (w - h - tw - 15) / 2 + w - c;
    const int y = (h - th) / 2;
    p.drawText(QRect(x, y, tw + 1, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, caption_);

    if (selected_)
        fillLTRB(p, 0, mt, h + ml + 10, h - mb - 5, select_);
    else
        fillLTRB(p, 0, mt, h + ml - 5, h - mb - 5, fill);

    if (iconIndex_ >= 0 && iconIndex_ < icons_.size())
        p.drawImage(QRect(1, 1, 38, 38), icons_[iconIndex_]);
}

void ZUebersicht::enterEvent(QEnterEvent *)
{
    hovered_ = true;
    update();
    if (auto *container = qobject_cast<ZMenuContainer *>(parentWidget()))
        container->Expand();
}

void ZUebersicht::leaveEvent(QEvent *)
{
    hovered_ = false;
    update();
    // Leaving onto the container itself keeps it open: Qt, unlike the forms' toolkit, sends the
    // container no new enter event for that.
    auto *container = qobject_cast<ZMenuContainer *>(parentWidget());
    if (container && !container->rect().contains(container->mapFromGlobal(QCursor::pos())))
        container->Collapse();
}
