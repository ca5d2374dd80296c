// Checks the readable teaching material against the limits of the screens that show it:
// the manual box that cannot scroll, the glossary records, the one-line fact labels, and
// the links between texts and glossary.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include "inhalt.h"

#include <map>

#include "base/cp1252.h"

namespace {

using namespace vellora::inhalt;

const QString contentDir = QStringLiteral(VELLORA_CONTENT_SOURCE_DIR);

QString readUtf8(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QStringList yamlFiles(const QString &folder)
{
    QDir dir(contentDir + QLatin1Char('/') + folder);
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("*.yaml")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

// The links of a source text, read the way the compiler reads them.
QList<SourceLink> linksOf(const QString &text)
{
    QList<SourceLink> links;
    QString problem;
    EXPECT_TRUE(findSourceLinks(text, links, &problem)) << problem.toStdString();
    return links;
}

// A capital "Du", "Dir", "Dich" or "Dein..." after a lower-case word or a comma: the pupil is
// addressed with a lower-case "du" except at the start of a sentence.
bool capitalDuInsideSentence(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("[a-zäöüß,]\\s+(Du|Dir|Dich|Dein\\w*)\\b"));
    return re.match(text).hasMatch();
}

int wordCount(const QString &text)
{
    return int(spokenText(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
}

std::map<QString, GlossarySource> loadGlossary()
{
    std::map<QString, GlossarySource> entries;
    for (const QString &file : yamlFiles(QStringLiteral("glossar"))) {
        Diagnostics diag;
        const GlossarySource e = readGlossarySource(file, diag);
        EXPECT_TRUE(diag.ok()) << diag.messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(entries.count(e.title)) << "duplicate title " << e.title.toStdString();
        entries[e.title] = e;
    }
    return entries;
}

QList<OrganellSource> loadOrganelles()
{
    QList<OrganellSource> list;
    for (const QString &file : yamlFiles(QStringLiteral("organellen"))) {
        Diagnostics diag;
        list << readOrganellSource(file, diag);
        EXPECT_TRUE(diag.ok()) << diag.messages().join(QLatin1Char('\n')).toStdString();
    }
    return list;
}

} // namespace

TEST(ManualPages, EachPageFitsTheUnscrollableBoxInTheRealFont)
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(16);
    ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("Open Sans"))
        << "the stand-in font is missing, so the metrics would be wrong";
    const QFontMetrics fm(font);
    constexpr int boxWidth = 497;
    constexpr int boxHeight = 401;

    for (const char *name : {"zelle_m.txt", "uebung_m.txt", "glossar_m.txt"}) {
        SCOPED_TRACE(name);
        QString page = readUtf8(contentDir + QStringLiteral("/handbuch/") + QLatin1String(name));
        ASSERT_FALSE(page.trimmed().isEmpty());
        if (page.endsWith(QLatin1Char('\n')))
            page.chop(1);
        EXPECT_TRUE(vellora::representableInCp1252(page));
        EXPECT_FALSE(capitalDuInsideSentence(page)) << "capital Du inside a sentence";

        // Lines are written so that none wraps: the page then looks as written.
        for (const QString &line : page.split(QLatin1Char('\n')))
            EXPECT_LE(fm.horizontalAdvance(line), boxWidth) << "wraps: " << line.toStdString();

        const QRect r =
            fm.boundingRect(QRect(0, 0, boxWidth, 10000), Qt::AlignHCenter | Qt::TextWordWrap, page);
        EXPECT_LE(r.height(), boxHeight);
        EXPECT_LE(r.width(), boxWidth);
    }
}

TEST(Glossary, EntriesFitTheirRecordsAndSeeAlsoLinksResolve)
{
    const auto entries = loadGlossary();
    EXPECT_GE(entries.size(), 60u);

    for (const auto &[title, e] : entries) {
        SCOPED_TRACE(e.file.toStdString());
        bool ok = false;
        const QByteArray titleBytes = vellora::toCp1252(title, &ok);
        EXPECT_TRUE(ok);
        EXPECT_FALSE(title.isEmpty());
        EXPECT_LE(titleBytes.size(), 50);

        EXPECT_GT(e.text.size(), 0);
        EXPECT_LE(e.text.size(), 765);
        EXPECT_FALSE(e.text.contains('#'));
        EXPECT_FALSE(e.text.contains("[["));
        // Two to five sentences that stand on their own.
        const int sentences =
            int(vellora::fromCp1252(e.text).count(QRegularExpression(QStringLiteral("[.!?](\\s|$)"))));
        EXPECT_GE(sentences, 2) << title.toStdString();

        EXPECT_LE(e.seeAlso.size(), 10);
        EXPECT_GE(e.seeAlso.size(), 1) << "every entry leads on";
        EXPECT_EQ(QSet<QString>(e.seeAlso.begin(), e.seeAlso.end()).size(), e.seeAlso.size())
            << "duplicate see-also";
        for (const QString &s : e.seeAlso) {
            EXPECT_TRUE(entries.count(s)) << "see-also to missing title " << s.toStdString();
            EXPECT_NE(s, title) << "entry refers to itself";
        }
        EXPECT_LE(e.picture.size(), 8);
    }
}

// The spellings pupils type lead to the main entry, and every entry is reached from somewhere.
TEST(Glossary, AliasesLeadToTheirMainEntryAndNoEntryIsAnIsland)
{
    const auto entries = loadGlossary();
    EXPECT_GE(entries.size(), 130u);
    const std::pair<const char *, const char *> aliases[] = {
        {"Zytoplasma", "Cytoplasma"},          {"Zellulose", "Cellulose"},
        {"Photosynthese", "Fotosynthese"},     {"Glukose", "Glucose"},
        {"Kohlendioxid", "Kohlenstoffdioxid"}, {"Plasmodesmen", "Plasmodesmos"},
        {"Mikrotubuli", "Mikrotubulus"},       {"Nukleus", "Zellkern"},
        {"Plasmamembran", "Plasmalemma"},
    };
    for (const auto &[alias, main] : aliases) {
        const auto it = entries.find(QString::fromUtf8(alias));
        ASSERT_NE(it, entries.end()) << alias;
        ASSERT_FALSE(it->second.seeAlso.isEmpty()) << alias;
        EXPECT_EQ(it->second.seeAlso.first(), QString::fromUtf8(main)) << alias;
    }

    QSet<QString> reached;
    for (const auto &[title, e] : entries)
        for (const QString &s : e.seeAlso)
            reached.insert(s);
    for (const OrganellSource &o : loadOrganelles())
        for (const SourceLink &l : linksOf(o.text))
            reached.insert(l.title);
    for (const auto &[title, e] : entries) {
        // A search entry for another spelling only points on; it need not be linked to.
        const bool pointsOn = !e.seeAlso.isEmpty() &&
                              vellora::fromCp1252(e.text).contains(
                                  QString::fromUtf8("steht unter \u201E%1\u201C").arg(e.seeAlso.first()));
        EXPECT_TRUE(pointsOn || reached.contains(title)) << title.toStdString() << " is reached by no link";
    }
}

TEST(Organelles, ElevenFilesWithShortFactsAndResolvableLinks)
{
    const auto glossary = loadGlossary();
    const auto organelles = loadOrganelles();
    ASSERT_EQ(organelles.size(), 11);

    for (int i = 0; i < organelles.size(); ++i) {
        const OrganellSource &o = organelles[i];
        SCOPED_TRACE(o.file.toStdString());
        // Files sort in organelle-index order: NN-name.yaml.
        EXPECT_EQ(o.index, i);
        EXPECT_TRUE(
            QFileInfo(o.file).fileName().startsWith(QStringLiteral("%1-").arg(i, 2, 10, QLatin1Char('0'))));
        EXPECT_FALSE(o.heading.isEmpty());

        for (const QString &value : {o.names, o.memCount, o.size, o.animalCell}) {
            EXPECT_FALSE(value.isEmpty());
            EXPECT_LE(value.size(), 25) << value.toStdString();
            EXPECT_TRUE(vellora::representableInCp1252(value)) << value.toStdString();
        }

        const int words = wordCount(o.text);
        EXPECT_GE(words, 150);
        EXPECT_LE(words, 350);
        EXPECT_TRUE(vellora::representableInCp1252(o.text));
        EXPECT_FALSE(o.text.contains(QLatin1Char('#'))) << "a # would start a memo link";
        // Each text tells where the part lies in the whole-cell view.
        EXPECT_TRUE(o.text.contains(QStringLiteral("Ansicht der ganzen Zelle"))) << "where it lies";
        // The pupil is addressed with a lower-case "du" inside a sentence.
        EXPECT_FALSE(capitalDuInsideSentence(o.text)) << "capital Du inside a sentence";

        QSet<QString> linked;
        for (const SourceLink &l : linksOf(o.text)) {
            EXPECT_FALSE(l.caption.isEmpty());
            EXPECT_TRUE(glossary.count(l.title)) << "link to missing title " << l.title.toStdString();
            EXPECT_FALSE(linked.contains(l.title)) << "linked twice: " << l.title.toStdString();
            EXPECT_NE(l.title, o.heading) << "links its own topic";
            linked.insert(l.title);
        }
        EXPECT_GE(linked.size(), 5) << "technical terms should link to the glossary";
        // Broken markup would show brackets to the pupil.
        EXPECT_FALSE(spokenText(o.text).contains(QStringLiteral("[[")));
        EXPECT_FALSE(spokenText(o.text).contains(QStringLiteral("]]")));
    }
}

TEST(ExerciseIntroduction, PlainTextOfTheRightLength)
{
    const QString text = readUtf8(contentDir + QStringLiteral("/uebung/einleitung.txt"));
    const int words = wordCount(text);
    EXPECT_GE(words, 120);
    EXPECT_LE(words, 250);
    EXPECT_TRUE(vellora::representableInCp1252(text));
    EXPECT_FALSE(capitalDuInsideSentence(text)) << "capital Du inside a sentence";
    // The exercise screen has no link handler.
    EXPECT_FALSE(text.contains(QLatin1Char('#')));
    EXPECT_FALSE(text.contains(QStringLiteral("[[")));
}

TEST(Pronunciation, EveryKeyIsAWordThatOccursInASpokenText)
{
    Diagnostics diag;
    const Pronunciation list = readPronunciation(contentDir + QStringLiteral("/aussprache.yaml"), diag);
    ASSERT_TRUE(diag.ok()) << diag.messages().join(QLatin1Char('\n')).toStdString();

    QString spoken;
    for (const OrganellSource &o : loadOrganelles())
        spoken += o.heading + QLatin1Char('\n') + spokenText(o.text) + QLatin1Char('\n');

    EXPECT_GT(list.entries.size(), 0);
    for (const auto &[key, value] : list.entries) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_NE(value, key) << "an entry that changes nothing";
        const QRegularExpression whole(QStringLiteral("(?<!\\w)") + QRegularExpression::escape(key) +
                                           QStringLiteral("(?!\\w)"),
                                       QRegularExpression::UseUnicodePropertiesOption);
        EXPECT_TRUE(whole.match(spoken).hasMatch()) << "never spoken, so never used";
    }
}
