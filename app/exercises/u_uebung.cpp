#include "u_uebung.h"

#include "base/colorref.h"
#include "controls.h"
#include "testfiles.h"

#include <QPainter>

TUebung::TUebung(QWidget *parent)
    : QWidget(parent)
{
}

void TUebung::Initialize()
{
    if (initialized_)
        return;
    introduction_ = vellora::LoadIntroduction();
    initialized_ = true;
}

void TUebung::ShowScreen()
{
    emit barRequested(true, false);
    show();
}

void TUebung::FrameMouseWheel(Qt::KeyboardModifiers, int, const QPoint &)
{
}

void TUebung::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), vellora::colorRef(9587249));
    p.setPen(vellora::colorRef(16248551));
    p.setFont(vellora::formFont(29));
    p.drawText(QRect(0, 40, width(), 40), Qt::AlignHCenter, QStringLiteral("Übungen"));
}
