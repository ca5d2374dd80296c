#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "MainMenu.h"
#include "Menu.h"
#include "base/colorref.h"

namespace {

const QColor kBar = vellora::colorRef(8421504);        // grey
const QColor kHighlight = vellora::colorRef(12632256); // silver
const QColor kTitle = vellora::colorRef(16777215);     // white
const QColor kEntryText = vellora::colorRef(128);      // maroon, to tell captions from glyphs

QFont titleFont()
{
    QFont font("Trebuchet MS");
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

QFont entryFont()
{
    QFont font("Trebuchet MS");
    font.setPixelSize(13);
    return font;
}

void moveTo(QWidget *w, int x, int y, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void press(QWidget *w, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void release(QWidget *w, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), button,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// The bar acts on the hover of the last move, as the pointer always moves before it clicks.
void hoverAndClick(QWidget *w, int x, int y)
{
    moveTo(w, x, y);
    press(w, x, y);
    release(w, x, y);
}

void leave(QWidget *w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}

int countColor(const QImage &image, const QRect &area, const QColor &color)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == color)
                ++n;
    return n;
}

class MainMenuTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        form->resize(765, 500);
        bar = new ZMainMenu(form.get());
        bar->SetColor(kBar);
        bar->SetHighlight(kHighlight);
        bar->SetFont(titleFont());
        bar->SetFontColor(kTitle);
        bar->SetMenuFont(entryFont());
        bar->SetMenuFontColor(kEntryText);
        bar->setGeometry(0, 0, 765, 20);
        form->show();
    }

    ZMenu *makeMenu(const QString &caption)
    {
        auto *menu = new ZMenu(form.get());
        menu->Items().Add(caption, true, true);
        return menu;
    }

    std::unique_ptr<QWidget> form;
    ZMainMenu *bar = nullptr;
};

TEST_F(MainMenuTest, BoxesSitAtTheRightEndAndEntriesStartAt140)
{
    // The second size lays the entries out again through the resize alone.
    for (int height : {30, 20}) {
        SCOPED_TRACE(height);
        bar->Items().Clear();
        bar->Items().Add("Lernprofil", true, true);
        bar->Items().Add("Hilfe", false, true);
        bar->Items().Add("Info", true, true);
        bar->resize(765, height);

        EXPECT_EQ(bar->CloseRect(), QRect(765 - height, 0, height, height));
        EXPECT_EQ(bar->MinimizeRect(), QRect(765 - 2 * height, 0, height, height));

        const QFontMetrics fm(entryFont());
        const int w0 = fm.horizontalAdvance("Lernprofil") + 16;
        const int w2 = fm.horizontalAdvance("Info") + 16;
        // Entries are 20 high whatever the bar's height; the hidden one takes no room.
        EXPECT_EQ(bar->Items()[0]->Rect(), QRect(140, 0, w0, 20));
        EXPECT_EQ(bar->Items()[2]->Rect(), QRect(140 + w0 + 4, 0, w2, 20));
    }
}

TEST_F(MainMenuTest, LayoutItemsFollowsVisibilityChanges)
{
    bar->Items().Add("Lernprofil", false, true);
    bar->Items().Add("Info", true, true);
    bar->LayoutItems();
    EXPECT_EQ(bar->Items()[1]->Left(), 140);

    bar->Items()[0]->SetVisible(true);
    bar->LayoutItems();
    EXPECT_EQ(bar->Items()[0]->Left(), 140);
    EXPECT_EQ(bar->Items()[1]->Left(), bar->Items()[0]->Right() + 4);

    moveTo(bar, bar->Items()[0]->Left() + 2, 5);
    EXPECT_EQ(bar->Hovered(), 0);
    // An invisible entry cannot be hovered, even where its old rectangle lies.
    bar->Items()[0]->SetVisible(false);
    moveTo(bar, bar->Items()[0]->Left() + 3, 5);
    EXPECT_EQ(bar->Hovered(), -1);
}

TEST_F(MainMenuTest, CaptionIsCentred)
{
    bar->SetCaption("Vellora");
    const QImage image = bar->grab().toImage();
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == kTitle) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    const int advance = QFontMetrics(titleFont()).horizontalAdvance("Vellora");
    const int start = (765 - advance) / 2;
    EXPECT_GE(left, start - 1);
    EXPECT_LE(right, start + advance);
    EXPECT_NEAR((left + right) / 2.0, 765 / 2.0, 4.0);
    EXPECT_GE(top, 0);
    EXPECT_LT(bottom, 20);
}

