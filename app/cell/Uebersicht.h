#pragma once

// The "ganze Zelle" button of the cell screen's sliding menu. Selected, it shows a wide strip
// behind its icon and reaches the menu's right edge; unselected it is 15 pixels shorter.

#include "ShadowPanel.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QString>

class ZUebersicht : public ZShadowPanel
{
    Q_OBJECT
  public:
    explicit ZUebersicht(QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption);
    // Color, Font and FontColor are the panel's; the caption is drawn in them.
    QColor Highlight() const { return highlight_; }
    void SetHighlight(const QColor &color);
    QColor Select() const { return select_; }
    void SetSelect(const QColor &color);
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    QList<QImage> Icons() const { return icons_; }
    void SetIcons(const QList<QImage> &icons);
    bool Hovered() const { return hovered_; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    QString caption_;
    QColor highlight_;
    QColor select_;
    bool selected_ = true;
    int iconIndex_ = 0;
    QList<QImage> icons_;
    bool hovered_ = false;
};
