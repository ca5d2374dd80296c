#include "testrun.h"

#include <gtest/gtest.h>

using namespace vellora;

namespace {

struct Result
{
    QByteArray TestID;
    int32_t Total = 0;
    int32_t Right = 0;
};

const QByteArray kIdA = "SZELLKERN-FRAGEN";
const QByteArray kIdB = "SZELLKERN-FRAGEX"; // same first 15 bytes as kIdA
const QByteArray kIdM = "MORGANELLEN-0001";

TEST(ResultPercent, RoundsHalvesToEvenAndCountsEmptyTestsAsZero)
{
    struct Case
    {
        int right, total, percent;
    };
    for (const Case c : {Case{1, 8, 12}, Case{3, 8, 38}, Case{3, 4, 75}, Case{1, 3, 33}, Case{2, 3, 67},
                         Case{1, 40, 2}, Case{5, 5, 100}, Case{0, 7, 0}, Case{0, 0, 0}, Case{3, 0, 0}})
        EXPECT_EQ(resultPercent(c.right, c.total), c.percent) << c.right << " of " << c.total;
}

TEST(Bars, ListBarAveragesTheResultsOfExactlyThatTest)
{
    const QList<Result> results = {{kIdA, 8, 1}, {kIdB, 8, 8}, {kIdA, 8, 3}, {kIdM, 2, 0}};
    // 12 and 38 (not 13 and 38): the halves go to the even neighbour before averaging.
    EXPECT_EQ(testBar(results, kIdA), (BarSetting{100, 25}));
    EXPECT_EQ(testBar(results, kIdB), (BarSetting{100, 100}));
    EXPECT_EQ(testBar(results, "SNICHT-GEMACHT-0"), (BarSetting{0, 0}));
}

TEST(Bars, KindBarTakesEveryResultOfItsLetter)
{
    const QList<Result> results = {{kIdA, 8, 1}, {kIdB, 8, 3}, {kIdM, 4, 3}, {"LLUECKE-00000001", 0, 0}};
    EXPECT_EQ(kindBar(results, 'S'), (BarSetting{100, 25}));
    EXPECT_EQ(kindBar(results, 'M'), (BarSetting{100, 75}));
    // A result with Total 0 counts as 0 % but still makes the bar non-empty.
    EXPECT_EQ(kindBar(results, 'L'), (BarSetting{100, 0}));
    EXPECT_EQ(kindBar(QList<Result>{}, 'S'), (BarSetting{0, 0}));
}

TEST(Bars, MeanRoundsHalvesToEven)
{
    EXPECT_EQ(averageOfPercents({12, 13}), (BarSetting{100, 12}));
    EXPECT_EQ(averageOfPercents({13, 14}), (BarSetting{100, 14}));
    EXPECT_EQ(averageOfPercents({0, 100, 100}), (BarSetting{100, 67}));
    EXPECT_EQ(averageOfPercents({}), (BarSetting{0, 0}));
}

TEST(ResultTime, SecondsFromOneOClockOnNewYear1970OfTheWallClock)
{
    struct Case
    {
        QDate date;
        QTime time;
        int32_t seconds;
    };
    const Case cases[] = {
        {QDate(1970, 1, 1), QTime(1, 0, 10), 10},
        {QDate(1970, 1, 1), QTime(1, 0, 10, 499), 10},
        {QDate(1970, 1, 1), QTime(1, 0, 10, 501), 11},
        {QDate(1970, 1, 1), QTime(1, 0, 10, 500), 10}, // half: to the even second
        {QDate(1970, 1, 1), QTime(1, 0, 11, 500), 12},
        {QDate(1970, 1, 1), QTime(0, 59, 50), 10}, // before the origin: the distance
        {QDate(2001, 9, 9), QTime(2, 46, 40), 1000000000},
        {QDate(2026, 7, 1), QTime(12, 0, 0), 1782903600},
    };
    for (const Case &c : cases)
        EXPECT_EQ(resultTime(QDateTime(c.date, c.time)), c.seconds)
            << c.date.toString().toStdString() << ' ' << c.time.toString("hh:mm:ss.zzz").toStdString();
}

TEST(TickedMask, SumsTheTickedBoxesUpToSixteen)
{
    EXPECT_EQ(tickedMask({true, true, false}), 3);
    EXPECT_EQ(tickedMask({true, false, true}), 5);
    EXPECT_EQ(tickedMask({}), 0);
    QList<bool> all(17, true);
    EXPECT_EQ(tickedMask(all), 0xFFFF); // a 17th box does not exist on screen
    QList<bool> last(16, false);
    last[15] = true;
    EXPECT_EQ(tickedMask(last), 0x8000);
}

TEST(ClozeAnswer, CaseOfEveryLetterAndOuterBlanksDoNotCount)
{
    struct Case
    {
        const char *typed;
        QByteArray accepted;
        bool right;
    };
    const Case cases[] = {
        {"Zellkern", "Zellkern", true},
        {"zellkern", "Zellkern", true},
        {"ZELLKERN", "Zellkern", true},
        {"Zellkern ", "Zellkern", true},
        {"  Zellkern\t", "Zellkern", true},
        {"Zelkern", "Zellkern", false},
        {"Zell kern", "Zellkern", false},
        {"", "Zellkern", false},
        {"Zellkerne", "Zellkern", false},
        {"äpfel", "\xC4pfel", true}, // cp1252 Ä
        {"ÄPFEL", "\xE4pfel", true},
        {"Aepfel", "\xC4pfel", false},
        {"apfel", "\xC4pfel", false},
        {"Strasse",
         "Stra\xDF"
         "e",
         false}, // ß stays ß
        {"STRAßE",
         "stra\xDF"
         "e",
         true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(clozeAnswerMatches(QString::fromUtf8(c.typed), c.accepted), c.right) << c.typed;
}

TEST(ClozeAnswer, AnyAcceptedAnswerOfTheGapCounts)
{
    const TWord gap{2, {"Zellwand", "Wand"}};
    EXPECT_TRUE(clozeGapRight(QStringLiteral("wand"), gap));
    EXPECT_TRUE(clozeGapRight(QStringLiteral("Zellwand"), gap));
    EXPECT_FALSE(clozeGapRight(QStringLiteral("Zellmembran"), gap));
    EXPECT_FALSE(clozeGapRight(QStringLiteral(""), TWord{}));
}

// Every byte 10 pixels wide keeps the expected positions easy to follow.
int tenEach(const QByteArray &w)
{
    return 10 * int(w.size());
}

TEST(ClozeLayout, GapsSitWhereTheirBlanksAreOnOneLine)
{
    const ClozeLayout l = layOutCloze("Die #6 ist von einer #10 umgeben.", 1000, tenEach);
    ASSERT_EQ(l.Boxes.size(), 2);
    // "Die " is 40 wide; the first gap is 12 blanks, then " ist von einer " (150) before the second.
    EXPECT_EQ(l.Boxes[0], (ClozeBox{40, 0, 120}));
    EXPECT_EQ(l.Boxes[1], (ClozeBox{310, 0, 200}));
    ASSERT_EQ(l.Lines.size(), 1);
    EXPECT_EQ(l.Lines[0],
              "Die " + QByteArray(12, ' ') + " ist von einer " + QByteArray(20, ' ') + " umgeben.");
}

TEST(ClozeLayout, DigitsEndAtTheFirstOtherCharacter)
{
    const ClozeLayout l = layOutCloze("#12abc def", 1000, tenEach);
    ASSERT_EQ(l.Boxes.size(), 1);
    EXPECT_EQ(l.Boxes[0], (ClozeBox{0, 0, 240}));
    ASSERT_EQ(l.Pieces.size(), 3);
    EXPECT_EQ(l.Pieces[1].Bytes, "abc ");
    EXPECT_EQ(l.Pieces[1].X, 240);
    EXPECT_EQ(l.Pieces[2].X, 280);
}

TEST(ClozeLayout, WordsAndGapsThatDoNotFitStartTheNextLine)
{
    // Panel 100: "Die " (40) fits; a 6-blank gap (60) needs 60 but only 100 - 40 - 10 = 50 is left.
    const ClozeLayout l = layOutCloze("Die #3 Zelle lebt", 100, tenEach);
    ASSERT_EQ(l.Boxes.size(), 1);
    EXPECT_EQ(l.Boxes[0], (ClozeBox{0, 22, 60}));
    // After the gap: " " (x 60 -> 70), "Zelle " (60) does not fit in 100 - 70 - 10 = 20.
    ASSERT_EQ(l.Lines.size(), 4);
    EXPECT_EQ(l.Lines[0], "Die ");
    EXPECT_EQ(l.Lines[1], QByteArray(6, ' ') + " ");
    EXPECT_EQ(l.Lines[2], "Zelle ");
    EXPECT_EQ(l.Lines[3], "lebt");
    EXPECT_EQ(l.Pieces.last().Line, 3);
    EXPECT_EQ(l.Pieces.last().X, 0);
}

TEST(ClozeLayout, ExactFitStaysOnTheLine)
{
    // 100 - 40 - 10 = 50: a 50-pixel gap still fits, a 60-pixel one does not.
    EXPECT_EQ(layOutCloze("Die #2", 100, tenEach).Boxes, (QList<ClozeBox>{{40, 0, 40}}));
    EXPECT_EQ(layOutCloze("Die  #2", 100, tenEach).Boxes, (QList<ClozeBox>{{50, 0, 40}}));
    EXPECT_EQ(layOutCloze("Die   #2", 100, tenEach).Boxes, (QList<ClozeBox>{{0, 22, 40}}));
}

TEST(ClozeLayout, RoomBehindAGapMovesTheFollowingWordsOnAndCanWrap)
{
    // Room of 30 behind the first gap: " ist " starts at 40 + 40 + 30 instead of 80; the second
    // gap gets none. Negative room counts as none.
    const ClozeLayout l = layOutCloze("Die #2 ist #2 grün", 1000, tenEach, {30, -5});
    EXPECT_EQ(l.Boxes, (QList<ClozeBox>{{40, 0, 40}, {160, 0, 40}}));
    EXPECT_EQ(l.Pieces[2].Bytes, " ");
    EXPECT_EQ(l.Pieces[2].X, 110);
    // Panel 100: "Die " (40) leaves 50, the gap needs 40 + 30 and goes to the next line whole.
    const ClozeLayout wrapped = layOutCloze("Die #2 Zelle", 100, tenEach, {30});
    EXPECT_EQ(wrapped.Boxes, (QList<ClozeBox>{{0, 22, 40}}));
    EXPECT_EQ(wrapped.Pieces[2].Line, 1);
    EXPECT_EQ(wrapped.Pieces[2].X, 70);
    // Without room the layout is the one the running test had.
    EXPECT_EQ(layOutCloze("Die #2 Zelle", 100, tenEach, {}).Boxes, (QList<ClozeBox>{{40, 0, 40}}));
}

TEST(ClozeLayout, AFirstWordWiderThanThePanelStaysOnTheFirstLine)
{
    const ClozeLayout l = layOutCloze("Chloroplastenmembran #2", 100, tenEach);
    ASSERT_EQ(l.Lines.size(), 2);
    EXPECT_EQ(l.Lines[0], "Chloroplastenmembran ");
    EXPECT_EQ(l.Boxes, (QList<ClozeBox>{{0, 22, 40}}));
}

} // namespace