TEST_F(MainMenuTest, GlyphsUseTheFontColourAndTheHighlightWhenHovered)
{
    bar->SetClose(true);
    bar->SetMinimize(true);
    const QRect close = bar->CloseRect();
    const QRect minimize = bar->MinimizeRect();

    QImage image = bar->grab().toImage();
    // Middle of the cross, and the minimize stroke 3 pixels above the box's bottom.
    EXPECT_EQ(image.pixelColor(close.left() + 10, 10), kTitle);
    EXPECT_EQ(image.pixelColor(close.left() + 2, 10), kBar);
    EXPECT_EQ(image.pixelColor(minimize.left() + 10, 17), kTitle);
    EXPECT_EQ(image.pixelColor(minimize.left() + 10, 10), kBar);

    moveTo(bar, close.left() + 2, 2);
    EXPECT_TRUE(bar->CloseHovered());
    image = bar->grab().toImage();
    EXPECT_EQ(image.pixelColor(close.left() + 10, 10), kHighlight);
    EXPECT_EQ(countColor(image, close, kTitle), 0);
    EXPECT_EQ(image.pixelColor(minimize.left() + 10, 17), kTitle);

    moveTo(bar, minimize.left() + 2, 2);
    EXPECT_FALSE(bar->CloseHovered());
    EXPECT_TRUE(bar->MinimizeHovered());
    image = bar->grab().toImage();
    EXPECT_EQ(image.pixelColor(close.left() + 10, 10), kTitle);
    EXPECT_EQ(image.pixelColor(minimize.left() + 10, 17), kHighlight);

    leave(bar);
    EXPECT_FALSE(bar->MinimizeHovered());
    image = bar->grab().toImage();
    EXPECT_EQ(image.pixelColor(minimize.left() + 10, 17), kTitle);
}

TEST_F(MainMenuTest, HiddenMinimizeBoxShowsNothingAndDoesNothing)
{
    bar->SetClose(true);
    bar->SetMinimize(false);
    const QRect minimize = bar->MinimizeRect();
    const int area = minimize.width() * minimize.height();

    EXPECT_EQ(countColor(bar->grab().toImage(), minimize, kBar), area);
    hoverAndClick(bar, minimize.left() + 5, 5);
    EXPECT_EQ(countColor(bar->grab().toImage(), minimize, kBar), area);
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainMenuTest, MinimizeBoxMinimizesTheApplication)
{
    bar->SetMinimize(true);
    hoverAndClick(bar, bar->MinimizeRect().left() + 5, 5);
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
}

TEST_F(MainMenuTest, CloseBoxClosesTheWindowUnlessOnCloseIsSet)
{
    bar->SetClose(true);
    std::vector<ZMainMenu *> closes;
    bar->OnClose = [&](ZMainMenu *sender) { closes.push_back(sender); };
    hoverAndClick(bar, bar->CloseRect().left() + 5, 5);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0], bar);
    EXPECT_TRUE(form->isVisible());

    bar->OnClose = nullptr;
    hoverAndClick(bar, bar->CloseRect().left() + 5, 5);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainMenuTest, CloseBoxWithoutCloseDoesNothing)
{
    bar->SetClose(false);
    int closes = 0;
    bar->OnClose = [&](ZMainMenu *) { ++closes; };
    const QRect close = bar->CloseRect();
    hoverAndClick(bar, close.left() + 5, 5);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(countColor(bar->grab().toImage(), close, kBar), close.width() * close.height());
}

TEST_F(MainMenuTest, EntryPaintsHighlightAndDownTriangle)
{
    bar->Items().Add("Lernprofil", true, true);
    bar->Items().Add("Info", true, true);
    bar->LayoutItems();
    const ZItem *first = bar->Items()[0];
    const ZItem *second = bar->Items()[1];

    moveTo(bar, second->Left() + 3, 3);
    EXPECT_EQ(bar->Hovered(), 1);
    const QImage image = bar->grab().toImage();
    EXPECT_EQ(image.pixelColor(second->Right() - 2, 1), kHighlight);
    EXPECT_EQ(image.pixelColor(first->Right() - 2, 1), kBar);
    // Caption ink (antialiased, so only its darkest pixels are the exact colour) right of the
    // triangle.
    const QRect caption(first->Left() + 13, 0, first->Right() - first->Left() - 13, 20);
    EXPECT_GT(caption.width() * caption.height() - countColor(image, caption, kBar), 10);
    // Down-pointing triangle in the title font's colour, with or without a submenu.
    for (const ZItem *item : {first, second}) {
        EXPECT_EQ(image.pixelColor(item->Left() + 6, 9), kTitle);
        EXPECT_EQ(image.pixelColor(item->Left() + 6, 13), item == second ? kHighlight : kBar);
    }
}

