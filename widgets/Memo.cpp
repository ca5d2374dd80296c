#include "Memo.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "base/cp1252.h"
#include "base/linkmarkup.h"
#include "base/rounding.h"

namespace {

// Marks that end a sentence or clause: they belong to the word in front of them and never
// start a row of their own, not even behind a link caption.
bool trailingMark(char c)
{
    return c == '.' || c == ',' || c == ':' || c == ';' || c == '!' || c == '?';
}

// The word that the layout walk collects from text[from] on, up to the next blank, line break,
// link or the end (lone CR and LF are skipped as the walk skips them).
QByteArray wordFrom(const QByteArray &text, qsizetype from)
{
    QByteArray word;
    const qsizetype n = text.size();
    for (qsizetype i = from; i < n; ++i) {
        const char c = text[i];
        if (c == '\n')
            continue;
        if (c == '\r') {
            if (i + 1 < n && text[i + 1] == '\n')
                break;
            continue;
        }
        if (c == ' ' || (c == '#' && vellora::parseMemoLink(text, i)))
            break;
        word += c;
    }
    return word;
}

} // namespace

ZMemoLabel::ZMemoLabel(ZMemo *memo) : QLabel(memo), m_memo(memo)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    setIndent(0);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
}

void ZMemoLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void ZMemoLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click && m_memo)
        m_memo->linkClicked(this);
}

ZMemo::ZMemo(QWidget *parent) : QWidget(parent)
{
    m_font = QWidget::font();
    m_linkFont = QWidget::font();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

ZMemo::~ZMemo() = default;

void ZMemo::SetColor(const QColor &color)
{
    m_color = color;
    restyleLabels();
    update();
}

void ZMemo::SetFont(const QFont &font)
{
    m_font = font;
    m_layoutStale = true;
    update();
}

void ZMemo::SetFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void ZMemo::SetLinkFont(const QFont &font)
{
    m_linkFont = font;
    restyleLabels();
    m_layoutStale = true;
    update();
}

void ZMemo::SetLinkFontColor(const QColor &color)
{
    m_linkFontColor = color;
    restyleLabels();
}

void ZMemo::SetPosition(int position)
{
    m_position = position;
}

// A hidden widget gets its resize event only when shown, so the width is compared directly.
bool ZMemo::layoutStale() const
{
    return m_layoutStale || (m_layoutWidth >= 0 && m_layoutWidth != width());
}

int ZMemo::RowCount() const
{
    if (layoutStale())
        const_cast<ZMemo *>(this)->LayOut();
    return m_rowCount;
}

int ZMemo::RowSize() const
{
    if (layoutStale())
        const_cast<ZMemo *>(this)->LayOut();
    return m_rowSize;
}

void ZMemo::SetText(const QByteArray &text)
{
    m_text = text;
    m_rebuild = true;
    // Lay out at once, so that the captions and the row numbers are there even while the memo
    // is hidden and Qt sends it no paint.
    LayOut();
    update();
}

void ZMemo::LayOut()
{
    walk(nullptr);
}

void ZMemo::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    walk(&painter);
}

void ZMemo::resizeEvent(QResizeEvent *event)
{
    m_layoutStale = true;
    QWidget::resizeEvent(event);
}

void ZMemo::styleLabel(ZMemoLabel *label) const
{
    label->setFont(m_linkFont);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, m_color);
    pal.setColor(QPalette::WindowText, m_linkFontColor);
    label->setPalette(pal);
}

void ZMemo::restyleLabels()
{
    const QFontMetrics fm(m_linkFont, this);
    for (ZMemoLabel *label : m_labels) {
        styleLabel(label);
        label->resize(fm.horizontalAdvance(label->text()), fm.height());
    }
}

void ZMemo::linkClicked(ZMemoLabel *label)
{
    if (OnLinkClick && label->Valid())
        OnLinkClick(this, label->Tag());
}

