#include "cellfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

using namespace vellora;

namespace {

QByteArray le32(int32_t v)
{
    QByteArray b(4, '\0');
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b[i] = char((u >> (8 * i)) & 0xFF);
    return b;
}

QByteArray str(const QByteArray &s)
{
    return le32(int32_t(s.size())) + s;
}

TOrganell sample()
{
    return {"Chloroplast", "Der #5#Zellkern# steuert.", "Plastide", "2", "4\xB5m", "nein"};
}

} // namespace

TEST(OrganellFile, WriterLaysOutSixLengthPrefixedStrings)
{
    const QByteArray expected = str("Chloroplast") + str("Der #5#Zellkern# steuert.") + str("Plastide") +
                                str("2") + str("4\xB5m") + str("nein");
    EXPECT_EQ(serializeOrganell(sample()), expected);
    // Byte-level check of the first length: 11 little-endian.
    EXPECT_EQ(expected.left(5), QByteArray("\x0B\x00\x00\x00"
                                           "C",
                                           5));
    EXPECT_EQ(parseOrganell(expected), sample());
}

TEST(OrganellFile, AllLengthsZeroGiveEmptyFields)
{
    const TOrganell o = parseOrganell(le32(0) + le32(0) + le32(0) + le32(0) + le32(0) + le32(0));
    EXPECT_EQ(o, TOrganell{});
}

TEST(OrganellFile, BytesAfterTheSixthStringAreIgnored)
{
    EXPECT_EQ(parseOrganell(serializeOrganell(sample()) + "trailing garbage"), sample());
}

TEST(OrganellFile, CutShortInsideTheLastStringKeepsWhatIsThere)
{
    QByteArray bytes = serializeOrganell(sample());
    bytes.chop(2); // "nein" -> "ne"
    const TOrganell o = parseOrganell(bytes);
    EXPECT_EQ(o.Heading, "Chloroplast");
    EXPECT_EQ(o.Size, "4\xB5m");
    EXPECT_EQ(o.AnimalCell, "ne");
}

TEST(OrganellFile, MalformedLengthsNeverReadBeyondTheFile)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        TOrganell expected;
    };
    const Case cases[] = {
        {"negative length gives an empty string, the next field follows",
         str("Kern") + le32(-5) + str("Namen") + str("1") + str("5") + str("ja"),
         {"Kern", "", "Namen", "1", "5", "ja"}},
        {"huge length takes the rest",
         str("Kern") + le32(0x7FFFFFFF) + "abc",
         {"Kern", "abc", "", "", "", ""}},
        {"length field itself cut short",
         str("Kern") + QByteArray("\x03\x00", 2),
         {"Kern", "", "", "", "", ""}},
        {"empty file", QByteArray(), {}},
        {"minimum negative", le32(INT32_MIN) + str("x"), {"", "x", "", "", "", ""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseOrganell(c.bytes), c.expected) << c.name;
}

TEST(OrganellFile, PathsUseTheIndexInDecimal)
{
    EXPECT_TRUE(organellPath(10).endsWith("/inhalt/org10.organell"));
    EXPECT_TRUE(organellPath(0).endsWith("/inhalt/org0.organell"));
    EXPECT_TRUE(audioPath(7).endsWith("/audio/voice7.mp3"));
    EXPECT_TRUE(audioPath(10).endsWith("/audio/voice10.mp3"));
}

TEST(OrganellFile, ReadsAFileAndNamesAMissingOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("org3.organell");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(serializeOrganell(sample()));
    f.close();
    EXPECT_EQ(readOrganellFile(path), sample());

    const QString missing = dir.filePath("org99.organell");
    try {
        readOrganellFile(missing);
        FAIL() << "no error for a missing file";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf(missing), -1) << e.what();
    }
}

TEST(MeshNames, LineEndsOfAllKindsSplitTheSameWay)
{
    const QList<QByteArray> expected = {"Kernh\xFClle", "", "Nucleolus"};
    EXPECT_EQ(parseMeshNames("Kernh\xFClle\r\n\r\nNucleolus\r\n"), expected);
    EXPECT_EQ(parseMeshNames("Kernh\xFClle\n\nNucleolus\n"), expected);
    EXPECT_EQ(parseMeshNames("Kernh\xFClle\r\rNucleolus"), expected);
    EXPECT_EQ(parseMeshNames("Kernh\xFClle\r\n\nNucleolus"), expected);
    EXPECT_TRUE(parseMeshNames("").isEmpty());
    EXPECT_EQ(parseMeshNames("\r\n"), QList<QByteArray>{""});
}

TEST(MeshNames, WriterEndsEveryNameWithCrLfAndRoundTrips)
{
    const QList<QByteArray> names = {"a", "", "Stroma"};
    EXPECT_EQ(serializeMeshNames(names), QByteArray("a\r\n\r\nStroma\r\n"));
    EXPECT_EQ(parseMeshNames(serializeMeshNames(names)), names);
    EXPECT_THROW(serializeMeshNames({"a\nb"}), std::invalid_argument);
}

TEST(MeshNames, LoadNamesAMissingFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("meshes.dat");
    try {
        loadMeshNames(missing);
        FAIL() << "no error for a missing file";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf("meshes.dat"), -1);
    }
}

TEST(OrganellFile, EveryTruncationLoadsAsPrefixesOfTheFields)
{
    const TOrganell full = sample();
    const QByteArray bytes = serializeOrganell(full);
    for (qsizetype n = 0; n <= bytes.size(); ++n) {
        const TOrganell o = parseOrganell(bytes.left(n));
        EXPECT_TRUE(full.Heading.startsWith(o.Heading) && full.Text.startsWith(o.Text) &&
                    full.AnimalCell.startsWith(o.AnimalCell))
            << n;
    }
}
