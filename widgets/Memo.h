#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <functional>
#include <vector>

#include "zcontrol.h"

class ZMemo;

// One link caption of a memo: auto-sized to its caption, hand cursor, click reports the link.
class ZMemoLabel : public QLabel
{
    Q_OBJECT

  public:
    explicit ZMemoLabel(ZMemo *memo);

    // The link's number from the markup.
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    // False for a link whose number is not a whole number; such a link does not report clicks.
    bool Valid() const { return m_valid; }
    void SetValid(bool valid) { m_valid = valid; }

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    ZMemo *m_memo;
    int m_tag = 0;
    bool m_valid = true;
    bool m_pressed = false;
};

// Read-only text panel with "#number#caption#" link markup, laid out word by word and wrapped
// at its width with a 10-pixel right margin. Text is cp1252 bytes.
class ZMemo : public QWidget
{
    Q_OBJECT

  public:
    enum class Bevel { None, Lowered, Raised, Space };

    explicit ZMemo(QWidget *parent = nullptr);
    ~ZMemo() override;

    ZAlign Align() const { return vellora::controlAlign(this); }
    void SetAlign(ZAlign align) { vellora::setControlAlign(this, align); }

    // Kept for the form; never drawn.
    Bevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(Bevel bevel) { m_bevelOuter = bevel; }

    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    QFont LinkFont() const { return m_linkFont; }
    void SetLinkFont(const QFont &font);
    QColor LinkFontColor() const { return m_linkFontColor; }
    void SetLinkFontColor(const QColor &color);

    // First visible row. Not clamped; writing it does not repaint (callers repaint).
    int Position() const { return m_position; }
    void SetPosition(int position);

    // Number of the last laid-out row, counted from 0. Reading it lays the text out first when
    // text, fonts or size changed since the last layout, so it is current even for a memo
    // that has never been painted.
    int RowCount() const;
    void SetRowCount(int rows) { m_rowCount = rows; }
    // Row pitch in pixels (1.5 x the text height of a blank); 1 until the first layout.
    int RowSize() const;

    QByteArray Text() const { return m_text; }
    // Always rebuilds the link captions and repaints, even for the same text.
    void SetText(const QByteArray &text);

    bool Visible() const { return vellora::visibleFlag(this); }
    void SetVisible(bool visible) { setVisible(visible); }

    // (memo, link number)
    std::function<void(ZMemo *, int)> OnLinkClick;

    // The current link captions in order of appearance.
    const std::vector<ZMemoLabel *> &Links() const { return m_labels; }

    // Runs the layout walk without drawing: sets RowSize and RowCount and places the link
    // captions exactly as a paint would.
    void LayOut();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    friend class ZMemoLabel;
    void walk(QPainter *painter);
    bool layoutStale() const;
    void linkClicked(ZMemoLabel *label);
    void styleLabel(ZMemoLabel *label) const;
    void restyleLabels();

    Bevel m_bevelOuter = Bevel::None;
    QColor m_color = QColor(255, 255, 255);
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    QFont m_linkFont;
    QColor m_linkFontColor = QColor(0, 0, 0);
    int m_position = 0;
    int m_rowCount = 0;
    int m_rowSize = 1;
    QByteArray m_text;
    std::vector<ZMemoLabel *> m_labels;
    bool m_rebuild = false;
    bool m_layoutStale = false;
    int m_layoutWidth = -1;
    bool m_repaintQueued = false;
};
