#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Menu.h"
#include "base/colorref.h"

namespace {

const QColor kMenuColor = vellora::colorRef(16777215); // white
const QColor kHighlight = vellora::colorRef(12632256); // silver
const QColor kText = vellora::colorRef(128);           // maroon, to tell it from the greys
const QColor kBorder = vellora::colorRef(11579568);
const QColor kDisabled = vellora::colorRef(11184810);

QFont menuFont()
{
    QFont font("Trebuchet MS");
    font.setPixelSize(16);
    return font;
}

void moveTo(QWidget *w, int x, int y)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void clickAt(QWidget *w, int x, int y)
{
    const QPointF global = w->mapToGlobal(QPointF(x, y));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, y), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
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

class MenuTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        form->resize(600, 400);
        form->show();
    }

    ZMenu *makeMenu(const std::vector<QString> &captions)
    {
        auto *menu = new ZMenu(form.get());
        menu->SetColor(kMenuColor);
        menu->SetHighlight(kHighlight);
        menu->SetFont(menuFont());
        menu->SetFontColor(kText);
        for (const QString &caption : captions)
            menu->Items().Add(caption, true, true);
        return menu;
    }

    std::unique_ptr<QWidget> form;
};

TEST_F(MenuTest, LayoutSizesTheMenuToItsVisibleEntries)
{
    ZMenu *menu = makeMenu({"Lernprofil anmelden", "versteckt und sehr viel breiter als alle", "Info"});
    menu->Items()[1]->SetVisible(false);
    menu->Layout();

    const QFontMetrics fm(menuFont());
    const int h = fm.height();
    const int w = std::max(fm.horizontalAdvance("Lernprofil anmelden"), fm.horizontalAdvance("Info"));
    EXPECT_EQ(menu->width(), w + 12);
    EXPECT_EQ(menu->height(), 2 * h + 2);
    EXPECT_EQ(menu->Items()[0]->Rect(), QRect(QPoint(1, 1), QPoint(w + 10, h)));
    // The hidden entry takes no room: the third entry is the second row.
    EXPECT_EQ(menu->Items()[2]->Rect(), QRect(QPoint(1, h + 1), QPoint(w + 10, 2 * h)));
}

TEST_F(MenuTest, MenuWithoutVisibleEntriesIsTwelveByThree)
{
    for (bool withHiddenEntry : {false, true}) {
        ZMenu *menu = makeMenu({});
        if (withHiddenEntry)
            menu->Items().Add("Hilfe", false, true);
        menu->Layout();
        EXPECT_EQ(menu->size(), QSize(12, 3)) << "hidden entry: " << withHiddenEntry;
    }
}

TEST_F(MenuTest, NewEntriesAreInvisibleAndDisabled)
{
    ZMenu *menu = makeMenu({});
    ZItem *item = menu->Items().Add();
    EXPECT_FALSE(item->Visible());
    EXPECT_FALSE(item->Enabled());
    EXPECT_EQ(item->SubMenu(), nullptr);
}

TEST_F(MenuTest, StartsHiddenAndPopupShowsItAboveItsSiblings)
{
    // Created before its window is shown, it stays hidden when the window appears.
    QWidget window;
    auto *early = new ZMenu(&window);
    early->Items().Add("Info", true, true);
    window.show();
    EXPECT_FALSE(early->isVisible());

    ZMenu *menu = makeMenu({"Hilfe", "Info"});
    auto *screen = new QWidget(form.get());
    screen->setGeometry(0, 20, 600, 380);
    screen->show();
    EXPECT_FALSE(menu->isVisible());

    moveTo(menu, 5, 5); // a stale hover from before
    menu->Popup();
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->Hovered(), -1);
    EXPECT_EQ(form->childAt(menu->x() + 5, menu->y() + 5), menu);
}

