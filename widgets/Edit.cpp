#include "Edit.h"

#include <QLineEdit>
#include <QPainter>

#include "zcontrol.h"

ZEdit::ZEdit(QWidget *parent) : QWidget(parent)
{
    m_font = QWidget::font();
    m_edit = new QLineEdit(this);
    m_edit->setFrame(false);
    m_edit->setTextMargins(0, 0, 0, 0);
    styleEdit();
    connect(m_edit, &QLineEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange(m_edit);
    });
    setFocusProxy(m_edit);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ZEdit::~ZEdit() = default;

void ZEdit::SetBorder(const QColor &color)
{
    m_border = color;
    update();
}

void ZEdit::SetColor(const QColor &color)
{
    m_color = color;
    styleEdit();
    update();
}

void ZEdit::SetEditTop(int top)
{
    m_editTop = top;
    placeEdit();
}

void ZEdit::SetFont(const QFont &font)
{
    m_font = font;
    styleEdit();
}

void ZEdit::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    styleEdit();
}

QString ZEdit::Text() const
{
    return m_edit->text();
}

void ZEdit::SetText(const QString &text)
{
    m_edit->setText(text);
}

void ZEdit::styleEdit()
{
    m_edit->setFont(m_font);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, m_color);
    pal.setColor(QPalette::Window, m_color);
    pal.setColor(QPalette::Text, m_fontColor);
    m_edit->setPalette(pal);
}

void ZEdit::placeEdit()
{
    m_edit->setGeometry(5, m_editTop, width() - 8, height() - 5);
}

void ZEdit::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    vellora::frameLTRB(p, 0, 0, width(), height(), m_border);
}

void ZEdit::resizeEvent(QResizeEvent *event)
{
    placeEdit();
    QWidget::resizeEvent(event);
}
