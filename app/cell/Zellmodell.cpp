#include "Zellmodell.h"

#include <QCursor>
#include <QMouseEvent>
#include <QToolTip>

TZellmodell::TZellmodell(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TZellmodell::SetHint(const QString &hint)
{
    hint_ = hint;
    updateToolTip();
}

void TZellmodell::SetShowHint(bool on)
{
    showHint_ = on;
    updateToolTip();
}

void TZellmodell::SetHintState(const QString &hint, bool on)
{
    hint_ = hint;
    showHint_ = on;
    updateToolTip();
}

void TZellmodell::updateToolTip()
{
    const QString wanted = showHint_ ? hint_ : QString();
    if (wanted == shownHint_)
        return;
    shownHint_ = wanted;
    setToolTip(wanted);
    // The hint follows the pointer at once instead of waiting for the tooltip delay.
    if (wanted.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // Only while the pointer is on the model itself, not on a control lying over it.
    const QPoint local = mapFromGlobal(QCursor::pos());
    if (rect().contains(local) && !childAt(local))
        QToolTip::showText(QCursor::pos(), wanted, this);
}

void TZellmodell::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    if (OnMouseDown)
        OnMouseDown(this, event->buttons(), p.x(), p.y());
}

void TZellmodell::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseUp)
        OnMouseUp(this, event->buttons(), p.x(), p.y());
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (rect().contains(p) && OnClick)
            OnClick(this);
    }
}

void TZellmodell::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(this, p.x(), p.y());
}

void TZellmodell::leaveEvent(QEvent *)
{
    QToolTip::hideText();
    shownHint_.clear();
}
