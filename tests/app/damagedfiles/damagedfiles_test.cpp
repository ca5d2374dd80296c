// Every reader, handed a damaged, missing or unreadable file, either loads what the format
// allows or refuses with a German message that names the file; none writes anything, and the
// library's bitmap loader reports one line on standard error.

#include "cellfiles.h"
#include "dibloader.h"
#include "glossaryfile.h"
#include "profilestore.h"
#include "testfiles.h"

#include "base/contentfile.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <unistd.h>

using namespace vellora;

namespace {

QByteArray le32(int32_t v)
{
    QByteArray b;
    appendInt32(b, v);
    return b;
}
QByteArray str(const QByteArray &s)
{
    return le32(int32_t(s.size())) + s;
}

const QByteArray kSlf = "SZELLE-SELBST-01" + str("Grundlagen") + le32(1) + str("Was ist eine Zelle?") +
                        str("Die kleinste Einheit.");
const QByteArray kMpc = "MZELLE-AUSWAHL01" + str("Organellen") + le32(1) +
                        str("Was hat nur die Pflanzenzelle?") + QByteArray("\x05\x00", 2) + le32(2) +
                        str("Chloroplast") + str("Mitochondrium");
const QByteArray kLkt = "LZELLE-LUECKE-01" +
                        str("L\xFC"
                            "cken") +
                        le32(1) + str("Die #6 ist rund.") + le32(1) + str("Zelle");

// How a file is damaged.
enum class Damage { Bytes, Folder, Missing, Unreadable, ReadError };

// What the reader must do with it.
enum class Outcome { Loads, Refused };

struct Reader
{
    const char *name;
    const char *fileName;
    std::function<void(const QString &)> read; // throws on refusal
};

const Reader kReaders[] = {
    {"organelle file", "org0.organell", [](const QString &p) { readOrganellFile(p); }},
    {"mesh name list", "meshes.dat", [](const QString &p) { loadMeshNames(p); }},
    {"glossary", "glossar.dat", [](const QString &p) { LoadGlossary(p); }},
    {"manual page", "zelle_m.dat", [](const QString &p) { loadManualPage(p); }},
    {"introduction", "uebung.dat", [](const QString &p) { LoadIntroduction(p); }},
    {"self-check test", "test0.slf", [](const QString &p) { LoadSelfCheckTest(p); }},
    {"multiple-choice test", "test0.mpc", [](const QString &p) { LoadMultipleChoiceTest(p); }},
    {"cloze test", "test0.lkt", [](const QString &p) { LoadClozeTest(p); }},
    {"test list header", "test1.mpc", [](const QString &p) { LoadTestHeader(p); }},
};

// Name, size and time of every entry below dir: what "nothing written" compares.
std::map<QString, QString> snapshot(const QString &dir)
{
    std::map<QString, QString> out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        out[info.filePath()] =
            QString::number(info.size()) + " " + info.lastModified().toString(Qt::ISODateWithMs);
    }
    return out;
}

// A German refusal that names the file.
void expectGermanNaming(const QString &message, const QString &path, const std::string &what)
{
    EXPECT_TRUE(message.contains(path)) << what << ": " << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("datei"), Qt::CaseInsensitive))
        << what << ": " << message.toStdString();
    for (const char *english : {"cannot", "error", "failed", "file "})
        EXPECT_FALSE(message.contains(QLatin1String(english), Qt::CaseInsensitive))
            << what << ": " << message.toStdString();
}

QString place(const QTemporaryDir &dir, const char *fileName, Damage damage, const QByteArray &bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(fileName));
    switch (damage) {
    case Damage::Bytes: {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        break;
    }
    case Damage::Folder:
        QDir().mkpath(path);
        break;
    case Damage::Missing:
        break;
    case Damage::Unreadable:
        if (geteuid() != 0) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
            f.setPermissions(QFileDevice::Permissions());
        } else {
            // Permissions do not stop root: a link to nowhere cannot be opened either.
            QFile::link(dir.filePath("nirgends/weg.dat"), path);
        }
        break;
    case Damage::ReadError:
        // Opens, but every read fails.
        QFile::link(QStringLiteral("/proc/self/mem"), path);
        break;
    }
    return path;
}

} // namespace

TEST(DamagedFiles, UnreachableFilesOfEveryKindAreRefusedInGermanNamingTheFile)
{
    for (const Reader &r : kReaders) {
        for (const Damage damage : {Damage::Folder, Damage::Missing, Damage::Unreadable, Damage::ReadError}) {
            QTemporaryDir dir;
            const QString path = place(dir, r.fileName, damage, kSlf);
            const auto before = snapshot(dir.path());
            const std::string what = std::string(r.name) + ", damage " + std::to_string(int(damage));
            try {
                r.read(path);
                ADD_FAILURE() << what << ": accepted";
            } catch (const std::runtime_error &e) {
                expectGermanNaming(QString::fromUtf8(e.what()), path, what);
            }
            EXPECT_EQ(snapshot(dir.path()), before) << what << ": wrote something";
        }
    }
}

