#include "u_glossar.h"

#include "base/colorref.h"
#include "base/cp1252.h"
#include "controls.h"

#include <QPainter>

TGlossar::TGlossar(QWidget *parent)
    : QWidget(parent)
{
}

void TGlossar::Initialize()
{
    if (initialized_)
        return;
    entries_ = vellora::LoadGlossary(vellora::glossaryPath());
    initialized_ = true;
}

void TGlossar::ShowGlossary()
{
    emit barRequested(false, false);
    show();
}

void TGlossar::ShowEntry(int number, bool backButton)
{
    // A link number outside the file shows nothing rather than a wrong entry.
    shown_ = (number >= 0 && number < entries_.size()) ? number : -1;
    back_ = backButton;
    update();
}

void TGlossar::FormKeyDown(int)
{
}

void TGlossar::FrameMouseWheel(Qt::KeyboardModifiers, int, const QPoint &)
{
}

void TGlossar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), vellora::colorRef(vellora::kMaroon));
    p.setPen(Qt::white);
    p.setFont(vellora::formFont(29));
    p.drawText(QRect(0, 40, width(), 40), Qt::AlignHCenter, QStringLiteral("Glossar"));
    if (shown_ >= 0) {
        p.setFont(vellora::formFont(19));
        p.drawText(QRect(0, 100, width(), 30), Qt::AlignHCenter, vellora::fromCp1252(entries_[shown_].Title));
    }
}
