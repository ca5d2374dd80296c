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
#include <yaml-cpp/yaml.h>

#include <map>

#include "base/cp1252.h"

namespace {

const QString contentDir = QStringLiteral(VELLORA_CONTENT_SOURCE_DIR);

QString readUtf8(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QString str(const YAML::Node &n)
{
    return n && n.IsScalar() ? QString::fromStdString(n.as<std::string>()) : QString();
}

YAML::Node loadYaml(const QString &path)
{
    try {
        return YAML::LoadFile(path.toStdString());
    } catch (const YAML::Exception &e) {
        ADD_FAILURE() << path.toStdString() << ": " << e.what();
        return {};
    }
}

QStringList yamlFiles(const QString &folder)
{
    QDir dir(contentDir + QLatin1Char('/') + folder);
    QStringList files;
    for (const QString &name : dir.entryList({QStringLiteral("*.yaml")}, QDir::Files, QDir::Name))
        files << dir.filePath(name);
    return files;
}

struct Link {
    QString caption;
    QString title;
};

// [[Titel]] or [[Wortform|Titel]]
QList<Link> linksOf(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("\\[\\[([^\\]|]*)(?:\\|([^\\]]*))?\\]\\]"));
    QList<Link> links;
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        links.append({m.captured(1), m.captured(2).isEmpty() ? m.captured(1) : m.captured(2)});
    }
    return links;
}

// The text as shown and spoken: link markup replaced by its caption.
QString plainText(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("\\[\\[([^\\]|]*)(?:\\|[^\\]]*)?\\]\\]"));
    QString out = text;
    out.replace(re, QStringLiteral("\\1"));
    return out;
}

