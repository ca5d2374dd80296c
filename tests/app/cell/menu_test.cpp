// Painting, hover, highlight and selection of the organelle menu and the overview button.

#include "MenuContainer.h"
#include "Uebersicht.h"
#include "ZellMenu.h"
#include "base/colorref.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

using vellora::colorRef;

namespace {

const QColor kBody = colorRef(14540253);
const QColor kBackground = colorRef(7200386);
const QColor kSilver = colorRef(vellora::kSilver);
const QColor kGrey = colorRef(vellora::kGrey);
const QColor kWhite(255, 255, 255);
const QColor kIcon(200, 30, 40);

QImage solid(int size, const QColor &c)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

// Three entries with the cell screen's first three colours.
void fill(ZZellMenu &menu)
{
    menu.SetCaption(QStringLiteral(" Zellbestandteile"));
    menu.SetTag(1);
    menu.SetColor(kBody);
    menu.SetBackground(kBackground);
    menu.SetShadowImages(ZShadowPanel::StandardShadowImages());
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(17);
    menu.SetItemFont(font);
    font.setPixelSize(19);
    menu.SetHeaderFont(font);
    QFont number(QStringLiteral("Times New Roman"));
    number.setPixelSize(27);
    menu.SetNumberFont(number);
    menu.SetIcons({solid(33, kIcon), solid(33, kIcon), solid(33, kIcon)});
    menu.AddItem(QStringLiteral("Zellkern"), 9782668, 12614857, 6884436);
    menu.AddItem(QStringLiteral("ER"), 13001571, 15831954, 7353653);
    menu.AddItem(QStringLiteral("Ribosom"), 51455, 7860211, 41727);
}

void moveTo(QWidget &w, int x, int y)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void click(QWidget &w, int x, int y)
{
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(x, y), QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &down);
    QCoreApplication::sendEvent(&w, &up);
}

bool anyWhite(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == kWhite)
                return true;
    return false;
}

} // namespace

TEST(ZellMenu, EntryGeometryIsFixedAtCreation)
{
    ZZellMenu menu;
    fill(menu);
    ASSERT_EQ(menu.Items().Count(), 3);
    for (int p = 0; p < 3; ++p) {
        const zellmenu::ZItem &item = menu.Items()[p];
        EXPECT_EQ(item.Top(), 40 * (p + 1));
        EXPECT_EQ(item.Bottom(), 40 * (p + 1) + 35);
        EXPECT_EQ(item.X0(), 5);
        EXPECT_EQ(item.X1(), 40);
        EXPECT_EQ(item.X2(), 55);
        EXPECT_EQ(item.X3(), 165);
        EXPECT_EQ(item.X4(), 180);
        EXPECT_EQ(item.IconIndex, p);
    }
    // Narrowing the menu later leaves the entries as they were.
    menu.resize(60, 405);
    EXPECT_EQ(menu.Items()[0].X3(), 165);

    // Copying entries takes the look only; the copy's geometry comes from the new menu.
    ZZellMenu narrow;
    narrow.resize(100, 405);
    narrow.SetItems(menu.Items());
    EXPECT_EQ(narrow.Items()[1].Caption, QStringLiteral("ER"));
    EXPECT_EQ(narrow.Items()[1].Color, colorRef(13001571));
    EXPECT_EQ(narrow.Items()[1].X3(), 80);
    EXPECT_EQ(narrow.Items()[1].Top(), 80);
}

TEST(ZellMenu, HoverReportsEntriesAndMinusOneBetweenThem)
{
    ZZellMenu menu;
    fill(menu);
    std::vector<int> reported;
    menu.OnItemHighlight = [&](ZZellMenu *, int i) { reported.push_back(i); };
    moveTo(menu, 20, 10);  // header: still -1, no change, no event
    moveTo(menu, 20, 50);  // entry 0
    moveTo(menu, 100, 60); // still entry 0: no event
    moveTo(menu, 20, 77);  // gap between 0 and 1
    moveTo(menu, 20, 90);  // entry 1
    moveTo(menu, 170, 90); // beyond x3 of an unselected entry
    moveTo(menu, 4, 90);   // left of the icon box
    menu.SetItemIndex(1);
    moveTo(menu, 170, 90); // the selected entry reaches x4
    moveTo(menu, 180, 90); // end-exclusive
    EXPECT_EQ(reported, (std::vector<int>{0, -1, 1, -1, 1, -1}));

    QEvent leave(QEvent::Leave);
    moveTo(menu, 20, 130);
    QCoreApplication::sendEvent(&menu, &leave);
    EXPECT_EQ(reported.back(), -1);
    EXPECT_EQ(menu.HoverIndex(), -1);
}

TEST(ZellMenu, ClickSelectsOnceAndNeverTheSelectedEntry)
{
    ZZellMenu menu;
    fill(menu);
    std::vector<int> selected;
    menu.OnItemSelect = [&](ZZellMenu *, int i) { selected.push_back(i); };
    moveTo(menu, 20, 10);
    click(menu, 20, 10); // header: nothing
    moveTo(menu, 60, 130);
    click(menu, 60, 130);
    EXPECT_EQ(menu.ItemIndex(), 2);
    click(menu, 60, 130); // already selected
    moveTo(menu, 60, 50);
    click(menu, 60, 50);
    EXPECT_EQ(selected, (std::vector<int>{2, 0}));
    EXPECT_EQ(menu.ItemIndex(), 0);

    // Setting the index from the program fires nothing.
    menu.SetItemIndex(1);
    EXPECT_EQ(selected.size(), 2u);
}

