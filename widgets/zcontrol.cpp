#include "zcontrol.h"

#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QVariant>

namespace {

constexpr const char *kAlignProperty = "zAlign";
constexpr const char *kFilterProperty = "zAlignFilter";

// Watches a parent with aligned children (resize) and the children themselves (show, hide,
// resize of the edge they keep), and re-lays them out.
class AlignFilter : public QObject
{
  public:
    explicit AlignFilter(QWidget *parent) : QObject(parent), m_parent(parent) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::ChildRemoved:
            if (!m_busy && m_parent) {
                m_busy = true;
                vellora::alignChildren(m_parent);
                m_busy = false;
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    QPointer<QWidget> m_parent;
    bool m_busy = false;
};

AlignFilter *filterOf(QWidget *parent)
{
    auto *filter = parent->property(kFilterProperty).value<QObject *>();
    if (filter)
        return static_cast<AlignFilter *>(filter);
    auto *created = new AlignFilter(parent);
    parent->setProperty(kFilterProperty, QVariant::fromValue<QObject *>(created));
    parent->installEventFilter(created);
    return created;
}

} // namespace

namespace vellora {

void setControlAlign(QWidget *control, ZAlign align)
{
    control->setProperty(kAlignProperty, static_cast<int>(align));
    QWidget *parent = control->parentWidget();
    if (!parent || align == ZAlign::None)
        return;
    AlignFilter *filter = filterOf(parent);
    control->removeEventFilter(filter);
    control->installEventFilter(filter);
    alignChildren(parent);
}

ZAlign controlAlign(const QWidget *control)
{
    const QVariant v = control->property(kAlignProperty);
    return v.isValid() ? static_cast<ZAlign>(v.toInt()) : ZAlign::None;
}

void alignChildren(QWidget *parent)
{
    QRect room = parent->contentsRect();
    const QObjectList &kids = parent->children();
    // Form order: all Top controls, then Bottom, Left, Right, and Client last.
    for (ZAlign pass : {ZAlign::Top, ZAlign::Bottom, ZAlign::Left, ZAlign::Right, ZAlign::Client}) {
        for (QObject *object : kids) {
            auto *w = qobject_cast<QWidget *>(object);
            if (!w || w->isWindow() || controlAlign(w) != pass || !visibleFlag(w))
                continue;
            QRect g = w->geometry();
            switch (pass) {
            case ZAlign::Top:
                g = QRect(room.left(), room.top(), room.width(), g.height());
                room.setTop(room.top() + g.height());
                break;
            case ZAlign::Bottom:
                g = QRect(room.left(), room.bottom() + 1 - g.height(), room.width(), g.height());
                room.setBottom(room.bottom() - g.height());
                break;
            case ZAlign::Left:
                g = QRect(room.left(), room.top(), g.width(), room.height());
                room.setLeft(room.left() + g.width());
                break;
            case ZAlign::Right:
                g = QRect(room.right() + 1 - g.width(), room.top(), g.width(), room.height());
                room.setRight(room.right() - g.width());
                break;
            case ZAlign::Client:
                g = QRect(room.left(), room.top(), qMax(0, room.width()), qMax(0, room.height()));
                break;
            case ZAlign::None:
                break;
            }
            if (g != w->geometry())
                w->setGeometry(g);
        }
    }
}

bool visibleFlag(const QWidget *control)
{
    if (control->isWindow())
        return !control->isHidden();
    return !(control->testAttribute(Qt::WA_WState_ExplicitShowHide) && control->isHidden());
}

void fillLTRB(QPainter &painter, int left, int top, int right, int bottom, const QColor &color)
{
    if (right <= left || bottom <= top)
        return;
    painter.fillRect(QRect(left, top, right - left, bottom - top), color);
}

void frameLTRB(QPainter &painter, int left, int top, int right, int bottom, const QColor &color)
{
    if (right <= left || bottom <= top)
        return;
    painter.fillRect(QRect(left, top, right - left, 1), color);
    painter.fillRect(QRect(left, bottom - 1, right - left, 1), color);
    painter.fillRect(QRect(left, top, 1, bottom - top), color);
    painter.fillRect(QRect(right - 1, top, 1, bottom - top), color);
}

QColor buttonFace()
{
    return QColor(240, 240, 240);
}

} // namespace vellora
