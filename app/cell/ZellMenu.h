#pragma once

// The organelle menu of the cell screen's sliding left menu: a header, a section number and one
// entry per organelle with an icon and a coloured label. Drawn so that in the narrow state only
// the icons and the section number remain in view.

#include "ShadowPanel.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// The menu library has its own ZItem/ZItems for bar and popup entries; these live apart.
namespace zellmenu {

class ZItems;

class ZItem
{
  public:
    QString Caption;
    QColor Color;
    QColor Highlight;
    QColor Select;
    int IconIndex = 0;
    int FontSize = 13;

    // Geometry fixed when the entry is created.
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }
    int X0() const { return x0_; }
    int X1() const { return x1_; }
    int X2() const { return x2_; }
    int X3() const { return x3_; }
    int X4() const { return x4_; }

    // Copies the look, never the geometry.
    void Assign(const ZItem &other);

  private:
    friend class ZItems;
    int top_ = 0, bottom_ = 0;
    int x0_ = 5, x1_ = 40, x2_ = 55, x3_ = 0, x4_ = 0;
};

class ZItems
{
  public:
    // Entry at position p: top 40 (p + 1), bottom top + 35; x3, x4 from the width w0 of the
    // menu at this moment.
    ZItem &Add(int menuWidth);
    int Count() const { return int(items_.size()); }
    ZItem &operator[](int i) { return items_[i]; }
    const ZItem &operator[](int i) const { return items_[i]; }
    void Clear() { items_.clear(); }

  private:
    QList<ZItem> items_;
};

} // namespace zellmenu

class ZZellMenu : public ZShadowPanel
{
    Q_OBJECT
  public:
    // Design size 185 x 405, so entries added before the form lays it out get w0 = 185.
    explicit ZZellMenu(QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);
    QFont HeaderFont() const { return headerFont_; }
    void SetHeaderFont(const QFont &font);
    QFont NumberFont() const { return numberFont_; }
    void SetNumberFont(const QFont &font);
    QFont ItemFont() const { return itemFont_; }
    void SetItemFont(const QFont &font);
    // Colour of all three fonts' text.
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor &color);
    // The entries' caption colour on a label colour: the font colour where it reads well
    // (contrast ratio at least 4.5 : 1), else a dark one.
    QColor CaptionColorOn(const QColor &fill) const;

    QList<QImage> Icons() const { return icons_; }
    void SetIcons(const QList<QImage> &icons);

    zellmenu::ZItems &Items() { return items_; }
    const zellmenu::ZItems &Items() const { return items_; }
    // Adds an entry with the menu's current geometry rules and repaints.
    zellmenu::ZItem &AddItem(const QString &caption, int color, int highlight, int select);
    // Copies the entries' look; the geometry of each copy is fixed from this menu's width.
    void SetItems(const zellmenu::ZItems &items);

    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int ModelHighlight() const { return modelHighlight_; }
    void SetModelHighlight(int index);
    int HoverIndex() const { return hoverIndex_; }
    // Section number, drawn as that many letters "I".
    int Tag() const { return tag_; }
    void SetTag(int tag);

    // Entry under the point, as hovering finds it (-1 none).
    int ItemAt(int x, int y) const;

    std::function<void(ZZellMenu *, int)> OnItemSelect;
    std::function<void(ZZellMenu *, int)> OnItemHighlight;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void drawItem(QPainter &painter, int index) const;
    void repaintItem(int index);
    void setHover(int index);

    QString caption_;
    QFont headerFont_;
    QFont numberFont_;
    QFont itemFont_;
    QColor fontColor_ = QColor(255, 255, 255);
    QList<QImage> icons_;
    zellmenu::ZItems items_;
    int itemIndex_ = -1;
    int modelHighlight_ = -1;
    int hoverIndex_ = -1;
    int tag_ = 0;
    bool pressed_ = false;
};
