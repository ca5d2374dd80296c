#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "Button.h"
#include "ShadowPanel.h"

namespace {

const QColor kBackground(192, 192, 192);
const QColor kCard(255, 255, 255);

struct Panel
{
    ZShadowPanel panel;
    Panel(bool shadows)
    {
        panel.resize(200, 100);
        panel.SetBackground(kBackground);
        panel.SetColor(kCard);
        panel.SetMarginLeft(10);
        panel.SetMarginTop(8);
        panel.SetMarginRight(6);
        panel.SetMarginBottom(4);
        if (shadows)
            panel.SetShadowImages(ZShadowPanel::StandardShadowImages());
    }
};

bool darker(const QColor &c, const QColor &than)
{
    return c.red() < than.red() && c.green() < than.green() && c.blue() < than.blue();
}

TEST(ShadowPanelPaint, CardWithoutShadow)
{
    Panel p(false);
    const QImage img = p.panel.grab().toImage();
    EXPECT_EQ(img.pixelColor(9, 50), kBackground);
    EXPECT_EQ(img.pixelColor(10, 8), kCard);
    EXPECT_EQ(img.pixelColor(193, 95), kCard); // W - MR - 1, H - MB - 1
    EXPECT_EQ(img.pixelColor(194, 50), kBackground);
    EXPECT_EQ(img.pixelColor(100, 96), kBackground);
    EXPECT_EQ(img.pixelColor(100, 7), kBackground);
}

TEST(ShadowPanelPaint, ShadowAlongRightAndBottom)
{
    Panel p(true);
    const QImage img = p.panel.grab().toImage();
    // Card face up to the strips.
    EXPECT_EQ(img.pixelColor(10, 8), kCard);
    EXPECT_EQ(img.pixelColor(188, 90), kCard);
    // The shadow starts 5 pixels below the card's top and 5 right of its left edge.
    for (int x = 189; x < 194; ++x)
        for (int y = 8; y < 13; ++y)
            EXPECT_EQ(img.pixelColor(x, y), kBackground) << x << "," << y;
    for (int x = 10; x < 15; ++x)
        for (int y = 91; y < 96; ++y)
            EXPECT_EQ(img.pixelColor(x, y), kBackground) << x << "," << y;
    // Stretched middles and the corner darken the background, strongest next to the card.
    EXPECT_TRUE(darker(img.pixelColor(189, 50), kBackground));
    EXPECT_TRUE(darker(img.pixelColor(189, 50), img.pixelColor(193, 50)));
    EXPECT_TRUE(darker(img.pixelColor(100, 91), kBackground));
    EXPECT_TRUE(darker(img.pixelColor(100, 91), img.pixelColor(100, 95)));
    EXPECT_TRUE(darker(img.pixelColor(189, 91), kBackground));
    // Ends fade in: the top end is lighter than the middle of the strip.
    EXPECT_TRUE(darker(img.pixelColor(189, 50), img.pixelColor(189, 13)));
    EXPECT_TRUE(darker(img.pixelColor(100, 91), img.pixelColor(15, 91)));
    // Outside the card the background stays.
    EXPECT_EQ(img.pixelColor(195, 50), kBackground);
    EXPECT_EQ(img.pixelColor(100, 97), kBackground);
}

TEST(ShadowPanelPaint, StandardImagesAreFiveByFive)
{
    const QList<QImage> images = ZShadowPanel::StandardShadowImages();
    ASSERT_EQ(images.size(), 5);
    for (const QImage &image : images)
        EXPECT_EQ(image.size(), QSize(5, 5));
}

TEST(ShadowPanelEnabled, DisabledPanelMakesChildrenInertButUnchanged)
{
    Panel p(true);
    auto *button = new ZButton(&p.panel);
    button->setGeometry(20, 20, 80, 30);
    int clicks = 0;
    button->OnClick = [&](ZButton *) { ++clicks; };
    auto *label = new QLabel(QStringLiteral("Text"), &p.panel);
    label->setGeometry(20, 60, 80, 20);
    p.panel.show();
    QCoreApplication::processEvents();
    const QImage before = p.panel.grab().toImage();

    p.panel.SetEnabled(false);
    EXPECT_FALSE(p.panel.Enabled());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(p.panel.grab().toImage(), before);
    EXPECT_EQ(label->palette().color(QPalette::Disabled, QPalette::WindowText),
              label->palette().color(QPalette::Active, QPalette::WindowText));

    // Input reaches the button only through the application, which drops it for disabled widgets.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), button->mapToGlobal(QPointF(10, 10)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 10), button->mapToGlobal(QPointF(10, 10)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QCoreApplication::sendEvent(button, &release);
    EXPECT_EQ(clicks, 0);
    p.panel.SetEnabled(true);
    QCoreApplication::sendEvent(button, &press);
    QCoreApplication::sendEvent(button, &release);
    EXPECT_EQ(clicks, 1);
}

TEST(ShadowPanelEvents, ClickResizeAndKeys)
{
    Panel p(false);
    int clicks = 0, resizes = 0;
    p.panel.OnClick = [&](ZShadowPanel *sender) {
        EXPECT_EQ(sender, &p.panel);
        ++clicks;
    };
    p.panel.OnResize = [&](ZShadowPanel *) { ++resizes; };
    p.panel.OnKeyDown = [&](ZShadowPanel *, int &key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Escape)
            key = 0;
    };
    p.panel.show();
    QCoreApplication::processEvents();
    const int shownResizes = resizes;
    p.panel.resize(300, 120);
    EXPECT_EQ(resizes, shownResizes + 1);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), p.panel.mapToGlobal(QPointF(50, 50)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(50, 50), p.panel.mapToGlobal(QPointF(50, 50)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&p.panel, &press);
    QCoreApplication::sendEvent(&p.panel, &release);
    EXPECT_EQ(clicks, 1);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&p.panel, &escape);
    EXPECT_TRUE(escape.isAccepted());
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(&p.panel, &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST(ControlAlign, AlignedSiblingsShareTheParent)
{
    QWidget form;
    form.resize(400, 300);
    auto *top = new ZButton(&form);
    top->resize(10, 20);
    top->SetAlign(ZAlign::Top);
    auto *bottom = new ZButton(&form);
    bottom->resize(10, 37);
    bottom->SetAlign(ZAlign::Bottom);
    auto *client = new ZShadowPanel(&form);
    client->SetAlign(ZAlign::Client);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 400, 20));
    EXPECT_EQ(bottom->geometry(), QRect(0, 263, 400, 37));
    EXPECT_EQ(client->geometry(), QRect(0, 20, 400, 243));
    form.resize(500, 400);
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(client->geometry(), QRect(0, 20, 500, 343));
    bottom->SetVisible(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(client->geometry(), QRect(0, 20, 500, 380));
    EXPECT_FALSE(bottom->Visible());
}

} // namespace
