#pragma once

#include <QColor>
#include <QWidget>

#include <functional>

#include "zcontrol.h"

class QTimer;

// A panel that slides wider while the mouse is over it and narrower when it leaves. Each tick of
// its timer moves the width Speed pixels towards MaxWidth or MinWidth and stretches every child
// to the container's width minus the child's left and 5 pixels. Qt delivers enter and leave for
// the container as a whole, so moving onto a child does not collapse it; children that track
// the mouse themselves may still call Expand and Collapse on it.
class ZMenuContainer : public QWidget
{
    Q_OBJECT

  public:
    enum class Direction { Idle, Expanding, Collapsing };

    explicit ZMenuContainer(QWidget *parent = nullptr);
    ~ZMenuContainer() override;

    // The cell screen aligns it to the left.
    ZAlign Align() const { return vellora::controlAlign(this); }
    void SetAlign(ZAlign align) { vellora::setControlAlign(this, align); }

    // Panel colour; defaults to the button face.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);

    // Milliseconds between animation steps.
    int Interval() const { return m_interval; }
    void SetInterval(int ms) { m_interval = ms; }
    // Pixels per step.
    int Speed() const { return m_speed; }
    void SetSpeed(int px) { m_speed = px; }
    int MinWidth() const { return m_minWidth; }
    void SetMinWidth(int px) { m_minWidth = px; }
    int MaxWidth() const { return m_maxWidth; }
    void SetMaxWidth(int px) { m_maxWidth = px; }

    Direction CurrentDirection() const { return m_direction; }
    bool Animating() const;

    // Start sliding towards MaxWidth or MinWidth.
    void Expand();
    void Collapse();

    // One animation step; the timer calls it. Stops the timer once the width no longer changes.
    void Step();

    // Every size change (each animation step included), like the panel's resize event.
    std::function<void(ZMenuContainer *)> OnResize;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void start(Direction direction);

    QColor m_color;
    int m_interval = 10;
    int m_speed = 7;
    int m_minWidth = 75;
    int m_maxWidth = 200;
    QTimer *m_timer = nullptr;
    Direction m_direction = Direction::Idle;
};