TEST_F(MainMenuTest, ClickOpensTheSubmenuBelowItsEntry)
{
    ZMenu *profile = makeMenu("Lernprofil anmelden");
    bar->Items().Add("Lernprofil", true, true, profile);
    bar->Items().Add("Ohne Untermenü", true, true);
    bar->LayoutItems();

    // An entry without a submenu does nothing.
    hoverAndClick(bar, bar->Items()[1]->Left() + 3, 5);
    EXPECT_FALSE(bar->SubMenuOpen());
    EXPECT_FALSE(profile->isVisible());

    // Hovering alone does not open it.
    moveTo(bar, bar->Items()[0]->Left() + 3, 5);
    EXPECT_FALSE(profile->isVisible());
    press(bar, bar->Items()[0]->Left() + 3, 5);
    release(bar, bar->Items()[0]->Left() + 3, 5);
    EXPECT_TRUE(profile->isVisible());
    EXPECT_TRUE(bar->SubMenuOpen());
    EXPECT_EQ(profile->pos(), QPoint(140, 20));
    EXPECT_EQ(form->childAt(145, 25), profile);
}

TEST_F(MainMenuTest, SubmenuOfABarInsideAPanelOpensBelowTheBar)
{
    // The help box carries its bar inside a panel; its popups still belong to the window.
    auto *panel = new QWidget(form.get());
    panel->setGeometry(152, 24, 369, 187);
    panel->show();
    bar->setParent(panel);
    bar->setGeometry(0, 0, 369, 20);
    bar->show();
    ZMenu *menu = makeMenu("Hilfe");
    bar->Items().Add("Info", true, true, menu);
    bar->LayoutItems();

    hoverAndClick(bar, 145, 5);
    EXPECT_EQ(menu->pos(), QPoint(152 + 140, 24 + 20));
}

TEST_F(MainMenuTest, MovingToAnotherEntryHidesTheOpenSubmenu)
{
    ZMenu *first = makeMenu("Eins");
    ZMenu *second = makeMenu("Zwei");
    bar->Items().Add("Lernprofil", true, true, first);
    bar->Items().Add("Info", true, true, second);
    bar->LayoutItems();
    const int x0 = bar->Items()[0]->Left() + 3;
    const int x1 = bar->Items()[1]->Left() + 3;

    hoverAndClick(bar, x0, 5);
    ASSERT_TRUE(first->isVisible());
    moveTo(bar, x1, 5);
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(bar->SubMenuOpen());
    press(bar, x1, 5);
    release(bar, x1, 5);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->pos(), QPoint(bar->Items()[1]->Left(), 20));
}

TEST_F(MainMenuTest, LeaveKeepsTheHoverOfAnOpenSubmenuAndCloseMenusClearsIt)
{
    ZMenu *info = makeMenu("Info");
    bar->Items().Add("Lernprofil", true, true);
    bar->Items().Add("Info", true, true, info);
    bar->LayoutItems();

    // Without an open submenu, leaving clears the hover.
    moveTo(bar, bar->Items()[0]->Left() + 3, 5);
    leave(bar);
    EXPECT_EQ(bar->Hovered(), -1);

    hoverAndClick(bar, bar->Items()[1]->Left() + 3, 5);
    leave(bar); // into the popup
    EXPECT_EQ(bar->Hovered(), 1);
    EXPECT_TRUE(info->isVisible());
    EXPECT_EQ(bar->grab().toImage().pixelColor(bar->Items()[1]->Right() - 2, 1), kHighlight);

    bar->CloseMenus();
    EXPECT_EQ(bar->Hovered(), -1);
    EXPECT_FALSE(bar->SubMenuOpen());
    EXPECT_FALSE(info->isVisible());
    EXPECT_EQ(bar->grab().toImage().pixelColor(bar->Items()[1]->Right() - 2, 1), kBar);
}

TEST_F(MainMenuTest, MouseEventsPassThroughForDragging)
{
    std::vector<std::tuple<char, int, int, int>> events;
    bar->OnMouseDown = [&](ZMainMenu *sender, Qt::MouseButton button, int x, int y) {
        EXPECT_EQ(sender, bar);
        events.emplace_back('d', static_cast<int>(button), x, y);
    };
    bar->OnMouseMove = [&](ZMainMenu *sender, Qt::MouseButtons buttons, int x, int y) {
        EXPECT_EQ(sender, bar);
        events.emplace_back('m', static_cast<int>(buttons), x, y);
    };
    bar->OnMouseUp = [&](ZMainMenu *sender, Qt::MouseButton button, int x, int y) {
        EXPECT_EQ(sender, bar);
        events.emplace_back('u', static_cast<int>(button), x, y);
    };
    press(bar, 50, 8);
    moveTo(bar, 80, -30, Qt::LeftButton); // outside the bar while it holds the mouse
    release(bar, 80, -30);

    const std::vector<std::tuple<char, int, int, int>> expected = {
        {'d', Qt::LeftButton, 50, 8}, {'m', Qt::LeftButton, 80, -30}, {'u', Qt::LeftButton, 80, -30}};
    EXPECT_EQ(events, expected);
}

TEST_F(MainMenuTest, TopAlignedBarFollowsTheWindowWidth)
{
    bar->SetClose(true);
    bar->SetAlign(ZAlign::Top);
    form->resize(900, 500);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 900, 20));
    EXPECT_EQ(bar->CloseRect(), QRect(880, 0, 20, 20));
}

} // namespace
