#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <gtest/gtest.h>

#include <vector>

#include "Memo.h"
#include "base/cp1252.h"

namespace {

QFont textFont()
{
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(13); // text height 18, row size 27
    return f;
}

QFont linkFont()
{
    QFont f(QStringLiteral("Trebuchet MS"));
    f.setPixelSize(13);
    f.setBold(true);
    return f;
}

// A press and release of button at the widget's centre.
void click(QWidget *w, Qt::MouseButton button = Qt::LeftButton)
{
    const QPointF at = QRectF(w->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

const QColor kBack(255, 255, 224);
const QColor kInk(0, 0, 128);

struct Memo
{
    ZMemo memo;
    explicit Memo(int width = 300, int height = 200)
    {
        memo.resize(width, height);
        memo.SetFont(textFont());
        memo.SetLinkFont(linkFont());
        memo.SetColor(kBack);
        memo.SetFontColor(kInk);
        memo.SetLinkFontColor(QColor(200, 0, 0));
    }
    int width(const char *text) const
    {
        return QFontMetrics(textFont(), &memo).horizontalAdvance(vellora::fromCp1252(QByteArray(text)));
    }
};

// One word as it should appear: its text (with the blank), its row and the pieces whose
// widths add up to its x.
struct Placed
{
    const char *text;
    int row;
    std::vector<const char *> before;
};

// What the memo must look like: every word drawn on the background at its place.
QImage expectedImage(const Memo &m, const std::vector<Placed> &words, int position = 0)
{
    QImage image(m.memo.size(), QImage::Format_RGB32);
    image.fill(kBack);
    QPainter p(&image);
    p.setFont(textFont());
    p.setPen(kInk);
    const QFontMetrics fm(textFont(), &m.memo);
    for (const Placed &w : words) {
        int x = 0;
        for (const char *piece : w.before)
            x += m.width(piece);
        p.drawText(QPoint(x, (w.row - position) * m.memo.RowSize() + fm.ascent()),
                   vellora::fromCp1252(QByteArray(w.text)));
    }
    return image;
}

QImage shot(QWidget &w)
{
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(MemoLayout, StartsWithRowSizeOneAndNoRows)
{
    ZMemo memo;
    EXPECT_EQ(memo.RowSize(), 1);
    EXPECT_EQ(memo.RowCount(), 0);
    EXPECT_EQ(memo.Position(), 0);
    EXPECT_TRUE(memo.Text().isEmpty());
    EXPECT_TRUE(memo.Links().empty());
}

TEST(MemoLayout, RowSizeIsOneAndAHalfTextHeightsRoundedHalfToEven)
{
    struct Case
    {
        const char *family;
        int pixels;
        int textHeight;
        int rowSize;
    };
    // 28.5 must give 28, not 29.
    const Case cases[] = {{"Trebuchet MS", 13, 18, 27},
                          {"Trebuchet MS", 14, 19, 28},
                          {"Liberation Sans", 19, 21, 32},
                          {"Trebuchet MS", 23, 32, 48}};
    for (const Case &c : cases) {
        ZMemo memo;
        memo.resize(200, 100);
        QFont f(QString::fromLatin1(c.family));
        f.setPixelSize(c.pixels);
        ASSERT_EQ(QFontMetrics(f, &memo).height(), c.textHeight) << c.family << " " << c.pixels;
        memo.SetFont(f);
        memo.SetText("x");
        EXPECT_EQ(memo.RowSize(), c.rowSize) << c.family << " " << c.pixels;
    }
}

TEST(MemoLayout, WordsBlanksAndLineBreaks)
{
    struct Case
    {
        const char *name;
        QByteArray text;
        std::vector<Placed> words;
        int rowCount;
    };
    const std::vector<Case> cases = {
        {"two words", "a b", {{"a ", 0, {}}, {"b ", 0, {"a "}}}, 0},
        {"CR LF", "a\r\nb", {{"a ", 0, {}}, {"b ", 1, {}}}, 1},
        {"ends in CR LF", "a\r\n", {{"a ", 0, {}}, {" ", 1, {}}}, 1},
        {"two line breaks", "a\r\n\r\nb", {{"a ", 0, {}}, {"b ", 2, {}}}, 2},
        {"two blanks", "a  b", {{"a ", 0, {}}, {" ", 0, {"a "}}, {"b ", 0, {"a ", " "}}}, 0},
        {"lone CR", "a\rb", {{"ab ", 0, {}}}, 0},
        {"lone LF", "a\nb", {{"ab ", 0, {}}}, 0},
        {"umlaut", "gr\xfcn", {{"gr\xfcn ", 0, {}}}, 0},
    };
    for (const Case &c : cases) {
        Memo m;
        m.memo.SetText(c.text);
        EXPECT_EQ(m.memo.RowCount(), c.rowCount) << c.name;
        EXPECT_EQ(shot(m.memo), expectedImage(m, c.words)) << c.name;
    }
}

TEST(MemoLayout, WrapsWhenTheWordExceedsTheRoomLessTenPixels)
{
    Memo probe;
    const int room = probe.width("aaa ") + probe.width("bbb ") + 10;
    {
        Memo m(room, 100); // exactly fits: w == W - x - 10 does not wrap
        m.memo.SetText("aaa bbb");
        EXPECT_EQ(m.memo.RowCount(), 0);
        EXPECT_EQ(shot(m.memo), expectedImage(m, {{"aaa ", 0, {}}, {"bbb ", 0, {"aaa "}}}));
    }
    {
        Memo m(room - 1, 100);
        m.memo.SetText("aaa bbb");
        EXPECT_EQ(m.memo.RowCount(), 1);
        EXPECT_EQ(shot(m.memo), expectedImage(m, {{"aaa ", 0, {}}, {"bbb ", 1, {}}}));
    }
}

TEST(MemoLayout, TooWideFirstWordLeavesRowZeroEmpty)
{
    Memo m(60, 100);
    ASSERT_GT(m.width("Zellkernmembran "), 50);
    m.memo.SetText("Zellkernmembran");
    EXPECT_EQ(m.memo.RowCount(), 1);
    EXPECT_EQ(shot(m.memo), expectedImage(m, {{"Zellkernmembran ", 1, {}}}));
}

TEST(MemoLayout, PositionScrollsTextAndLinksTogether)
{
    Memo m;
    m.memo.SetText("a\r\nb\r\nc #4#Zelle#");
    ASSERT_EQ(m.memo.RowCount(), 2);
    ASSERT_EQ(m.memo.Links().size(), 1u);
    ZMemoLabel *label = m.memo.Links()[0];
    EXPECT_EQ(label->y(), 2 * 27);

    m.memo.SetPosition(2);
    EXPECT_EQ(label->y(), 2 * 27) << "writing Position alone does not repaint";
    const QImage scrolled = shot(m.memo); // the paint moves text and label
    EXPECT_EQ(label->y(), 0);
    EXPECT_EQ(label->text(), QStringLiteral("Zelle"));
    EXPECT_EQ(label->Tag(), 4);
    QImage want = expectedImage(m, {{"c ", 2, {}}}, 2);
    // Compare outside the label; the label itself is checked by its geometry.
    QPainter p(&want);
    p.fillRect(label->geometry(), Qt::black);
    p.end();
    QImage got = scrolled;
    QPainter q(&got);
    q.fillRect(label->geometry(), Qt::black);
    q.end();
    EXPECT_EQ(got, want);

    m.memo.SetPosition(5); // beyond the last row
    QImage empty(m.memo.size(), QImage::Format_RGB32);
    empty.fill(kBack);
    EXPECT_EQ(shot(m.memo), empty);
}

TEST(MemoLayout, RowCountIsCurrentWithoutAPaint)
{
    // Never shown, so Qt never paints it; a scroll bar must still read the new numbers.
    Memo m(300, 100);
    m.memo.SetText("eins zwei drei vier");
    EXPECT_EQ(m.memo.RowCount(), 0);
    EXPECT_EQ(m.memo.RowSize(), 27);
    m.memo.resize(m.width("eins zwei ") + 10, 100);
    EXPECT_EQ(m.memo.RowCount(), 1);
    m.memo.SetText("eins\r\nzwei\r\ndrei");
    EXPECT_EQ(m.memo.RowCount(), 2);
}

TEST(MemoLinks, LinkThenFullStop)
{
    Memo m;
    m.memo.SetText("Siehe #12#Zellwand#.");
    ASSERT_EQ(m.memo.Links().size(), 1u);
    ZMemoLabel *label = m.memo.Links()[0];
    const QFontMetrics lm(linkFont(), &m.memo);
    EXPECT_EQ(label->text(), QStringLiteral("Zellwand"));
    EXPECT_EQ(label->Tag(), 12);
    EXPECT_EQ(label->geometry(),
              QRect(m.width("Siehe "), 0, lm.horizontalAdvance(QStringLiteral("Zellwand")), lm.height()));
    EXPECT_EQ(label->font(), linkFont());
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(m.memo.RowCount(), 0);

    // The full stop sits right behind the caption.
    QImage want(m.memo.size(), QImage::Format_RGB32);
    want.fill(kBack);
    QPainter p(&want);
    p.setFont(textFont());
    p.setPen(kInk);
    const int ascent = QFontMetrics(textFont(), &m.memo).ascent();
    p.drawText(QPoint(0, ascent), QStringLiteral("Siehe "));
    p.drawText(QPoint(label->x() + label->width(), ascent), QStringLiteral(". "));
    p.fillRect(label->geometry(), Qt::black);
    p.end();
    QImage got = shot(m.memo);
    QPainter q(&got);
    q.fillRect(label->geometry(), Qt::black);
    q.end();
    EXPECT_EQ(got, want);
}

TEST(MemoLinks, CaptionWithBlanksIsOneUnitAndWraps)
{
    Memo probe;
    const int captionWidth =
        QFontMetrics(linkFont(), &probe.memo).horizontalAdvance(QStringLiteral("Zellkern Membran"));
    Memo m(probe.width("Der ") + captionWidth + 9, 100);
    m.memo.SetText("Der #-3#Zellkern Membran# x");
    ASSERT_EQ(m.memo.Links().size(), 1u);
    EXPECT_EQ(m.memo.Links()[0]->Tag(), -3);
    EXPECT_EQ(m.memo.Links()[0]->pos(), QPoint(0, 27));
    EXPECT_EQ(m.memo.RowCount(), 1);
}

TEST(MemoLinks, ClickReportsTheNumber)
{
    Memo m;
    m.memo.SetText("Siehe #12#Zellwand#. Und #7#Vakuole# hier");
    m.memo.show();
    ASSERT_EQ(m.memo.Links().size(), 2u);

    click(m.memo.Links()[1], Qt::LeftButton); // no handler yet: nothing happens

    std::vector<std::pair<ZMemo *, int>> calls;
    m.memo.OnLinkClick = [&](ZMemo *sender, int index) { calls.emplace_back(sender, index); };
    click(m.memo.Links()[0], Qt::LeftButton);
    click(m.memo.Links()[1], Qt::LeftButton);
    click(m.memo.Links()[1], Qt::RightButton);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(&m.memo, 12));
    EXPECT_EQ(calls[1], std::make_pair(&m.memo, 7));
}

TEST(MemoLinks, HandlerMaySetANewText)
{
    Memo m;
    m.memo.SetText("#1#a# #2#b#");
    m.memo.show();
    m.memo.OnLinkClick = [&](ZMemo *memo, int) { memo->SetText("kein Link"); };
    QPointer<ZMemoLabel> second = m.memo.Links()[1];
    click(second, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m.memo.Links().empty());
    EXPECT_TRUE(second.isNull());
}

TEST(MemoLinks, SameTextAgainRebuildsTheCaptions)
{
    Memo m;
    const QByteArray text = "Der #5#Zellkern# steuert";
    m.memo.SetText(text);
    ZMemoLabel *label = m.memo.Links()[0];
    label->setText(QStringLiteral("verdorben"));
    label->SetTag(99);
    m.memo.SetText(text);
    ASSERT_EQ(m.memo.Links().size(), 1u);
    EXPECT_EQ(m.memo.Links()[0]->text(), QStringLiteral("Zellkern"));
    EXPECT_EQ(m.memo.Links()[0]->Tag(), 5);

    // Without a new text a paint only moves the labels.
    m.memo.Links()[0]->SetTag(98);
    m.memo.grab();
    EXPECT_EQ(m.memo.Links()[0]->Tag(), 98);
}

TEST(MemoLinks, SurplusLabelsAreFreed)
{
    Memo m;
    m.memo.SetText("#1#eins# #2#zwei# #3#drei#");
    ASSERT_EQ(m.memo.Links().size(), 3u);
    QPointer<ZMemoLabel> first = m.memo.Links()[0];
    QPointer<ZMemoLabel> second = m.memo.Links()[1];
    QPointer<ZMemoLabel> third = m.memo.Links()[2];
    m.memo.SetText("nur #8#ein# Link");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(m.memo.Links().size(), 1u);
    EXPECT_EQ(m.memo.Links()[0], first.data());
    EXPECT_EQ(first->text(), QStringLiteral("ein"));
    EXPECT_EQ(first->Tag(), 8);
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(third.isNull());
    EXPECT_EQ(m.memo.findChildren<ZMemoLabel *>().size(), 1);

    m.memo.SetText("");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m.memo.Links().empty());
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(m.memo.RowCount(), 0);
}

TEST(MemoLinks, BrokenMarkupIsShownAndStopsAtTheEnd)
{
    struct Case
    {
        QByteArray text;
        std::size_t links;
        bool valid;
    };
    const Case cases[] = {
        {"Siehe #12#Zellwand", 0, true}, // no third '#'
        {"Siehe #12", 0, true},
        {"#", 0, true},
        {"Siehe #zwölf#Zellwand# da", 1, false}, // not a whole number
    };
    for (const Case &c : cases) {
        Memo m;
        m.memo.SetText(c.text);
        ASSERT_EQ(m.memo.Links().size(), c.links) << c.text.constData();
        m.memo.grab();
        if (c.links) {
            m.memo.show();
            int calls = 0;
            m.memo.OnLinkClick = [&](ZMemo *, int) { ++calls; };
            EXPECT_EQ(m.memo.Links()[0]->Valid(), c.valid);
            click(m.memo.Links()[0], Qt::LeftButton);
            EXPECT_EQ(calls, c.valid ? 1 : 0);
        }
    }
    // The incomplete link stays readable as plain text.
    Memo m;
    m.memo.SetText("a #12");
    EXPECT_EQ(shot(m.memo), expectedImage(m, {{"a ", 0, {}}, {"#12 ", 0, {"a "}}}));
}

// What a memo with one link shows, outside the caption: the plain words at their places and the
// text behind the caption right after it on the caption's row. The caption itself is checked by
// its geometry, so both images black it out.
QImage withoutCaption(const QImage &image, const ZMemoLabel *label)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.fillRect(label->geometry(), Qt::black);
    return out;
}

// A full stop, comma, colon, semicolon, "!" or "?" right behind a link never starts a row of
// its own: at every width where it no longer fits behind the caption, the caption goes to the
// next row and takes the mark along.
TEST(MemoLinks, MarkBehindALinkWrapsTogetherWithIt)
{
    Memo probe;
    const QFontMetrics lm(linkFont(), &probe.memo);
    const int before = probe.width("Siehe ");
    const int caption = lm.horizontalAdvance(QStringLiteral("Zellwand"));
    const int ascent = QFontMetrics(textFont(), &probe.memo).ascent();

    for (const char *mark : {".", ",", ":", ";", "!", "?", "?!"}) {
        const QByteArray tail = QByteArray(mark) + ' ';
        const int tailWidth = probe.width(tail.constData());
        const int fitsAll = before + caption + tailWidth + 10;
        struct Case
        {
            int width;
            bool wrapped; // caption and mark on row 1
        };
        // From the narrowest width at which the caption alone still fits behind "Siehe " (the
        // old layout left the mark alone on row 1 there) up to the one where all fits.
        const Case cases[] = {
            {before + caption + 10, true},
            {before + caption + 10 + tailWidth / 2, true},
            {fitsAll - 1, true},
            {fitsAll, false},
        };
        for (const Case &c : cases) {
            Memo m(c.width, 100);
            m.memo.SetText(QByteArray("Siehe #12#Zellwand#") + mark);
            ASSERT_EQ(m.memo.Links().size(), 1u);
            const ZMemoLabel *label = m.memo.Links()[0];
            const int row = c.wrapped ? 1 : 0;
            EXPECT_EQ(label->pos(), QPoint(c.wrapped ? 0 : before, row * 27)) << mark << " " << c.width;
            EXPECT_EQ(m.memo.RowCount(), row) << mark << " " << c.width;

            QImage want(m.memo.size(), QImage::Format_RGB32);
            want.fill(kBack);
            QPainter p(&want);
            p.setFont(textFont());
            p.setPen(kInk);
            p.drawText(QPoint(0, ascent), QStringLiteral("Siehe "));
            p.drawText(QPoint(label->x() + label->width(), row * 27 + ascent), QString::fromLatin1(tail));
            p.end();
            EXPECT_EQ(withoutCaption(shot(m.memo), label), withoutCaption(want, label))
                << mark << " " << c.width;
        }
    }
}

// A caption at a row's start that fits alone keeps its row: the mark stays behind it, reaching
// into the right margin, rather than leaving an empty row or starting one.
TEST(MemoLinks, MarkStaysBehindACaptionThatStartsItsRow)
{
    Memo probe;
    const int caption = QFontMetrics(linkFont(), &probe.memo).horizontalAdvance(QStringLiteral("Zellwand"));
    const int ascent = QFontMetrics(textFont(), &probe.memo).ascent();
    struct Case
    {
        QByteArray text;
        int row; // the caption's row
        const char *after;
    };
    const Case cases[] = {
        {"#12#Zellwand#.", 0, ". "},
        {"Die\r\n#12#Zellwand#, und", 1, ", "},
    };
    for (const Case &c : cases) {
        Memo m(caption + 11, 100);
        m.memo.SetText(c.text);
        ASSERT_EQ(m.memo.Links().size(), 1u);
        const ZMemoLabel *label = m.memo.Links()[0];
        EXPECT_EQ(label->pos(), QPoint(0, c.row * 27)) << c.text.constData();
        QImage want(m.memo.size(), QImage::Format_RGB32);
        want.fill(kBack);
        QPainter p(&want);
        p.setFont(textFont());
        p.setPen(kInk);
        if (c.row == 1)
            p.drawText(QPoint(0, ascent), QStringLiteral("Die "));
        p.drawText(QPoint(caption, c.row * 27 + ascent), QString::fromLatin1(c.after));
        p.end();
        const QImage got = withoutCaption(shot(m.memo), label);
        // Only the mark's row is compared: "und" wraps on as any word does.
        const QRect markRow(0, c.row * 27, m.memo.width(), 27);
        EXPECT_EQ(got.copy(markRow), withoutCaption(want, label).copy(markRow)) << c.text.constData();
    }
}

} // namespace
