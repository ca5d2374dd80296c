#include "ergebnisse.h"

#include "testfiles.h"
#include "testrun.h"

#include "support/programfolder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vellora;
using namespace vellora::ergebnisse;

// Readable failures.
void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QByteArray profileBytes(const QByteArray &name, const QList<TTestResult> &results)
{
    return profiles::writeProfileFile({name, profiles::passwordDigest("geheim1"), results});
}

TTestResult result(const QByteArray &id, int32_t right, int32_t total, int32_t time = 3600)
{
    return {id, time, total, right};
}

Pupil pupil(const QString &file, const QByteArray &name, const QList<TTestResult> &results)
{
    return {file, name, QString::fromLatin1(name), results};
}

const QByteArray kOverview = "MVELLORA-OV-T000";
const QByteArray kOwnTest = "MEIGENER-TEST-01";
const QByteArray kSelfCheck = "SVELLORA-ZK-T003";
const QByteArray kCloze = "LVELLORA-FS-T003";

// Seconds after 01.01.1970 01:00 of 10.12.2026 14:30 and of 01.07.2026 08:05 (summer time in
// Germany; the stored value counts wall-clock time, so no hour may go missing).
constexpr int32_t kDecember = 1796909400;
constexpr int32_t kJuly = 1782889500;

} // namespace

TEST(ErgebnisseRead, AcceptsProgramFilesAndRefusesDamagedOnes)
{
    QByteArray negative = profileBytes("Anna", {});
    negative[3] = char(0x80); // name length < 0
    QByteArray longName = profileBytes("Anna", {});
    longName[0] = 100;
    const QByteArray badDigest = profiles::writeProfileFile({"Anna", "GEHEIM-GEHEIM-GEHEIM-GEHEIM-GEHE", {}});
    const QByteArray badName = profiles::writeProfileFile({"An;na", profiles::passwordDigest("x"), {}});
    struct Case
    {
        const char *what;
        QByteArray bytes;
        QString reason; // empty: read
    };
    const QList<Case> cases = {
        {"no results", profileBytes("Anna", {}), {}},
        {"two results", profileBytes("Anna", {result(kOverview, 3, 4), result(kCloze, 0, 9)}), {}},
        {"trailing partial result ignored",
         profileBytes("Anna", {result(kOverview, 3, 4)}) + QByteArray(27, 'x'),
         {}},
        {"negative name length", negative, "negativ"},
        {"name longer than the file", longName, "zu kurz"},
        {"empty file", QByteArray(), "zu kurz"},
        {"not a digest", badDigest, "kein Vellora-Lernprofil"},
        {"name the dialog refuses", badName, "kein Vellora-Lernprofil"},
        {"unknown kind letter",
         profileBytes("Anna", {result(kOverview, 1, 2), result("XVELLORA-OV-T000", 1, 2)}), "Ergebnis Nr. 2"},
        {"more right than asked", profileBytes("Anna", {result(kOverview, 5, 4)}), "Ergebnis Nr. 1"},
        {"no questions", profileBytes("Anna", {result(kOverview, 0, 0)}), "Ergebnis Nr. 1"},
        {"negative right", profileBytes("Anna", {result(kOverview, -1, 4)}), "Ergebnis Nr. 1"},
        {"negative time", profileBytes("Anna", {result(kOverview, 1, 4, -5)}), "Ergebnis Nr. 1"},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath("p.usr");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        QString reason;
        const std::optional<Pupil> p = readPupil(path, reason);
        if (c.reason.isEmpty()) {
            ASSERT_TRUE(p.has_value()) << reason.toStdString();
            EXPECT_EQ(p->name, "Anna");
            EXPECT_EQ(p->file, path);
        } else {
            EXPECT_FALSE(p.has_value());
            EXPECT_TRUE(reason.contains(c.reason)) << reason.toStdString();
        }
    }
    QString reason;
    EXPECT_FALSE(readPupil(dir.filePath("fehlt.usr"), reason).has_value());
    EXPECT_FALSE(reason.isEmpty());
}

