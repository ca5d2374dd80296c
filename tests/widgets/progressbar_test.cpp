#include <QImage>

#include <gtest/gtest.h>
#include <string>

#include "ProgressBar.h"

namespace {

const QColor kBorder(10, 10, 10);
const QColor kFace(200, 200, 200);
const QColor kDone(0, 160, 0);
const QColor kLeft(250, 250, 250);

struct Bar
{
    ZProgressBar bar;
    Bar(int width, int min, int max, int pos)
    {
        bar.resize(width, 12);
        bar.SetBorder(kBorder);
        bar.SetColor(kFace);
        bar.SetColorA(kDone);
        bar.SetColorB(kLeft);
        bar.SetMin(min);
        bar.SetMax(max);
        bar.SetPos(pos);
    }
    // The colour of every column along the middle row, one letter each.
    std::string row()
    {
        const QImage img = bar.grab().toImage();
        std::string colours;
        for (int x = 0; x < img.width(); ++x)
            colours += letter(img.pixelColor(x, 6));
        return colours;
    }
    static char letter(const QColor &c)
    {
        return c == kBorder ? '|' : c == kDone ? 'A' : c == kLeft ? 'B' : c == kFace ? 'F' : '?';
    }
};

// Expected colours: the border at both ends, then runs.
std::string runs(std::initializer_list<std::pair<int, QColor>> parts)
{
    std::string out;
    for (const auto &[count, colour] : parts)
        out += std::string(count, Bar::letter(colour));
    return out;
}

TEST(ProgressBarPaint, DoneDividerAndRest)
{
    struct Case
    {
        const char *name;
        int width, min, max, pos;
        std::string expected;
        QString hint;
    };
    const std::vector<Case> cases = {
        // a = round(99 x 5 / 10) = round(49.5) = 50: halves go to the even neighbour
        {"half", 100, 0, 10, 5, runs({{1, kBorder}, {49, kDone}, {1, kBorder}, {48, kLeft}, {1, kBorder}}),
         "50%"},
        // a = round(100 x 1 / 8) = round(12.5) = 12, hint 12.5 -> 12
        {"half down", 101, 0, 8, 1,
         runs({{1, kBorder}, {11, kDone}, {1, kBorder}, {87, kLeft}, {1, kBorder}}), "12%"},
        // a = round(99 x 3 / 8) = round(37.125) = 37, hint 37.5 -> 38
        {"half up", 100, 0, 8, 3, runs({{1, kBorder}, {36, kDone}, {1, kBorder}, {61, kLeft}, {1, kBorder}}),
         "38%"},
        // a = 0: the divider falls on the left border
        {"empty", 100, 0, 10, 0, runs({{1, kBorder}, {98, kLeft}, {1, kBorder}}), "0%"},
        {"full", 100, 0, 10, 10, runs({{1, kBorder}, {98, kDone}, {1, kBorder}}), "100%"},
        {"offset range", 100, 10, 20, 15,
         runs({{1, kBorder}, {49, kDone}, {1, kBorder}, {48, kLeft}, {1, kBorder}}), "50%"},
        {"min = max", 100, 4, 4, 4, runs({{1, kBorder}, {98, kFace}, {1, kBorder}}), ""},
    };
    for (const Case &c : cases) {
        Bar b(c.width, c.min, c.max, c.pos);
        EXPECT_EQ(b.row(), c.expected) << c.name;
        EXPECT_EQ(b.bar.Hint(), c.hint) << c.name;
        const QImage img = b.bar.grab().toImage();
        EXPECT_EQ(img.pixelColor(20, 0), kBorder) << c.name;
        EXPECT_EQ(img.pixelColor(20, 11), kBorder) << c.name;
    }
}

TEST(ProgressBarHint, FollowsTheValuesAndShowHint)
{
    Bar b(100, 0, 10, 5);
    EXPECT_TRUE(b.bar.toolTip().isEmpty()) << "no tooltip without ShowHint";
    b.bar.SetShowHint(true);
    EXPECT_EQ(b.bar.toolTip(), QStringLiteral("50%"));
    b.bar.SetPos(7);
    EXPECT_EQ(b.bar.toolTip(), QStringLiteral("70%"));
    b.bar.SetMax(0);
    b.bar.SetMin(0);
    EXPECT_EQ(b.bar.toolTip(), QString());
    b.bar.SetShowHint(false);
    b.bar.SetMax(10);
    EXPECT_EQ(b.bar.Hint(), QStringLiteral("70%"));
    EXPECT_TRUE(b.bar.toolTip().isEmpty());
}

} // namespace
