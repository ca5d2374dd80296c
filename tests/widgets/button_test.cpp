#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "Button.h"

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

const QColor kFace(192, 192, 192);
const QColor kHot(255, 255, 255);
const QColor kBorder(0, 0, 255);
const QColor kInk(0, 0, 0);

struct Button
{
    ZButton button;
    int clicks = 0;
    Button()
    {
        button.resize(146, 32);
        QFont f(QStringLiteral("Trebuchet MS"));
        f.setPixelSize(13);
        button.SetFont(f);
        button.SetColor(kFace);
        button.SetHighlight(kHot);
        button.SetBorder(kBorder);
        button.SetFontColor(kInk);
        button.SetCaption(QStringLiteral("Schließen"));
        button.OnClick = [this](ZButton *sender) {
            EXPECT_EQ(sender, &button);
            ++clicks;
        };
    }
    // Leftmost and rightmost columns with ink (dark pixels).
    std::pair<int, int> inkColumns()
    {
        const QImage img = button.grab().toImage();
        int first = -1, last = -1;
        for (int x = 1; x < img.width() - 1; ++x)
            for (int y = 1; y < img.height() - 1; ++y)
                if (qGray(img.pixel(x, y)) < 100) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
        return {first, last};
    }
};

TEST(ButtonPaint, HoverBorderAndAlignment)
{
    Button b;
    QImage img = b.button.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 0), kBorder);
    EXPECT_EQ(img.pixelColor(145, 31), kBorder);
    EXPECT_EQ(img.pixelColor(2, 2), kFace);

    mouse(&b.button, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(b.button.Hovered());
    EXPECT_EQ(b.button.grab().toImage().pixelColor(2, 2), kHot);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&b.button, &leave);
    EXPECT_EQ(b.button.grab().toImage().pixelColor(2, 2), kFace);

    const int textWidth = QFontMetrics(b.button.Font(), &b.button).horizontalAdvance(b.button.Caption());
    b.button.SetAlignment(ZButton::TextAlignment::LeftJustify);
    auto [first, last] = b.inkColumns();
    EXPECT_GE(first, 5);
    EXPECT_LE(first, 7);
    b.button.SetAlignment(ZButton::TextAlignment::RightJustify);
    std::tie(first, last) = b.inkColumns();
    EXPECT_LE(last, 146 - 5 - 1);
    EXPECT_GE(last, 146 - 5 - 3);
    b.button.SetAlignment(ZButton::TextAlignment::Center);
    std::tie(first, last) = b.inkColumns();
    const int x = (146 - textWidth) / 2;
    EXPECT_GE(first, x);
    EXPECT_LE(last, x + textWidth);
}

TEST(ButtonClick, PressAndReleaseOverIt)
{
    Button b;
    mouse(&b.button, QEvent::MouseButtonPress, QPoint(20, 10), Qt::LeftButton, Qt::LeftButton);
    mouse(&b.button, QEvent::MouseButtonRelease, QPoint(20, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(b.clicks, 1);
    // Released outside: no click.
    mouse(&b.button, QEvent::MouseButtonPress, QPoint(20, 10), Qt::LeftButton, Qt::LeftButton);
    mouse(&b.button, QEvent::MouseButtonRelease, QPoint(200, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(b.clicks, 1);
    // A disabled button takes no clicks and looks the same.
    b.button.SetEnabled(false);
    const QImage disabled = b.button.grab().toImage();
    b.button.SetEnabled(true);
    EXPECT_EQ(disabled, b.button.grab().toImage());
}

} // namespace
