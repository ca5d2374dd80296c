#include "Edit.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>

#include "zcontrol.h"

namespace {

// Lies over the whole control, above the field, and draws only a ring at its edge: two pixels
// of the focus colour and inside them one white pixel, which keeps the ring apart from a face
// of a similar colour (a box coloured red after the correction). The rest of it is see-through
// and lets the mouse through to the field.
class FocusFrame : public QWidget
{
  public:
    explicit FocusFrame(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    QColor color;

  protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const int w = width(), h = height();
        vellora::frameLTRB(p, 0, 0, w, h, color);
        vellora::frameLTRB(p, 1, 1, w - 1, h - 1, color);
        vellora::frameLTRB(p, 2, 2, w - 2, h - 2, Qt::white);
    }
};

} // namespace

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
    m_focusFrame = new FocusFrame(this);
    m_edit->installEventFilter(this);
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

void ZEdit::SetFocusBorder(const QColor &color)
{
    m_focusBorder = color;
    static_cast<FocusFrame *>(m_focusFrame)->color = color;
    showFocus();
    m_focusFrame->update();
}

bool ZEdit::FocusShown() const
{
    return !m_focusFrame->isHidden();
}

void ZEdit::showFocus()
{
    const bool shown = m_focusBorder.isValid() && m_edit->hasFocus();
    if (shown) {
        m_focusFrame->setGeometry(rect());
        m_focusFrame->raise();
    }
    m_focusFrame->setVisible(shown);
}

bool ZEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        showFocus();
    return QWidget::eventFilter(watched, event);
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
    m_focusFrame->setGeometry(rect());
    QWidget::resizeEvent(event);
}
