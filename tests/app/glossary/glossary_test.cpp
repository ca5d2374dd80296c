#include "u_glossar.h"

#include "Edit.h"
#include "ListBox.h"
#include "ShadowPanel.h"
#include "base/cp1252.h"
#include "controls.h"
#include "support/programfolder.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

using vellora::TGlossarEntry;

namespace {

TGlossarEntry entry(const char *title, std::initializer_list<int> links = {}, const char *picture = "")
{
    TGlossarEntry e;
    e.Title = vellora::toCp1252(QString::fromUtf8(title));
    e.SetText(vellora::toCp1252(QStringLiteral("Erklärung zu ") + QString::fromUtf8(title) +
                                QStringLiteral(".\r\nZweite Zeile.")));
    int i = 0;
    for (int k : links)
        e.Links[i++] = k;
    e.Picture = picture;
    return e;
}

// Sorted as the content compiler sorts: umlauts as their base letter, case ignored.
QList<TGlossarEntry> fixture()
{
    return {
        entry("Aktinfilament"),                              // 0
        entry("Chloroplast", {2, 4}, "chloro"),              // 1: picture 300 x 200
        entry("Stärke", {3, 4}),                             // 2
        entry("Stärkekorn", {0, 1, 2, 4, 5, 6, 7, 8, 9, 0}), // 3: all ten slots
        entry("Stroma", {1, 99, 2}, "fehlt"),                // 4: link to no entry, missing picture
        entry("Zelle"),                                      // 5
        entry("Zellkern", {5}),                              // 6
        entry("zellsaft"),                                   // 7
        entry("Zellwand"),                                   // 8
        entry("Zentralvakuole"),                             // 9
        entry("Chlorophyll"),                                // 10: out of order, never searched
    };
}

QStringList titles(TGlossar &g)
{
    return g.Selection->Items();
}

class GlossaryScreen : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        QDir().mkpath(folder.path("inhalt/bilder"));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(folder.path("inhalt/bilder/chloro.bmp"), "BMP"));
        g.SetEntries(fixture());
        // Content 478 wide: 220 for the list column.
        g.resize(220 + 478, 580);
        g.ShowGlossary();
    }
    void search(const QString &text) { g.Search->SetText(text); }

    vellora::test::ProgramFolder folder;
    TGlossar g;
};

} // namespace

