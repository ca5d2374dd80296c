#include <QApplication>
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

// Two edits side by side in one active window; the focus frame shows on the one that has the
// focus and only while it has it, and only when a focus colour is set.
TEST(Edit, FocusFrameFollowsTheKeyboardFocus)
{
    const QColor border(15, 29, 69), face(255, 255, 255), focusColour(190, 75, 0);
    QWidget window;
    window.resize(300, 60);
    ZEdit *edits[2];
    for (int i = 0; i < 2; ++i) {
        edits[i] = new ZEdit(&window);
        edits[i]->setGeometry(10 + 140 * i, 10, 120, 21);
        edits[i]->SetBorder(border);
        edits[i]->SetColor(face);
        edits[i]->SetEditTop(1);
    }
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &window);

    // Pixels of the two-pixel edge: the outer ring (otherwise the border), the inner ring
    // (otherwise the face), on every side.
    struct Pixel
    {
        int x, y;
        bool outer;
    };
    const Pixel edge[] = {{0, 10, true}, {1, 10, false}, {119, 10, true}, {118, 10, false},
                          {60, 0, true}, {60, 1, false}, {60, 20, true},  {60, 19, false}};
    auto expectFrame = [&](ZEdit *edit, bool focusFrame, const char *what) {
        QApplication::processEvents();
        EXPECT_EQ(edit->FocusShown(), focusFrame) << what;
        const QImage img = edit->grab().toImage();
        for (const Pixel &p : edge)
            EXPECT_EQ(img.pixelColor(p.x, p.y), focusFrame ? focusColour
                                                : p.outer  ? border
                                                           : face)
                << what << " at " << p.x << "," << p.y;
    };

    // Without a focus colour the focused edit looks as before.
    edits[0]->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(edits[0]->Edit()->hasFocus());
    expectFrame(edits[0], false, "no focus colour");

    for (ZEdit *e : edits)
        e->SetFocusBorder(focusColour);
    expectFrame(edits[0], true, "focus colour set while focused");
    expectFrame(edits[1], false, "other edit");

    edits[1]->setFocus(Qt::TabFocusReason);
    expectFrame(edits[0], false, "focus gone");
    expectFrame(edits[1], true, "focus come");

    // The frame follows a resize and goes with the focus.
    edits[1]->resize(100, 25);
    QApplication::processEvents();
    const QImage wider = edits[1]->grab().toImage();
    EXPECT_EQ(wider.pixelColor(99, 12), focusColour);
    EXPECT_EQ(wider.pixelColor(50, 23), focusColour);
    edits[1]->Edit()->clearFocus();
    QApplication::processEvents();
    EXPECT_FALSE(edits[1]->FocusShown());

    // On a coloured face a white line inside the ring keeps the two apart.
    const QColor red(218, 69, 69);
    edits[1]->SetColor(red);
    edits[1]->setFocus();
    QApplication::processEvents();
    const QImage coloured = edits[1]->grab().toImage();
    EXPECT_EQ(coloured.pixelColor(1, 12), focusColour);
    EXPECT_EQ(coloured.pixelColor(2, 12), QColor(Qt::white));
    EXPECT_EQ(coloured.pixelColor(3, 12), red);
    EXPECT_EQ(coloured.pixelColor(50, 22), QColor(Qt::white));

    // The frame lets the mouse through to the field.
    edits[1]->SetText(QStringLiteral("Zellkern"));
    edits[1]->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edits[1]->childAt(50, 10), edits[1]->Edit());
}

} // namespace
