// Clicks on the painted controls: a click is a press and a release inside, and a double click
// counts as one click, never two.

#include <QApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Button.h"
#include "CheckBox.h"
#include "Menu.h"
#include "ShadowPanel.h"

namespace {

void send(QWidget *w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// What the window system delivers for a double click.
void doubleClick(QWidget *w, QPoint at)
{
    send(w, QEvent::MouseButtonPress, at);
    send(w, QEvent::MouseButtonRelease, at);
    send(w, QEvent::MouseButtonDblClick, at);
    send(w, QEvent::MouseButtonRelease, at);
}

// A control under test and how many clicks it has reported so far.
struct Clickable
{
    std::unique_ptr<QWidget> widget;
    QPoint inside;
    std::function<int()> clicks;
};

Clickable button()
{
    auto b = std::make_unique<ZButton>();
    b->resize(146, 32);
    auto count = std::make_shared<int>(0);
    b->OnClick = [count](ZButton *) { ++*count; };
    return {std::move(b), QPoint(20, 10), [count] { return *count; }};
}

Clickable panel()
{
    auto p = std::make_unique<ZShadowPanel>();
    p->resize(185, 45);
    auto count = std::make_shared<int>(0);
    p->OnClick = [count](ZShadowPanel *) { ++*count; };
    return {std::move(p), QPoint(30, 20), [count] { return *count; }};
}

Clickable menu()
{
    auto m = std::make_unique<ZMenu>();
    m->Items().Add(QStringLiteral("Hilfe"), true, true);
    m->Items().Add(QStringLiteral("Info"), true, true);
    m->Popup();
    const ZItem *first = m->Items()[0];
    const QPoint inside(first->Left() + 2, first->Top() + 2);
    QMouseEvent move(QEvent::MouseMove, QPointF(inside), m->mapToGlobal(QPointF(inside)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m.get(), &move);
    auto count = std::make_shared<int>(0);
    m->OnClick = [count](ZMenu *, int) { ++*count; };
    return {std::move(m), inside, [count] { return *count; }};
}

Clickable checkBox()
{
    auto c = std::make_unique<ZCheckBox>();
    c->resize(300, 40);
    ZCheckBox *box = c.get();
    // Each toggle is one click; the box starts unchecked.
    auto toggles = std::make_shared<int>(0);
    auto last = std::make_shared<bool>(false);
    return {std::move(c), QPoint(150, 20), [box, toggles, last] {
                if (box->Checked() != *last) {
                    *last = box->Checked();
                    ++*toggles;
                }
                return *toggles;
            }};
}

struct Case
{
    const char *name;
    Clickable (*make)();
};
const Case kCases[] = {{"button", button}, {"shadow panel", panel}, {"menu", menu}, {"check box", checkBox}};

} // namespace

TEST(Clicks, ADoubleClickIsOneClick)
{
    for (const Case &c : kCases) {
        Clickable w = c.make();
        doubleClick(w.widget.get(), w.inside);
        EXPECT_EQ(w.clicks(), 1) << c.name;
        // A later single click counts again.
        send(w.widget.get(), QEvent::MouseButtonPress, w.inside);
        send(w.widget.get(), QEvent::MouseButtonRelease, w.inside);
        EXPECT_EQ(w.clicks(), 2) << c.name;
    }
}

TEST(Clicks, APressAloneOrAReleaseOutsideIsNoClick)
{
    for (const Case &c : kCases) {
        Clickable w = c.make();
        send(w.widget.get(), QEvent::MouseButtonPress, w.inside);
        EXPECT_EQ(w.clicks(), 0) << c.name << ": nothing on the press";
        send(w.widget.get(), QEvent::MouseButtonRelease, QPoint(-5, -5));
        EXPECT_EQ(w.clicks(), 0) << c.name << ": released outside";
    }
}
