#include "inhalt.h"

#include "base/cp1252.h"
#include "base/germanorder.h"
#include "base/linkmarkup.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vellora;
using namespace vellora::inhalt;

namespace {

// A content folder written by the test, file by file.
class Content
{
  public:
    Content() { EXPECT_TRUE(m_dir.isValid()); }
    QString root() const { return m_dir.filePath("content"); }
    QString dist() const { return m_dir.filePath("dist"); }
    QString put(const QString &relative, const QString &text) const
    {
        const QString path = QDir(root()).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        return path;
    }
    QByteArray built(const QString &relative) const
    {
        QFile f(QDir(dist()).filePath(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The messages of a build that must fail; empty (and a test failure) when it succeeds.
    QStringList buildErrors() const
    {
        try {
            buildContent(root(), dist());
        } catch (const CompileError &e) {
            return e.messages;
        }
        ADD_FAILURE() << "the build succeeded";
        return {};
    }

  private:
    QTemporaryDir m_dir;
};

QString glossaryEntry(const QString &title, const QString &seeAlso = "[]",
                      const QString &text = "Eine Erklärung.")
{
    return QString("title: %1\ntext: >-\n  %2\nsee_also: %3\n").arg(title, text, seeAlso);
}

QString organelle(int index, const QString &text)
{
    return QString("index: %1\nheading: Zellkern\nnames: Nucleus\nmembranes: \"2\"\nsize: 5–25 "
                   "µm\nanimal_cell: ja\ntext: |\n%2")
        .arg(index)
        .arg(text);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Inhalt, GlossaryIsSortedInGermanOrderAndLinksResolveToTheSortedNumbers)
{
    Content c;
    c.put("glossar/zw.yaml", glossaryEntry("Zellwand", "[zellkern, ATP]"));
    c.put("glossar/zk.yaml", glossaryEntry("zellkern"));
    c.put("glossar/atp.yaml", glossaryEntry("ATP"));
    c.put("glossar/as.yaml", glossaryEntry("Aminosäure"));
    c.put("glossar/aeq.yaml", glossaryEntry("Äquator"));
    c.put("organellen/00-zellkern.yaml",
          organelle(0, "  Der [[zellkern]] und die\n  [[Zellwände|Zellwand]] brauchen [[ATP]].\n"));
    buildContent(c.root(), c.dist());

    const QList<TGlossarEntry> g = parseGlossary(c.built("inhalt/glossar.dat"));
    QList<QByteArray> titles;
    for (const TGlossarEntry &e : g)
        titles << e.Title;
    // Folded: AMINOSAURE < AQUATOR < ATP < ZELLKERN < ZELLWAND.
    EXPECT_EQ(titles, (QList<QByteArray>{"Aminos\xE4ure", "\xC4quator", "ATP", "zellkern", "Zellwand"}));
    EXPECT_EQ(g[4].SeeAlso(), (QList<int32_t>{3, 2}));

    const TOrganell o = parseOrganell(c.built("inhalt/org0.organell"));
    EXPECT_EQ(o.Text, "Der #3#zellkern# und die #4#Zellw\xE4nde# brauchen #2#ATP#.");
    EXPECT_EQ(o.Size, "5\x96"
                      "25 \xB5m");
}

TEST(Inhalt, StaerkeStandsBeforeStromaAndFoldedPrefixesStayTogether)
{
    Content c;
    const QStringList titles = {"Stroma",         "Stärkekorn", "Stoffwechsel", "Stärke",
                                "Spindelapparat", "Starkregen", "Maße",         "Masse",
                                "Massenwirkung",  "Mast",       "Zellwand"};
    for (qsizetype i = 0; i < titles.size(); ++i)
        c.put(QString("glossar/e%1.yaml").arg(i), glossaryEntry(titles[i]));
    // The text names entries by title; their numbers follow the order.
    c.put("organellen/00-zk.yaml", organelle(0, "  [[Stärke]], [[Stroma]] und [[Zellwand]].\n"));
    buildContent(c.root(), c.dist());

    const QList<TGlossarEntry> g = parseGlossary(c.built("inhalt/glossar.dat"));
    QStringList order;
    for (const TGlossarEntry &e : g)
        order << fromCp1252(e.Title);
    EXPECT_EQ(order, (QStringList{"Masse", "Maße", "Massenwirkung", "Mast", "Spindelapparat", "Stärke",
                                  "Stärkekorn", "Starkregen", "Stoffwechsel", "Stroma", "Zellwand"}))
        << order.join(", ").toStdString();

    // Whatever a pupil types, the entries it finds form one run, as the search expects.
    for (const TGlossarEntry &e : g) {
        for (qsizetype n = 1; n <= e.Title.size(); ++n) {
            const QByteArray typed = e.Title.left(n);
            qsizetype first = -1, last = -1, count = 0;
            for (qsizetype k = 0; k < g.size(); ++k) {
                if (germanStartsWith(g[k].Title, typed)) {
                    first = first < 0 ? k : first;
                    last = k;
                    ++count;
                }
            }
            EXPECT_EQ(last - first + 1, count) << typed.toStdString();
        }
    }
    const TOrganell o = parseOrganell(c.built("inhalt/org0.organell"));
    EXPECT_EQ(o.Text, "#5#St\xE4rke#, #9#Stroma# und #10#Zellwand#.");
}

TEST(GermanOrder, FoldsUmlautsSharpSAndCaseAndBreaksTiesByBytes)
{
    struct Fold
    {
        const char *in; // cp1252
        const char *folded;
    };
    const Fold folds[] = {
        {"St\xE4rke", "STARKE"},
        {"\xC4quator", "AQUATOR"},
        {"\xF6l \xD6L", "OL OL"},
        {"\xFC\xDC", "UU"},
        {"Ma\xDF"
         "e",
         "MASSE"},
        {"Caf\xE9", "CAFE"},
        {"5 \xB5m", "5 \xB5M"},
        {"Golgi-Apparat", "GOLGI-APPARAT"},
    };
    for (const Fold &f : folds)
        EXPECT_EQ(germanFold(QByteArray(f.in)), QByteArray(f.folded)) << f.in;
    EXPECT_EQ(germanFold(QString::fromUtf8("Größe → Maß")), QString::fromUtf8("GROSSE → MASS"));

    struct Order
    {
        const char *a, *b;
        int sign;
    };
    const Order orders[] = {
        {"St\xE4rke", "Stroma", -1}, // ä as a, not after z
        {"Stoffwechsel", "St\xE4rke", 1},
        {"Starke", "St\xE4rke", -1}, // equal when folded: plain bytes decide
        {"Masse",
         "Ma\xDF"
         "e",
         -1},
        {"Ma\xDF"
         "e",
         "Massenwirkung", -1},
        {"zelle", "Zelle", 1}, // 'z' 0x7A after 'Z' 0x5A
        {"Zell", "Zellwand", -1},
        {"Zelle", "Zelle", 0},
    };
    for (const Order &o : orders) {
        const int got = germanCompare(o.a, o.b);
        EXPECT_EQ((got > 0) - (got < 0), o.sign) << o.a << " / " << o.b;
        EXPECT_EQ(germanLess(o.a, o.b), o.sign < 0) << o.a << " / " << o.b;
    }
    EXPECT_TRUE(germanStartsWith(QByteArray("St\xE4rkekorn"), QByteArray("sta")));
    EXPECT_TRUE(germanStartsWith(QByteArray("Stroma"), QByteArray("STR")));
    EXPECT_TRUE(germanStartsWith(QByteArray("Ma\xDF"
                                            "e"),
                                 QByteArray("mass")));
    EXPECT_FALSE(germanStartsWith(QByteArray("Masse"), QByteArray("Mas\xDF"
                                                                  "e")));
    EXPECT_FALSE(germanStartsWith(QByteArray("Zell"), QByteArray("Zellwand")));
    EXPECT_TRUE(germanStartsWith(QString::fromUtf8("Übung"), QString::fromUtf8("ub")));
    EXPECT_FALSE(germanStartsWith(QString::fromUtf8("Übung"), QString::fromUtf8("ueb")));
}

TEST(LinkMarkup, ComposedLinksParseBackAndBrokenOnesAreNoticed)
{
    EXPECT_EQ(composeMemoLink(12, QByteArray("Zellwand")), QByteArray("#12#Zellwand#"));
    EXPECT_EQ(composeMemoLink(0, QString::fromUtf8("Stärke")), QString::fromUtf8("#0#Stärke#"));

    struct Case
    {
        const char *text;
        bool complete;
        QList<int> numbers;
        QList<QByteArray> captions;
    };
    const Case cases[] = {
        {"Der #5#Zellkern# steuert.", true, {5}, {"Zellkern"}},
        {"Siehe #12#Zellwand#. und #-3#zwei Worte#", true, {12, -3}, {"Zellwand", "zwei Worte"}},
        {"kein Link", true, {}, {}},
        {"#7#Ende", false, {}, {}},              // the closing '#' is missing
        {"#1#a# dann #x#b#", false, {1}, {"a"}}, // number not a whole number
        {"# 4#a#", false, {}, {}},
    };
    for (const Case &k : cases) {
        bool complete = !k.complete;
        const QList<MemoLink> links = memoLinks(k.text, &complete);
        EXPECT_EQ(complete, k.complete) << k.text;
        QList<int> numbers;
        QList<QByteArray> captions;
        for (const MemoLink &l : links) {
            numbers << l.number;
            captions << l.caption;
        }
        EXPECT_EQ(numbers, k.numbers) << k.text;
        EXPECT_EQ(captions, k.captions) << k.text;
    }
    const QByteArray text = "ab #3#Kern# cd";
    const auto link = parseMemoLink(text, 3);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(text.mid(link->start, link->end - link->start), "#3#Kern#");
    EXPECT_TRUE(link->numberValid);
    EXPECT_FALSE(parseMemoLink(text, 0).has_value()); // not at a '#'
    const auto bad = parseMemoLink("#x#y#", 0);
    ASSERT_TRUE(bad.has_value());
    EXPECT_FALSE(bad->numberValid);
    EXPECT_EQ(bad->number, 0);
}

TEST(Inhalt, AHyphenBeforeABlankIsRefusedUnlessItIsSuspended)
{
    struct Case
    {
        const char *text;
        const char *broken; // "" when the text is fine
    };
    const Case cases[] = {
        {"aus Tausenden Glucose- Bausteinen", "Glucose- Bausteinen"},
        {"Die Boten- RNA (mRNA)", "Boten- RNA"},
        {"Die Boten-RNA (mRNA)", ""},
        {"Fasern werden auf- und abgebaut", ""},
        {"etwa 40- bis 400-fach", ""},
        {"Salz- oder Zuckerlösung, Bitter- sowie Giftstoffe", ""},
        {"Kohlenstoff- und Wasserstoffatome", ""},
        {"6 CO2 + 6 H2O -> C6H12O6", ""},
        {"ein Gedankenstrich - so wie hier", ""},
        {"Licht- (Fotosynthese)", "Licht- (Fotosynthese)"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(brokenHyphen(QString::fromUtf8(k.text)), QString::fromUtf8(k.broken)) << k.text;
}

TEST(Inhalt, ALinkGluedToTheWordBeforeItIsWarnedAbout)
{
    Glossary g;
    g.numberOfTitle.insert("Zelle", 0);
    g.titles << "Zelle";
    Diagnostics diag;
    EXPECT_EQ(compileLinkedText("Eine ([[Zelle]]) und [[Zelle]].\r\n\r\n[[Zelle]]", g, "o.yaml", 3, diag),
              "Eine (#0#Zelle#) und #0#Zelle#.\r\n\r\n#0#Zelle#");
    EXPECT_TRUE(diag.ok());
    ASSERT_EQ(diag.warnings().size(), 1);
    EXPECT_TRUE(diag.warnings()[0].startsWith("o.yaml:3:"));
    EXPECT_TRUE(diag.warnings()[0].contains(QString::fromUtf8("\u201E(\u201C")));
}

TEST(Inhalt, MemoTextsJoinLinesAndParagraphs)
{
    struct Case
    {
        const char *source;
        const char *memo;
    };
    const Case cases[] = {
        {"eins\nzwei\n", "eins zwei"},
        {"eins\n\nzwei", "eins\r\n\r\nzwei"},
        {"eins\n\n\n   \nzwei\n\n", "eins\r\n\r\nzwei"},
        {"  viele    Blanks\tund Tab \n", "viele Blanks und Tab"},
        {"a\r\nb\r\n\r\nc", "a b\r\n\r\nc"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(joinParagraphs(QString::fromUtf8(k.source)), QString::fromUtf8(k.memo)) << k.source;

    Content c;
    c.put("uebung/einleitung.txt", "Willkommen im\nÜbungsbereich.\n\nZweiter Absatz.\n");
    c.put("handbuch/zelle_m.txt", "Zeile 1\n\nZeile 3 – Ende\n");
    buildContent(c.root(), c.dist());
    EXPECT_EQ(c.built("inhalt/uebung.dat"), QByteArray("Willkommen im \xDC"
                                                       "bungsbereich.\r\n\r\nZweiter Absatz."));
    EXPECT_EQ(c.built("inhalt/zelle_m.dat"), QByteArray("Zeile 1\r\n\r\nZeile 3 \x96 Ende"));
}

TEST(Inhalt, ValidationNamesTheSourceFileAndTheProblem)
{
    struct Case
    {
        const char *name;
        QList<QPair<QString, QString>> files; // the last one is expected in the message
        const char *expected;
    };
    const QString okEntry = glossaryEntry("Zelle");
    const QString mc = "id: %1\ntitle: T\nquestions:\n  - question: F\n    options: [a, b]\n";
    QString seventeen = "id: MSIEBZEHN-OPT-01\ntitle: T\nquestions:\n  - question: F\n    options:\n";
    for (int i = 0; i < 17; ++i)
        seventeen += QString("      - o%1\n").arg(i);
    QString elevenLinks = "[";
    for (int i = 0; i < 11; ++i) {
        elevenLinks += QString("%1E%2").arg(i ? ", " : "").arg(i);
    }
    elevenLinks += "]";
    QList<QPair<QString, QString>> elevenFiles;
    for (int i = 0; i < 11; ++i)
        elevenFiles << qMakePair(QString("glossar/e%1.yaml").arg(i), glossaryEntry(QString("E%1").arg(i)));
    elevenFiles << qMakePair(QString("glossar/viele.yaml"), glossaryEntry("Viele", elevenLinks));

    const Case cases[] = {
        {"ID too short", {{"tests/beispiele/a.yaml", mc.arg("MZUKURZ")}}, "genau 16 Bytes"},
        {"ID too long", {{"tests/beispiele/a.yaml", mc.arg("MSIEBZEHN-ZEICHEN")}}, "genau 16 Bytes"},
        {"ID with a wrong letter", {{"tests/beispiele/a.yaml", mc.arg("XFALSCHERBUCHST1")}}, "beginnen"},
        {"ID letter against the kind",
         {{"tests/beispiele/a.yaml",
           QString(mc).arg("SFALSCHEART-0001").replace("title:", "kind: multiple-choice\ntitle:")}},
         "braucht \u201EM\u201C"},
        {"ID letter against the file name",
         {{"tests/test3.slf.yaml", mc.arg("MFALSCHEART-0001")}},
         "braucht \u201ES\u201C"},
        {"duplicate ID",
         {{"tests/beispiele/a.yaml", mc.arg("MDOPPELT-ID-0001")},
          {"tests/beispiele/b.yaml", mc.arg("MDOPPELT-ID-0001")}},
         "eigene ID"},
        {"text outside cp1252", {{"glossar/z.yaml", glossaryEntry("Zelle", "[]", "Zelle → Kern")}}, "U+2192"},
        {"title over 50 bytes", {{"glossar/z.yaml", glossaryEntry(QString(51, 'T'))}}, "höchstens 50"},
        {"explanation over 765 bytes",
         {{"glossar/z.yaml", glossaryEntry("Zelle", "[]", QString(766, 'x'))}},
         "höchstens 765"},
        {"picture stem over 8", {{"glossar/z.yaml", okEntry + "picture: zellkern1\n"}}, "mehr als 8"},
        {"more than 10 see-also links", elevenFiles, "höchstens 10"},
        {"link to a missing title",
         {{"glossar/z.yaml", okEntry}, {"organellen/00-zk.yaml", organelle(0, "  Die [[Zellen|Zele]].\n")}},
         "\u201EZele\u201C"},
        {"see-also to a missing title",
         {{"glossar/z.yaml", glossaryEntry("Zelle", "[Kern]")}},
         "\u201EKern\u201C"},
        {"duplicate title", {{"glossar/a.yaml", okEntry}, {"glossar/b.yaml", okEntry}}, "gibt es schon"},
        {"titles equal after folding",
         {{"glossar/a.yaml", okEntry}, {"glossar/b.yaml", glossaryEntry("ZELLE")}},
         "Groß-/Kleinschreibung"},
        {"cloze markers and gap list differ",
         {{"tests/beispiele/l.yaml",
           "id: LLUECKEN-ZAHL-01\ntitle: T\ntext: \"Die #6 und #4.\"\ngaps:\n  - [a]\n"}},
         "2 Lücken"},
        {"cloze hash without width",
         {{"tests/beispiele/l.yaml",
           "id: LLUECKEN-BREIT01\ntitle: T\ntext: \"Die # und #4.\"\ngaps: [[a], [b]]\n"}},
         "Breite"},
        {"cloze without its text",
         {{"tests/beispiele/l.yaml", "id: LOHNE-TEXT-00001\ntitle: T\ngaps:\n  - [a]\n"}},
         "Lückentext fehlt"},
        {"cloze gap of width 0",
         {{"tests/beispiele/l.yaml",
           "id: LLUECKEN-NULL-01\ntitle: T\ntext: \"Die #0 und #4.\"\ngaps: [[a], [b]]\n"}},
         "Breite"},
        {"see-also to the entry itself",
         {{"glossar/z.yaml", glossaryEntry("Zelle", "[Zelle]")}},
         "auf sich selbst"},
        {"more than 16 options", {{"tests/beispiele/m.yaml", seventeen}}, "höchstens 16"},
        {"hash in an organelle text",
         {{"glossar/z.yaml", okEntry}, {"organellen/00-zk.yaml", organelle(0, "  Die Zelle Nr. #1.\n")}},
         "\u201E#\u201C"},
        {"unclosed link",
         {{"glossar/z.yaml", okEntry}, {"organellen/00-zk.yaml", organelle(0, "  Die [[Zelle ist.\n")}},
         "geschlossen"},
        {"unknown key", {{"glossar/z.yaml", okEntry + "see-also: []\n"}}, "Unbekannter Schlüssel"},
        {"organelle index against the file name",
         {{"glossar/z.yaml", okEntry}, {"organellen/03-zk.yaml", organelle(0, "  [[Zelle]]\n")}},
         "Dateinamen"},
        {"broken YAML", {{"glossar/z.yaml", "title: [Zelle\n"}}, "YAML-Fehler"},
        {"folded line break after a hyphen in a glossary text",
         {{"glossar/z.yaml", "title: Zelle\ntext: >-\n  Ketten aus Glucose-\n  Bausteinen.\nsee_also: []\n"}},
         "Bindestrich"},
        {"folded line break after a hyphen in an organelle text",
         {{"glossar/z.yaml", okEntry},
          {"organellen/00-zk.yaml",
           QString(organelle(0, "  Die Boten-\n  RNA.\n")).replace("text: |", "text: >-")}},
         "Boten- RNA"},
        {"folded line break after a hyphen in a test",
         {{"tests/beispiele/a.yaml", "id: SBINDESTRICH-001\ntitle: T\nquestions:\n  - question: >-\n      "
                                     "Was macht die Boten-\n      RNA?\n    answer: A\n"}},
         "Bindestrich"},
    };
    for (const Case &k : cases) {
        Content c;
        QString last;
        for (const auto &[name, text] : k.files)
            last = c.put(name, text);
        const QStringList errors = c.buildErrors();
        const bool found = std::any_of(errors.begin(), errors.end(), [&](const QString &m) {
            return m.startsWith(last) && m.contains(QString::fromUtf8(k.expected));
        });
        EXPECT_TRUE(found) << k.name << ":\n" << errors.join('\n').toStdString();
        EXPECT_FALSE(QFileInfo::exists(c.dist())) << k.name << ": wrote files despite errors";
    }
}

TEST(Inhalt, ExportedSourcesCompileToTheSameBytes)
{
    Content c;
    c.put("glossar/zk.yaml", glossaryEntry("Zellkern", "[Zelle]", "Der Zellkern steuert die Zelle."));
    c.put("glossar/z.yaml",
          "title: Zelle\ntext: |-\n  Erste Zeile.\n  Zweite Zeile.\nsee_also: [Zellkern]\npicture: zelle\n");
    c.put("organellen/00-zk.yaml",
          organelle(0,
                    "  Der [[Zellkern]] liegt in der [[Zellen|Zelle]].\n\n  Zweiter Absatz mit einem langen "
                    "Satz, der beim Export sicher umbrochen wird, weil er länger als eine Zeile ist.\n"));
    c.put("uebung/einleitung.txt", "Willkommen.\n\nHier übst du.\n");
    c.put("handbuch/glossar_m.txt", "Glossar\n\n  eingerückt\n");
    buildContent(c.root(), c.dist());

    Content back;
    const Glossary g = glossaryFromFile(parseGlossary(c.built("inhalt/glossar.dat")));
    for (const TGlossarEntry &e : g.entries)
        back.put("glossar/" + glossaryFileStem(fromCp1252(e.Title)) + ".yaml",
                 QString::fromStdString(exportGlossaryEntry(e, g)));
    back.put("organellen/00-zk.yaml",
             QString::fromStdString(exportOrganell(parseOrganell(c.built("inhalt/org0.organell")), 0, g)));
    back.put("uebung/einleitung.txt",
             QString::fromStdString(exportIntroduction(c.built("inhalt/uebung.dat"))));
    back.put("handbuch/glossar_m.txt",
             QString::fromStdString(exportManualPage(c.built("inhalt/glossar_m.dat"))));
    buildContent(back.root(), back.dist());
    for (const char *f :
         {"inhalt/glossar.dat", "inhalt/org0.organell", "inhalt/uebung.dat", "inhalt/glossar_m.dat"}) {
        EXPECT_FALSE(c.built(f).isEmpty()) << f;
        EXPECT_EQ(back.built(f), c.built(f)) << f;
    }
}

TEST(Inhalt, ExportKeepsBytesTheSourceRulesWouldChange)
{
    // Files not written by the compiler: single line breaks, double blanks, odd bytes.
    TOrganell o{"Kern ", "Zeile\r\neins  zwei #0#Zelle#", "a\tb", "", "\x81", "ja"};
    TGlossarEntry e;
    e.Title = "Zelle";
    e.Text1 = "kurz"; // split differently from the compiler's 255/255/rest
    e.Text2 = "er Text";
    const Glossary g = glossaryFromFile({e});

    Content c;
    c.put("glossar/z.yaml", QString::fromStdString(exportGlossaryEntry(e, g)));
    c.put("organellen/00-kern.yaml", QString::fromStdString(exportOrganell(o, 0, g)));
    buildContent(c.root(), c.dist());
    EXPECT_EQ(c.built("inhalt/org0.organell"), serializeOrganell(o));
    EXPECT_EQ(c.built("inhalt/glossar.dat"), serializeGlossary({e}));

    struct TestCase
    {
        TestKind kind;
        QByteArray bytes;
    };
    TSLFTest s;
    s.Info = {QByteArray("S\0\x81"
                         "ABCDEFGHIJKLM",
                         16),
              "Titel  mit\r\nUmbruch"};
    s.Questions = {{"Frage\n", " Antwort"}};
    TMPCTest m;
    m.Info = {"MABCDEFGHIJKLMNO", "T"};
    m.Questions = {{"F", 0x0002, 2, {"a", "b "}}};
    TLKTTest l;
    l.Info = {"LABCDEFGHIJKLMNO", "T"};
    l.Text = "A  #4 b\r\n#2";
    l.Words = {{1, {"x"}}, {2, {"y", "z"}}};
    const TestCase tests[] = {
        {TestKind::SelfCheck, serializeSelfCheckTest(s)},
        {TestKind::MultipleChoice, serializeMultipleChoiceTest(m)},
        {TestKind::Cloze, serializeClozeTest(l)},
    };
    for (const TestCase &t : tests) {
        const QString yaml = QString::fromStdString(exportTest(t.kind, t.bytes, "x"));
        const QString path = c.put("eigen" + testExtension(t.kind) + ".yaml", yaml);
        Diagnostics diag;
        const CompiledTest compiled = compileTest(path, t.kind, diag);
        EXPECT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString() << "\n" << yaml.toStdString();
        EXPECT_EQ(compiled.bytes, t.bytes) << yaml.toStdString();
    }
}

TEST(Inhalt, ExamplesRoundTripAndMatchTheirKinds)
{
    const QDir examples(QString(VELLORA_CONTENT_DIR) + "/tests/beispiele");
    const QStringList files = examples.entryList({"*.yaml"}, QDir::Files);
    ASSERT_EQ(files.size(), 3) << "one example per test kind";
    QSet<TestKind> kinds;
    for (const QString &name : files) {
        Diagnostics diag;
        const CompiledTest t = compileTest(examples.filePath(name), TestKind::Unknown, diag);
        ASSERT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString();
        kinds.insert(t.kind);
        QTemporaryDir dir;
        const QString again = dir.filePath("again.yaml");
        QFile f(again);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray::fromStdString(exportTest(t.kind, t.bytes, name)));
        f.close();
        Diagnostics diag2;
        EXPECT_EQ(compileTest(again, t.kind, diag2).bytes, t.bytes) << name.toStdString();
    }
    EXPECT_EQ(kinds, (QSet<TestKind>{TestKind::SelfCheck, TestKind::MultipleChoice, TestKind::Cloze}));
}

TEST(Inhalt, TheRealContentRoundTripsThroughExport)
{
    if (!QFileInfo::exists(QString(VELLORA_CONTENT_DIR) + "/glossar"))
        GTEST_SKIP() << "no content sources yet";
    QTemporaryDir dist;
    buildContent(VELLORA_CONTENT_DIR, dist.path());
    const QDir inhalt(dist.filePath("inhalt"));
    const Glossary g = glossaryFromFile(LoadGlossary(inhalt.filePath("glossar.dat")));
    Content back;
    for (const TGlossarEntry &e : g.entries)
        back.put("glossar/" + glossaryFileStem(fromCp1252(e.Title)) + ".yaml",
                 QString::fromStdString(exportGlossaryEntry(e, g)));
    for (int i = 0; i < kOrganellCount; ++i) {
        const QString bin = inhalt.filePath(QString("org%1.organell").arg(i));
        if (QFileInfo::exists(bin))
            back.put(QString("organellen/%1-x.yaml").arg(i, 2, 10, QChar('0')),
                     QString::fromStdString(exportOrganell(readOrganellFile(bin), i, g)));
    }
    buildContent(back.root(), back.dist());
    QDirIterator it(inhalt.path(), {"*.organell", "glossar.dat"}, QDir::Files);
    int compared = 0;
    while (it.hasNext()) {
        const QString f = it.next();
        EXPECT_EQ(back.built("inhalt/" + QFileInfo(f).fileName()), readAll(f)) << f.toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 1);
}

TEST(Inhalt, PronunciationReplacesWholeWordsOnly)
{
    Content c;
    const QString file =
        c.put("aussprache.yaml",
              "Chloroplast: Kloroplast\nER: E Er\nµm: Mikrometer\nCytoskelett: \"[[tsy:toskel'Et]]\"\n");
    Diagnostics diag;
    const Pronunciation list = readPronunciation(file, diag);
    ASSERT_TRUE(diag.ok());
    EXPECT_EQ(applyPronunciation("Chloroplasten im ER, Chloroplast-Hülle, HERZ, 5 µm, Cytoskelett.", list),
              "Chloroplasten im E Er, Kloroplast-Hülle, HERZ, 5 Mikrometer, [[tsy:toskel'Et]].");

    const QString bad = c.put("falsch.yaml", "\"[[ER]]\": E Er\n");
    Diagnostics d2;
    readPronunciation(bad, d2);
    EXPECT_FALSE(d2.ok());

    OrganellSource src;
    src.heading = "ER";
    src.text = "Das [[ER|Endoplasmatisches Retikulum]] liegt am Kern.\r\n\r\nZweiter Absatz.";
    EXPECT_EQ(speechText(src, list), "E Er.\n\nDas E Er liegt am Kern.\n\nZweiter Absatz.\n");
}

TEST(Inhalt, CommandLineCompilesATeachersTest)
{
    QTemporaryDir dir;
    const QString src = dir.filePath("mein-test.yaml");
    {
        QFile f(src);
        f.open(QIODevice::WriteOnly);
        f.write(
            "id: MMEIN-TEST-00001\ntitle: Mein Test\nquestions:\n  - question: Was ist grün?\n    options:\n"
            "      - {text: Chloroplast, correct: true}\n      - Zellkern\n");
    }
    QProcess p;
    p.start(VELLORA_INHALT_EXE, {"test", src, "-o", dir.filePath("mein-test.mpc")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const TMPCTest t = LoadMultipleChoiceTest(dir.filePath("mein-test.mpc"));
    EXPECT_EQ(t.Info.ID, "MMEIN-TEST-00001");
    ASSERT_EQ(t.Questions.size(), 1);
    EXPECT_EQ(t.Questions[0].Answer, 1);
    EXPECT_EQ(t.Questions[0].Options, (QList<QByteArray>{"Chloroplast", "Zellkern"}));

    // The extension must match the kind; nothing is written then.
    p.start(VELLORA_INHALT_EXE, {"test", src, "-o", dir.filePath("mein-test.slf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(src));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("mein-test.slf")));

    // Export and compile again through the command line.
    p.start(VELLORA_INHALT_EXE,
            {"export", dir.filePath("mein-test.mpc"), "-o", dir.filePath("zurueck.yaml")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    p.start(VELLORA_INHALT_EXE, {"test", dir.filePath("zurueck.yaml"), "-o", dir.filePath("zurueck.mpc")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(readAll(dir.filePath("zurueck.mpc")), readAll(dir.filePath("mein-test.mpc")));
}