TEST(ZellMenu, PaintsWideStateWithSelectionHoverAndModelHighlight)
{
    ZZellMenu menu;
    fill(menu);
    menu.SetItemIndex(2);
    menu.SetModelHighlight(1);
    QImage image = menu.grab().toImage();

    EXPECT_EQ(image.pixelColor(5, 5), kGrey);            // header square
    EXPECT_EQ(image.pixelColor(178, 30), kSilver);       // header band to W - 5
    EXPECT_TRUE(anyWhite(image, QRect(15, 0, 160, 35))); // the caption in the band
    EXPECT_EQ(image.pixelColor(100, 37), kBody);         // body between header and entries
    EXPECT_EQ(image.pixelColor(2, 50), kBody);           // left strip of an entry

    // Entry 0: plain label from x1 to x3, icon in a white box outlined in the label colour.
    EXPECT_EQ(image.pixelColor(45, 42), colorRef(9782668));
    EXPECT_EQ(image.pixelColor(164, 42), colorRef(9782668));
    EXPECT_EQ(image.pixelColor(170, 42), kBody);
    EXPECT_EQ(image.pixelColor(5, 42), colorRef(9782668));
    EXPECT_EQ(image.pixelColor(20, 57), kIcon);

    // Entry 1 highlighted from the model.
    EXPECT_EQ(image.pixelColor(45, 82), colorRef(15831954));

    // Entry 2 selected: marker strip x1..x2 in Select, label shifted to x4.
    EXPECT_EQ(image.pixelColor(45, 122), colorRef(41727));
    EXPECT_EQ(image.pixelColor(56, 122), colorRef(51455));
    EXPECT_EQ(image.pixelColor(179, 122), colorRef(51455));

    // Hover and model highlight may name different entries; both are drawn highlighted.
    moveTo(menu, 20, 50);
    image = menu.grab().toImage();
    EXPECT_EQ(image.pixelColor(45, 42), colorRef(12614857));
    EXPECT_EQ(image.pixelColor(45, 82), colorRef(15831954));
    menu.SetModelHighlight(-1);
    image = menu.grab().toImage();
    EXPECT_EQ(image.pixelColor(45, 82), colorRef(13001571));
}

TEST(ZellMenu, NarrowStateShowsIconsHeaderSquareAndNumberOnly)
{
    ZZellMenu menu;
    fill(menu);
    menu.SetItemIndex(0);
    menu.resize(60, 405);
    const QImage image = menu.grab().toImage();
    EXPECT_EQ(image.pixelColor(5, 5), kGrey);
    EXPECT_TRUE(anyWhite(image, QRect(15, 0, 40, 35))); // the section number "I"
    EXPECT_EQ(image.pixelColor(20, 57), kIcon);
    EXPECT_EQ(image.pixelColor(20, 97), kIcon);
    // No label colour right of the icon boxes except the selection marker.
    EXPECT_EQ(image.pixelColor(50, 57), colorRef(6884436));
    EXPECT_EQ(image.pixelColor(50, 97), kBody);
    EXPECT_EQ(image.pixelColor(50, 137), kBody);
}

TEST(ZellMenu, HeaderAndNumberSlideWithTheWidth)
{
    // Wide: the number is out of view left; narrow: the caption out of view right.
    ZZellMenu wide;
    fill(wide);
    wide.SetCaption(QString());
    EXPECT_FALSE(anyWhite(wide.grab().toImage(), QRect(15, 0, 165, 35)));
    ZZellMenu narrow;
    fill(narrow);
    narrow.SetTag(0);
    narrow.resize(60, 405);
    EXPECT_FALSE(anyWhite(narrow.grab().toImage(), QRect(15, 0, 40, 35)));
}

TEST(ZellMenu, EnteringAndLeavingSlideTheContainer)
{
    ZMenuContainer container;
    container.resize(75, 500);
    auto *menu = new ZZellMenu(&container);
    menu->setGeometry(10, 60, 60, 405);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(menu, &enter);
    EXPECT_EQ(container.CurrentDirection(), ZMenuContainer::Direction::Expanding);
}

// ----------------------------------------------------------------------------------------------

namespace {

QImage paintOverview(bool selected, bool hovered)
{
    ZUebersicht button;
    button.SetCaption(QStringLiteral("ganze Zelle"));
    button.SetBackground(kBackground);
    button.SetShadowImages(ZShadowPanel::StandardShadowImages());
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(19);
    button.SetFont(font);
    button.SetIcons({solid(38, kIcon)});
    button.SetSelected(selected);
    if (hovered) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&button, &enter);
    }
    return button.grab().toImage();
}

} // namespace

TEST(Uebersicht, SelectedAndUnselectedFaces)
{
    const QImage selected = paintOverview(true, false);
    EXPECT_EQ(selected.pixelColor(20, 20), kIcon);
    EXPECT_EQ(selected.pixelColor(50, 20), kGrey); // wide Select strip to H + 10
    EXPECT_EQ(selected.pixelColor(56, 3), kSilver);
    EXPECT_EQ(selected.pixelColor(178, 3), kSilver); // reaches the menu's right edge
    EXPECT_TRUE(anyWhite(selected, QRect(56, 0, 124, 40)));

    const QImage unselected = paintOverview(false, false);
    EXPECT_EQ(unselected.pixelColor(20, 20), kIcon);
    EXPECT_EQ(unselected.pixelColor(50, 20), kSilver); // no strip
    EXPECT_EQ(unselected.pixelColor(163, 3), kSilver);
    EXPECT_EQ(unselected.pixelColor(175, 20), kBackground); // 15 pixels shorter

    const QImage hovered = paintOverview(false, true);
    EXPECT_EQ(hovered.pixelColor(50, 20), colorRef(13421772));
    EXPECT_EQ(hovered.pixelColor(100, 3), colorRef(13421772));
}
