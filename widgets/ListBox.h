#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>

#include "zcontrol.h"

// String list with its own scroll bar at the right edge, shown while the rows do not fit.
class ZListBox : public QWidget
{
    Q_OBJECT

  public:
    explicit ZListBox(QWidget *parent = nullptr);
    ~ZListBox() override;

    // Frame colour.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    // Background of the selected row.
    QColor Highlight() const { return m_highlight; }
    void SetHighlight(const QColor &color);

    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int height);

    // -1 = none. Setting a different value repaints both rows and fires OnChange; it does not
    // scroll.
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);

    // The rows. Reading recomputes the scroll range; add rows through it. The range is also
    // brought up to date before every paint and scroll, so rows added after the read count too.
    QStringList &Items();
    void SetItems(const QStringList &items);

    bool Visible() const { return vellora::visibleFlag(this); }
    void SetVisible(bool visible) { setVisible(visible); }

    // While updating nothing of the list is painted; EndUpdate repaints.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updating; }
    // Top row := 0 and repaint.
    void ScrollToTop();
    // delta > 0: one row up, delta < 0: one row down.
    void Scroll(int delta);

    std::function<void(ZListBox *)> OnChange;

    // Own state, read-only.
    int TopRow() const { return m_topRow; }
    int TopMaximum() const;
    int ThumbLength() const;
    float Step() const;
    // Whether the rows overflow the box (H - 2 < count x ItemHeight), as the next paint sees it.
    bool BarShown() const;
    QRect DownButtonRect() const;
    QRect UpButtonRect() const;
    // Where the thumb is drawn and grabbed at the current top row.
    QRect ThumbRect() const;
    // Row rectangle of row i at the current top row.
    QRect RowRect(int row) const;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void computeRange() const;
    void setTopRow(int row);
    void selectAt(int x, int y);
    void updateHover(int x, int y);

    QColor m_color = QColor(128, 128, 128);
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    QColor m_highlight = QColor(192, 192, 192);
    int m_itemHeight = 20;
    int m_itemIndex = -1;
    QStringList m_items;

    int m_topRow = 0;
    mutable int m_topMaximum = 0;
    mutable int m_thumbLength = 0;
    mutable float m_step = 0.0f;
    bool m_downHover = false;
    bool m_upHover = false;
    bool m_thumbHover = false;
    bool m_dragging = false;
    int m_anchor = 0;
    bool m_updating = false;
};