int wordCount(const QString &text)
{
    return int(plainText(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
}

struct GlossaryEntry {
    QString file;
    QString title;
    QString text;
    QStringList seeAlso;
    QString picture;
};

std::map<QString, GlossaryEntry> loadGlossary()
{
    std::map<QString, GlossaryEntry> entries;
    for (const QString &file : yamlFiles(QStringLiteral("glossar"))) {
        const YAML::Node n = loadYaml(file);
        if (!n)
            continue;
        GlossaryEntry e{file, str(n["title"]), str(n["text"]), {}, str(n["picture"])};
        if (n["see_also"] && n["see_also"].IsSequence())
            for (const auto &s : n["see_also"])
                e.seeAlso << str(s);
        EXPECT_FALSE(entries.count(e.title)) << "duplicate title " << e.title.toStdString();
        entries[e.title] = e;
    }
    return entries;
}

struct Organelle {
    QString file;
    int index = -1;
    QString heading;
    QString text;
    std::map<std::string, QString> facts;
};

QList<Organelle> loadOrganelles()
{
    QList<Organelle> list;
    for (const QString &file : yamlFiles(QStringLiteral("organellen"))) {
        const YAML::Node n = loadYaml(file);
        if (!n)
            continue;
        Organelle o;
        o.file = file;
        o.index = n["index"] ? n["index"].as<int>(-1) : -1;
        o.heading = str(n["heading"]);
        o.text = str(n["text"]);
        for (const char *key : {"names", "membranes", "size", "animal_cell"})
            o.facts[key] = str(n[key]);
        list << o;
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

        // Lines are written so that none wraps: the page then looks as written.
        for (const QString &line : page.split(QLatin1Char('\n')))
            EXPECT_LE(fm.horizontalAdvance(line), boxWidth) << "wraps: " << line.toStdString();

        const QRect r = fm.boundingRect(QRect(0, 0, boxWidth, 10000),
                                        Qt::AlignHCenter | Qt::TextWordWrap, page);
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

        const QByteArray textBytes = vellora::toCp1252(e.text, &ok);
        EXPECT_TRUE(ok) << "not representable in cp1252";
        EXPECT_GT(textBytes.size(), 0);
        EXPECT_LE(textBytes.size(), 765);
        EXPECT_FALSE(e.text.contains(QLatin1Char('#')));
        EXPECT_FALSE(e.text.contains(QStringLiteral("[[")));

        EXPECT_LE(e.seeAlso.size(), 10);
        EXPECT_EQ(QSet<QString>(e.seeAlso.begin(), e.seeAlso.end()).size(), e.seeAlso.size())
            << "duplicate see-also";
        for (const QString &s : e.seeAlso) {
            EXPECT_TRUE(entries.count(s)) << "see-also to missing title " << s.toStdString();
            EXPECT_NE(s, title) << "entry refers to itself";
        }
        EXPECT_LE(e.picture.size(), 8);
    }
}

TEST(Organelles, ElevenFilesWithShortFactsAndResolvableLinks)
{
    const auto glossary = loadGlossary();
    const auto organelles = loadOrganelles();
    ASSERT_EQ(organelles.size(), 11);

    for (int i = 0; i < organelles.size(); ++i) {
        const Organelle &o = organelles[i];
        SCOPED_TRACE(o.file.toStdString());
        // Files sort in organelle-index order: NN-name.yaml.
        EXPECT_EQ(o.index, i);
        EXPECT_TRUE(QFileInfo(o.file).fileName().startsWith(QStringLiteral("%1-").arg(i, 2, 10, QLatin1Char('0'))));
        EXPECT_FALSE(o.heading.isEmpty());

        for (const auto &[key, value] : o.facts) {
            EXPECT_FALSE(value.isEmpty()) << key;
            EXPECT_LE(value.size(), 25) << key << ": " << value.toStdString();
            EXPECT_TRUE(vellora::representableInCp1252(value)) << key;
        }

        const int words = wordCount(o.text);
        EXPECT_GE(words, 150);
        EXPECT_LE(words, 350);
        EXPECT_TRUE(vellora::representableInCp1252(o.text));
        EXPECT_FALSE(o.text.contains(QLatin1Char('#'))) << "a # would start a memo link";

        QSet<QString> linked;
        for (const Link &l : linksOf(o.text)) {
            EXPECT_FALSE(l.caption.isEmpty());
            EXPECT_TRUE(glossary.count(l.title)) << "link to missing title " << l.title.toStdString();
            EXPECT_FALSE(linked.contains(l.title)) << "linked twice: " << l.title.toStdString();
            EXPECT_NE(l.title, o.heading) << "links its own topic";
            linked.insert(l.title);
        }
        EXPECT_GE(linked.size(), 5) << "technical terms should link to the glossary";
        // Broken markup would show brackets to the pupil.
        EXPECT_FALSE(plainText(o.text).contains(QStringLiteral("[[")));
        EXPECT_FALSE(plainText(o.text).contains(QStringLiteral("]]")));
    }
}

TEST(ExerciseIntroduction, PlainTextOfTheRightLength)
{
    const QString text = readUtf8(contentDir + QStringLiteral("/uebung/einleitung.txt"));
    const int words = wordCount(text);
    EXPECT_GE(words, 120);
    EXPECT_LE(words, 250);
    EXPECT_TRUE(vellora::representableInCp1252(text));
    // The exercise screen has no link handler.
    EXPECT_FALSE(text.contains(QLatin1Char('#')));
    EXPECT_FALSE(text.contains(QStringLiteral("[[")));
}

TEST(Pronunciation, EveryKeyIsAWordThatOccursInASpokenText)
{
    const YAML::Node list = loadYaml(contentDir + QStringLiteral("/aussprache.yaml"));
    ASSERT_TRUE(list && list.IsMap());

    QString spoken;
    for (const Organelle &o : loadOrganelles())
        spoken += o.heading + QLatin1Char('\n') + plainText(o.text) + QLatin1Char('\n');

    static const QRegularExpression plainWord(QStringLiteral("^[\\w-]+$"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    EXPECT_GT(list.size(), 0u);
    for (const auto &kv : list) {
        const QString key = str(kv.first);
        const QString value = str(kv.second);
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(plainWord.match(key).hasMatch()) << "keys are single plain words";
        EXPECT_FALSE(value.trimmed().isEmpty());
        EXPECT_NE(value, key) << "an entry that changes nothing";
        const QRegularExpression whole(QStringLiteral("(?<!\\w)") + QRegularExpression::escape(key)
                                           + QStringLiteral("(?!\\w)"),
                                       QRegularExpression::UseUnicodePropertiesOption);
        EXPECT_TRUE(whole.match(spoken).hasMatch()) << "never spoken, so never used";
    }
}
