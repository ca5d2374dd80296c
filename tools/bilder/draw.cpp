#include "draw.h"

#include <QFontMetricsF>
#include <QPolygonF>

#include <cmath>

namespace vellora::bilder {

QFont figureFont(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QImage blankFigure(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(kPaper);
    return img;
}

void preparePainter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

void heading(QPainter &p, int width, const QString &text)
{
    caption(p, QRectF(8, 6, width - 16, 26), text, Qt::AlignHCenter | Qt::AlignTop, 19, true);
}

void caption(QPainter &p, const QRectF &box, const QString &text, int flags, int pixelSize, bool bold)
{
    p.save();
    p.setFont(figureFont(pixelSize, bold));
    p.setPen(kInk);
    p.drawText(box, flags | Qt::TextWordWrap, text);
    p.restore();
}

void leader(QPainter &p, const QPointF &target, const QPointF &at, const QString &text, Qt::Alignment align,
            int pixelSize)
{
    p.save();
    const QFont font = figureFont(pixelSize);
    const QFontMetricsF fm(font);
    const qreal w = fm.horizontalAdvance(text);
    const qreal h = fm.height();
    qreal left = at.x();
    if (align & Qt::AlignRight)
        left = at.x() - w;
    else if (align & Qt::AlignHCenter)
        left = at.x() - w / 2;
    qreal top = at.y() - h / 2;
    if (align & Qt::AlignTop)
        top = at.y();
    else if (align & Qt::AlignBottom)
        top = at.y() - h;
    const QRectF box(left, top, w, h);
    // The line ends at the text's nearest edge, a little off it.
    QPointF end(std::clamp(target.x(), box.left() - 3, box.right() + 3),
                std::clamp(target.y(), box.top() - 1, box.bottom() + 1));
    if (target.x() < box.left())
        end = QPointF(box.left() - 3, box.center().y());
    else if (target.x() > box.right())
        end = QPointF(box.right() + 3, box.center().y());
    p.setPen(QPen(kLeader, 1.2));
    p.drawLine(target, end);
    p.setBrush(kLeader);
    p.drawEllipse(target, 2.0, 2.0);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
    p.restore();
}

void arrow(QPainter &p, const QPointF &from, const QPointF &to, const QColor &color, qreal width)
{
    p.save();
    const QPointF d = to - from;
    const qreal len = std::hypot(d.x(), d.y());
    if (len < 1) {
        p.restore();
        return;
    }
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const qreal head = 4 * width + 4;
    const QPointF base = to - u * head;
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, base + u * 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({to, base + n * head * 0.5, base - n * head * 0.5}));
    p.restore();
}

qreal formula(QPainter &p, qreal x, qreal y, const QString &text, int pixelSize)
{
    const QFont normal = figureFont(pixelSize);
    const QFont small = figureFont(pixelSize * 2 / 3 + 1);
    const QFontMetricsF fmN(normal), fmS(small);
    qreal cx = x < 0 ? 0 : x;
    const qreal start = cx;
    p.save();
    p.setPen(kInk);
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool sub = false;
        QString piece;
        if (text.mid(i, 2) == QLatin1String("->")) {
            // Drawn, so it looks the same in any font.
            const qreal len = pixelSize * 1.8;
            if (x >= 0) {
                p.restore();
                arrow(p, QPointF(cx + 4, y - pixelSize * 0.32), QPointF(cx + len - 4, y - pixelSize * 0.32),
                      kInk, 1.6);
                p.save();
                p.setPen(kInk);
            }
            cx += len;
            ++i;
            continue;
        }
        if (text[i] == QLatin1Char('_') && i + 1 < text.size()) {
            sub = true;
            piece = text[++i];
            while (i + 1 < text.size() && text[i + 1].isDigit())
                piece += text[++i];
        } else {
            piece = text[i];
        }
        p.setFont(sub ? small : normal);
        if (x >= 0)
            p.drawText(QPointF(cx, sub ? y + pixelSize * 0.28 : y), piece);
        cx += sub ? fmS.horizontalAdvance(piece) : fmN.horizontalAdvance(piece);
    }
    p.restore();
    return cx - start;
}

void formulaCentred(QPainter &p, qreal cx, qreal y, const QString &text, int pixelSize)
{
    const qreal w = formula(p, -1, y, text, pixelSize);
    formula(p, cx - w / 2, y, text, pixelSize);
}

} // namespace vellora::bilder
