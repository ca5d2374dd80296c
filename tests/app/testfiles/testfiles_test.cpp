#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

QByteArray le16(uint16_t v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

QByteArray str(const QByteArray &s)
{
    return le32(int32_t(s.size())) + s;
}

const QByteArray kSlfId = "SZELLE-SELBST-01";
const QByteArray kMpcId = "MZELLE-AUSWAHL01";
const QByteArray kLktId = "LZELLE-LUECKE-01";

QByteArray slfBytes()
{
    return kSlfId + str("Grundlagen") + le32(2) + str("Was ist eine Zelle?") + str("Die kleinste Einheit.") +
           str("Wo liegt die DNA?") + str("Im Zellkern.");
}

QByteArray mpcBytes()
{
    return kMpcId + str("Organellen") + le32(1) + str("Was hat nur die Pflanzenzelle?") + le16(5) + le32(3) +
           str("Chloroplast") + str("Mitochondrium") + str("Zellwand");
}

QByteArray lktBytes()
{
    return kLktId +
           str("L\xFC"
               "cken") +
           le32(2) + str("Die #6 ist von einer #10 umgeben.") + le32(1) + str("Zelle") + le32(2) +
           str("Zellwand") + str("Wand");
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(TestFiles, SelfCheckReadsAndWritesTheSameBytes)
{
    const TSLFTest t = parseSelfCheckTest(slfBytes(), "a.slf");
    EXPECT_EQ(t.Info.ID, kSlfId);
    EXPECT_EQ(t.Info.Title, "Grundlagen");
    ASSERT_EQ(t.Count, 2);
    ASSERT_EQ(t.Questions.size(), 2);
    EXPECT_EQ(t.Questions[1].Question, "Wo liegt die DNA?");
    EXPECT_EQ(t.Questions[1].Answer, "Im Zellkern.");
    EXPECT_EQ(t.Right, 0);
    EXPECT_EQ(t.Current, 0);
    EXPECT_EQ(serializeSelfCheckTest(t), slfBytes());
}

TEST(TestFiles, MultipleChoiceMaskFiveMarksOptionsZeroAndTwo)
{
    const TMPCTest t = parseMultipleChoiceTest(mpcBytes(), "a.mpc");
    ASSERT_EQ(t.Questions.size(), 1);
    const TMPCQuestion &q = t.Questions[0];
    EXPECT_EQ(q.Answer, 5);
    EXPECT_EQ(q.Count, 3);
    EXPECT_EQ(q.Options, (QList<QByteArray>{"Chloroplast", "Mitochondrium", "Zellwand"}));
    EXPECT_EQ(serializeMultipleChoiceTest(t), mpcBytes());
}

TEST(TestFiles, MultipleChoiceKeepsMoreThanSixteenOptions)
{
    QByteArray bytes = kMpcId + str("Viele") + le32(1) + str("Frage") + le16(0) + le32(17);
    for (int i = 0; i < 17; ++i)
        bytes += str(QByteArray::number(i));
    const TMPCTest t = parseMultipleChoiceTest(bytes, "viele.mpc");
    EXPECT_EQ(t.Questions[0].Options.size(), 17);
    EXPECT_EQ(t.Questions[0].Answer, 0);
}

TEST(TestFiles, ClozeGapsComeInTextOrderWithTheirWidths)
{
    const TLKTTest t = parseClozeTest(lktBytes(), "a.lkt");
    EXPECT_EQ(t.Count, 2);
    EXPECT_EQ(t.Text, "Die #6 ist von einer #10 umgeben.");
    ASSERT_EQ(t.Words.size(), 2);
    EXPECT_EQ(t.Words[0].Words, QList<QByteArray>{"Zelle"});
    EXPECT_EQ(t.Words[1].Count, 2);
    EXPECT_EQ(serializeClozeTest(t), lktBytes());

    const QList<ClozeGap> gaps = clozeGaps(t.Text);
    ASSERT_EQ(gaps.size(), 2);
    EXPECT_EQ(gaps[0].width, 6);
    EXPECT_EQ(gaps[0].offset, 4);
    EXPECT_EQ(gaps[1].width, 10);
    EXPECT_EQ(gaps[1].length, 3);

    const QList<ClozeGap> glued = clozeGaps("#12abc");
    ASSERT_EQ(glued.size(), 1);
    EXPECT_EQ(glued[0].width, 12);
    EXPECT_EQ(glued[0].length, 3);
    EXPECT_EQ(clozeGaps("a # b")[0].width, -1);
}

TEST(TestFiles, DamagedFilesAreRefusedWithFileAndOffset)
{
    struct Case
    {
        const char *name;
        TestKind kind;
        QByteArray bytes;
        qint64 offset;
    };
    const qint64 slfBody = 16 + 4 + 10; // after "Grundlagen"
    const Case cases[] = {
        {"negative question count", TestKind::SelfCheck, kSlfId + str("Grundlagen") + le32(-1), slfBody},
        {"count that cannot fit", TestKind::SelfCheck,
         kSlfId + str("Grundlagen") + le32(1000000) + str("a") + str("b"), slfBody},
        {"negative string length", TestKind::SelfCheck,
         kSlfId + str("Grundlagen") + le32(1) + le32(-3) + str("b"), slfBody + 4},
        {"string longer than the rest", TestKind::SelfCheck,
         kSlfId + str("Grundlagen") + le32(1) + le32(500) + str("b"), slfBody + 4},
        {"cut inside the answers", TestKind::SelfCheck, slfBytes().chopped(3), slfBytes().size() - 16},
        {"ID shorter than 16 bytes", TestKind::SelfCheck, QByteArray("SKURZ"), 0},
        {"title length past the end", TestKind::MultipleChoice, kMpcId + le32(0x7FFFFFFF) + "x", 16},
        {"negative option count", TestKind::MultipleChoice,
         kMpcId + str("T") + le32(1) + str("F") + le16(1) + le32(-2), 16 + 5 + 4 + 5 + 2},
        {"option count too big", TestKind::MultipleChoice,
         kMpcId + str("T") + le32(1) + str("F") + le16(1) + le32(3) + str("a"), 16 + 5 + 4 + 5 + 2},
        {"mask cut short", TestKind::MultipleChoice,
         kMpcId + str("T") + le32(1) + str("Frage mit Text") + "\x01", 16 + 5 + 4 + 18},
        {"gap count differs from the markers", TestKind::Cloze,
         kLktId + str("T") + le32(1) + str("#3 und #4") + le32(1) + str("a"), 16 + 5},
        {"negative answer count", TestKind::Cloze, kLktId + str("T") + le32(1) + str("#3") + le32(-1),
         16 + 5 + 4 + 6},
        {"hash without a width", TestKind::Cloze,
         kLktId + str("T") + le32(1) + str("a # b") + le32(1) + str("x"), 16 + 5 + 4 + 4 + 2},
    };
    for (const Case &c : cases) {
        try {
            switch (c.kind) {
            case TestKind::SelfCheck:
                parseSelfCheckTest(c.bytes, "kaputt.slf");
                break;
            case TestKind::MultipleChoice:
                parseMultipleChoiceTest(c.bytes, "kaputt.slf");
                break;
            default:
                parseClozeTest(c.bytes, "kaputt.slf");
                break;
            }
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const TestFileError &e) {
            EXPECT_EQ(e.offset(), c.offset) << c.name << ": " << e.what();
            EXPECT_EQ(e.path(), "kaputt.slf") << c.name;
            const QString message = QString::fromUtf8(e.what());
            EXPECT_TRUE(message.contains("kaputt.slf") && message.contains(QString::number(c.offset)))
                << e.what();
        }
    }
}

TEST(TestFiles, HeaderIsReadWithoutTheBody)
{
    QTemporaryDir dir;
    // The body is garbage: the list only needs ID and title.
    const QString path = writeFile(dir, "test0.mpc", kMpcId + str("Nur Kopf") + le32(-77) + "xyz");
    const TTestInfo info = LoadTestHeader(path);
    EXPECT_EQ(info.ID, kMpcId);
    EXPECT_EQ(info.Title, "Nur Kopf");
    EXPECT_THROW(LoadMultipleChoiceTest(path), TestFileError);
    EXPECT_THROW(LoadTestHeader(writeFile(dir, "short.mpc", kMpcId + le32(50) + "abc")), TestFileError);
}

TEST(TestFiles, LoadersReadFilesAndNameMissingOnes)
{
    QTemporaryDir dir;
    EXPECT_EQ(LoadSelfCheckTest(writeFile(dir, "a.slf", slfBytes())).Questions.size(), 2);
    EXPECT_EQ(LoadClozeTest(writeFile(dir, "a.lkt", lktBytes())).Count, 2);
    const QString missing = dir.filePath("fehlt.slf");
    try {
        LoadSelfCheckTest(missing);
        FAIL();
    } catch (const TestFileError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(missing));
    }
    EXPECT_EQ(LoadIntroduction(writeFile(dir, "uebung.dat", "Willkommen\r\n\r\nText")),
              "Willkommen\r\n\r\nText");
    EXPECT_THROW(LoadIntroduction(dir.filePath("nichts.dat")), std::runtime_error);
}

TEST(TestFiles, KindFollowsTheExtensionWhateverItsCase)
{
    EXPECT_EQ(testKindOfPath("/home/a/Zelle.LKT"), TestKind::Cloze);
    EXPECT_EQ(testKindOfPath("x.Slf"), TestKind::SelfCheck);
    EXPECT_EQ(testKindOfPath("x.mpc"), TestKind::MultipleChoice);
    EXPECT_EQ(testKindOfPath("x.mpc.bak"), TestKind::Unknown);
    EXPECT_EQ(testKindOfPath("lkt"), TestKind::Unknown);
    EXPECT_TRUE(testPath(TestKind::Cloze, 10).endsWith("/tests/test10.lkt"));
    EXPECT_TRUE(testPath(TestKind::SelfCheck, 0).endsWith("/tests/test0.slf"));
}

TEST(TestFiles, WriterRefusesAnIdOfTheWrongLength)
{
    TSLFTest t;
    t.Info.ID = "SKURZ";
    EXPECT_THROW(serializeSelfCheckTest(t), std::invalid_argument);
}

TEST(TestFiles, EveryTruncationIsRefused)
{
    const QByteArray slf = slfBytes(), mpc = mpcBytes(), lkt = lktBytes();
    for (qsizetype n = 0; n < slf.size(); ++n)
        EXPECT_THROW(parseSelfCheckTest(slf.left(n), "t.slf"), TestFileError) << n;
    for (qsizetype n = 0; n < mpc.size(); ++n)
        EXPECT_THROW(parseMultipleChoiceTest(mpc.left(n), "t.mpc"), TestFileError) << n;
    for (qsizetype n = 0; n < lkt.size(); ++n)
        EXPECT_THROW(parseClozeTest(lkt.left(n), "t.lkt"), TestFileError) << n;
}

TEST(TestFiles, MultipleChoiceMaskKeepsOptionsNineToSixteen)
{
    // Each mask touches the high byte; 0xA501 has options 0, 8, 10, 13 and 15 right.
    for (const uint16_t mask : {uint16_t(0x0100), uint16_t(0x8000), uint16_t(0xA501), uint16_t(0xFFFF)}) {
        TMPCTest t;
        t.Info.ID = kMpcId;
        t.Info.Title = "Sechzehn";
        TMPCQuestion q;
        q.Question = "Welche?";
        q.Answer = mask;
        for (int i = 0; i < 16; ++i)
            q.Options.append(QByteArray::number(i));
        q.Count = 16;
        t.Questions.append(q);
        t.Count = 1;
        const QByteArray bytes = serializeMultipleChoiceTest(t);
        const qsizetype maskAt = 16 + 4 + 8 + 4 + 4 + 7;
        EXPECT_EQ(bytes.mid(maskAt, 2), le16(mask)) << mask;
        EXPECT_EQ(parseMultipleChoiceTest(bytes, "m.mpc").Questions[0].Answer, mask) << mask;
    }
}

TEST(TestFiles, CountsAndTitlesThatExactlyFillTheFileAreAccepted)
{
    // One question of two empty strings is 8 bytes: exactly what is left.
    const TSLFTest slf = parseSelfCheckTest(kSlfId + str("T") + le32(1) + str("") + str(""), "a.slf");
    EXPECT_EQ(slf.Count, 1);
    // A multiple-choice question with no options: empty question, mask, count = 10 bytes.
    const TMPCTest mpc =
        parseMultipleChoiceTest(kMpcId + str("T") + le32(1) + str("") + le16(0) + le32(0), "a.mpc");
    EXPECT_EQ(mpc.Count, 1);
    EXPECT_EQ(parseTestHeader(kMpcId + str("Titel"), "a.mpc").Title, "Titel");

    // The list reads only the header from the file: a title ending at the last byte is read.
    QTemporaryDir dir;
    EXPECT_EQ(LoadTestHeader(writeFile(dir, "k.slf", kSlfId + str("Nur der Titel"))).Title, "Nur der Titel");
    EXPECT_EQ(LoadTestHeader(writeFile(dir, "l.slf", kSlfId + str(""))).Title, "");
}
