#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>

#include <stdexcept>

#include "base/asciifold.h"
#include "base/colorref.h"
#include "base/contentfile.h"
#include "base/cp1252.h"
#include "base/programfolder.h"
#include "base/rounding.h"

#include <bytes/littleendian.h>

using namespace vellora;

TEST(Rounding, HalvesGoToEven)
{
    struct Case
    {
        double in;
        int out;
    };
    const Case cases[] = {
        {0.5, 0},    {1.5, 2},    {2.5, 2},   {3.5, 4}, {-0.5, 0},  {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7}, {12.5, 12}, {49.5, 50},
    };
    for (const Case &c : cases)
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

TEST(Cp1252, DecodesTheBytesThatDifferFromLatin1)
{
    const QByteArray bytes("\x80\x84\x93\x94\x96\x9f\xe4\xf6\xfc\xdf\xb5", 11);
    EXPECT_EQ(fromCp1252(bytes), QString::fromUtf8("€„“”–Ÿäöüßµ"));
}

TEST(Cp1252, EncodesAndReportsUnmappable)
{
    bool ok = false;
    EXPECT_EQ(toCp1252(QString::fromUtf8("Größe 0,5 µm – „Zelle“"), &ok),
              QByteArray("Gr\xf6\xdf"
                         "e 0,5 \xb5m \x96 \x84Zelle\x93"));
    EXPECT_TRUE(ok);

    EXPECT_EQ(toCp1252(QString::fromUtf8("α-Helix"), &ok), QByteArray("?-Helix"));
    EXPECT_FALSE(ok);
    EXPECT_FALSE(representableInCp1252(QString::fromUtf8("Zelle ✓")));
}

TEST(Cp1252, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    bool ok = false;
    EXPECT_EQ(toCp1252(fromCp1252(all), &ok), all);
    EXPECT_TRUE(ok);
}

TEST(AsciiFold, FoldsOnlyAsciiLetters)
{
    EXPECT_EQ(asciiUpper(QByteArray("zellkern \xe4\xf6\xfc")), QByteArray("ZELLKERN \xe4\xf6\xfc"));
    EXPECT_EQ(asciiUpper(QString::fromUtf8("äpfel")), QString::fromUtf8("äPFEL"));
    EXPECT_TRUE(asciiEqualNoCase("Chloroplast", "CHLOROPLAST"));
    // An umlaut does not match its capital: only A-Z are folded.
    EXPECT_FALSE(asciiEqualNoCase("\xe4", "\xc4"));
    EXPECT_TRUE(asciiStartsWithNoCase("Zellwand", "zELL"));
    EXPECT_FALSE(asciiStartsWithNoCase("Zell", "Zellwand"));
}

TEST(AsciiFold, BothEndsOfTheAlphabetFoldAndTheirNeighboursDoNot)
{
    EXPECT_EQ(asciiUpper('a'), 'A');
    EXPECT_EQ(asciiUpper('z'), 'Z');
    EXPECT_EQ(asciiUpper('`'), '`');
    EXPECT_EQ(asciiUpper('{'), '{');
    EXPECT_EQ(asciiUpper(QString("az`{")), QString("AZ`{"));
    EXPECT_TRUE(asciiEqualNoCase("z", "Z"));
    EXPECT_TRUE(asciiEqualNoCase("a", "A"));
    EXPECT_FALSE(asciiEqualNoCase("{", "["));
}

TEST(LittleEndian, StoredIntegersRoundTripByteForByte)
{
    QByteArray out;
    appendInt32(out, -2);
    appendUInt16(out, 0xA501);
    appendStoredString(out, "ab");
    EXPECT_EQ(out, QByteArray("\xFE\xFF\xFF\xFF\x01\xA5\x02\x00\x00\x00"
                              "ab",
                              12));
    EXPECT_EQ(le::readI32(out.constData()), -2);
    EXPECT_EQ(le::readU16(out.constData() + 4), 0xA501);
    EXPECT_EQ(le::readU32("\x78\x56\x34\x12"), 0x12345678u);
}

TEST(ContentFile, ReadsWholeAndTellsOpenFromReadFailures)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("inhalt.dat");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Zelle\r\n", 7);
    f.close();
    ReadFailure failure = ReadFailure::Read;
    EXPECT_EQ(readWholeFile(path, failure), QByteArray("Zelle\r\n"));
    EXPECT_EQ(failure, ReadFailure::None);

    // A folder and a missing file both cannot be opened; the message names the file.
    for (const QString &bad : {dir.path(), dir.filePath("fehlt.dat")}) {
        EXPECT_TRUE(readWholeFile(bad, failure).isEmpty());
        EXPECT_EQ(failure, ReadFailure::Open) << bad.toStdString();
        try {
            readContentFile(bad);
            ADD_FAILURE() << bad.toStdString();
        } catch (const std::runtime_error &e) {
            const QString message = QString::fromUtf8(e.what());
            EXPECT_TRUE(message.contains(bad) && message.contains(QStringLiteral("geöffnet"))) << e.what();
        }
    }
}

