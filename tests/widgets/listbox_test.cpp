#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "ListBox.h"
#include "base/colorref.h"

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void click(QWidget *w, QPoint at)
{
    mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

QStringList rows(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("Eintrag %1").arg(i);
    return list;
}

struct Box
{
    ZListBox box;
    int changes = 0;
    explicit Box(int count)
    {
        box.resize(200, 500);
        box.SetItemHeight(20);
        box.SetColor(QColor(0, 0, 255));
        box.SetHighlight(QColor(255, 200, 0));
        box.OnChange = [this](ZListBox *sender) {
            EXPECT_EQ(sender, &box);
            ++changes;
        };
        box.BeginUpdate();
        for (const QString &s : rows(count))
            box.Items().append(s);
        box.EndUpdate();
    }
};

TEST(ListBoxRange, BarOnlyWhenTheRowsDoNotFit)
{
    const QColor white = vellora::colorRef(vellora::kWhite);
    const QColor silver = vellora::colorRef(vellora::kSilver);
    const QColor grey = vellora::colorRef(vellora::kGrey);
    {
        Box b(24); // 480 <= 498
        EXPECT_FALSE(b.box.BarShown());
        EXPECT_EQ(b.box.TopMaximum(), 0);
        EXPECT_EQ(b.box.Step(), 0.0f);
        const QImage img = b.box.grab().toImage();
        EXPECT_EQ(img.pixelColor(190, 490), white);
        EXPECT_EQ(img.pixelColor(181, 250), white);
        EXPECT_EQ(img.pixelColor(199, 250), QColor(0, 0, 255)); // frame
    }
    {
        Box b(25);
        EXPECT_TRUE(b.box.BarShown());
        EXPECT_EQ(b.box.TopMaximum(), 1);
        EXPECT_EQ(b.box.ThumbLength(), 445); // round(24 x 464 / 25) = round(445.44)
        EXPECT_NEAR(b.box.Step(), 19.0f, 1e-5);
        const QImage img = b.box.grab().toImage();
        EXPECT_EQ(img.pixelColor(181, 250), grey);   // line between rows and bar
        EXPECT_EQ(img.pixelColor(190, 470), silver); // track below the thumb
        EXPECT_EQ(img.pixelColor(190, 250), grey);   // thumb
        EXPECT_EQ(img.pixelColor(190, 7), white);    // up triangle
        EXPECT_EQ(img.pixelColor(199, 250), QColor(0, 0, 255));
    }
}

TEST(ListBoxRange, RowsAddedAfterReadingItemsCount)
{
    ZListBox box;
    box.resize(200, 500);
    box.SetItemHeight(20);
    QStringList &items = box.Items(); // read once, then filled
    items << rows(30);
    EXPECT_EQ(box.TopMaximum(), 6);
    for (int i = 0; i < 10; ++i)
        box.Scroll(-120);
    EXPECT_EQ(box.TopRow(), 6);
    box.Scroll(120);
    EXPECT_EQ(box.TopRow(), 5);
    box.ScrollToTop();
    EXPECT_EQ(box.TopRow(), 0);
    box.Scroll(120);
    EXPECT_EQ(box.TopRow(), 0);

    box.SetItemHeight(10); // 300 <= 498: everything fits now
    EXPECT_EQ(box.TopMaximum(), 0);
    EXPECT_FALSE(box.BarShown());
}

TEST(ListBoxSelect, ClickSelectsTheRowUnderThePointer)
{
    Box b(30);
    click(&b.box, QPoint(50, 1 + 3 * 20 + 5));
    EXPECT_EQ(b.box.ItemIndex(), 3);
    EXPECT_EQ(b.changes, 1);
    click(&b.box, QPoint(50, 1 + 3 * 20 + 19));
    EXPECT_EQ(b.changes, 1) << "same row: no change event";
    click(&b.box, QPoint(190, 420)); // on the track, not on a row
    EXPECT_EQ(b.box.ItemIndex(), 3);

    // The selected row is painted in Highlight.
    const QImage img = b.box.grab().toImage();
    EXPECT_EQ(img.pixelColor(2, 1 + 3 * 20 + 1), QColor(255, 200, 0));
    EXPECT_EQ(img.pixelColor(2, 1 + 4 * 20 + 1), QColor(255, 255, 255));

    b.box.SetItemIndex(7);
    EXPECT_EQ(b.changes, 2);
    EXPECT_EQ(b.box.TopRow(), 0) << "selecting does not scroll";

    // With the list scrolled, rows count from the top row.
    b.box.Scroll(-1);
    click(&b.box, QPoint(50, 1 + 0 * 20 + 5));
    EXPECT_EQ(b.box.ItemIndex(), 1);

    // Dragging over rows with the button held selects as it goes.
    mouse(&b.box, QEvent::MouseMove, QPoint(50, 1 + 2 * 20 + 5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(b.box.ItemIndex(), 3);
    mouse(&b.box, QEvent::MouseMove, QPoint(50, 1 + 4 * 20 + 5), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(b.box.ItemIndex(), 3);
}

TEST(ListBoxScroll, ButtonsAndThumbDrag)
{
    Box b(30); // top maximum 6
    const QPoint down = b.box.DownButtonRect().center();
    for (int i = 0; i < 8; ++i)
        click(&b.box, down);
    EXPECT_EQ(b.box.TopRow(), 6);
    EXPECT_EQ(b.changes, 0) << "the buttons select nothing";
    click(&b.box, b.box.UpButtonRect().center());
    EXPECT_EQ(b.box.TopRow(), 5);

    b.box.ScrollToTop();
    const float step = b.box.Step(); // thumb round(24 x 464 / 30) = 371, (500 - 371 - 36) / 6
    ASSERT_EQ(b.box.ThumbLength(), 371);
    ASSERT_EQ(step, 15.5f);
    const QPoint grab(190, 30);
    mouse(&b.box, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    mouse(&b.box, QEvent::MouseMove, QPoint(190, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(b.box.TopRow(), 1);
    mouse(&b.box, QEvent::MouseMove, QPoint(190, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(b.box.TopRow(), 2); // anchor 30 + 16 + 16 (15.5 rounds to 16)
    mouse(&b.box, QEvent::MouseMove, QPoint(190, 62 + 15), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(b.box.TopRow(), 2);
    mouse(&b.box, QEvent::MouseMove, QPoint(190, 62 - 16), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(b.box.TopRow(), 1);
    EXPECT_EQ(b.changes, 0);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b.box, &leave);
    mouse(&b.box, QEvent::MouseMove, QPoint(190, 400), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(b.box.TopRow(), 1) << "leaving ends the drag";
}

TEST(ListBoxUpdate, NothingIsPaintedWhileUpdating)
{
    Box b(3);
    b.box.BeginUpdate();
    EXPECT_TRUE(b.box.Updating());
    b.box.SetItemIndex(0);
    EXPECT_NE(b.box.grab().toImage().pixelColor(5, 5), QColor(255, 200, 0));
    b.box.EndUpdate();
    EXPECT_FALSE(b.box.Updating());
    EXPECT_EQ(b.box.grab().toImage().pixelColor(5, 5), QColor(255, 200, 0));
}

} // namespace