// The whole text is laid out on every call; only the labels persist. With a painter the words
// are drawn, without one only the numbers and the labels are updated.
void ZMemo::walk(QPainter *painter)
{
    m_layoutStale = false;
    m_layoutWidth = width();
    const QFontMetrics fm(m_font, this);
    m_rowSize = vellora::roundHalfEven(fm.height() * 1.5);

    if (painter) {
        painter->fillRect(rect(), m_color);
        painter->setFont(m_font);
        painter->setPen(m_fontColor);
        painter->setBackground(m_color);
        painter->setBackgroundMode(Qt::OpaqueMode);
    }

    if (m_text.isEmpty()) {
        // Captions of an earlier text would otherwise stay clickable over an empty panel.
        m_rowCount = 0;
        for (ZMemoLabel *label : m_labels) {
            label->hide();
            label->deleteLater();
        }
        m_labels.clear();
        m_rebuild = false;
        return;
    }

    const int width = this->width();
    const int ascent = fm.ascent();
    int x = 0;
    int row = 0;
    std::size_t k = 0;
    bool moved = false;
    QByteArray pending;
    // The pending word began right behind a link caption with a full stop, comma or the like:
    // it stays on the caption's row, which placeLink has wrapped for both.
    bool glued = false;

    auto drawWord = [&]() {
        pending += ' ';
        const QString word = vellora::fromCp1252(pending);
        const int w = fm.horizontalAdvance(word);
        if (!glued && w > width - x - 10) {
            x = 0;
            ++row;
        }
        if (painter)
            painter->drawText(QPoint(x, (row - m_position) * m_rowSize + ascent), word);
        x += w;
        pending.clear();
        glued = false;
    };

    const QFontMetrics linkMetrics(m_linkFont, this);
    auto placeLink = [&](int number, bool valid, const QByteArray &caption, const QByteArray &tail) {
        if (m_rebuild) {
            if (k >= m_labels.size()) {
                auto *label = new ZMemoLabel(this);
                styleLabel(label);
                label->hide();
                m_labels.push_back(label);
            }
            ZMemoLabel *label = m_labels[k];
            const QString text = vellora::fromCp1252(caption);
            label->setText(text);
            label->resize(linkMetrics.horizontalAdvance(text), linkMetrics.height());
            label->SetTag(number);
            label->SetValid(valid);
        }
        const int w = k < m_labels.size() ? m_labels[k]->width()
                                          : linkMetrics.horizontalAdvance(vellora::fromCp1252(caption));
        // A mark behind the caption is measured with it, as drawWord will draw it (with its
        // blank); at a row's start the pair moves no further, the mark overhangs instead.
        const int tailWidth = tail.isEmpty() ? 0 : fm.horizontalAdvance(vellora::fromCp1252(tail + ' '));
        if (w > width - x - 10 || (x > 0 && w + tailWidth > width - x - 10)) {
            x = 0;
            ++row;
        }
        if (k < m_labels.size()) {
            ZMemoLabel *label = m_labels[k];
            const QPoint at(x, (row - m_position) * m_rowSize);
            if (label->pos() != at) {
                label->move(at);
                moved = true;
            }
            if (label->isHidden()) {
                label->show();
                moved = true;
            }
        }
        x += w;
        ++k;
    };

    const qsizetype n = m_text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = m_text[i];
        if (c == '\n')
            continue;
        if (c == '\r') {
            if (i + 1 < n && m_text[i + 1] == '\n') {
                if (!pending.isEmpty())
                    drawWord();
                ++row;
                x = 0;
            }
            continue;
        }
        if (c == ' ') {
            drawWord();
            continue;
        }
        if (c == '#') {
            const std::optional<vellora::MemoLink> link = vellora::parseMemoLink(m_text, i);
            if (!link) {
                // Not a complete link: show the rest as it stands rather than lose it.
                pending += c;
                continue;
            }
            if (!pending.isEmpty())
                drawWord();
            const bool marked = link->end < n && trailingMark(m_text[link->end]);
            placeLink(link->number, link->numberValid, link->caption,
                      marked ? wordFrom(m_text, link->end) : QByteArray());
            glued = marked;
            i = link->end - 1;
            continue;
        }
        pending += c;
    }
    drawWord();
    m_rowCount = row;

    // Qt drops what child widgets mark dirty while their parent paints, so captions moved by a
    // paint are repainted once the paint is over.
    if (painter && moved && !m_repaintQueued) {
        m_repaintQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_repaintQueued = false;
            for (ZMemoLabel *label : m_labels)
                label->update();
        });
    }

    if (m_rebuild) {
        while (m_labels.size() > k) {
            ZMemoLabel *label = m_labels.back();
            m_labels.pop_back();
            label->hide();
            // Later, not now: the surplus label may be the one whose click set this text.
            label->deleteLater();
        }
        m_rebuild = false;
    }
}