TEST(ProgramFolder, MissingContentFoldersAreNamedInOneGermanMessage)
{
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    struct Case
    {
        QStringList present;
        QStringList named;
    };
    const Case cases[] = {
        {{}, {"inhalt", "zelle"}},
        {{"inhalt"}, {"zelle"}},
        {{"zelle"}, {"inhalt"}},
        {{"inhalt", "zelle"}, {}},
    };
    for (const Case &c : cases) {
        for (const QString &f : {QStringLiteral("inhalt"), QStringLiteral("zelle")})
            QDir(dir.filePath(f)).removeRecursively();
        for (const QString &f : c.present)
            QDir().mkpath(dir.filePath(f));
        const QString message = missingContentMessage();
        EXPECT_EQ(message.isEmpty(), c.named.isEmpty()) << message.toStdString();
        for (const QString &f : {QStringLiteral("inhalt"), QStringLiteral("zelle")})
            EXPECT_EQ(message.contains(dir.filePath(f)), c.named.contains(f)) << message.toStdString();
        if (!message.isEmpty()) {
            EXPECT_TRUE(message.contains(QStringLiteral("Bitte Vellora neu installieren")))
                << message.toStdString();
        }
    }
    // A file in place of a folder is no content either.
    QDir(dir.filePath("zelle")).removeRecursively();
    QFile f(dir.filePath("zelle"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(missingContentMessage().contains(dir.filePath("zelle")));
    setProgramFolder(QString());
}

TEST(AsciiFold, ComparesFoldedBytesUnsigned)
{
    EXPECT_LT(asciiCompareNoCase("abc", "ABD"), 0);
    EXPECT_EQ(asciiCompareNoCase("Golgi", "golgi"), 0);
    EXPECT_LT(asciiCompareNoCase("Zell", "zellkern"), 0);
    // High cp1252 bytes sort after every ASCII letter.
    EXPECT_GT(asciiCompareNoCase("\xc4"
                                 "hre",
                                 "Zelle"),
              0);
    // '_' (0x5F) lies between the folded upper case and the lower case letters.
    EXPECT_GT(asciiCompareNoCase("_", "a"), 0);
}

TEST(ProgramFolder, IsTheExecutablesFolderWithSlash)
{
    const QString folder = programFolder();
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath() + "/");
    EXPECT_EQ(contentPath("inhalt/org0.organell"), folder + "inhalt/org0.organell");
}

TEST(Fonts, FormFontsResolveToInstalledFreeFonts)
{
    QFont trebuchet("Trebuchet MS");
    trebuchet.setPixelSize(16);
    EXPECT_EQ(QFontInfo(trebuchet).family(), "Open Sans");
    QFont times("Times New Roman");
    times.setPixelSize(16);
    EXPECT_EQ(QFontInfo(times).family(), "Liberation Serif");
}

TEST(ColorRef, RedIsTheLowestByte)
{
    EXPECT_EQ(colorRef(7200386), QColor(130, 222, 109));
    EXPECT_EQ(colorRef(kMaroon), QColor(128, 0, 0));
    EXPECT_EQ(toColorRef(QColor(15, 29, 69)), 15 + 29 * 256 + 69 * 65536);
}

TEST(ContentFile, StoredStringIsLengthPrefixedLittleEndian)
{
    QByteArray out;
    appendInt32(out, -2);
    appendStoredString(out, QByteArray("Zelle"));
    appendStoredString(out, QByteArray());
    EXPECT_EQ(out, QByteArray("\xfe\xff\xff\xff"
                              "\x05\x00\x00\x00"
                              "Zelle"
                              "\x00\x00\x00\x00",
                              17));
}

TEST(ContentFile, MissingFileNamesTheFileInGerman)
{
    try {
        readContentFile(QStringLiteral("/nonexistent/inhalt/org3.organell"));
        FAIL() << "no error for a missing file";
    } catch (const std::runtime_error &e) {
        const QString message = QString::fromUtf8(e.what());
        EXPECT_TRUE(message.contains("/nonexistent/inhalt/org3.organell")) << e.what();
        EXPECT_TRUE(message.contains(QString::fromUtf8("kann nicht geöffnet werden"))) << e.what();
    }
}
