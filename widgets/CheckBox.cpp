#include "CheckBox.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kRowHeight = 22;
}

ZCheckBox::ZCheckBox(QWidget *parent) : QWidget(parent)
{
    m_font = QWidget::font();
    setAttribute(Qt::WA_OpaquePaintEvent);
    fitHeight();
}

ZCheckBox::~ZCheckBox() = default;

void ZCheckBox::SetBorder(const QColor &color)
{
    m_border = color;
    update();
}

void ZCheckBox::SetBox(const QColor &color)
{
    m_box = color;
    update();
}

void ZCheckBox::SetCaption(const QString &caption)
{
    m_caption = caption;
    fitHeight();
    update();
}

void ZCheckBox::SetChecked(bool checked)
{
    m_checked = checked;
    update();
}

void ZCheckBox::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

void ZCheckBox::SetFont(const QFont &font)
{
    m_font = font;
    fitHeight();
    update();
}

void ZCheckBox::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void ZCheckBox::SetSize(int size)
{
    m_size = size;
    fitHeight();
    update();
}

int ZCheckBox::RowCount() const
{
    return walk(nullptr);
}

// Lays the caption out (and draws it when a painter is given); returns the number of rows.
int ZCheckBox::walk(QPainter *painter) const
{
    const QFontMetrics fm(m_font, this);
    const int w = width();
    int x = 0;
    int row = 0;
    QString pending;
    auto drawWord = [&]() {
        pending += QLatin1Char(' ');
        const int advance = fm.horizontalAdvance(pending);
        if (advance > w - x - m_size - 5) {
            x = 0;
            ++row;
        }
        if (painter)
            painter->drawText(QPoint(x + m_size + 5, row * kRowHeight + fm.ascent()), pending);
        x += advance;
        pending.clear();
    };
    for (const QChar c : m_caption) {
        if (c == QLatin1Char(' '))
            drawWord();
        else
            pending += c;
    }
    drawWord();
    return row + 1;
}

// The height follows the caption; done outside paint as well, so a hidden box has it right.
void ZCheckBox::fitHeight()
{
    const int wanted = kRowHeight * walk(nullptr);
    if (height() != wanted)
        resize(width(), wanted);
}

void ZCheckBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    p.setFont(m_font);
    p.setPen(m_fontColor);
    p.setBackground(m_color);
    p.setBackgroundMode(Qt::OpaqueMode);
    walk(&p);
    p.setBackgroundMode(Qt::TransparentMode);

    const int a = (height() - m_size) / 2;
    p.fillRect(QRect(0, a, m_size, m_size), m_box);
    vellora::frameLTRB(p, 0, a, m_size, a + m_size, m_border);
    if (m_checked) {
        QPen pen(m_fontColor);
        pen.setWidth(2);
        p.setPen(pen);
        const int left = 0;
        const int top = a;
        const int right = m_size;
        const int bottom = a + m_size;
        p.drawLine(left + 2, top + 2, right - 3, bottom - 3);
        p.drawLine(right - 3, top + 2, left + 2, bottom - 3);
    }
}

void ZCheckBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitHeight();
}

// Toggles on a click: pressed and released inside. A double click toggles once.
void ZCheckBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void ZCheckBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click) {
        m_checked = !m_checked;
        update();
    }
}

void ZCheckBox::mouseDoubleClickEvent(QMouseEvent *) {}
