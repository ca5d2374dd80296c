#include "controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

TImage::TImage(QWidget *parent) : QWidget(parent) {}

void TImage::SetPicture(const QPixmap &picture)
{
    picture_ = picture;
    update();
}

void TImage::SetStretch(bool stretch)
{
    stretch_ = stretch;
    update();
}

void TImage::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void TImage::SetBorder(const QColor &color)
{
    border_ = color;
    update();
}

void TImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (color_.isValid())
        p.fillRect(rect(), color_);
    if (!picture_.isNull()) {
        if (stretch_) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawPixmap(rect(), picture_);
        } else {
            p.drawPixmap((width() - picture_.width()) / 2, (height() - picture_.height()) / 2, picture_);
        }
    }
    if (border_.isValid()) {
        p.setPen(border_);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, height() - 1);
    }
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(this, event->position().toPoint().x(), event->position().toPoint().y());
    if (event->button() == Qt::LeftButton && OnClick)
        OnClick(this);
}

void TImage::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(this, event->position().toPoint().x(), event->position().toPoint().y());
}

TLabel::TLabel(const QString &caption, QWidget *parent) : QLabel(caption, parent) {}

void TLabel::SetFontColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void TLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && OnClick)
        OnClick(this);
    else
        QLabel::mousePressEvent(event);
}

void TLabel::enterEvent(QEnterEvent *event)
{
    if (OnMouseEnter)
        OnMouseEnter(this);
    QLabel::enterEvent(event);
}

void TLabel::leaveEvent(QEvent *event)
{
    if (OnMouseLeave)
        OnMouseLeave(this);
    QLabel::leaveEvent(event);
}

namespace {

// Lays out each paragraph at the given width; calls line(text of the line) for every line.
template <class F> void forEachLine(const QString &text, const QFont &font, int width, F line)
{
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString &paragraph : paragraphs) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (;;) {
            QTextLine l = layout.createLine();
            if (!l.isValid())
                break;
            l.setLineWidth(qMax(1, width));
            any = true;
            line(paragraph.mid(l.textStart(), l.textLength()));
        }
        layout.endLayout();
        if (!any)
            line(QString());
    }
}

} // namespace

TPlainMemo::TPlainMemo(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    font_ = font();
}

void TPlainMemo::SetText(const QString &text)
{
    text_ = vellora::plainLines(text);
    update();
}

void TPlainMemo::SetFont(const QFont &font)
{
    font_ = font;
    update();
}

void TPlainMemo::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void TPlainMemo::SetFontColor(const QColor &color)
{
    fontColor_ = color;
    update();
}

void TPlainMemo::SetLineHeight(int pixels)
{
    lineHeight_ = pixels;
    update();
}

int TPlainMemo::LineHeight() const
{
    return lineHeight_ > 0 ? lineHeight_ : QFontMetrics(font_).lineSpacing();
}

int TPlainMemo::LineCount() const
{
    if (text_.isEmpty())
        return 0;
    int n = 0;
    forEachLine(text_, font_, width(), [&n](const QString &) { ++n; });
    return n;
}

QStringList TPlainMemo::Lines() const
{
    QStringList lines;
    if (!text_.isEmpty())
        forEachLine(text_, font_, width(), [&lines](const QString &l) { lines << l; });
    return lines;
}

void TPlainMemo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), color_);
    p.setFont(font_);
    p.setPen(fontColor_);
    const int pitch = LineHeight();
    const QFontMetrics fm(font_);
    int y = (pitch - fm.height()) / 2;
    for (const QString &line : Lines()) {
        if (y > height())
            break;
        p.drawText(QRect(0, y, width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop, line.trimmed());
        y += pitch;
    }
}

namespace vellora {

QFont formFont(int pixelSize, bool bold, const QString &family)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QString plainLines(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.remove(QLatin1Char('\r'));
    return t;
}

} // namespace vellora
