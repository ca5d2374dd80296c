#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include <QPointer>

#include "Memo.h"
#include "zcontrol.h"

// Vertical scroll bar bound to a memo; its positions are memo rows. It hides itself while the
// whole text fits (at most one row cut) and shows itself otherwise.
class ZScrollBar : public QWidget
{
    Q_OBJECT

  public:
    explicit ZScrollBar(QWidget *parent = nullptr);
    ~ZScrollBar() override;

    ZAlign Align() const { return vellora::controlAlign(this); }
    void SetAlign(ZAlign align) { vellora::setControlAlign(this, align); }

    // Stored for the form; the bar's face uses the fixed greys.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color) { m_color = color; }

    ZMemo *Memo() const { return m_memo; }
    void SetMemo(ZMemo *memo);

    bool Visible() const { return vellora::visibleFlag(this); }
    void SetVisible(bool visible) { setVisible(visible); }

    // Recomputes maximum, thumb, step, visibility and the part rectangles from the memo.
    void UpdateRange();
    // Bar position := 0 and repaint; the memo's Position is left to the caller.
    void ResetPosition();
    // delta > 0: one row up, delta < 0: one row down (wheel deltas and +1/-1 from the keys).
    void Scroll(int delta);

    // Own state, read-only.
    int BarPosition() const { return m_position; }
    int BarMaximum() const { return m_maximum; }
    int ThumbLength() const { return m_thumbLength; }
    float Step() const { return m_step; }
    bool Dragging() const { return m_dragging; }
    QRect DownButtonRect() const;
    QRect UpButtonRect() const;
    // Where the thumb is drawn and grabbed at the current position.
    QRect ThumbRect() const;
    bool DownHovered() const { return m_downHover; }
    bool UpHovered() const { return m_upHover; }
    bool ThumbHovered() const { return m_thumbHover; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void setPosition(int position);
    void updateHover(int x, int y);

    QColor m_color = vellora::buttonFace();
    QPointer<ZMemo> m_memo;
    int m_position = 0;
    int m_maximum = 1;
    int m_thumbLength = 0;
    float m_step = 0.0f;
    bool m_downHover = false;
    bool m_upHover = false;
    bool m_thumbHover = false;
    bool m_dragging = false;
    int m_anchor = 0;
};
