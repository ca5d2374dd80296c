#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

// Shared pieces of the painted Z controls: form-style alignment and the canvas helpers that take
// rectangles as left, top, right, bottom with right and bottom exclusive.

// Where a control keeps itself inside its parent. Aligned siblings share the parent's client
// area in creation order: Top ones first, then Bottom, Left, Right, and Client takes the rest.
// Hidden siblings take no room.
enum class ZAlign { None, Top, Bottom, Left, Right, Client };

namespace vellora {

void setControlAlign(QWidget *control, ZAlign align);
ZAlign controlAlign(const QWidget *control);
// Lays out the aligned children of parent again (the controls do it on every parent resize).
void alignChildren(QWidget *parent);

// The form's own Visible flag: true unless the control was hidden explicitly. Unlike
// isVisible() it does not depend on the parent being shown.
bool visibleFlag(const QWidget *control);

// Fills the pixels left <= x < right, top <= y < bottom; an empty or inverted rectangle draws
// nothing.
void fillLTRB(QPainter &painter, int left, int top, int right, int bottom, const QColor &color);
// 1-pixel outline of the same pixel rectangle, not filled.
void frameLTRB(QPainter &painter, int left, int top, int right, int bottom, const QColor &color);

// Form default colour of panels (the button face).
QColor buttonFace();

} // namespace vellora
