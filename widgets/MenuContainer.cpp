#include "MenuContainer.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>

#include "zcontrol.h"

ZMenuContainer::ZMenuContainer(QWidget *parent) : QWidget(parent)
{
    m_color = vellora::buttonFace();
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &ZMenuContainer::Step);
}

ZMenuContainer::~ZMenuContainer() = default;

void ZMenuContainer::SetColor(const QColor &color)
{
    m_color = color;
    update();
}

bool ZMenuContainer::Animating() const
{
    return m_timer->isActive();
}

void ZMenuContainer::Expand()
{
    start(Direction::Expanding);
}

void ZMenuContainer::Collapse()
{
    start(Direction::Collapsing);
}

void ZMenuContainer::start(Direction direction)
{
    m_direction = direction;
    m_timer->setInterval(m_interval);
    m_timer->start();
}

void ZMenuContainer::Step()
{
    int target = width();
    if (m_direction == Direction::Collapsing)
        target = std::max(m_minWidth, width() - m_speed);
    else if (m_direction == Direction::Expanding)
        target = std::min(m_maxWidth, width() + m_speed);

    if (target == width()) {
        m_timer->stop();
        m_direction = Direction::Idle;
        return;
    }
    resize(target, height());
    const auto kids = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : kids) {
        if (child->isWindow())
            continue;
        child->resize(width() - child->x() - 5, child->height());
    }
}

void ZMenuContainer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}

void ZMenuContainer::resizeEvent(QResizeEvent *)
{
    if (OnResize)
        OnResize(this);
}

void ZMenuContainer::enterEvent(QEnterEvent *)
{
    Expand();
}

void ZMenuContainer::leaveEvent(QEvent *)
{
    Collapse();
}