TEST(ErgebnisseDate, WallClockOfTheStoredSeconds)
{
    const struct
    {
        int32_t time;
        const char *shown;
    } cases[] = {
        {0, "01.01.1970 01:00"},         {59, "01.01.1970 01:00"},    {60, "01.01.1970 01:01"},
        {kDecember, "10.12.2026 14:30"}, {kJuly, "01.07.2026 08:05"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(resultDate(c.time), QString::fromLatin1(c.shown)) << c.time;
    // The exercise screen stores what the overview shows.
    const QDateTime july(QDate(2026, 7, 1), QTime(8, 5, 0));
    EXPECT_EQ(resultDate(resultTime(july)), "01.07.2026 08:05");
}

TEST(ErgebnisseOverview, RowsPerPupilAndTestWithClassRow)
{
    const QHash<QByteArray, TestName> tests = {
        {kOverview,
         {"Organellen-\xDC"
          "berblick",
          0}}, // cp1252, as in the test file
        {kSelfCheck, {"Zellkern", 3}},
        {kCloze, {"Fotosynthese", 3}},
        {"MVELLORA-ZW-T004", {"Zellwand", 4}}, // taken by nobody: no rows
    };
    const QList<Pupil> pupils = {
        pupil("zoe0.usr", "Zoe", {result(kOwnTest, 2, 2, 100), result(kOverview, 1, 10, kJuly)}),
        // Anna takes the overview three times, with another test in between.
        pupil("anna0.usr", "anna",
              {result(kOverview, 2, 4, 60), result(kCloze, 7, 8, 120), result(kOverview, 8, 8, 180),
               result(kOverview, 3, 4, kDecember)}),
        pupil("ben0.usr", "Ben", {result(kSelfCheck, 1, 8, 0), result(kOverview, 1, 8, 240)}),
    };
    const QList<Row> rows = classOverview(pupils, tests);
    const QList<Row> expected = {
        // Self-check tests first; 1 of 8 is 12.5 %, which rounds to the even 12.
        {"Ben", "Zellkern", "Selbsttest", 1, 12, 12, "01.01.1970 01:00", false},
        {"Klasse (1 Lernprofil)", "Zellkern", "Selbsttest", 1, 12, 12, "01.01.1970 01:00", true},
        // German order ignores letter case: anna, Ben, Zoe.
        {"anna", "Organellen-Überblick", "Multiple-Choice-Test", 3, 100, 75, "10.12.2026 14:30", false},
        {"Ben", "Organellen-Überblick", "Multiple-Choice-Test", 1, 12, 12, "01.01.1970 01:04", false},
        {"Zoe", "Organellen-Überblick", "Multiple-Choice-Test", 1, 10, 10, "01.07.2026 08:05", false},
        // Best: (100 + 12 + 10) / 3 = 40.67; last: (75 + 12 + 10) / 3 = 32.33; the latest date.
        {"Klasse (3 Lernprofile)", "Organellen-Überblick", "Multiple-Choice-Test", 5, 41, 32,
         "10.12.2026 14:30", true},
        // A test that is not built in is named by its ID, after the built-in ones of its kind.
        {"Zoe", "MEIGENER-TEST-01", "Multiple-Choice-Test", 1, 100, 100, "01.01.1970 01:01", false},
        {"Klasse (1 Lernprofil)", "MEIGENER-TEST-01", "Multiple-Choice-Test", 1, 100, 100, "01.01.1970 01:01",
         true},
        {"anna", "Fotosynthese", "Lückentext", 1, 88, 88, "01.01.1970 01:02", false},
        {"Klasse (1 Lernprofil)", "Fotosynthese", "Lückentext", 1, 88, 88, "01.01.1970 01:02", true},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].name, expected[i].name);
        EXPECT_EQ(rows[i].test, expected[i].test);
        EXPECT_EQ(rows[i].kind, expected[i].kind);
        EXPECT_EQ(rows[i].attempts, expected[i].attempts);
        EXPECT_EQ(rows[i].best, expected[i].best);
        EXPECT_EQ(rows[i].last, expected[i].last);
        EXPECT_EQ(rows[i].lastDate, expected[i].lastDate);
        EXPECT_EQ(rows[i].summary, expected[i].summary);
    }
}

