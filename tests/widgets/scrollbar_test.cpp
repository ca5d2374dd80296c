#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "Memo.h"
#include "ScrollBar.h"
#include "base/colorref.h"

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void press(QWidget *w, QPoint at)
{
    mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}
void release(QWidget *w, QPoint at)
{
    mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
void drag(QWidget *w, QPoint at)
{
    mouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
void hover(QWidget *w, QPoint at)
{
    mouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
}

// Counts the paints a widget receives.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Lines "1" .. "rows+1": the memo's RowCount is rows.
QByteArray lines(int rows)
{
    QByteArray text;
    for (int i = 0; i <= rows; ++i) {
        if (i)
            text += "\r\n";
        text += QByteArray::number(i + 1);
    }
    return text;
}

// The screens' layout: a memo 343 high with row size 27 and the 19 x 444 bar beside it.
struct Screen
{
    QWidget window;
    ZMemo *memo = new ZMemo(&window);
    ZScrollBar *bar = new ZScrollBar(&window);
    explicit Screen(int rows)
    {
        window.resize(400, 460);
        QFont f(QStringLiteral("Trebuchet MS"));
        f.setPixelSize(13);
        memo->SetFont(f);
        memo->setGeometry(0, 0, 300, 343);
        bar->setGeometry(320, 0, 19, 444);
        bar->SetMemo(memo);
        memo->SetText(lines(rows));
        bar->UpdateRange();
    }
};

TEST(ScrollBarRange, WorkedNumbers)
{
    Screen s(20);
    ASSERT_EQ(s.memo->RowSize(), 27);
    ASSERT_EQ(s.memo->RowCount(), 20);
    EXPECT_EQ(s.bar->BarMaximum(), 9);
    EXPECT_EQ(s.bar->ThumbLength(), 224);
    EXPECT_NEAR(s.bar->Step(), 184.0f / 9.0f, 1e-4);
    EXPECT_TRUE(s.bar->Visible());
    EXPECT_EQ(s.bar->DownButtonRect(), QRect(QPoint(1, 426), QPoint(17, 442)));
    EXPECT_EQ(s.bar->UpButtonRect(), QRect(QPoint(1, 1), QPoint(17, 17)));
    EXPECT_EQ(s.bar->ThumbRect(), QRect(QPoint(1, 18), QPoint(17, 241)));
}

TEST(ScrollBarRange, ShowsOnlyWhenMoreThanOneRowIsCut)
{
    struct Case
    {
        int rows;
        int maximum;
        bool visible;
    };
    // 12: the 13th row is partly cut, one position reaches it; 0 and 1: everything fits.
    const Case cases[] = {{13, 2, true}, {12, 1, false}, {0, 0, false}, {1, 0, false}};
    for (const Case &c : cases) {
        Screen s(c.rows);
        EXPECT_EQ(s.bar->BarMaximum(), c.maximum) << c.rows;
        EXPECT_EQ(s.bar->Visible(), c.visible) << c.rows;
        if (!c.visible) {
            EXPECT_EQ(s.bar->Step(), 0.0f) << c.rows;
        }
    }
    // The wheel cannot move a text that fits, and one that is cut by a row moves by one.
    for (int rows : {1, 12}) {
        Screen s(rows);
        s.bar->Scroll(-120);
        s.bar->Scroll(-120);
        EXPECT_EQ(s.memo->Position(), rows == 1 ? 0 : 1) << rows;
        EXPECT_EQ(s.bar->BarPosition(), rows == 1 ? 0 : 1) << rows;
    }

    // Hidden, then shown again when a longer text arrives.
    Screen s(12);
    s.memo->SetText(lines(20));
    s.bar->UpdateRange();
    EXPECT_TRUE(s.bar->Visible());
}

TEST(ScrollBarScroll, WheelAndKeysMoveOneRowWithinTheRange)
{
    Screen s(20);
    s.window.show();
    PaintCounter counter;
    s.memo->installEventFilter(&counter);
    QCoreApplication::processEvents();
    counter.paints = 0;

    s.bar->Scroll(120); // already at the top
    QCoreApplication::processEvents();
    EXPECT_EQ(s.bar->BarPosition(), 0);
    EXPECT_EQ(counter.paints, 0);

    s.bar->Scroll(-120);
    QCoreApplication::processEvents();
    EXPECT_EQ(s.bar->BarPosition(), 1);
    EXPECT_EQ(s.memo->Position(), 1);
    EXPECT_EQ(counter.paints, 1);

    s.bar->Scroll(0);
    EXPECT_EQ(s.bar->BarPosition(), 1);
    for (int i = 0; i < 20; ++i)
        s.bar->Scroll(-1);
    EXPECT_EQ(s.bar->BarPosition(), 9);
    QCoreApplication::processEvents();
    counter.paints = 0;
    s.bar->Scroll(-120); // already at the maximum
    QCoreApplication::processEvents();
    EXPECT_EQ(s.memo->Position(), 9);
    EXPECT_EQ(counter.paints, 0);

    s.bar->Scroll(+1);
    EXPECT_EQ(s.memo->Position(), 8);

    s.bar->ResetPosition();
    EXPECT_EQ(s.bar->BarPosition(), 0);
    EXPECT_EQ(s.memo->Position(), 8) << "the screens reset the memo themselves";
}

TEST(ScrollBarMouse, ButtonsStepOneRow)
{
    Screen s(13); // maximum 2
    const QPoint down = s.bar->DownButtonRect().center();
    const QPoint up = s.bar->UpButtonRect().center();
    for (int i = 0; i < 3; ++i) {
        press(s.bar, down);
        release(s.bar, down);
    }
    EXPECT_EQ(s.bar->BarPosition(), 2);
    EXPECT_EQ(s.memo->Position(), 2);
    press(s.bar, up);
    release(s.bar, up);
    EXPECT_EQ(s.memo->Position(), 1);
}

TEST(ScrollBarMouse, DraggingMovesAtMostOneRowPerMove)
{
    Screen s(20);
    const int step = 20; // round(20.44)
    press(s.bar, QPoint(9, 30));
    ASSERT_TRUE(s.bar->Dragging());

    const int y = 30 + 3 * step + 2; // three steps away in one move
    drag(s.bar, QPoint(9, y));
    EXPECT_EQ(s.memo->Position(), 1);
    drag(s.bar, QPoint(9, y));
    EXPECT_EQ(s.memo->Position(), 2);
    drag(s.bar, QPoint(9, y));
    EXPECT_EQ(s.memo->Position(), 3);
    drag(s.bar, QPoint(9, y)); // anchor has caught up: 62 - 60 < step
    EXPECT_EQ(s.memo->Position(), 3);

    drag(s.bar, QPoint(9, y - 21)); // 90 - 71 = 19: less than a step
    EXPECT_EQ(s.memo->Position(), 3);
    drag(s.bar, QPoint(9, y - 23)); // 90 - 69 = 21
    EXPECT_EQ(s.memo->Position(), 2);

    // Moving without the button held ends the drag.
    hover(s.bar, QPoint(9, 400));
    EXPECT_FALSE(s.bar->Dragging());
    drag(s.bar, QPoint(9, 420));
    EXPECT_EQ(s.memo->Position(), 2);
}

TEST(ScrollBarMouse, ThumbIsGrabbedWhereItIsDrawn)
{
    Screen s(20);
    for (int i = 0; i < 4; ++i)
        s.bar->Scroll(-1);
    const QRect thumb = s.bar->ThumbRect();
    EXPECT_EQ(thumb.top(), 18 + 82); // round(4 x 20.44) = 82
    press(s.bar, QPoint(9, thumb.top() + 5));
    EXPECT_TRUE(s.bar->Dragging());
}

TEST(ScrollBarPaint, FrameButtonsTrackAndThumb)
{
    Screen s(20);
    const QColor grey = vellora::colorRef(vellora::kGrey);
    const QColor silver = vellora::colorRef(vellora::kSilver);
    const QColor white = vellora::colorRef(vellora::kWhite);
    auto check = [&](int position, bool thumbHover) {
        const QImage img = s.bar->grab().toImage();
        const QColor thumb = thumbHover ? vellora::colorRef(vellora::kThumbHover) : grey;
        const int top = (position == 0 ? 0 : 82) + 19;
        EXPECT_EQ(img.pixelColor(0, 200), grey);
        EXPECT_EQ(img.pixelColor(18, 200), grey);
        EXPECT_EQ(img.pixelColor(9, 0), grey);
        EXPECT_EQ(img.pixelColor(2, 3), grey);         // up button
        EXPECT_EQ(img.pixelColor(9, 7), white);        // up triangle
        EXPECT_EQ(img.pixelColor(9, 426 + 10), white); // down triangle
        EXPECT_EQ(img.pixelColor(9, top - 1), silver);
        EXPECT_EQ(img.pixelColor(9, top), thumb);
        EXPECT_EQ(img.pixelColor(9, top + 224 - 3), thumb);
        EXPECT_EQ(img.pixelColor(9, top + 224 - 2), silver);
    };
    check(0, false);
    hover(s.bar, QPoint(9, 30));
    EXPECT_TRUE(s.bar->ThumbHovered());
    check(0, true);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(s.bar, &leave);
    EXPECT_FALSE(s.bar->ThumbHovered());
    for (int i = 0; i < 4; ++i)
        s.bar->Scroll(-1);
    check(4, false);

    hover(s.bar, s.bar->DownButtonRect().center());
    EXPECT_EQ(s.bar->grab().toImage().pixelColor(2, 440), silver);
}

} // namespace
