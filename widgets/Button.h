#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>

#include "zcontrol.h"

// Flat painted button: face in Color, Highlight while the pointer is over it, 1-pixel border.
class ZButton : public QWidget
{
    Q_OBJECT

  public:
    enum class TextAlignment { LeftJustify, RightJustify, Center };

    explicit ZButton(QWidget *parent = nullptr);
    ~ZButton() override;

    ZAlign Align() const { return vellora::controlAlign(this); }
    void SetAlign(ZAlign align) { vellora::setControlAlign(this, align); }

    TextAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TextAlignment alignment);

    QColor Border() const { return m_border; }
    void SetBorder(const QColor &color);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    // A disabled button takes no input; it looks the same.
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    QColor Highlight() const { return m_highlight; }
    void SetHighlight(const QColor &color);

    bool Visible() const { return vellora::visibleFlag(this); }
    void SetVisible(bool visible) { setVisible(visible); }

    bool Hovered() const { return m_hover; }

    // Press and release of the left button over the control.
    std::function<void(ZButton *)> OnClick;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // The second press of a double click arms no second click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    TextAlignment m_alignment = TextAlignment::Center;
    QColor m_border = QColor(0, 0, 0);
    QString m_caption;
    QColor m_color = vellora::buttonFace();
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    QColor m_highlight = QColor(255, 255, 255);
    bool m_hover = false;
    bool m_pressed = false;
};