TEST(ErgebnisseOverview, ClassAveragesRoundHalvesToEven)
{
    // Last percentages 75 and 10 average 42.5, which rounds to 42 (qRound would give 43); the
    // best ones, 100 and 25, average 62.5 -> 62.
    const QList<Pupil> pupils = {
        pupil("a.usr", "Anna", {result(kOverview, 4, 4), result(kOverview, 3, 4)}),
        pupil("b.usr", "Ben", {result(kOverview, 1, 4), result(kOverview, 1, 10)}),
    };
    const QList<Row> rows = classOverview(pupils, {});
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].best, 100);
    EXPECT_EQ(rows[1].best, 25);
    EXPECT_EQ(rows[1].last, 10);
    EXPECT_TRUE(rows[2].summary);
    EXPECT_EQ(rows[2].best, 62);
    EXPECT_EQ(rows[2].last, 42);
    EXPECT_EQ(rows[2].attempts, 4);
}

TEST(ErgebnisseOverview, SameNameTwice)
{
    const TTestResult r1 = result(kOverview, 1, 4), r2 = result(kCloze, 2, 4), r3 = result(kOverview, 4, 4);
    QStringList notes;
    // An older and a newer export of one profile: only the newer counts, whichever comes first.
    for (const bool newerFirst : {false, true}) {
        SCOPED_TRACE(newerFirst);
        notes.clear();
        QList<Pupil> in = {pupil("anna0.usr", "Anna", {r1, r2}),
                           pupil("neu/anna0.usr", "ANNA", {r1, r2, r3})};
        if (newerFirst)
            std::swap(in[0], in[1]);
        const QList<Pupil> out = mergeSameNames(in, &notes);
        ASSERT_EQ(out.size(), 1);
        EXPECT_EQ(out[0].file, "neu/anna0.usr");
        EXPECT_EQ(out[0].results.size(), 3);
        EXPECT_EQ(out[0].label, "ANNA");
        ASSERT_EQ(notes.size(), 1);
        EXPECT_TRUE(notes[0].startsWith("anna0.usr:")) << notes[0].toStdString();
    }
    // Two pupils who happen to share a name stay two rows, told apart by their files.
    notes.clear();
    const QList<Pupil> out =
        mergeSameNames({pupil("a/anna0.usr", "Anna", {r1}), pupil("b/anna1.usr", "anna", {r3}),
                        pupil("b/ben0.usr", "Ben", {r1})},
                       &notes);
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out[0].label, "Anna (anna0.usr)");
    EXPECT_EQ(out[1].label, "anna (anna1.usr)");
    EXPECT_EQ(out[2].label, "Ben");
    EXPECT_TRUE(notes.isEmpty());
}

