// The content of the program folder as the build made it from content/: organelle files,
// glossary, links between them, manual pages, audio and its pronunciation.

#include "inhalt.h"

#include "base/cp1252.h"
#include "base/germanorder.h"
#include "base/linkmarkup.h"

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
    const QStringList files =
        QDir(kContent + "/organellen")
            .entryList({QString("%1-*.yaml").arg(index, 2, 10, QChar('0'))}, QDir::Files);
    return files.size() == 1 ? kContent + "/organellen/" + files.first() : QString();
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
        bool complete = false;
        const QList<MemoLink> all = memoLinks(o.Text, &complete);
        ASSERT_TRUE(complete) << "a '#' that is not a whole link";
        const QList<MemoLink> *links = &all;
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
    ASSERT_GE(entries.size(), 130);
    QSet<QByteArray> titles;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        titles.insert(entries[i].Title);
        if (i > 0) {
            EXPECT_LT(germanCompare(entries[i - 1].Title, entries[i].Title), 0)
                << entries[i - 1].Title.toStdString() << " / " << entries[i].Title.toStdString();
        }
    }
    // German order: the umlaut entries stand among their base letters.
    for (const char *title : {"St\xE4rke", "St\xE4rkekorn", "Stroma", "Spindelapparat", "Stoffwechsel"})
        ASSERT_TRUE(titles.contains(title)) << title;
    auto indexOf = [&](const char *title) {
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (entries[i].Title == title)
                return i;
        return qsizetype(-1);
    };
    EXPECT_LT(indexOf("Spindelapparat"), indexOf("St\xE4rke"));
    EXPECT_LT(indexOf("St\xE4rkekorn"), indexOf("Stoffwechsel"));
    EXPECT_LT(indexOf("St\xE4rkekorn"), indexOf("Stroma"));
    // Whatever the pupil types, the matching entries stand together.
    for (const TGlossarEntry &e : entries) {
        for (qsizetype n = 1; n <= e.Title.size(); ++n) {
            const QByteArray prefix = e.Title.left(n);
            qsizetype first = -1, last = -1, count = 0;
            for (qsizetype k = 0; k < entries.size(); ++k) {
                if (germanStartsWith(entries[k].Title, prefix)) {
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
            EXPECT_TRUE(link >= 0 && link < entries.size() && link != i)
                << e.Title.toStdString() << " -> " << link;
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
        const qsizetype words =
            spokenText(src.text).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size();
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
    struct Case
    {
        const char *word;
        const char *ipa; // must match the phonemes espeak-ng produces
    };
    const Case cases[] = {
        {"Zellkern", "^tsˈɛl"},        {"ER", "eː.*ɛ"}, // spelt: E-R, not "Er"
        {"Ribosom", "zˈoːm$"},         {"Golgi-Apparat", "ˈɔl.*ˈɑːt$"},
        {"Chloroplast", "^kl.*ˈast$"}, // stress on the last syllable
        {"Mitochondrium", "xˈɔnd"},    // Mito-chón-drium
        {"Vakuole", "ˈoːlə$"},         {"Plasmalemma", "ˈɛm"},
        {"Zellwand", "^tsˈɛl"},        {"Peroxisom", "zˈoːm$"},
        {"Cytoskelett", "^ts.*ˈɛt$"}, // Zyto-, not Süto-
    };
    for (const Case &c : cases) {
        const QString spoken = applyPronunciation(QString::fromUtf8(c.word), list);
        const QString phonemes = ipa(spoken);
        EXPECT_TRUE(QRegularExpression(QString::fromUtf8(c.ipa)).match(phonemes).hasMatch())
            << c.word << " -> " << spoken.toStdString() << " -> " << phonemes.toStdString() << " (expected "
            << c.ipa << ")";
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
        EXPECT_FALSE(m.hasMatch()) << "organelle " << i
                                   << " switches language: " << m.captured(0).toStdString();
    }
    for (const auto &[word, say] : list.entries) {
        EXPECT_NE(ipa(word), ipa(say)) << word.toStdString() << ": the entry changes nothing";
    }
}

TEST(Content, BuiltInTestsLoadWithUniqueIdsOfTheirKind)
{
    // Eleven tests of each kind, test0 to test10; results are stored against their IDs.
    const QDir dir(distPath("tests"));
    QSet<QByteArray> ids;
    int loaded = 0;
    for (const char *extension : {".slf", ".mpc", ".lkt"}) {
        for (int n = 0; n < kTestsPerKind; ++n) {
            const QString name = QString("test%1%2").arg(n).arg(extension);
            SCOPED_TRACE(name.toStdString());
            const QString path = dir.filePath(name);
            ASSERT_TRUE(QFileInfo::exists(path)) << "missing built-in test";
            TTestInfo info;
            qsizetype items = 0;
            char letter = 0;
            switch (testKindOfPath(name)) {
            case TestKind::SelfCheck: {
                const TSLFTest t = LoadSelfCheckTest(path);
                info = t.Info;
                items = t.Questions.size();
                letter = 'S';
                for (const TSLFQuestion &q : t.Questions)
                    EXPECT_FALSE(q.Question.isEmpty() || q.Answer.isEmpty());
                break;
            }
            case TestKind::MultipleChoice: {
                const TMPCTest t = LoadMultipleChoiceTest(path);
                info = t.Info;
                items = t.Questions.size();
                letter = 'M';
                for (const TMPCQuestion &q : t.Questions) {
                    EXPECT_GE(q.Options.size(), 4) << q.Question.toStdString();
                    EXPECT_LE(q.Options.size(), 5) << q.Question.toStdString();
                    EXPECT_EQ(q.Answer >> q.Options.size(), 0) << q.Question.toStdString();
                }
                break;
            }
            case TestKind::Cloze: {
                const TLKTTest t = LoadClozeTest(path);
                info = t.Info;
                items = t.Words.size();
                letter = 'L';
                EXPECT_EQ(clozeGaps(t.Text).size(), t.Words.size()) << "gap markers and answer lists differ";
                for (const TWord &w : t.Words)
                    EXPECT_FALSE(w.Words.isEmpty());
                break;
            }
            case TestKind::Unknown:
                ADD_FAILURE();
                break;
            }
            ASSERT_EQ(info.ID.size(), 16);
            EXPECT_EQ(info.ID[0], letter);
            EXPECT_FALSE(info.Title.isEmpty());
            EXPECT_GE(items, 8) << "questions or gaps";
            EXPECT_FALSE(ids.contains(info.ID)) << "ID used twice: " << info.ID.toStdString();
            ids.insert(info.ID);
            ++loaded;
        }
    }
    EXPECT_EQ(loaded, 3 * kTestsPerKind);
}

// espeak-ng reads "-stoff" after a word boundary inside a compound as [st] ("Sauer-stoff" with
// an English "st"); every such word of the spoken texts needs an entry in the pronunciation list.
TEST(Content, EveryStoffCompoundIsPronouncedWithSch)
{
    if (QStandardPaths::findExecutable("espeak-ng").isEmpty())
        GTEST_SKIP() << "espeak-ng missing";
    const Pronunciation list = pronunciation();
    QSet<QString> words;
    static const QRegularExpression word("[\\w]+", QRegularExpression::UseUnicodePropertiesOption);
    for (int i = 0; i < kOrganellCount; ++i) {
        Diagnostics diag;
        const OrganellSource src = readOrganellSource(organelleSource(i), diag);
        ASSERT_TRUE(diag.ok()) << diag.messages().join('\n').toStdString();
        for (auto it = word.globalMatch(src.heading + ' ' + spokenText(src.text)); it.hasNext();) {
            const QString w = it.next().captured(0);
            if (w.indexOf("stoff", 1, Qt::CaseInsensitive) > 0)
                words.insert(w);
        }
    }
    ASSERT_FALSE(words.isEmpty()) << "the texts name Sauerstoff, so there are such words";
    QStringList wrong;
    for (const QString &w : words) {
        // -x writes espeak-ng's phoneme names: "S" is the sound of "sch".
        const QString phonemes =
            run("espeak-ng", {"-v", "de", "-q", "-x", applyPronunciation(w, list)}).trimmed();
        static const QRegularExpression sch("St[',]?O"); // stress marks may stand between
        if (!sch.match(phonemes).hasMatch())
            wrong << w + " -> " + phonemes;
    }
    wrong.sort();
    EXPECT_TRUE(wrong.isEmpty()) << "read with [st], no entry in aussprache.yaml:\n"
                                 << wrong.join('\n').toStdString();
}