TEST(DamagedFiles, DamagedContentIsLoadedAsFarAsItGoesOrRefusedNamingTheFile)
{
    struct Case
    {
        const char *name;
        const char *fileName;
        QByteArray bytes;
        Outcome outcome;
        std::function<void(const QString &)> read;
    };
    using Read = std::function<void(const QString &)>;
    const Read organell = [](const QString &p) { readOrganellFile(p); };
    const Read slf = [](const QString &p) { LoadSelfCheckTest(p); };
    const Read mpc = [](const QString &p) { LoadMultipleChoiceTest(p); };
    const Read lkt = [](const QString &p) { LoadClozeTest(p); };
    std::vector<Case> cases = {
        {"empty organelle file", "org0.organell", {}, Outcome::Loads, organell},
        {"organelle length past the end", "org0.organell", le32(0x7FFFFFFF) + "Kern", Outcome::Loads,
         organell},
        {"negative organelle length", "org0.organell", le32(-1) + str("Kern"), Outcome::Loads, organell},
        {"empty mesh name list",
         "meshes.dat",
         {},
         Outcome::Loads,
         [](const QString &p) { loadMeshNames(p); }},
        {"glossary with a partial record", "glossar.dat", QByteArray(868 + 100, '\xFF'), Outcome::Loads,
         [](const QString &p) { EXPECT_EQ(LoadGlossary(p).size(), 1); }},
        {"empty manual page", "zelle_m.dat", {}, Outcome::Loads, [](const QString &p) { loadManualPage(p); }},
        {"empty self-check test", "test0.slf", {}, Outcome::Refused, slf},
        {"self-check title length past the end", "test0.slf", "SZELLE-SELBST-01" + le32(0x7FFFFFFF) + "T",
         Outcome::Refused, slf},
        {"self-check question count past the end", "test0.slf",
         "SZELLE-SELBST-01" + str("T") + le32(0x7FFFFFFF), Outcome::Refused, slf},
        {"multiple-choice option count negative", "test0.mpc",
         "MZELLE-AUSWAHL01" + str("T") + le32(1) + str("F") + QByteArray("\x01\x00", 2) + le32(-1),
         Outcome::Refused, mpc},
        {"cloze answer count past the end", "test0.lkt",
         "LZELLE-LUECKE-01" + str("T") + le32(1) + str("#4") + le32(100000), Outcome::Refused, lkt},
        {"empty test list header",
         "test1.mpc",
         {},
         Outcome::Refused,
         [](const QString &p) { LoadTestHeader(p); }},
    };
    // Every test file cut at every byte inside it.
    const std::tuple<const char *, QByteArray, Read> whole[] = {
        {"self-check", kSlf, slf}, {"multiple-choice", kMpc, mpc}, {"cloze", kLkt, lkt}};
    for (const auto &[kind, bytes, read] : whole) {
        for (qsizetype n = 0; n < bytes.size(); ++n)
            cases.push_back({kind, "kaputt.test", bytes.left(n), Outcome::Refused, read});
    }

    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString path = place(dir, c.fileName, Damage::Bytes, c.bytes);
        const auto before = snapshot(dir.path());
        const std::string what = std::string(c.name) + " (" + std::to_string(c.bytes.size()) + " bytes)";
        try {
            c.read(path);
            EXPECT_EQ(c.outcome, Outcome::Loads) << what << ": accepted";
        } catch (const std::runtime_error &e) {
            EXPECT_EQ(c.outcome, Outcome::Refused) << what << ": " << e.what();
            expectGermanNaming(QString::fromUtf8(e.what()), path, what);
        }
        EXPECT_EQ(snapshot(dir.path()), before) << what << ": wrote something";
    }
}

TEST(DamagedFiles, OnlyTheThreeTestExtensionsAreOpenedAsTests)
{
    for (const char *name : {"zelle.txt", "zelle.slf.bak", "zelle", "zelle.dat", "zelle.usr"})
        EXPECT_EQ(testKindOfPath(QString::fromLatin1(name)), TestKind::Unknown) << name;
}

