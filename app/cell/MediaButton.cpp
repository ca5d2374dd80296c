#include "MediaButton.h"

#include "MediaPlayer.h"
#include "base/colorref.h"
#include "errorbox.h"
#include "zcontrol.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

ZMediaButton::ZMediaButton(QWidget *parent)
    : QWidget(parent), color_(vellora::colorRef(vellora::kSilver)), highlight_(vellora::colorRef(13421772)),
      border_(vellora::colorRef(vellora::kGrey)), sign_(vellora::colorRef(4210752))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZMediaButton::SetButtonType(ZMediaButtonType type)
{
    type_ = type;
    update();
}

void ZMediaButton::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void ZMediaButton::SetHighlight(const QColor &color)
{
    highlight_ = color;
    update();
}

void ZMediaButton::SetBorder(const QColor &color)
{
    border_ = color;
    update();
}

void ZMediaButton::SetSignColor(const QColor &color)
{
    sign_ = color;
    update();
}

bool ZMediaButton::SystemHasSoundOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void ZMediaButton::Click()
{
    if (!player_)
        return;
    // Without speakers the player would run silently behind a pause face.
    if (type_ == mbPlay && HasSoundOutput && !HasSoundOutput()) {
        emit soundMissing();
        return;
    }
    switch (type_) {
    case mbPlay:
        player_->Play();
        break;
    case mbPause:
        player_->Pause();
        break;
    case mbStop:
        player_->Rewind();
        break;
    }
    if (OnClick)
        OnClick(this);
}

void ZMediaButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width();
    const int h = height();
    vellora::fillLTRB(p, 0, 0, w, h, hovered_ ? highlight_ : color_);
    vellora::frameLTRB(p, 0, 0, w, h, border_);
    switch (type_) {
    case mbPlay: {
        const int a = (2 * w) / 5 - 1;
        const int b = h / 3;
        const QPolygon triangle({QPoint(a, b - 1), QPoint(a, h - b), QPoint(w - (2 * w) / 5, h / 2)});
        p.setPen(sign_);
        p.setBrush(sign_);
        p.drawPolygon(triangle);
        break;
    }
    case mbPause:
        vellora::fillLTRB(p, w / 3, h / 3, w / 2, h - h / 3, sign_);
        vellora::fillLTRB(p, w - w / 2, h / 3, w - w / 3, h - h / 3, sign_);
        break;
    case mbStop:
        vellora::fillLTRB(p, w / 3, h / 3, w - w / 3, h - h / 3, sign_);
        break;
    }
}

void ZMediaButton::enterEvent(QEnterEvent *)
{
    hovered_ = true;
    update();
}

void ZMediaButton::leaveEvent(QEvent *)
{
    hovered_ = false;
    update();
}

void ZMediaButton::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void ZMediaButton::mouseDoubleClickEvent(QMouseEvent *) {}

void ZMediaButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        vellora::guarded([this] { Click(); });
}
