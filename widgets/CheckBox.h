#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include "zcontrol.h"

// Check box with a caption that wraps word by word in 22-pixel rows; the control sets its own
// height to the rows its caption needs.
class ZCheckBox : public QWidget
{
    Q_OBJECT

  public:
    explicit ZCheckBox(QWidget *parent = nullptr);
    ~ZCheckBox() override;

    QColor Border() const { return m_border; }
    void SetBorder(const QColor &color);

    // Fill of the box.
    QColor Box() const { return m_box; }
    void SetBox(const QColor &color);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);

    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    // The cross is drawn in FontColor.
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    // Edge length of the box in pixels.
    int Size() const { return m_size; }
    void SetSize(int size);

    bool Visible() const { return vellora::visibleFlag(this); }
    void SetVisible(bool visible) { setVisible(visible); }

    // Rows the caption needs at the current width; the height is 22 x this.
    int RowCount() const;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

  private:
    int walk(QPainter *painter) const;
    void fitHeight();

    QColor m_border = QColor(0, 0, 0);
    QColor m_box = QColor(255, 255, 255);
    QString m_caption;
    bool m_checked = false;
    bool m_pressed = false;
    QColor m_color = vellora::buttonFace();
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    int m_size = 15;
};
