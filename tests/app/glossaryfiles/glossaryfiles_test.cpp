#include "glossaryfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace vellora;

namespace {

// One record written by hand at the documented offsets, with junk in the unused bytes.
QByteArray record(const QByteArray &title, const QByteArray &t1, const QByteArray &t2, const QByteArray &t3,
                  const std::array<int32_t, 10> &links, const QByteArray &picture)
{
    QByteArray r(868, '\x55');
    auto put = [&](int at, const QByteArray &s) {
        r[at] = char(s.size());
        for (qsizetype i = 0; i < s.size(); ++i)
            r[at + 1 + i] = s[i];
    };
    put(0, title);
    put(51, t1);
    put(307, t2);
    put(563, t3);
    for (int k = 0; k < 10; ++k)
        for (int b = 0; b < 4; ++b)
            r[819 + 4 * k + b] = char((uint32_t(links[k]) >> (8 * b)) & 0xFF);
    put(859, picture);
    return r;
}

const std::array<int32_t, 10> kNoLinks{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

} // namespace

TEST(GlossaryFile, ReadsWholeRecordsOnly)
{
    const QByteArray three = record("A", "a", "", "", kNoLinks, "") + record("B", "b", "", "", kNoLinks, "") +
                             record("C", "c", "", "", kNoLinks, "");
    ASSERT_EQ(three.size(), 868 * 3);
    const QList<TGlossarEntry> e = parseGlossary(three);
    ASSERT_EQ(e.size(), 3);
    EXPECT_EQ(e[2].Title, "C");
    EXPECT_EQ(parseGlossary(three + QByteArray(100, 'x')).size(), 3);
    EXPECT_TRUE(parseGlossary(QByteArray()).isEmpty());
    EXPECT_TRUE(parseGlossary(QByteArray(867, 'x')).isEmpty());
}

TEST(GlossaryFile, FieldsUseOnlyTheirLengthBytes)
{
    const QByteArray t1(255, 'x');
    const std::array<int32_t, 10> links{4, 0, 2, -1, -1, -1, -1, -1, -1, -1};
    const TGlossarEntry e = parseGlossary(record("Zellkern", t1, "", "0123456789", links, "abc"))[0];
    EXPECT_EQ(e.Title, "Zellkern"); // length byte 8 of a 50-byte field full of junk
    EXPECT_EQ(e.Text().size(), 265);
    EXPECT_EQ(e.Text(), t1 + "0123456789");
    EXPECT_EQ(e.Links, links);
    EXPECT_EQ(e.SeeAlso(), (QList<int32_t>{4, 0, 2}));
    EXPECT_EQ(e.Picture, "abc");
    EXPECT_TRUE(parseGlossary(record("X", "", "", "", kNoLinks, ""))[0].Picture.isEmpty());
}

TEST(GlossaryFile, OversizedLengthBytesStayInsideTheirField)
{
    QByteArray r = record("Titel", "Text", "", "", kNoLinks, "bild");
    r[0] = char(200);   // title capacity 50
    r[51] = char(255);  // a full piece is allowed
    r[859] = char(250); // picture capacity 8
    const TGlossarEntry e = parseGlossary(r)[0];
    EXPECT_EQ(e.Title.size(), 50);
    EXPECT_EQ(e.Title.left(5), "Titel");
    EXPECT_EQ(e.Text1.size(), 255);
    EXPECT_EQ(e.Picture.size(), 8);
}

TEST(GlossaryFile, WriterPlacesFieldsAtTheirOffsets)
{
    TGlossarEntry e;
    e.Title = "Vakuole";
    e.SetText(QByteArray(300, 'v'));
    e.Links = {1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    e.Picture = "vak";
    const QByteArray bytes = serializeGlossary({e, TGlossarEntry{}});
    ASSERT_EQ(bytes.size(), 2 * 868);
    EXPECT_EQ(bytes[0], char(7));
    EXPECT_EQ(bytes.mid(1, 7), "Vakuole");
    EXPECT_EQ(bytes[51], char(255));
    EXPECT_EQ(bytes[307], char(45));
    EXPECT_EQ(bytes[563], char(0));
    EXPECT_EQ(bytes.mid(819, 8), QByteArray("\x01\x00\x00\x00\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(bytes.mid(859, 4), QByteArray("\x03vak"));
    EXPECT_EQ(bytes.mid(868 + 819, 4), QByteArray("\xFF\xFF\xFF\xFF"));
    EXPECT_EQ(parseGlossary(bytes)[0], e);
}

TEST(GlossaryFile, SeeAlsoStopsAtTheFirstEmptySlot)
{
    struct Case
    {
        std::array<int32_t, 10> links;
        QList<int32_t> seeAlso;
    };
    const Case cases[] = {
        {{7, -1, 3, 4, -1, -1, -1, -1, -1, -1}, {7}},
        {{-1, 2, -1, -1, -1, -1, -1, -1, -1, -1}, {}},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {{5, 6, 7, 8, 9, 10, 11, 12, 13, -1}, {5, 6, 7, 8, 9, 10, 11, 12, 13}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseGlossary(record("T", "", "", "", c.links, ""))[0].SeeAlso(), c.seeAlso);
}

TEST(GlossaryFile, TextSplitsIntoPiecesOf255AndJoinsBack)
{
    struct Case
    {
        int size;
        int piece1, piece2, piece3;
    };
    const Case cases[] = {
        {0, 0, 0, 0}, {255, 255, 0, 0}, {256, 255, 1, 0}, {600, 255, 255, 90}, {765, 255, 255, 255}};
    for (const Case &c : cases) {
        QByteArray text;
        for (int i = 0; i < c.size; ++i)
            text += char('a' + i % 26);
        TGlossarEntry e;
        e.SetText(text);
        EXPECT_EQ(e.Text1.size(), c.piece1) << c.size;
        EXPECT_EQ(e.Text2.size(), c.piece2) << c.size;
        EXPECT_EQ(e.Text3.size(), c.piece3) << c.size;
        EXPECT_EQ(parseGlossary(serializeGlossary({e}))[0].Text(), text) << c.size;
    }
}

TEST(GlossaryFile, WriterAndSplitterRefuseOverlongFields)
{
    TGlossarEntry e;
    EXPECT_THROW(e.SetText(QByteArray(766, 'x')), std::invalid_argument);
    e.SetText(QByteArray(765, 'x'));
    EXPECT_EQ(e.Text3.size(), 255);
    e.Title = QByteArray(51, 't');
    EXPECT_THROW(serializeGlossary({e}), std::invalid_argument);
    e.Title = "ok";
    e.Picture = "neunzeich";
    EXPECT_THROW(serializeGlossary({e}), std::invalid_argument);
}

TEST(GlossaryFile, TitleOrderFoldsOnlyAsciiLetters)
{
    // Plain bytes would put "ATP" first ('T' < 'm'); folded, "AMINO" < "ATP".
    EXPECT_TRUE(glossaryTitleLess("Aminos\xE4ure", "ATP"));
    EXPECT_FALSE(glossaryTitleLess("ATP", "Aminos\xE4ure"));
    EXPECT_FALSE(glossaryTitleLess("Zellkern", "zellkern"));
    EXPECT_FALSE(glossaryTitleLess("zellkern", "Zellkern"));
    EXPECT_TRUE(glossaryTitleLess("zellkern", "Zellwand"));
    EXPECT_TRUE(glossaryTitleLess("Zelle", "Zellkern"));
    EXPECT_TRUE(glossaryTitleLess("Zz", "\xC4pfel")); // umlauts sort after ASCII
}

TEST(GlossaryFile, LoadersNameTheMissingFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("glossar.dat");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(record("A", "a", "", "", kNoLinks, ""));
    f.close();
    EXPECT_EQ(LoadGlossary(path).size(), 1);
    for (const QString &missing : {dir.filePath("fehlt.dat")}) {
        try {
            LoadGlossary(missing);
            ADD_FAILURE();
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(missing));
        }
        try {
            loadManualPage(missing);
            ADD_FAILURE();
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(missing));
        }
    }
    EXPECT_EQ(loadManualPage(path).size(), 868);
    EXPECT_TRUE(manualPagePath(0).endsWith("/inhalt/zelle_m.dat"));
    EXPECT_TRUE(manualPagePath(1).endsWith("/inhalt/uebung_m.dat"));
    EXPECT_TRUE(manualPagePath(2).endsWith("/inhalt/glossar_m.dat"));
    EXPECT_TRUE(glossaryPath().endsWith("/inhalt/glossar.dat"));
}
