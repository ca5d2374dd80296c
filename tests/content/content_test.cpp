// The content of the program folder as the build made it from content/: organelle files,
// glossary, links between them, manual pages, audio and its pronunciation.

#include "inhalt.h"

#include "base/asciifold.h"
#include "base/cp1252.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace vellora;
using namespace vellora::inhalt;

namespace {

const QString kDist = VELLORA_DIST_DIR;
const QString kContent = VELLORA_CONTENT_DIR;

QString distPath(const QString &relative)
{
    return QDir(kDist).filePath(relative);
}

QList<TGlossarEntry> glossary()
{
    return LoadGlossary(distPath("inhalt/glossar.dat"));
}

QString organelleSource(int index)
{
    const QStringList files = QDir(kContent + "/organellen").entryList({QString("%1-*.yaml").arg(index, 2, 10, QChar('0'))}, QDir::Files);
    return files.size() == 1 ? kContent + "/organellen/" + files.first() : QString();
}

struct MemoLink {
    int number = 0;
    QByteArray caption;
};

// The links of a memo text, or std::nullopt when a '#' does not start a whole link.
std::optional<QList<MemoLink>> memoLinks(const QByteArray &text)
{
    QList<MemoLink> links;
    qsizetype i = 0;
    while ((i = text.indexOf('#', i)) >= 0) {
        const qsizetype second = text.indexOf('#', i + 1);
        const qsizetype third = second < 0 ? -1 : text.indexOf('#', second + 1);
        if (third < 0)
            return std::nullopt;
        bool ok = false;
        const int n = text.mid(i + 1, second - i - 1).toInt(&ok);
        if (!ok)
            return std::nullopt;
        links << MemoLink{n, text.mid(second + 1, third - second - 1)};
        i = third + 1;
    }
    return links;
}

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    p.waitForFinished(120000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAll());
}

QString ipa(const QString &text)
{
    return run("espeak-ng", {"-v", "de", "-q", "--ipa", text}).simplified();
}

Pronunciation pronunciation()
{
    Diagnostics diag;
    Pronunciation list;
    if (QFileInfo::exists(kContent + "/aussprache.yaml"))
        list = readPronunciation(kContent + "/aussprache.yaml", diag);
    EXPECT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString();
    return list;
}

} // namespace

