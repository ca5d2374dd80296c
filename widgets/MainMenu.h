#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

#include "Menu.h"
#include "zcontrol.h"

// The painted title bar that borderless windows carry instead of a system one: the caption
// centred, optional close and minimize boxes at the right end and a row of entries from x 140
// that open ZMenu popups on click. The forms drag their window through the mouse events it
// passes on. Popups of the entries should be children of the window that holds the bar (see
// ZMenu); they are placed below the entry, in their parent's coordinates.
class ZMainMenu : public QWidget
{
    Q_OBJECT

  public:
    explicit ZMainMenu(QWidget *parent = nullptr);
    ~ZMainMenu() override;

    // The forms align the bar to the top of the window.
    ZAlign Align() const { return vellora::controlAlign(this); }
    void SetAlign(ZAlign align) { vellora::setControlAlign(this, align); }

    // Window title, centred in the bar.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    bool Close() const { return m_close; }
    void SetClose(bool show);

    // Bar background; defaults to the button face.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    // Title font; FontColor also colours the glyphs and the entry triangles.
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    // Background of a hovered entry; pen of a hovered close or minimize glyph.
    QColor Highlight() const { return m_highlight; }
    void SetHighlight(const QColor &color);

    // Top-level entries. The bar does not look at an entry's Enabled: its popup opens anyway,
    // and the screens lock commands by disabling the popup's own entries.
    ZItems &Items() { return m_items; }
    const ZItems &Items() const { return m_items; }

    // Stored with the form only; nothing depends on it.
    bool Menu() const { return m_menu; }
    void SetMenu(bool menu) { m_menu = menu; }

    // Entry font, owned by the bar; MenuFontColor colours the entry captions.
    QFont MenuFont() const { return m_menuFont; }
    void SetMenuFont(const QFont &font);
    QColor MenuFontColor() const { return m_menuFontColor; }
    void SetMenuFontColor(const QColor &color);

    bool Minimize() const { return m_minimize; }
    void SetMinimize(bool show);

    // State, read-only for the screens and tests.
    int Hovered() const { return m_hovered; }
    bool SubMenuOpen() const { return m_subMenuOpen; }
    bool CloseHovered() const { return m_closeHover; }
    bool MinimizeHovered() const { return m_minimizeHover; }
    // (W - H, 0, W, H) and (W - 2H, 0, W - H, H) of the bar's current size.
    QRect CloseRect() const { return QRect(width() - height(), 0, height(), height()); }
    QRect MinimizeRect() const { return QRect(width() - 2 * height(), 0, height(), height()); }

    // Clears the submenu-open flag and the hover, hiding the hovered entry's submenu. The
    // screens call it when they change the bar's entries.
    void CloseMenus();
    // Lays out the visible entries from x 140, 20 pixels high, 4 pixels apart. Call after
    // changing entry visibility or captions, then repaint the bar.
    void LayoutItems();

    // Replaces the default action of the close box (closing the window holding the bar).
    std::function<void(ZMainMenu *)> OnClose;
    // Passed through for window dragging; x and y are relative to the bar.
    std::function<void(ZMainMenu *, Qt::MouseButton, int, int)> OnMouseDown;
    std::function<void(ZMainMenu *, Qt::MouseButtons, int, int)> OnMouseMove;
    std::function<void(ZMainMenu *, Qt::MouseButton, int, int)> OnMouseUp;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void click();
    void paintEntry(class QPainter &painter, int index) const;
    void paintCloseGlyph(class QPainter &painter) const;
    void paintMinimizeGlyph(class QPainter &painter) const;
    void repaintEntry(int index);
    int entryAt(int x, int y) const;

    QString m_caption;
    bool m_close = false;
    QColor m_color;
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    QColor m_highlight;
    ZItems m_items{this};
    bool m_menu = false;
    QFont m_menuFont;
    QColor m_menuFontColor = QColor(0, 0, 0);
    bool m_minimize = false;

    bool m_closeHover = false;
    bool m_minimizeHover = false;
    int m_hovered = -1;
    bool m_subMenuOpen = false;
    bool m_pressed = false;
};