TEST(DamagedFiles, ADamagedProfileIsNotImportedAndNothingIsWritten)
{
    QTemporaryDir profiles, outside;
    TProfileStore store(profiles.path());
    store.LoadProfileIndex();
    ASSERT_TRUE(store.EnsureFolder());
    ASSERT_TRUE(store.CreateProfile("Anna", "pw1"));
    const QByteArray digest(32, 'a');
    struct Case
    {
        const char *name;
        QByteArray bytes;
        Damage damage = Damage::Bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"name length only", le32(4)},
        {"name length past the end", le32(0x7FFFFFFF) + "Ben"},
        {"negative name length", le32(-4) + "Ben" + digest},
        {"digest cut short", str("Ben") + digest.left(31)},
        {"a folder", {}, Damage::Folder},
        {"missing", {}, Damage::Missing},
        {"unreadable", str("Ben") + digest, Damage::Unreadable},
    };
    for (const Case &c : cases) {
        const QString path = place(outside, "ben0.usr", c.damage, c.bytes);
        const auto before = snapshot(profiles.path());
        QString reported;
        QObject::connect(&store, &TProfileStore::Failed, [&](const QString &text) { reported = text; });
        EXPECT_FALSE(store.ImportProfile(path)) << c.name;
        EXPECT_FALSE(store.SignedIn()) << c.name;
        EXPECT_FALSE(reported.isEmpty()) << c.name;
        // German, and naming the file the teacher or pupil chose.
        EXPECT_TRUE(
            reported.contains(QStringLiteral("\u201Eben0.usr\u201C")) &&
            (reported.contains(QStringLiteral("Datei")) || reported.contains(QStringLiteral("Lernprofil"))))
            << c.name << ": " << reported.toStdString();
        EXPECT_EQ(snapshot(profiles.path()), before) << c.name << ": wrote into the profile folder";
        store.disconnect();
        QFile::remove(path);
        QDir(path).removeRecursively();
    }
    // The store goes on: the existing profile still signs in.
    EXPECT_TRUE(store.SignIn(store.FindProfile("Anna", "pw1")));
}

TEST(DamagedFiles, DamagedIndexLinesAreSkippedAndTheRestSignsIn)
{
    QTemporaryDir profiles;
    const QByteArray digest = TProfileStore::PasswordDigest("pw1");
    QFile f(QDir(profiles.path()).filePath("index.usr"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("kaputt ohne Trenner\r\n|\r\nAnna|" + digest + "|anna0.usr\r\nBen|kurz|../../weg.usr\r\n");
    f.close();
    const auto before = snapshot(profiles.path());
    TProfileStore store(profiles.path());
    store.LoadProfileIndex();
    EXPECT_EQ(snapshot(profiles.path()), before);
    EXPECT_GE(store.FindProfile("Anna", "pw1"), 0);
    EXPECT_EQ(store.FindProfile("Ben", "kurz"), -1);
}

TEST(DamagedFiles, TheBitmapLoaderReportsOneLineAndTheNextTextureLoads)
{
    QTemporaryDir dir;
    // A good 1 x 1 24-bit bitmap without a file header, and damaged ones.
    QByteArray good;
    for (int32_t v : {40, 1, 1})
        appendInt32(good, v);
    good += QByteArray("\x01\x00\x18\x00", 4) + QByteArray(24, '\0') + QByteArray("\x10\x20\x30\x00", 4);
    struct Case
    {
        const char *name;
        QByteArray bytes;
        Damage damage;
        const char *line; // what standard error must say, %s for the path
    };
    const Case cases[] = {
        {"empty", {}, Damage::Bytes, "Failed to open DIB file %s.\n"},
        {"missing", {}, Damage::Missing, "Failed to open DIB file %s.\n"},
        {"a folder", {}, Damage::Folder, "Failed to open DIB file %s.\n"},
        {"unreadable", good, Damage::Unreadable, "Failed to open DIB file %s.\n"},
        {"read error", {}, Damage::ReadError, "Failed to open DIB file %s.\n"},
        {"108-byte header", le32(108) + good.mid(4), Damage::Bytes, "Unknown DIB file format.\n"},
        {"pixels cut off", good.left(40), Damage::Bytes, "Image file conversion error.\n"},
        {"absurd size", good.left(4) + le32(1 << 20) + le32(1 << 20) + good.mid(12), Damage::Bytes,
         "Out of memory.\n"},
    };
    for (const Case &c : cases) {
        const QString path = place(dir, "tex0.tex", c.damage, c.bytes);
        fflush(stderr);
        char captured[] = "/tmp/vellora-stderr-XXXXXX";
        const int fd = mkstemp(captured);
        ASSERT_GE(fd, 0);
        const int saved = dup(2);
        dup2(fd, 2);
        zelle::Image image;
        const bool loaded = zelle::loadDib(path.toStdString(), image);
        fflush(stderr);
        dup2(saved, 2);
        close(saved);
        QFile out(QString::fromLatin1(captured));
        out.open(QIODevice::ReadOnly);
        const QByteArray said = out.readAll();
        out.remove();
        close(fd);
        EXPECT_FALSE(loaded) << c.name;
        EXPECT_EQ(said, QString::fromLatin1(c.line).replace("%s", path).toUtf8()) << c.name;
        EXPECT_EQ(said.count('\n'), 1) << c.name;
        QFile::remove(path);
        QDir(path).removeRecursively();

        // The next texture loads as if nothing had happened.
        const QString next = place(dir, "tex1.tex", Damage::Bytes, good);
        zelle::Image ok;
        EXPECT_TRUE(zelle::loadDib(next.toStdString(), ok)) << c.name;
        EXPECT_EQ(ok.rgb, (std::vector<uint8_t>{0x30, 0x20, 0x10})) << c.name;
    }
}
