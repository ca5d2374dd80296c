#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class ZMenu;
class ZItems;

// One entry of a popup menu or of the window bar. The owner's layout sets its rectangle, which
// painting and hit-testing use. A new entry is invisible and disabled until set otherwise.
class ZItem
{
  public:
    explicit ZItem(ZItems *collection = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

    // Not owned; the menu may be destroyed before the entry (the reference then reads null).
    ZMenu *SubMenu() const { return m_subMenu; }
    void SetSubMenu(ZMenu *menu);

    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // Rectangle inside the owning menu or bar, edges in pixels; right and bottom are exclusive.
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Right() const { return m_right; }
    int Bottom() const { return m_bottom; }
    void SetBounds(int left, int top, int right, int bottom);
    QRect Rect() const { return QRect(m_left, m_top, m_right - m_left, m_bottom - m_top); }
    // left <= x < right and top <= y < bottom.
    bool Contains(int x, int y) const;

    ZItems *Collection() const { return m_collection; }

  private:
    friend class ZItems;
    void changed();

    ZItems *m_collection = nullptr;
    QString m_caption;
    QPointer<ZMenu> m_subMenu;
    bool m_visible = false;
    bool m_enabled = false;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
};

// The entries of a menu or bar, owned by it. Entries keep their address until deleted.
class ZItems
{
  public:
    explicit ZItems(QWidget *owner = nullptr);
    ZItems(const ZItems &) = delete;
    ZItems &operator=(const ZItems &) = delete;

    int Count() const { return static_cast<int>(m_items.size()); }
    // Null for an index out of range.
    ZItem *Item(int index) const;
    ZItem *operator[](int index) const { return Item(index); }

    // A new invisible, disabled entry at the end.
    ZItem *Add();
    // Convenience for building menus in code: an entry with the given state.
    ZItem *Add(const QString &caption, bool visible, bool enabled, ZMenu *subMenu = nullptr);
    void Delete(int index);
    void Clear();

    // The last visible entry whose rectangle holds (x, y), or -1.
    int IndexAt(int x, int y) const;

    QWidget *Owner() const { return m_owner; }

  private:
    friend class ZItem;
    void changed();

    QWidget *m_owner = nullptr;
    std::vector<std::unique_ptr<ZItem>> m_items;
};

// A painted popup menu. It is an ordinary child widget of the window that holds it (usually the
// same parent as the bar that opens it) and is hidden when created; Popup lays it out, shows it
// and raises it above its siblings, so it lies over whatever screen is below the bar. Its
// position and that of its submenus are in its parent's coordinates, and a submenu stays inside
// that parent (placement flips left or upwards at the parent's right and bottom edges).
// A child widget rather than a top-level popup window keeps the placement arithmetic in one
// coordinate system and never steals the keyboard or grabs the mouse from the window. Over a
// native GL surface the owning screen sets Qt::WA_NativeWindow on it; it then becomes a native
// child window stacked above the surface, painted like any other widget (no WA_PaintOnScreen).
class ZMenu : public QWidget
{
    Q_OBJECT

  public:
    explicit ZMenu(QWidget *parent = nullptr);
    ~ZMenu() override;

    // Background; defaults to the button face.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    // Entry font; its colour is FontColor (black by default).
    QFont Font() const { return m_font; }
    void SetFont(const QFont &font);
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color);

    // Background of the hovered entry.
    QColor Highlight() const { return m_highlight; }
    void SetHighlight(const QColor &color);

    ZItems &Items() { return m_items; }
    const ZItems &Items() const { return m_items; }

    // The toolkit's free integer; the main window tells its popups apart by it.
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // Hovered entry index, -1 = none.
    int Hovered() const { return m_hovered; }
    void SetHovered(int index);
    // A submenu was opened from this menu and is still shown.
    bool SubMenuOpen() const { return m_subMenuOpen; }

    // Hovered := -1, Layout, show and raise.
    void Popup();
    // Hide this menu and, recursively, an open submenu.
    void HideMenu();
    // Size the menu to its visible entries and place their rectangles.
    void Layout();

    // (menu, entry index): a click on an enabled entry.
    std::function<void(ZMenu *, int)> OnClick;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // The second press of a double click arms no second click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void paintEntry(class QPainter &painter, int index) const;
    void repaintEntry(int index);
    int entryAt(int x, int y) const;
    void hideSubMenuOf(int index);
    void openSubMenuOf(int index);

    QColor m_color;
    QFont m_font;
    QColor m_fontColor = QColor(0, 0, 0);
    QColor m_highlight;
    ZItems m_items{this};
    int m_tag = 0;
    int m_hovered = -1;
    bool m_subMenuOpen = false;
    bool m_pressed = false;
};