TEST(GlossaryTitleMatch, GermanFoldingOnBothSides)
{
    struct Case
    {
        const char *search, *title;
        bool match;
    };
    const Case cases[] = {
        {"", "Zellkern", true},           {"zell", "Zellkern", true}, {"ZELL", "zellsaft", true},
        {"stä", "Stärke", true},          {"sta", "Stärke", true},    {"STÄRKE", "Stärkekorn", true},
        {"Stärkekorn", "Stärke", false}, // longer than the title
        {"strasse", "Straße", true},      {"straß", "Strasse", true}, {"zellw", "Zellkern", false},
        {"ell", "Zellkern", false}, // a prefix, not anywhere
        {"zellkern ", "Zellkern", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TGlossar::TitleMatches(vellora::toCp1252(QString::fromUtf8(c.search)),
                                         vellora::toCp1252(QString::fromUtf8(c.title))),
                  c.match)
            << c.search << " / " << c.title;
}

TEST_F(GlossaryScreen, SearchListsTheRunFromTheFirstMatch)
{
    struct Case
    {
        const char *text;
        int first;
        QStringList rows;
    };
    const Case cases[] = {
        {"",
         0,
         {"Aktinfilament", "Chloroplast", "Stärke", "Stärkekorn", "Stroma", "Zelle", "Zellkern", "zellsaft",
          "Zellwand", "Zentralvakuole", "Chlorophyll"}},
        {"chlor", 1, {"Chloroplast"}}, // the run ends at the first title that does not match
        {"zell", 5, {"Zelle", "Zellkern", "zellsaft", "Zellwand"}},
        {"ZELLK", 6, {"Zellkern"}},
        {"stä", 2, {"Stärke", "Stärkekorn"}},
        {"sta", 2, {"Stärke", "Stärkekorn"}},
        {"st", 2, {"Stärke", "Stärkekorn", "Stroma"}},
        {"x", -1, {}},
    };
    for (const Case &c : cases) {
        search(QString::fromUtf8(c.text));
        EXPECT_EQ(g.First(), c.first) << c.text;
        EXPECT_EQ(titles(g), c.rows) << c.text;
        EXPECT_EQ(g.Selection->ItemIndex(), c.rows.isEmpty() ? -1 : 0) << c.text;
        EXPECT_EQ(g.Selection->TopRow(), 0);
        EXPECT_EQ(g.Caption->text(), c.rows.isEmpty() ? QString() : c.rows.first()) << c.text;
    }
}

TEST_F(GlossaryScreen, SearchLongerThanEveryTitleEmptiesListAndCard)
{
    search("chl");
    ASSERT_EQ(g.Caption->text(), "Chloroplast");
    ASSERT_TRUE(g.PictureShown());
    ASSERT_EQ(g.Link[0]->text(), "Stärke, ");
    search("Chloroplasten und noch viel mehr Text");
    EXPECT_TRUE(titles(g).isEmpty());
    EXPECT_EQ(g.First(), -1);
    EXPECT_EQ(g.Caption->text(), "");
    EXPECT_EQ(g.Text->text(), "");
    EXPECT_TRUE(g.Image->isHidden());
    EXPECT_TRUE(g.Image->Picture().isNull());
    for (TLabel *l : g.Link)
        EXPECT_EQ(l->text(), "");
}

TEST_F(GlossaryScreen, ARowShowsFirstPlusRow)
{
    search("zell");
    g.Selection->SetItemIndex(3);
    EXPECT_EQ(g.Caption->text(), "Zellwand"); // entry 5 + 3
    EXPECT_EQ(g.Text->text(), "Erklärung zu Zellwand.\nZweite Zeile.");
    g.Selection->SetItemIndex(1);
    EXPECT_EQ(g.Caption->text(), "Zellkern");
}

TEST_F(GlossaryScreen, SeeAlsoSlotsAndTheirSeparators)
{
    g.ShowEntry(2, false); // Stärke: slots 0 and 1
    EXPECT_EQ(g.Link[0]->text(), "Stärkekorn, ");
    EXPECT_EQ(g.Link[0]->Tag(), 3);
    EXPECT_EQ(g.Link[1]->text(), "Stroma");
    EXPECT_EQ(g.Link[1]->Tag(), 4);
    EXPECT_EQ(g.Link[2]->text(), "");
    EXPECT_EQ(g.Link[2]->Tag(), -1);
    EXPECT_EQ(g.Link[2]->width(), 0);

    g.ShowEntry(3, false); // all ten slots
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(g.Link[i]->text().endsWith(", ")) << i;
    EXPECT_EQ(g.Link[9]->text(), "Aktinfilament");

    g.ShowEntry(4, false); // slot 1 names no entry: shown empty, slot 0 without ", "
    EXPECT_EQ(g.Link[0]->text(), "Chloroplast");
    EXPECT_EQ(g.Link[1]->text(), "");
    EXPECT_EQ(g.Link[1]->Tag(), -1);
    EXPECT_EQ(g.Link[2]->text(), "Stärke");

    // Labels follow each other from after "Siehe auch:".
    g.ShowEntry(2, false);
    EXPECT_EQ(g.Link[0]->x(), g.Label_Linkage->x() + g.Label_Linkage->width() + 5);
    EXPECT_EQ(g.Link[1]->x(), g.Link[0]->x() + g.Link[0]->width());
}

TEST_F(GlossaryScreen, LinksOpenTheirEntryAndLeaveTheList)
{
    search("st");
    g.Selection->SetItemIndex(0); // Stärke
    g.LinkClick(g.Link[1]);       // Stroma
    EXPECT_EQ(g.Caption->text(), "Stroma");
    EXPECT_EQ(g.Selection->ItemIndex(), 0);
    EXPECT_EQ(titles(g).size(), 3);
    g.ShowEntry(2, false);
    g.LinkClick(g.Link[5]); // empty slot: nothing
    EXPECT_EQ(g.Caption->text(), "Stärke");
}

TEST_F(GlossaryScreen, BackOnlyAfterATextLinkUntilTheSwitcherShowsTheGlossaryAgain)
{
    EXPECT_TRUE(g.Back->isHidden());
    QList<int> back;
    QObject::connect(&g, &TGlossar::areaRequested, [&](int area) { back << area; });
    g.ShowEntry(6, true); // as the cell screen does after ShowGlossary
    EXPECT_TRUE(g.BackShown());
    EXPECT_EQ(g.ShownEntry(), 6);
    EXPECT_EQ(g.Caption->text(), "Zellkern");
    EXPECT_EQ(titles(g).size(), 11);
    EXPECT_EQ(g.Selection->ItemIndex(), 0);
    search("zell"); // searching and following links keep it
    g.LinkClick(g.Link[0]);
    EXPECT_FALSE(g.Back->isHidden());
    g.BackClick();
    EXPECT_EQ(back, QList<int>{1}); // the cell screen's switcher entry
    g.ShowGlossary();
    EXPECT_TRUE(g.Back->isHidden());
    EXPECT_EQ(g.Search->Text(), "");
}

TEST_F(GlossaryScreen, ShowingStartsOverWithTheSearchFocused)
{
    QList<std::pair<bool, bool>> bar;
    QObject::connect(&g, &TGlossar::barRequested,
                     [&](bool lernprofil, bool hilfe) { bar << std::pair(lernprofil, hilfe); });
    search("zellk");
    g.ShowGlossary();
    EXPECT_EQ(bar, (QList<std::pair<bool, bool>>{{false, false}}));
    EXPECT_EQ(titles(g).size(), 11);
    EXPECT_EQ(g.Caption->text(), "Aktinfilament");
    EXPECT_EQ(g.window()->focusWidget(), g.Search->Edit());
}

TEST_F(GlossaryScreen, KeysAndWheelScrollTheListOnly)
{
    g.resize(220 + 478, 200); // the list holds fewer than ten rows
    g.Selection->SetItemIndex(2);
    ASSERT_GE(g.Selection->TopMaximum(), 2);
    const QString shown = g.Caption->text();
    g.FormKeyDown(Qt::Key_Down);
    EXPECT_EQ(g.Selection->TopRow(), 1);
    g.FormKeyDown(Qt::Key_Down);
    EXPECT_EQ(g.Selection->TopRow(), 2);
    g.FormKeyDown(Qt::Key_Up);
    EXPECT_EQ(g.Selection->TopRow(), 1);
    g.FrameMouseWheel(Qt::NoModifier, 120, QPoint());
    EXPECT_EQ(g.Selection->TopRow(), 0);
    g.FrameMouseWheel(Qt::NoModifier, -120, QPoint(5000, 5000)); // wherever the pointer is
    EXPECT_EQ(g.Selection->TopRow(), 1);
    g.FormKeyDown(Qt::Key_Left);
    EXPECT_EQ(g.Selection->TopRow(), 1);
    EXPECT_EQ(g.Selection->ItemIndex(), 2);
    EXPECT_EQ(g.Caption->text(), shown);
}

TEST_F(GlossaryScreen, PictureTakesHalfTheCardBesideTheText)
{
    ASSERT_EQ(g.Content->width(), 478);
    g.ShowEntry(1, false);
    EXPECT_TRUE(g.PictureShown());
    EXPECT_FALSE(g.Image->isHidden());
    EXPECT_EQ(g.Image->geometry(), QRect(66, 92, 152, 101)); // 152 x 200 / 300 = 101.33
    EXPECT_EQ(g.Text->x(), 258);
    EXPECT_EQ(g.Text->width(), 152);
    EXPECT_EQ(g.Text->y(), 92);

    g.ShowEntry(0, false); // no picture: the text takes the room
    EXPECT_FALSE(g.PictureShown());
    EXPECT_TRUE(g.Image->isHidden());
    EXPECT_EQ(g.Text->x(), 106);
    EXPECT_EQ(g.Text->width(), 478 - 106 - 2 - 105);
}

TEST_F(GlossaryScreen, MissingPictureShowsTheEntryWithoutItAndSaysSoOnce)
{
    g.ShowEntry(1, false);
    ASSERT_TRUE(g.PictureShown());
    testing::internal::CaptureStderr();
    g.ShowEntry(4, false);
    g.ShowEntry(0, false);
    g.ShowEntry(4, false);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(g.Caption->text(), "Stroma");
    EXPECT_FALSE(g.PictureShown());
    EXPECT_TRUE(g.Image->isHidden());
    EXPECT_EQ(g.Text->x(), 106);
    EXPECT_EQ(g.Link[0]->text(), "Chloroplast"); // the rest of the card is filled in
    const QString msg = QString::fromStdString(err);
    EXPECT_TRUE(msg.contains("inhalt/bilder/fehlt.bmp")) << err;
    EXPECT_EQ(msg.count("fehlt.bmp"), 1) << err;

    // Not a bitmap at all: the same.
    QFile junk(folder.path("inhalt/bilder/chloro.bmp"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("BM kein Bild");
    junk.close();
    testing::internal::CaptureStderr();
    g.ShowEntry(1, false);
    EXPECT_TRUE(QString::fromStdString(testing::internal::GetCapturedStderr()).contains("chloro.bmp"));
    EXPECT_FALSE(g.PictureShown());
}

TEST_F(GlossaryScreen, SeeAlsoFontShrinksToFitAndStopsAtTheSmallestSize)
{
    QList<TGlossarEntry> entries;
    for (int i = 0; i < 11; ++i)
        entries << entry(qPrintable(QStringLiteral("Ein sehr langer Fachbegriff Nummer %1").arg(i)),
                         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    g.SetEntries(entries);

    g.resize(220 + 300, 580); // a narrow card: even 6 points do not fit
    g.ShowEntry(0, false);
    EXPECT_EQ(g.LinkPoints(), TGlossar::kMinLinkPoints);
    EXPECT_EQ(g.Link[0]->font().pixelSize(), 8);                        // 6 pt at 96 dpi
    EXPECT_GT(g.Link[9]->x() + g.Link[9]->width(), g.Linkage->width()); // the row overflows

    // Wide enough for 12 points with short titles.
    QList<TGlossarEntry> shortOnes = {entry("A", {1, 2}), entry("B"), entry("C")};
    g.SetEntries(shortOnes);
    g.resize(220 + 800, 580);
    g.ShowEntry(0, false);
    EXPECT_EQ(g.LinkPoints(), 12);
    EXPECT_EQ(g.Link[0]->font().pixelSize(), 16);

    // In between: the largest size whose row fits.
    g.SetEntries(entries);
    g.resize(220 + 2000, 580);
    g.ShowEntry(0, false);
    const int room =
        g.Linkage->width() - g.Label_Linkage->x() - g.Linkage->MarginRight() - g.Label_Linkage->width() - 10;
    int sum = 0;
    for (TLabel *l : g.Link)
        sum += l->width();
    EXPECT_GT(g.LinkPoints(), TGlossar::kMinLinkPoints);
    EXPECT_LT(g.LinkPoints(), 12);
    EXPECT_LE(sum, room);
}

TEST_F(GlossaryScreen, ResizingPlacesHeadingLineBackAndList)
{
    g.ShowEntry(6, true);
    g.resize(220 + 600, 700);
    const int cw = g.Content->width(), ch = g.Content->height();
    EXPECT_EQ(cw, 600);
    EXPECT_EQ(ch, 700 - 60);
    EXPECT_EQ(g.Caption->width(), cw - 6 - 2 - 5);
    EXPECT_EQ(g.Line->width(), cw - 6 - 2 - 20);
    EXPECT_EQ(g.Back->pos(), QPoint(cw - 57 - 18, ch - 25 - 12));
    EXPECT_EQ(g.Back->size(), QSize(57, 25));
    EXPECT_EQ(g.Selection->height(), 700 - 45 - 2 - 10);
    EXPECT_EQ(g.Linkage->geometry(), QRect(0, 700 - 60, 600, 60));
}

TEST_F(GlossaryScreen, CardsCastTheDarkRedShadow)
{
    const QImage card = g.Content->grab().toImage();
    const int mr = g.Content->MarginRight(), mt = g.Content->MarginTop();
    // Top of the right strip: picture 0's first pixel.
    EXPECT_EQ(card.pixelColor(card.width() - mr - 5, mt + 5), QColor(118, 0, 0));
    // Background above the strip's start.
    EXPECT_EQ(card.pixelColor(card.width() - mr - 3, mt + 1), QColor(128, 0, 0));
}
