#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

#include "zcontrol.h"

// A card on a background with a 5-pixel drop shadow along its right and bottom edges, holding
// other controls. A disabled panel leaves its children looking as they are but inert.
class ZShadowPanel : public QWidget
{
    Q_OBJECT

  public:
    explicit ZShadowPanel(QWidget *parent = nullptr);
    ~ZShadowPanel() override;

    // The five 5 x 5 shadow pictures: 0 top end and 1 middle of the right strip, 2 the corner,
    // 3 middle and 4 left end of the bottom strip. Semi-transparent black, so they suit any
    // Background.
    static QList<QImage> StandardShadowImages();

    ZAlign Align() const { return vellora::controlAlign(this); }
    void SetAlign(ZAlign align) { vellora::setControlAlign(this, align); }

    // Stored for the form.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

    // Colour around the card (the margins and behind the shadow).
    QColor Background() const { return m_background; }
    void SetBackground(const QColor &color);

    // Stored for the form; not drawn.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption) { m_caption = caption; }

    // Colour of the card.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color) { m_fontColor = color; }

    // Stored for the form; the panel always repaints whole.
    bool FullRepaint() const { return m_fullRepaint; }
    void SetFullRepaint(bool full) { m_fullRepaint = full; }

    int MarginLeft() const { return m_marginLeft; }
    void SetMarginLeft(int px);
    int MarginTop() const { return m_marginTop; }
    void SetMarginTop(int px);
    int MarginRight() const { return m_marginRight; }
    void SetMarginRight(int px);
    int MarginBottom() const { return m_marginBottom; }
    void SetMarginBottom(int px);

    // Empty = no shadow; otherwise five pictures as StandardShadowImages() gives them.
    QList<QImage> ShadowImages() const { return m_shadowImages; }
    void SetShadowImages(const QList<QImage> &images);

    bool Visible() const { return vellora::visibleFlag(this); }
    void SetVisible(bool visible) { setVisible(visible); }

    // Left button pressed and released over the panel itself.
    std::function<void(ZShadowPanel *)> OnClick;
    // (panel, key, modifiers) while the panel has the focus; setting key to 0 swallows it.
    std::function<void(ZShadowPanel *, int &, Qt::KeyboardModifiers)> OnKeyDown;
    std::function<void(ZShadowPanel *)> OnResize;

  protected:
    // Background, card and shadow; controls built on the panel call it first in their paint.
    void paintPanel(QPainter &painter);
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // The second press of a double click arms no second click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

  private:
    bool m_autoSize = false;
    QColor m_background = vellora::buttonFace();
    QString m_caption;
    QColor m_color = QColor(255, 255, 255);
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    bool m_fullRepaint = true;
    int m_marginLeft = 0;
    int m_marginTop = 0;
    int m_marginRight = 0;
    int m_marginBottom = 0;
    QList<QImage> m_shadowImages;
    bool m_pressed = false;
};