TEST(ErgebnisseCsv, FieldsAreQuotedOnlyWhenNeeded)
{
    const struct
    {
        QString in;
        QByteArray out;
    } cases[] = {
        {"Zellwand", "Zellwand"},
        {"Größe der Zelle", "Gr\xC3\xB6\xC3\x9F"
                            "e der Zelle"},
        {"Zellkern; Kernhülle", "\"Zellkern; Kernh\xC3\xBC"
                                "lle\""},
        {"Der \"Motor\" der Zelle", "\"Der \"\"Motor\"\" der Zelle\""},
        {"zwei\nZeilen", "\"zwei\nZeilen\""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(csvField(c.in), c.out) << c.in.toStdString();

    const QByteArray csv =
        toCsv({{"Anna", "Fotosynthese; Teil 1", "Lückentext", 2, 88, 50, "10.12.2026 14:30", false}});
    EXPECT_EQ(csv,
              QByteArray("\xEF\xBB\xBF"
                         "Name;Test;Testart;Versuche;Bester Wert (%);Letzter Wert (%);Letzter Versuch\r\n"
                         "Anna;\"Fotosynthese; Teil 1\";L\xC3\xBC"
                         "ckentext;2;88;50;10.12.2026 14:30\r\n"));
}

// The built tool over a folder as a teacher collects it: two pupils, one of them exported
// twice, a damaged file and the profile index, with titles from a program folder's tests.
TEST(ErgebnisseTool, WritesTheTableAndNamesDamagedFiles)
{
    test::ProgramFolder program;
    TMPCTest overview;
    overview.Info = {kOverview, "Organellen-\xDC"
                                "berblick"};
    overview.Questions = {{"Welches Organell?", 1, 2, {"Zellkern", "Ribosom"}}};
    program.write("tests/test0.mpc", serializeMultipleChoiceTest(overview));
    program.write("tests/test1.mpc", "MKAPUTT"); // a damaged built-in test is only noted

    test::ProgramFolder collected;
    collected.write("klasse/ben0.usr", profileBytes("Ben", {result(kOverview, 1, 2, kDecember)}));
    collected.write("klasse/anna0.usr", profileBytes("Anna", {result(kOverview, 1, 4, 60)}));
    collected.write("klasse/anna0-neu.usr",
                    profileBytes("Anna", {result(kOverview, 1, 4, 60), result(kOwnTest, 3, 3, kJuly)}));
    collected.write("klasse/kaputt.usr", QByteArray("\x05\x00\x00\x00"
                                                    "Ben",
                                                    7));
    collected.write("klasse/index.usr", "Anna|0123456789abcdef0123456789abcdef|anna0.usr\r\n");
    const QString table = collected.path("klasse.csv");

    QProcess p;
    // A zone with summer time: a date in July must not move by the hour the clock moved.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Europe/Berlin");
    p.setProcessEnvironment(env);
    p.start(VELLORA_ERGEBNISSE_EXE, {"-o", table, "--inhalt", program.path(), collected.path("klasse")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(collected.path("klasse/kaputt.usr") + ": Die Datei ist zu kurz"))
        << err.toStdString();
    EXPECT_TRUE(err.contains("test1.mpc")) << err.toStdString();
    EXPECT_TRUE(err.contains(collected.path("klasse/anna0.usr") + ": ein älterer Export"))
        << err.toStdString();
    EXPECT_FALSE(err.contains("index.usr")) << err.toStdString();

    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        QString::fromUtf8(f.readAll()),
        QString::fromUtf8(
            "\xEF\xBB\xBF"
            "Name;Test;Testart;Versuche;Bester Wert (%);Letzter Wert (%);Letzter Versuch\r\n"
            "Anna;Organellen-Überblick;Multiple-Choice-Test;1;25;25;01.01.1970 01:01\r\n"
            "Ben;Organellen-Überblick;Multiple-Choice-Test;1;50;50;10.12.2026 14:30\r\n"
            "Klasse (2 Lernprofile);Organellen-Überblick;Multiple-Choice-Test;2;38;38;10.12.2026 14:30\r\n"
            "Anna;MEIGENER-TEST-01;Multiple-Choice-Test;1;100;100;01.07.2026 08:05\r\n"
            "Klasse (1 Lernprofil);MEIGENER-TEST-01;Multiple-Choice-Test;1;100;100;01.07.2026 08:05\r\n"));

    // Without damaged files the run succeeds; unknown options are refused without writing.
    p.start(VELLORA_ERGEBNISSE_EXE, {"--inhalt", program.path(), collected.path("klasse/ben0.usr")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("Ben;Organellen-\xC3\x9C"
                                                   "berblick;"));
    p.start(VELLORA_ERGEBNISSE_EXE, {"--ausgabe", table, collected.path("klasse/ben0.usr")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
}