TEST_F(MenuTest, PaintsBorderBackgroundHoverAndSubmenuTriangle)
{
    ZMenu *sub = makeMenu({"Unterpunkt"});
    ZMenu *menu = makeMenu({"Erster Eintrag", "Zweiter Eintrag", "Mit Untermenü"});
    menu->Items()[2]->SetSubMenu(sub);
    menu->Popup();

    const ZItem *first = menu->Items()[0];
    const ZItem *second = menu->Items()[1];
    moveTo(menu, second->Left() + 3, second->Top() + 3);
    EXPECT_EQ(menu->Hovered(), 1);

    const QImage image = menu->grab().toImage();
    // Grey frame round the whole client area.
    EXPECT_EQ(image.pixelColor(0, 0), kBorder);
    EXPECT_EQ(image.pixelColor(menu->width() - 1, menu->height() - 1), kBorder);
    EXPECT_EQ(image.pixelColor(menu->width() / 2, menu->height() - 1), kBorder);
    // Hovered entry on the highlight, the others on the menu colour (right ends are free of text).
    EXPECT_EQ(image.pixelColor(second->Right() - 2, second->Top() + 1), kHighlight);
    EXPECT_EQ(image.pixelColor(first->Right() - 2, first->Top() + 1), kMenuColor);
    EXPECT_GT(countColor(image, first->Rect(), kText), 0);
    // The right-pointing triangle of the submenu entry, filled in the font colour.
    const ZItem *third = menu->Items()[2];
    const int mid = (third->Top() + third->Bottom()) / 2;
    EXPECT_EQ(image.pixelColor(third->Right() - 5, mid), kText);
    EXPECT_EQ(image.pixelColor(third->Right() - 5, mid - 4), kMenuColor);
    EXPECT_EQ(image.pixelColor(second->Right() - 5, (second->Top() + second->Bottom()) / 2), kHighlight);
}

TEST_F(MenuTest, DisabledEntryIsGreyStillHighlightsAndDoesNotReportClicks)
{
    ZMenu *menu = makeMenu({"Lernprofil anmelden", "Lernprofil wechseln"});
    menu->Items()[1]->SetEnabled(false);
    std::vector<std::pair<ZMenu *, int>> clicks;
    menu->OnClick = [&](ZMenu *sender, int index) { clicks.emplace_back(sender, index); };
    menu->Popup();

    const ZItem *enabled = menu->Items()[0];
    const ZItem *disabled = menu->Items()[1];
    QImage image = menu->grab().toImage();
    EXPECT_GT(countColor(image, disabled->Rect(), kDisabled), 0);
    EXPECT_EQ(countColor(image, disabled->Rect(), kText), 0);
    EXPECT_EQ(countColor(image, enabled->Rect(), kDisabled), 0);

    moveTo(menu, disabled->Left() + 2, disabled->Top() + 2);
    EXPECT_EQ(menu->Hovered(), 1);
    image = menu->grab().toImage();
    EXPECT_EQ(image.pixelColor(disabled->Right() - 2, disabled->Top() + 1), kHighlight);
    clickAt(menu, disabled->Left() + 2, disabled->Top() + 2);
    EXPECT_TRUE(clicks.empty());

    moveTo(menu, enabled->Left() + 2, enabled->Top() + 2);
    clickAt(menu, enabled->Left() + 2, enabled->Top() + 2);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].first, menu);
    EXPECT_EQ(clicks[0].second, 0);

    // The frame hits no entry: the click does nothing.
    moveTo(menu, 0, 0);
    EXPECT_EQ(menu->Hovered(), -1);
    clickAt(menu, 0, 0);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(MenuTest, SubmenuPlacementFollowsTheParentsEdges)
{
    // The menu sits 10 pixels inside the named edges of its parent, so the submenu does not fit.
    struct Case
    {
        const char *name;
        bool flushRight;
        bool upward;
    };
    const Case cases[] = {
        {"room right and below", false, false},
        {"right edge", true, false},
        {"bottom edge", false, true},
        {"both edges", true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ZMenu *sub = makeMenu({"Erster Unterpunkt", "Zweiter Unterpunkt", "Dritter Unterpunkt"});
        ZMenu *menu = makeMenu({"Eins", "Zwei mit Untermenü"});
        menu->Items()[1]->SetSubMenu(sub);
        menu->Layout();
        menu->move(c.flushRight ? form->width() - menu->width() - 10 : 10,
                   c.upward ? form->height() - menu->height() - 10 : 10);
        menu->Popup();

        const ZItem *entry = menu->Items()[1];
        moveTo(menu, entry->Left() + 2, entry->Top() + 2);
        ASSERT_TRUE(sub->isVisible());
        EXPECT_TRUE(menu->SubMenuOpen());

        // Laid out before placing, so the rules see the real submenu size.
        sub->Layout();
        const int subW = sub->width();
        const int subH = sub->height();
        const int expectLeft = c.flushRight ? menu->x() + menu->width() - subW : menu->x() + menu->width();
        const int expectTop = c.upward ? entry->Bottom() + menu->y() - subH : entry->Top() + menu->y();
        EXPECT_EQ(sub->pos(), QPoint(expectLeft, expectTop));
        // The chosen rule keeps the submenu inside the parent.
        EXPECT_LE(sub->x() + subW, form->width());
        EXPECT_LE(sub->y() + subH, form->height());
        EXPECT_EQ(c.flushRight, form->width() - menu->x() - menu->width() < subW);
        EXPECT_EQ(c.upward, form->height() - menu->y() - entry->Top() < subH);
        menu->HideMenu();
    }
}

TEST_F(MenuTest, HoverMovingAwayHidesTheSubmenuAndLeaveKeepsAnOpenOne)
{
    ZMenu *sub = makeMenu({"Unterpunkt"});
    ZMenu *menu = makeMenu({"Mit Untermenü", "Ohne"});
    menu->Items()[0]->SetSubMenu(sub);
    menu->Popup();
    const ZItem *withSub = menu->Items()[0];
    const ZItem *plain = menu->Items()[1];

    moveTo(menu, withSub->Left() + 2, withSub->Top() + 2);
    ASSERT_TRUE(sub->isVisible());
    // The pointer goes over into the submenu: the parent keeps its hover.
    leave(menu);
    EXPECT_EQ(menu->Hovered(), 0);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->Hovered(), -1);

    moveTo(menu, plain->Left() + 2, plain->Top() + 2);
    EXPECT_FALSE(sub->isVisible());
    EXPECT_FALSE(menu->SubMenuOpen());
    leave(menu);
    EXPECT_EQ(menu->Hovered(), -1);
}