TEST(Content, ElevenOrganelleFilesWithAllFields)
{
    for (int i = 0; i < kOrganellCount; ++i) {
        SCOPED_TRACE(i);
        QFile f(distPath(QString("inhalt/org%1.organell").arg(i)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        const QByteArray bytes = f.readAll();
        const TOrganell o = parseOrganell(bytes);
        // The six strings fill the file exactly: nothing cut short, nothing left over.
        EXPECT_EQ(serializeOrganell(o), bytes);
        for (const QByteArray *field : {&o.Heading, &o.Text, &o.Names, &o.MemCount, &o.Size, &o.AnimalCell})
            EXPECT_FALSE(field->isEmpty());
        EXPECT_FALSE(o.Heading.contains('\r') || o.Names.contains('\r') || o.Size.contains('\r'));
    }
}

TEST(Content, EveryLinkOpensTheEntryTheSourceNames)
{
    const QList<TGlossarEntry> entries = glossary();
    const Glossary g = glossaryFromFile(entries);
    int checked = 0;
    for (int i = 0; i < kOrganellCount; ++i) {
        SCOPED_TRACE(i);
        const QString source = organelleSource(i);
        ASSERT_FALSE(source.isEmpty()) << "no source for organelle " << i;
        Diagnostics diag;
        const OrganellSource src = readOrganellSource(source, diag);
        QList<Link> written;
        compileLinkedText(src.text, g, source, -1, diag, &written);
        ASSERT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString();

        // The memo ends a word glued to a link as at a blank: "([[X]])" would show "( X)".
        EXPECT_TRUE(diag.warnings().isEmpty()) << diag.warnings().join('\n').toStdString();

        const TOrganell o = readOrganellFile(distPath(QString("inhalt/org%1.organell").arg(i)));
        const auto links = memoLinks(o.Text);
        ASSERT_TRUE(links.has_value()) << "a '#' that is not a whole link";
        ASSERT_EQ(links->size(), written.size());
        for (qsizetype k = 0; k < links->size(); ++k) {
            const MemoLink &l = (*links)[k];
            ASSERT_TRUE(l.number >= 0 && l.number < entries.size()) << l.number;
            EXPECT_EQ(entries[l.number].Title, toCp1252(written[k].title)) << written[k].title.toStdString();
            EXPECT_EQ(l.caption, toCp1252(written[k].caption));
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(Content, GlossaryIsSortedForPrefixSearchAndItsSeeAlsoLinksAreValid)
{
    const QList<TGlossarEntry> entries = glossary();
    ASSERT_GE(entries.size(), 60);
    for (qsizetype i = 1; i < entries.size(); ++i)
        EXPECT_LT(asciiCompareNoCase(entries[i - 1].Title, entries[i].Title), 0)
            << entries[i - 1].Title.toStdString() << " / " << entries[i].Title.toStdString();
    // Whatever the pupil types, the matching entries stand together.
    for (const TGlossarEntry &e : entries) {
        for (qsizetype n = 1; n <= e.Title.size(); ++n) {
            const QByteArray prefix = e.Title.left(n);
            qsizetype first = -1, last = -1, count = 0;
            for (qsizetype k = 0; k < entries.size(); ++k) {
                if (asciiStartsWithNoCase(entries[k].Title, prefix)) {
                    if (first < 0)
                        first = k;
                    last = k;
                    ++count;
                }
            }
            EXPECT_EQ(last - first + 1, count) << prefix.toStdString();
        }
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TGlossarEntry &e = entries[i];
        EXPECT_FALSE(e.Text().isEmpty()) << e.Title.toStdString();
        bool ended = false;
        for (int32_t link : e.Links) {
            if (link == -1) {
                ended = true;
                continue;
            }
            EXPECT_FALSE(ended) << e.Title.toStdString() << ": see-also slots with a gap";
            EXPECT_TRUE(link >= 0 && link < entries.size() && link != i) << e.Title.toStdString() << " -> " << link;
        }
    }
}

TEST(Content, ManualPagesAndExerciseIntroductionArePresent)
{
    for (int page = 0; page < kManualPageCount; ++page) {
        const QString path = distPath(QFileInfo(manualPagePath(page)).fileName().prepend("inhalt/"));
        EXPECT_FALSE(loadManualPage(path).isEmpty()) << path.toStdString();
    }
    const QByteArray intro = LoadIntroduction(distPath("inhalt/uebung.dat"));
    EXPECT_FALSE(intro.isEmpty());
    EXPECT_FALSE(intro.contains('#')) << "the exercise screen shows no links";
}

TEST(Content, ElevenAudioFilesDecodeLastAndAreNotSilent)
{
    if (QStandardPaths::findExecutable("sox").isEmpty())
        GTEST_SKIP() << "sox missing";
    for (int i = 0; i < kOrganellCount; ++i) {
        SCOPED_TRACE(i);
        const QString mp3 = distPath(QString("audio/voice%1.mp3").arg(i));
        ASSERT_TRUE(QFileInfo::exists(mp3)) << mp3.toStdString();
        int code = -1;
        const QString stat = run("sox", {mp3, "-n", "stat"}, &code);
        ASSERT_EQ(code, 0) << stat.toStdString();
        const auto number = [&](const char *label) {
            const auto m = QRegularExpression(QString(label) + ":\\s+([-0-9.]+)").match(stat);
            return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
        };
        const double seconds = number("Length \\(seconds\\)");
        EXPECT_GE(seconds, 30.0);
        EXPECT_GT(number("RMS\\s+amplitude"), 0.01) << "silent";

        // The whole text was spoken, at a calm pace: 100-170 words a minute.
        Diagnostics diag;
        const OrganellSource src = readOrganellSource(organelleSource(i), diag);
        const qsizetype words = spokenText(src.text).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size();
        const double perMinute = words / (seconds / 60.0);
        EXPECT_GT(perMinute, 100.0) << words << " words in " << seconds << " s";
        EXPECT_LT(perMinute, 170.0) << words << " words in " << seconds << " s";
    }
}

// espeak-ng's German voice stresses and spells many scientific words wrongly; the
// pronunciation list in content/aussprache.yaml corrects them before speaking.
TEST(Content, SpeechPronouncesTheOrganelleNamesRight)
{
    if (QStandardPaths::findExecutable("espeak-ng").isEmpty())
        GTEST_SKIP() << "espeak-ng missing";
    const Pronunciation list = pronunciation();
    struct Case {
        const char *word;
        const char *ipa; // must match the phonemes espeak-ng produces
    };
    const Case cases[] = {
        {"Zellkern", "^tsˈɛl"},
        {"ER", "eː.*ɛ"},                      // spelt: E-R, not "Er"
        {"Ribosom", "zˈoːm$"},
        {"Golgi-Apparat", "ˈɔl.*ˈɑːt$"},
        {"Chloroplast", "^kl.*ˈast$"},        // stress on the last syllable
        {"Mitochondrium", "xˈɔnd"},           // Mito-chón-drium
        {"Vakuole", "ˈoːlə$"},
        {"Plasmalemma", "ˈɛm"},
        {"Zellwand", "^tsˈɛl"},
        {"Peroxisom", "zˈoːm$"},
        {"Cytoskelett", "^ts.*ˈɛt$"},         // Zyto-, not Süto-
    };
    for (const Case &c : cases) {
        const QString spoken = applyPronunciation(QString::fromUtf8(c.word), list);
        const QString phonemes = ipa(spoken);
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.ipa)).match(phonemes).hasMatch())
            << c.word << " -> " << spoken.toStdString() << " -> " << phonemes.toStdString() << " (expected " << c.ipa << ")";
    }
}

TEST(Content, SpeechTextsStayInGermanAndTheListChangesWhatItLists)
{
    if (QStandardPaths::findExecutable("espeak-ng").isEmpty())
        GTEST_SKIP() << "espeak-ng missing";
    const Pronunciation list = pronunciation();
    for (int i = 0; i < kOrganellCount; ++i) {
        Diagnostics diag;
        const OrganellSource src = readOrganellSource(organelleSource(i), diag);
        const QString phonemes = ipa(speechText(src, list));
        // espeak-ng marks a switch to another voice, e.g. "(en)" for "µm" read as English.
        const auto m = QRegularExpression("\\(([a-z]{2,3})\\)\\S*\\([a-z]{2,3}\\)").match(phonemes);
        EXPECT_FALSE(m.hasMatch()) << "organelle " << i << " switches language: " << m.captured(0).toStdString();
    }
    for (const auto &[word, say] : list.entries) {
        EXPECT_NE(ipa(word), ipa(say)) << word.toStdString() << ": the entry changes nothing";
    }
}

TEST(Content, BuiltInTestsLoadWithUniqueIdsOfTheirKind)
{
    const QDir dir(distPath("tests"));
    const QStringList names = dir.entryList({"test*.slf", "test*.mpc", "test*.lkt"}, QDir::Files);
    if (names.isEmpty())
        GTEST_SKIP() << "no built-in tests in content/tests yet";
    QSet<QByteArray> ids;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        TTestInfo info;
        switch (testKindOfPath(name)) {
        case TestKind::SelfCheck: info = LoadSelfCheckTest(path).Info; EXPECT_EQ(info.ID[0], 'S'); break;
        case TestKind::MultipleChoice: info = LoadMultipleChoiceTest(path).Info; EXPECT_EQ(info.ID[0], 'M'); break;
        case TestKind::Cloze: info = LoadClozeTest(path).Info; EXPECT_EQ(info.ID[0], 'L'); break;
        case TestKind::Unknown: ADD_FAILURE(); break;
        }
        EXPECT_FALSE(ids.contains(info.ID)) << info.ID.toStdString();
        ids.insert(info.ID);
    }
}
