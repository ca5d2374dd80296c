#include "Zellmodell.h"

#include <QChildEvent>
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

// The hint is never the widget's tool tip: Qt would show that over the controls lying on the
// model too, whose own help requests reach their parent.
void TZellmodell::updateToolTip()
{
    const QString wanted = showHint_ && pointerOnModel_ ? hint_ : QString();
    if (wanted == shownHint_)
        return;
    shownHint_ = wanted;
    // The hint follows the pointer at once instead of waiting for the tooltip delay.
    if (wanted.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(QCursor::pos(), wanted, this);
}

void TZellmodell::setPointerOnModel(bool on)
{
    if (pointerOnModel_ == on)
        return;
    pointerOnModel_ = on;
    updateToolTip();
}

bool TZellmodell::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip)
        return true; // shown by updateToolTip, never by Qt's delay
    return QWidget::event(event);
}

// The pointer on a control over the model is off the model, though still inside this widget.
bool TZellmodell::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter)
        setPointerOnModel(false);
    return QWidget::eventFilter(watched, event);
}

void TZellmodell::childEvent(QChildEvent *event)
{
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    QWidget::childEvent(event);
}

// Qt paints nothing here; a paint event only says that the window needs a new frame.
void TZellmodell::paintEvent(QPaintEvent *)
{
    if (OnExpose)
        OnExpose(this);
}

void TZellmodell::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (OnExpose)
        OnExpose(this);
}

void TZellmodell::mousePressEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    pressModifiers_ = event->modifiers();
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
    setPointerOnModel(true);
    const QPoint p = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(this, p.x(), p.y());
}

void TZellmodell::leaveEvent(QEvent *)
{
    setPointerOnModel(false);
}
