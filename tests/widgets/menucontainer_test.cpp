#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "MenuContainer.h"
#include "base/colorref.h"

namespace {

class MenuContainerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        screen = std::make_unique<QWidget>();
        screen->resize(800, 600);
        menu = new ZMenuContainer(screen.get());
        // The cell screen's values.
        menu->SetInterval(10);
        menu->SetSpeed(7);
        menu->SetMinWidth(75);
        menu->SetMaxWidth(200);
        menu->setGeometry(0, 0, 75, 600);
        parts = new QWidget(menu);
        parts->setGeometry(5, 40, 65, 300);
        button = new QWidget(menu);
        button->setGeometry(0, 5, 70, 30);
        screen->show();
        menu->OnResize = [this](ZMenuContainer *sender) {
            EXPECT_EQ(sender, menu);
            resizes.push_back(menu->width());
        };
    }

    std::unique_ptr<QWidget> screen;
    ZMenuContainer *menu = nullptr;
    QWidget *parts = nullptr;
    QWidget *button = nullptr;
    std::vector<int> resizes;
};

TEST_F(MenuContainerTest, FullSlideTakesSeventeenStepsOfSevenAndOneOfSixThenStops)
{
    struct Case
    {
        const char *name;
        int from;
        int to;
        bool expand;
    };
    const Case cases[] = {
        {"expand", 75, 200, true},
        {"collapse", 200, 75, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        menu->resize(c.from, 600);
        resizes.clear();
        if (c.expand)
            menu->Expand();
        else
            menu->Collapse();
        ASSERT_TRUE(menu->Animating());

        std::vector<int> steps;
        int previous = menu->width();
        for (int tick = 0; tick < 18; ++tick) {
            menu->Step();
            steps.push_back(std::abs(menu->width() - previous));
            previous = menu->width();
            EXPECT_EQ(parts->width(), menu->width() - 5 - 5);
            EXPECT_EQ(button->width(), menu->width() - 0 - 5);
            EXPECT_TRUE(menu->Animating());
        }
        std::vector<int> expected(17, 7);
        expected.push_back(6);
        EXPECT_EQ(steps, expected);
        EXPECT_EQ(menu->width(), c.to);
        EXPECT_EQ(resizes.size(), 18u);
        EXPECT_EQ(resizes.back(), c.to);

        // One further tick finds nothing to do and stops the timer.
        menu->Step();
        EXPECT_EQ(menu->width(), c.to);
        EXPECT_FALSE(menu->Animating());
        EXPECT_EQ(menu->CurrentDirection(), ZMenuContainer::Direction::Idle);
        EXPECT_EQ(resizes.size(), 18u);
    }
}

TEST_F(MenuContainerTest, MouseEnterExpandsAndLeaveCollapses)
{
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(menu, &enter);
    EXPECT_TRUE(menu->Animating());
    EXPECT_EQ(menu->CurrentDirection(), ZMenuContainer::Direction::Expanding);
    menu->Step();
    EXPECT_EQ(menu->width(), 82);

    // Leaving half way turns the slide round.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(menu, &leave);
    EXPECT_EQ(menu->CurrentDirection(), ZMenuContainer::Direction::Collapsing);
    menu->Step();
    menu->Step();
    EXPECT_EQ(menu->width(), 75);
    menu->Step();
    EXPECT_FALSE(menu->Animating());
}

TEST_F(MenuContainerTest, TimerDrivesTheSlideToItsEnd)
{
    menu->SetInterval(0);
    menu->Expand();
    for (int i = 0; i < 1000 && menu->Animating(); ++i)
        QApplication::processEvents();
    EXPECT_FALSE(menu->Animating());
    EXPECT_EQ(menu->width(), 200);
    EXPECT_EQ(resizes.size(), 18u);
    EXPECT_EQ(parts->width(), 190);
}

TEST_F(MenuContainerTest, PaintsItsColourWithoutBevel)
{
    const QColor green = vellora::colorRef(7200386);
    menu->SetColor(green);
    delete parts;
    delete button;
    const QImage image = menu->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(74, 0), QPoint(0, 599), QPoint(74, 599), QPoint(37, 300)})
        EXPECT_EQ(image.pixelColor(p), green) << p.x() << "," << p.y();
}

} // namespace
