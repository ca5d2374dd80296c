#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

// Drawing helpers shared by the diagrams: one look for every picture (the program's fonts, the
// card's text colour, thin leader lines), so the glossary's figures read as one set.
namespace vellora::bilder {

// The card's text colour (4210752) and the figures' paper.
inline const QColor kInk(64, 64, 64);
inline const QColor kPaper(252, 252, 247);
inline const QColor kLeader(110, 110, 110);

// "Trebuchet MS" as the forms use it, at a pixel size.
QFont figureFont(int pixelSize, bool bold = false);

// A blank picture of the given size on paper, with a painter set up for smooth drawing.
QImage blankFigure(int width, int height);
void preparePainter(QPainter &p);

// The figure's heading, centred at the top.
void heading(QPainter &p, int width, const QString &text);

// Text in a box, wrapped at word boundaries; flags as QPainter::drawText takes them.
void caption(QPainter &p, const QRectF &box, const QString &text, int flags = Qt::AlignCenter,
             int pixelSize = 15, bool bold = false);

// A label at `at` (its anchor by flags: Qt::AlignLeft puts the text right of the point, and so
// on) with a thin leader line from `target` to the text's nearest edge.
void leader(QPainter &p, const QPointF &target, const QPointF &at, const QString &text,
            Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, int pixelSize = 15);

// A straight arrow with a filled head at `to`.
void arrow(QPainter &p, const QPointF &from, const QPointF &to, const QColor &color, qreal width = 3.0);

// A chemical formula with subscripts written as "_2" and a drawn arrow for "->"
// ("6 CO_2 + 6 H_2O -> ..."), left edge at x and
// baseline at y; returns its width. With x < 0 nothing is drawn (measure only).
qreal formula(QPainter &p, qreal x, qreal y, const QString &text, int pixelSize = 16);
// The same, centred on cx.
void formulaCentred(QPainter &p, qreal cx, qreal y, const QString &text, int pixelSize = 16);

} // namespace vellora::bilder
