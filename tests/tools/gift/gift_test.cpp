#include "gift.h"
#include "inhalt.h"

#include "base/cp1252.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vellora;
using namespace vellora::inhalt;

void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

// What an import carried over, one line per question, so that a case reads like the test it
// becomes: "S: question => answer", "M: question [*right | wrong]", "L: text => gap answers".
QStringList carried(const GiftImport &g)
{
    QStringList out;
    for (const TSLFQuestion &q : g.selfCheck)
        out << QStringLiteral("S: %1 => %2").arg(fromCp1252(q.Question), fromCp1252(q.Answer));
    for (const TMPCQuestion &q : g.multipleChoice) {
        QStringList options;
        for (qsizetype k = 0; k < q.Options.size(); ++k)
            options << ((q.Answer >> k) & 1 ? QStringLiteral("*") : QString()) + fromCp1252(q.Options[k]);
        EXPECT_EQ(q.Count, q.Options.size());
        EXPECT_EQ(q.Answer >> q.Options.size(), 0) << "mask names options that do not exist";
        out << QStringLiteral("M: %1 [%2]").arg(fromCp1252(q.Question), options.join(QStringLiteral(" | ")));
    }
    if (!g.clozeText.isEmpty() || !g.clozeGaps.isEmpty()) {
        QStringList gaps;
        for (const TWord &w : g.clozeGaps) {
            QStringList words;
            for (const QByteArray &a : w.Words)
                words << fromCp1252(a);
            gaps << words.join(QLatin1Char('/'));
        }
        out << QStringLiteral("L: %1 => %2").arg(fromCp1252(g.clozeText), gaps.join(QStringLiteral(" ; ")));
    }
    return out;
}

QStringList messages(const QList<GiftMessage> &list)
{
    QStringList out;
    for (const GiftMessage &m : list)
        out << QStringLiteral("%1: %2").arg(m.line).arg(m.text);
    return out;
}

} // namespace