TEST_F(MenuTest, HideMenuHidesOpenSubmenusRecursively)
{
    ZMenu *leaf = makeMenu({"Blatt"});
    ZMenu *middle = makeMenu({"Mitte"});
    ZMenu *root = makeMenu({"Wurzel"});
    middle->Items()[0]->SetSubMenu(leaf);
    root->Items()[0]->SetSubMenu(middle);
    root->Popup();
    moveTo(root, 3, 3);
    ASSERT_TRUE(middle->isVisible());
    moveTo(middle, 3, 3);
    ASSERT_TRUE(leaf->isVisible());

    root->HideMenu();
    EXPECT_FALSE(root->isVisible());
    EXPECT_FALSE(middle->isVisible());
    EXPECT_FALSE(leaf->isVisible());
    EXPECT_FALSE(root->SubMenuOpen());
    EXPECT_FALSE(middle->SubMenuOpen());
}

TEST_F(MenuTest, SubmenuDestroyedBeforeItsEntryIsForgotten)
{
    ZMenu *menu = makeMenu({"Eintrag"});
    ZMenu *sub = makeMenu({"Unterpunkt"});
    menu->Items()[0]->SetSubMenu(sub);
    delete sub;
    EXPECT_EQ(menu->Items()[0]->SubMenu(), nullptr);
    menu->Popup();
    moveTo(menu, 3, 3);
    EXPECT_EQ(menu->Hovered(), 0);
    EXPECT_FALSE(menu->SubMenuOpen());
}

TEST_F(MenuTest, NativeChildWindowPaintsLikeAnyOther)
{
    // The cell screen makes popups native so that they stack above its GL window.
    ZMenu *menu = makeMenu({"Hilfe", "Info"});
    menu->setAttribute(Qt::WA_NativeWindow);
    menu->move(30, 20);
    menu->Popup();
    ASSERT_TRUE(menu->internalWinId() != 0);
    moveTo(menu, 3, menu->Items()[1]->Top() + 2);

    const QImage image = menu->grab().toImage();
    EXPECT_EQ(image.size(), menu->size());
    EXPECT_EQ(image.pixelColor(0, 0), kBorder);
    EXPECT_EQ(image.pixelColor(menu->Items()[0]->Right() - 2, 2), kMenuColor);
    EXPECT_EQ(image.pixelColor(menu->Items()[1]->Right() - 2, menu->Items()[1]->Top() + 1), kHighlight);
}

} // namespace
