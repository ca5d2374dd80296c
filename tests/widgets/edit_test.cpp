#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

#include "Edit.h"

namespace {

TEST(Edit, TextAndChangeEventGoThroughTheEmbeddedField)
{
    ZEdit edit;
    edit.resize(209, 25);
    edit.SetEditTop(4);
    std::vector<QString> seen;
    edit.OnChange = [&](QLineEdit *sender) {
        EXPECT_EQ(sender, edit.Edit());
        seen.push_back(sender->text());
    };
    edit.SetText(QStringLiteral("Grün"));
    EXPECT_EQ(edit.Text(), QStringLiteral("Grün"));
    EXPECT_EQ(edit.Edit()->text(), QStringLiteral("Grün"));

    edit.show();
    edit.Edit()->setFocus();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(edit.Edit(), &key);
    EXPECT_EQ(edit.Text(), QStringLiteral("Grüna"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], QStringLiteral("Grün"));
    EXPECT_EQ(seen[1], QStringLiteral("Grüna"));
}

TEST(Edit, FrameAndFieldPlacement)
{
    ZEdit edit;
    edit.resize(209, 25);
    edit.SetBorder(QColor(128, 128, 128));
    edit.SetColor(QColor(255, 255, 255));
    edit.SetEditTop(3);
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(13);
    edit.SetFont(f);
    edit.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(edit.Edit()->geometry(), QRect(5, 3, 209 - 8, 25 - 5));
    EXPECT_EQ(edit.Edit()->font(), f);
    EXPECT_FALSE(edit.Edit()->hasFrame());
    edit.resize(100, 30);
    QCoreApplication::processEvents();
    EXPECT_EQ(edit.Edit()->geometry(), QRect(5, 3, 92, 25));

    const QImage img = edit.grab().toImage();
    EXPECT_EQ(img.pixelColor(0, 10), QColor(128, 128, 128));
    EXPECT_EQ(img.pixelColor(99, 29), QColor(128, 128, 128));
    EXPECT_EQ(img.pixelColor(2, 2), QColor(255, 255, 255));
}

} // namespace