TEST(GiftImport, SupportedQuestionTypes)
{
    const struct
    {
        const char *what;
        QString gift;
        QStringList expected;
        int questions = -1; // -1: one per expected line
    } cases[] = {
        {"multiple choice, one right answer",
         "Woraus besteht die Zellwand vor allem? {=Cellulose ~Stärke ~Chitin}",
         {"M: Woraus besteht die Zellwand vor allem? [*Cellulose | Stärke | Chitin]"}},
        {"answers on their own lines, with feedback",
         "Welches Organell betreibt Fotosynthese?\n{\n  ~Mitochondrium#Nein, dort läuft die Zellatmung.\n  "
         "=Chloroplast#Genau.\n}",
         {"M: Welches Organell betreibt Fotosynthese? [Mitochondrium | *Chloroplast]"}},
        {"several right answers by weight",
         "Welche Organellen haben eigene DNA? {~%50%Chloroplast ~%50%Mitochondrium ~%-100%Vakuole "
         "~%0%Ribosom}",
         {"M: Welche Organellen haben eigene DNA? [*Chloroplast | *Mitochondrium | Vakuole | Ribosom]"}},
        {"weights with a decimal point",
         "Welche? {~%33.33333%A ~%33.33333%B ~%33.33333%C ~%-50%D}",
         {"M: Welche? [*A | *B | *C | D]"}},
        {"missing word with choices",
         "Die Zellwand ist {=durchlässig ~undurchlässig} für Wasser.",
         {"M: Die Zellwand ist _____ für Wasser. [*durchlässig | undurchlässig]"}},
        {"missing word before the full stop",
         "Die Zellwand ist für Wasser {=durchlässig ~undurchlässig}.",
         {"M: Die Zellwand ist für Wasser _____. [*durchlässig | undurchlässig]"}},
        {"an arrow in a choice is text",
         "Was geschieht bei der Fotosynthese? {=CO2 -> Glucose ~Glucose -> CO2}",
         {"M: Was geschieht bei der Fotosynthese? [*CO2 -> Glucose | Glucose -> CO2]"}},
        {"true",
         "Pflanzenzellen haben eine Zellwand.{T}",
         {"M: Pflanzenzellen haben eine Zellwand. [*Die Aussage ist richtig. | Die Aussage ist falsch.]"}},
        {"false with feedback",
         "Tierzellen haben Chloroplasten. {FALSE#Doch, sie haben welche.#Richtig erkannt.}",
         {"M: Tierzellen haben Chloroplasten. [Die Aussage ist richtig. | *Die Aussage ist falsch.]"}},
        {"short answer becomes a self-check",
         "Wo findet die Fotosynthese statt? {=Chloroplast =Chloroplasten}",
         {"S: Wo findet die Fotosynthese statt? => Chloroplast (auch richtig: Chloroplasten)"}},
        {"general feedback goes with the answer",
         "Wie heißt der grüne Farbstoff? {=Chlorophyll####Er fängt das Licht ein.}",
         {"S: Wie heißt der grüne Farbstoff? => Chlorophyll\r\nEr fängt das Licht ein."}},
        {"an exact number",
         "Wie viele Membranen umhüllen ein Mitochondrium? {#2}",
         {"S: Wie viele Membranen umhüllen ein Mitochondrium? => 2"}},
        {"an exact number as Moodle exports it",
         "Von wie vielen Membranen ist ein Chloroplast umhüllt? {#\n\t=%100%2:0#\n}",
         {"S: Von wie vielen Membranen ist ein Chloroplast umhüllt? => 2"}},
        {"a decimal number in both spellings",
         "Wie viel Mikrometer? {#0.5}",
         {"S: Wie viel Mikrometer? => 0.5 (auch richtig: 0,5)"}},
        {"a gap inside the sentence",
         "Der {=Zellkern =Nucleus} steuert die Zelle.",
         {"L: Der #9 steuert die Zelle. => Zellkern/Nucleus"}},
        {"two gaps, then the next question continues the text",
         "Die {=Vakuole} drückt gegen die {=Zellwand}.\n\nIn den {=Mitochondrien} läuft die Zellatmung.",
         {"L: Die #8 drückt gegen die #9. In den #14 läuft die Zellatmung. => Vakuole ; Zellwand ; "
          "Mitochondrien"},
         2},
        {"a gap glued to its word", "Wasser hat die Formel H{=2}O.", {"L: Wasser hat die Formel H#4O. => 2"}},
        {"escaped characters",
         "Was ergibt 2 \\= 2\\: {=wahr \\~ richtig ~falsch \\{nie\\}}",
         {"M: Was ergibt 2 = 2: [*wahr ~ richtig | falsch {nie}]"}},
        {"a line break by escape",
         "Erste Zeile\\nzweite Zeile? {=ja}",
         {"S: Erste Zeile\r\nzweite Zeile? => ja"}},
        {"question name, comments and formats",
         "// ein Kommentar\n::Frage 1::[moodle]Wie heißt die Zellmembran\nauch? {=Plasmalemma}",
         {"S: Wie heißt die Zellmembran auch? => Plasmalemma"}},
        {"html as Moodle exports it",
         "::Q::[html]<p>Welche <b>Organellen</b> &amp; Strukturen?</p>{=Ribosom ~<i>keine</i>}",
         {"M: Welche Organellen & Strukturen? [*Ribosom | keine]"}},
        {"line ends of Windows and a byte order mark",
         "\xEF\xBB\xBFIst das so?\r\n{T}\r\n\r\nUnd das?{F}\r\n",
         {"M: Ist das so? [*Die Aussage ist richtig. | Die Aussage ist falsch.]",
          "M: Und das? [Die Aussage ist richtig. | *Die Aussage ist falsch.]"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const GiftImport g = parseGift(c.gift);
        EXPECT_EQ(carried(g), c.expected);
        EXPECT_EQ(messages(g.refused), QStringList());
        EXPECT_EQ(g.questions, c.questions < 0 ? c.expected.size() : c.questions);
    }
}

TEST(GiftImport, RefusedQuestionsAreNamedByLine)
{
    const QString gift =
        QStringLiteral("// Fragen, die Vellora nicht stellen kann\n"                                 // 1
                       "$CATEGORY: $course$/top/Zellen\n"                                            // 2
                       "\n"                                                                          // 3
                       "::Zuordnung::Ordne zu. {\n"                                                  // 4
                       "  =Zellkern -> Erbinformation\n"                                             // 5
                       "  =Mitochondrium -> Zellatmung\n"                                            // 6
                       "}\n"                                                                         // 7
                       "\n"                                                                          // 8
                       "Wie groß ist eine Pflanzenzelle in Mikrometern? {#10..100}\n"                // 9
                       "\n"                                                                          // 10
                       "Wie viele Chloroplasten hat eine Zelle etwa? {#50:20}\n"                     // 11
                       "\n"                                                                          // 12
                       "Beschreibe die Plasmolyse. {}\n"                                             // 13
                       "\n"                                                                          // 14
                       "Nur eine Beschreibung ohne Antworten.\n"                                     // 15
                       "\n"                                                                          // 16
                       "Was wird gebildet? {=CO2 \u2192 Glucose ~Sauerstoff}\n"                      // 17
                       "\n"                                                                          // 18
                       "Eine Klammer { =auf\n"                                                       // 19
                       "\n"                                                                          // 20
                       "Die {=Vakuole} ist {~klein =groß}.\n"                                        // 21
                       "\n"                                                                          // 22
                       "Gewinde \\#3 der {=Schraube}.\n"                                             // 23
                       "\n"                                                                          // 24
                       "Die Zahl {=3}4 ist falsch gesetzt.\n"                                        // 25
                       "\n"                                                                          // 26
                       "Welche Zahl? {~1 ~2 ~3 ~4 ~5 ~6 ~7 ~8 ~9 ~10 ~11 ~12 ~13 ~14 ~15 ~16 =17}\n" // 27
                       "\n"                                                                          // 28
                       "Nur Teilpunkte? {=%50%Blatt}\n"                                              // 29
                       "\n"                                                                          // 30
                       "Der Zellkern steuert die Zelle.{T}\n");                                      // 31
    const GiftImport g = parseGift(gift);
    const QStringList refused = messages(g.refused);
    const QList<QPair<int, QString>> expected = {
        {4, "Zuordnungsfragen"},   {9, "Zahlenbereiche"},
        {11, "Zahlenbereiche"},    {13, "Freitextfragen"},
        {15, "keine Antworten"},   {17, "\u201E\u2192\u201C"},
        {19, "nicht geschlossen"}, {21, "Mehrere Antwortklammern"},
        {23, "\u201E#\u201C"},     {25, "Ziffer"},
        {27, "17 Antworten"},      {29, "volle Punkte"},
    };
    ASSERT_EQ(refused.size(), expected.size()) << refused.join('\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(g.refused[i].line, expected[i].first) << refused[i].toStdString();
        EXPECT_TRUE(g.refused[i].text.contains(expected[i].second)) << refused[i].toStdString();
    }
    // The one question Vellora can ask still comes over, and the category names the tests.
    EXPECT_EQ(
        carried(g),
        QStringList{
            "M: Der Zellkern steuert die Zelle. [*Die Aussage ist richtig. | Die Aussage ist falsch.]"});
    EXPECT_EQ(g.questions, 13);
    EXPECT_EQ(g.category, "Zellen");
    EXPECT_EQ(parseGift("$CATEGORY: $course$/top\n\nFrage? {T}").category, QString());
    // A partly right answer beside a right one is left out with a note, not refused.
    const GiftImport partial = parseGift("Wo? {=Chloroplast =%50%Blatt}");
    EXPECT_EQ(carried(partial), QStringList{"S: Wo? => Chloroplast"});
    EXPECT_EQ(messages(partial.notes).size(), 1);
}

TEST(GiftImport, TestIds)
{
    EXPECT_EQ(giftTestId(TestKind::MultipleChoice, "klasse"), "MKLASSE-----GIFT");
    EXPECT_EQ(giftTestId(TestKind::SelfCheck, "Zellbiologie Klasse 7"), "SZELLBIOLOGIGIFT");
    EXPECT_EQ(giftTestId(TestKind::Cloze, "Übung-7a"), "LUEBUNG7A---GIFT");
    EXPECT_EQ(giftTestId(TestKind::Cloze, "---"), "L-----------GIFT");
}

// The written sources compile to exactly the questions the import found.
TEST(GiftImport, SourcesCompileToTheImportedTests)
{
    const GiftImport g = parseGift(QStringLiteral(
        "Wo findet die Fotosynthese statt? {=Chloroplast =Chloroplasten####Dort liegt das Chlorophyll.}\n\n"
        "Welche Organellen haben eigene DNA? {~%50%Chloroplast ~%50%Mitochondrium ~%-100%Vakuole}\n\n"
        "Die Zellwand ist {=durchlässig ~undurchlässig} für Wasser.\n\n"
        "Der {=Zellkern =Nucleus} steuert die Zelle;   die {=Vakuole} speichert  Wasser.\n"));
    const QList<GiftSource> sources =
        giftSources(g, QStringLiteral("Zellbiologie Klasse 7"), QStringLiteral("klasse"));
    ASSERT_EQ(sources.size(), 3);
    QTemporaryDir dir;
    for (const GiftSource &s : sources) {
        SCOPED_TRACE(testExtension(s.kind).toStdString());
        const QString path = dir.filePath("t.yaml");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(s.yaml.data(), qint64(s.yaml.size()));
        f.close();
        Diagnostics diag;
        const CompiledTest t = compileTest(path, TestKind::Unknown, diag);
        ASSERT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString();
        EXPECT_EQ(t.kind, s.kind);
        EXPECT_EQ(t.id, s.id);
        const TTestInfo info{s.id, "Zellbiologie Klasse 7"};
        switch (s.kind) {
        case TestKind::SelfCheck:
            EXPECT_EQ(s.questions, 1);
            EXPECT_EQ(parseSelfCheckTest(t.bytes, "t"), (TSLFTest{info, 1, 0, g.selfCheck, 0}));
            break;
        case TestKind::MultipleChoice:
            EXPECT_EQ(s.questions, 2);
            EXPECT_EQ(parseMultipleChoiceTest(t.bytes, "t"), (TMPCTest{info, 2, 0, g.multipleChoice, 0}));
            break;
        case TestKind::Cloze:
            EXPECT_EQ(s.questions, 2);
            EXPECT_EQ(g.clozeText, "Der #9 steuert die Zelle; die #8 speichert Wasser.");
            EXPECT_EQ(parseClozeTest(t.bytes, "t"), (TLKTTest{info, 2, g.clozeText, g.clozeGaps}));
            break;
        case TestKind::Unknown:
            ADD_FAILURE();
        }
    }
}

// The command as a teacher runs it, then the compiler on what it wrote.
TEST(GiftImport, CommandWritesSourcesThatCompile)
{
    QTemporaryDir dir;
    const QString gift = dir.filePath("fragen.gift");
    QFile f(gift);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("$CATEGORY: $course$/top/Zellbiologie\n\n"
                           "Wo findet die Fotosynthese statt? {=Chloroplast}\n\n"
                           "Ordne zu. {=Zellkern -> Erbinformation =Ribosom -> Proteine}\n\n"
                           "Tierzellen haben eine Zellwand.{F}\n\n"
                           "Die {=Zellwand} gibt der Zelle Halt.\n")
                .toUtf8());
    f.close();
    const QString out = dir.filePath("quellen");
    QDir().mkpath(out);

    QProcess p;
    p.start(VELLORA_INHALT_EXE, {"import-gift", gift, "-o", out, "--id", "bio7a"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString(); // one question left out
    EXPECT_TRUE(err.contains("fragen.gift:5: Zuordnungsfragen")) << err.toStdString();
    EXPECT_TRUE(err.contains("1 von 4 Fragen nicht übernommen.")) << err.toStdString();

    const struct
    {
        const char *ext;
        QByteArray id;
    } kinds[] = {{".slf", "SBIO7A------GIFT"}, {".mpc", "MBIO7A------GIFT"}, {".lkt", "LBIO7A------GIFT"}};
    for (const auto &k : kinds) {
        SCOPED_TRACE(k.ext);
        const QString source = QDir(out).filePath(QStringLiteral("fragen%1.yaml").arg(k.ext));
        ASSERT_TRUE(QFile::exists(source));
        p.start(VELLORA_INHALT_EXE, {"test", source});
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const QString built = QDir(out).filePath(QStringLiteral("fragen%1").arg(k.ext));
        EXPECT_EQ(LoadTestHeader(built), (TTestInfo{k.id, "Zellbiologie"}));
    }
    const TSLFTest s = LoadSelfCheckTest(QDir(out).filePath("fragen.slf"));
    EXPECT_EQ(s.Questions, (QList<TSLFQuestion>{{"Wo findet die Fotosynthese statt?", "Chloroplast"}}));
    const TMPCTest m = LoadMultipleChoiceTest(QDir(out).filePath("fragen.mpc"));
    ASSERT_EQ(m.Questions.size(), 1);
    EXPECT_EQ(m.Questions[0].Answer, 2);
    const TLKTTest l = LoadClozeTest(QDir(out).filePath("fragen.lkt"));
    EXPECT_EQ(l.Text, "Die #9 gibt der Zelle Halt.");
    EXPECT_EQ(l.Words, (QList<TWord>{{1, {"Zellwand"}}}));

    // Nothing to carry over: nothing written, and the call says so.
    const QString empty = dir.filePath("leer.gift");
    QFile e(empty);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly));
    e.write("Beschreibe die Zelle. {}\n");
    e.close();
    p.start(VELLORA_INHALT_EXE, {"import-gift", empty});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains("nichts geschrieben"));
    EXPECT_EQ(QDir(dir.path()).entryList({"leer*.yaml"}).size(), 0);
}

// The example the README points teachers to comes over whole and compiles.
TEST(GiftImport, ExampleFileComesOverWhole)
{
    QFile f(QStringLiteral(VELLORA_CONTENT_DIR "/beispiele/klasse.gift"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const GiftImport g = parseGift(QString::fromUtf8(f.readAll()));
    EXPECT_EQ(messages(g.refused), QStringList());
    EXPECT_EQ(messages(g.notes), QStringList());
    EXPECT_EQ(g.category, "Zellbiologie Klasse 7");
    QTemporaryDir dir;
    const QList<GiftSource> sources = giftSources(g, g.category, QStringLiteral("klasse"));
    EXPECT_EQ(sources.size(), 3);
    for (const GiftSource &s : sources) {
        const QString path = dir.filePath(QStringLiteral("klasse%1.yaml").arg(testExtension(s.kind)));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(s.yaml.data(), qint64(s.yaml.size()));
        out.close();
        Diagnostics diag;
        compileTest(path, s.kind, diag);
        EXPECT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString();
    }
}
