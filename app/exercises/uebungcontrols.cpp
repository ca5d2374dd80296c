#include "uebungcontrols.h"

#include "Edit.h"
#include "ProgressBar.h"
#include "base/cp1252.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

TTextBlock::TTextBlock(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    font_ = font();
}

void TTextBlock::SetText(const QString &text)
{
    text_ = text;
    update();
}

void TTextBlock::SetFont(const QFont &font)
{
    font_ = font;
    update();
}

void TTextBlock::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void TTextBlock::SetFontColor(const QColor &color)
{
    fontColor_ = color;
    update();
}

void TTextBlock::SetLineHeight(int pixels)
{
    lineHeight_ = pixels;
    update();
}

QStringList TTextBlock::Lines() const
{
    QString text = text_;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.remove(QLatin1Char('\r'));
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font_);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
            l.setLineWidth(qMax(1, width()));
            lines << paragraph.mid(l.textStart(), l.textLength());
            any = true;
        }
        layout.endLayout();
        if (!any)
            lines << QString();
    }
    return lines;
}

void TTextBlock::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setFont(font_);
    p.setPen(fontColor_);
    int y = 0;
    for (const QString &line : Lines()) {
        if (y > height())
            break;
        p.drawText(QRect(0, y, width(), lineHeight_), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineHeight_;
    }
}

namespace {

const QColor kTileFace(102, 155, 233);
const QColor kTileText(231, 238, 247);
const QColor kTextColour(15, 29, 69);

QFont pixelFont(int px)
{
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(px);
    return f;
}

void colourLabel(QLabel *label, const QColor &face, const QColor &text)
{
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
}

} // namespace

TTile::TTile(const QString &caption, const QStringList &lines, QWidget *parent) : QWidget(parent)
{
    resize(235, 200);
    setCursor(Qt::PointingHandCursor);
    Caption = new QLabel(caption, this);
    Caption->setGeometry(1, 1, 233, 30);
    Caption->setAlignment(Qt::AlignCenter);
    Caption->setFont(pixelFont(19));
    colourLabel(Caption, kTileFace, Qt::white);
    Text = new QLabel(lines.join(QLatin1Char('\n')), this);
    Text->setGeometry(1, 31, 233, 168);
    Text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Text->setContentsMargins(0, 12, 0, 0);
    Text->setFont(pixelFont(16));
    colourLabel(Text, kTileText, kTextColour);
    Bar = new ZProgressBar(this);
    Bar->setGeometry(15, 175, 205, 13);
}

void TTile::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
}

void TTile::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void TTile::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click && OnClick)
        OnClick(this);
}

TClozeText::TClozeText(QWidget *parent) : QWidget(parent)
{
    font_ = font();
}

void TClozeText::SetFont(const QFont &font)
{
    font_ = font;
    update();
}

void TClozeText::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void TClozeText::SetFontColor(const QColor &color)
{
    fontColor_ = color;
    update();
}

void TClozeText::Clear()
{
    layout_ = {};
    update();
}

void TClozeText::SetLayout(const vellora::ClozeLayout &layout)
{
    layout_ = layout;
    update();
}

QList<ZEdit *> TClozeText::ReachableGaps() const
{
    QList<ZEdit *> gaps;
    for (ZEdit *box : findChildren<ZEdit *>(Qt::FindDirectChildrenOnly))
        if (box->isVisible() && box->isEnabled() && !box->visibleRegion().isEmpty())
            gaps.append(box);
    std::stable_sort(gaps.begin(), gaps.end(), [](const ZEdit *a, const ZEdit *b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    return gaps;
}

bool TClozeText::focusNextPrevChild(bool next)
{
    const QList<ZEdit *> gaps = ReachableGaps();
    if (gaps.isEmpty())
        return false;
    const QWidget *focus = QApplication::focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < gaps.size(); ++i)
        if (gaps[i] == focus || gaps[i]->isAncestorOf(focus))
            at = i;
    const qsizetype n = gaps.size();
    const qsizetype to = at < 0 ? (next ? 0 : n - 1) : (at + (next ? 1 : n - 1)) % n;
    gaps[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

int TClozeText::TextWidth(const QByteArray &bytes) const
{
    return QFontMetrics(font_).horizontalAdvance(vellora::fromCp1252(bytes));
}

void TClozeText::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setFont(font_);
    p.setPen(fontColor_);
    const QFontMetrics fm(font_);
    for (const vellora::ClozePiece &piece : layout_.Pieces) {
        const int top = piece.Line * vellora::kClozeLineHeight;
        if (top > height())
            break;
        const QString text = vellora::fromCp1252(piece.Bytes);
        p.drawText(QRect(piece.X, top, fm.horizontalAdvance(text) + 1, vellora::kClozeLineHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
    }
}
