#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "CheckBox.h"

namespace {

QFont captionFont()
{
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(13);
    return f;
}

// A word whose width with its blank lies between 100 and 120 pixels: one per row at width 200.
QString wideWord(const QWidget *w)
{
    const QFontMetrics fm(captionFont(), w);
    QString word = QStringLiteral("Z");
    while (fm.horizontalAdvance(word + QLatin1Char(' ')) < 100)
        word += QLatin1Char('e');
    return word;
}

void click(QWidget *w, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

const QColor kFace(230, 230, 230);
const QColor kBorder(0, 0, 200);
const QColor kBox(255, 255, 255);
const QColor kInk(200, 0, 0);

struct Box
{
    ZCheckBox box;
    Box()
    {
        box.resize(200, 10);
        box.SetFont(captionFont());
        box.SetFontColor(kInk);
        box.SetColor(kFace);
        box.SetBorder(kBorder);
        box.SetBox(kBox);
        box.SetSize(15);
    }
};

TEST(CheckBoxLayout, HeightFollowsTheCaption)
{
    Box b;
    const QString w = wideWord(&b.box);
    ASSERT_LE(QFontMetrics(captionFont(), &b.box).horizontalAdvance(w + QLatin1Char(' ')), 180);
    struct Case
    {
        QString caption;
        int height;
    };
    const Case cases[] = {
        {QString(), 22},
        {QStringLiteral("Ja"), 22},
        {w, 22},
        {w + QLatin1Char(' ') + w, 44},
        {w + QLatin1Char(' ') + w + QLatin1Char(' ') + w, 66},
    };
    for (const Case &c : cases) {
        b.box.SetCaption(c.caption);
        EXPECT_EQ(b.box.height(), c.height) << c.caption.toStdString();
    }
    // It shrinks again with a shorter caption and re-wraps at a new width.
    b.box.SetCaption(w + QLatin1Char(' ') + w + QLatin1Char(' ') + w);
    b.box.show();
    b.box.resize(500, b.box.height());
    QCoreApplication::processEvents();
    EXPECT_EQ(b.box.height(), 22);
}

TEST(CheckBoxPaint, BoxIsCentredAndTheCaptionSitsBesideIt)
{
    Box b;
    const QString w = wideWord(&b.box);
    b.box.SetCaption(w + QLatin1Char(' ') + w + QLatin1Char(' ') + w);
    ASSERT_EQ(b.box.height(), 66);
    QImage img = b.box.grab().toImage();
    // (66 - 15) div 2 = 25: the box covers y 25..39
    EXPECT_EQ(img.pixelColor(0, 24), kFace);
    EXPECT_EQ(img.pixelColor(0, 25), kBorder);
    EXPECT_EQ(img.pixelColor(14, 39), kBorder);
    EXPECT_EQ(img.pixelColor(7, 40), kFace);
    EXPECT_EQ(img.pixelColor(7, 32), kBox);
    // Caption ink only right of Size + 5, in every one of the three rows.
    for (int row = 0; row < 3; ++row) {
        bool ink = false;
        for (int y = row * 22; y < row * 22 + 22; ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixelColor(x, y).red() > img.pixelColor(x, y).green() + 40) { // reddish: caption ink
                    ink = true;
                    EXPECT_GE(x, 20) << "row " << row;
                }
        EXPECT_TRUE(ink) << "row " << row;
    }

    // A click anywhere toggles; the cross is drawn in the font colour.
    click(&b.box, QPoint(150, 60));
    EXPECT_TRUE(b.box.Checked());
    img = b.box.grab().toImage();
    EXPECT_EQ(img.pixelColor(7, 32), kInk);
    EXPECT_EQ(img.pixelColor(3, 27), kInk);
    EXPECT_EQ(img.pixelColor(11, 27), kInk);
    EXPECT_EQ(img.pixelColor(7, 27), kBox);
    click(&b.box, QPoint(1, 1));
    EXPECT_FALSE(b.box.Checked());
    EXPECT_EQ(b.box.grab().toImage().pixelColor(7, 32), kBox);
}

} // namespace
