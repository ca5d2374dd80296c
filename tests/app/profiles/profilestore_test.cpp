#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <sys/resource.h>
#include <vector>

#include "profilefiles.h"
#include "profilestore.h"

namespace pf = vellora::profiles;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << '"' << b.toStdString() << '"';
}
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// The digest written out step by step from its definition, 1-based like the definition.
std::string referenceDigest(const std::string &password)
{
    std::vector<unsigned> p(1, 0); // p[0] unused
    for (unsigned char c : password)
        p.push_back(c);
    const unsigned long long L = password.size();
    unsigned long long s = 0;
    for (unsigned long long i = 1; i <= L; ++i)
        s = (s + L * i * p[i]) % 256;
    unsigned long long seed = (L + s) % 4294967296ULL;
    auto draw = [&seed](unsigned long long n) {
        seed = (seed * 134775813ULL + 1ULL) % 4294967296ULL;
        return (seed * n) / 4294967296ULL;
    };
    while (p.size() - 1 < 34)
        p.push_back(static_cast<unsigned>(draw(255)));
    std::string out;
    for (int i = 1; i <= 32; ++i) {
        unsigned long long c = (p[i] + draw(p[i + 1])) % 256;
        while (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            c = (c + 17) % 256;
        out += static_cast<char>(c);
    }
    return out;
}

QByteArray le32(int32_t v)
{
    QByteArray b(4, '\0');
    for (int k = 0; k < 4; ++k)
        b[k] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    return b;
}

// A profile file laid out by hand: N, name, digest, then results.
QByteArray profileBytes(const QByteArray &name, const QByteArray &digest,
                        const QList<TTestResult> &results = {})
{
    QByteArray b = le32(name.size()) + name + digest;
    for (const TTestResult &r : results)
        b += r.TestID + le32(r.Time) + le32(r.Total) + le32(r.Right);
    return b;
}

TTestResult result(const char *id16, int32_t time, int32_t total, int32_t right)
{
    return TTestResult{QByteArray(id16, 16), time, total, right};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

const QByteArray kDigestA = "qcajkf6o5554c30oqnq4md7iobhq4o5n"; // digest of "a"

// Records what the store tells: how often it asked for a refresh, and each failure text.
struct Listener
{
    explicit Listener(TProfileStore *store)
    {
        QObject::connect(store, &TProfileStore::ProfileChanged, &context, [this] { ++changed; });
        QObject::connect(store, &TProfileStore::Failed, &context, [this](const QString &t) { failed << t; });
    }
    QObject context; // ends the connections with the listener
    int changed = 0;
    QStringList failed;
};

class ProfileStoreTest : public ::testing::Test
{
  protected:
    QTemporaryDir tmp;
    QString folder() const { return tmp.path() + QStringLiteral("/Vellora/Profile/"); }
    QString index() const { return folder() + QStringLiteral("index.usr"); }
    std::unique_ptr<TProfileStore> newStore()
    {
        auto s = std::make_unique<TProfileStore>(folder());
        s->LoadProfileIndex();
        EXPECT_TRUE(s->EnsureFolder());
        return s;
    }
};

} // namespace

TEST(PasswordDigest, MatchesTheDefinition)
{
    // Fixed values from an independent computation, and the step-by-step definition above.
    const struct
    {
        const char *password;
        const char *digest;
    } known[] = {
        {"a", "qcajkf6o5554c30oqnq4md7iobhq4o5n"},
        {"A", "hp29l1bon446m45ap1opan1b2mp97ep2"},
        {"Passwort1", "imxwq4yw7ap7qe7on2y4p1bp8npob13m"},
        {"geheim", "14po9n1p96q9742p5j51u692pq90qa5e"},
        {"GEHEIM", "otnnml0oo16p36qq6a98cb780uq93846"},
        {"0", "mao8aq96q2bf048a09bo8e0mdg9872f2"},
        {"abcdefghijklmnopqrstuvwxyzABCD", "opoma44572n7q1qpa72ab594n9bugj4p"},
        {"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "6apo9bmp502p9q540qqq35660pqpb93n"},
        {"Zellkern2026Zellkern2026Zellkern20", "72xtbtnoeo5j75qmo4mo7deg8b2vbn5n"},
    };
    for (const auto &k : known) {
        EXPECT_EQ(TProfileStore::PasswordDigest(k.password), QByteArray(k.digest)) << k.password;
        EXPECT_EQ(referenceDigest(k.password), std::string(k.digest)) << k.password;
    }
    // Every length the dialog allows, every allowed character in every place, and longer.
    const std::string alphabet = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (size_t len = 1; len <= 40; ++len) {
        for (size_t start = 0; start < alphabet.size(); start += 7) {
            std::string pw;
            for (size_t k = 0; k < len; ++k)
                pw += alphabet[(start + k * 13) % alphabet.size()];
            const QByteArray d = TProfileStore::PasswordDigest(QByteArray::fromStdString(pw));
            ASSERT_EQ(d.toStdString(), referenceDigest(pw)) << pw;
            ASSERT_TRUE(pf::validDigest(d)) << pw;
        }
    }
}

TEST(ProfileFile, ResultCountFollowsTheSize)
{
    const QByteArray head = profileBytes("Anna", kDigestA);
    const QByteArray one = result("S000000000000001", 10, 8, 5).TestID + le32(10) + le32(8) + le32(5);
    const struct
    {
        int extra;
        int results;
    } cases[] = {{0, 0}, {27, 0}, {28, 1}, {55, 1}, {56, 2}, {83, 2}};
    for (const auto &c : cases) {
        QByteArray bytes = head;
        while (bytes.size() < head.size() + c.extra)
            bytes += one;
        bytes.truncate(head.size() + c.extra);
        pf::ProfileFile out;
        ASSERT_EQ(pf::readProfileFile(bytes, out), pf::ProfileFileError::None) << c.extra;
        EXPECT_EQ(out.Results.size(), c.results) << c.extra;
        EXPECT_EQ(out.Name, QByteArray("Anna"));
        EXPECT_EQ(out.Password, kDigestA);
        if (c.results > 0) {
            EXPECT_EQ(out.Results[0], result("S000000000000001", 10, 8, 5));
        }
    }
}

TEST(ProfileFile, DamagedHeadersAreRefused)
{
    const struct
    {
        QByteArray bytes;
        pf::ProfileFileError error;
    } cases[] = {
        {QByteArray(), pf::ProfileFileError::TooShort},
        {QByteArray("\x04\x00\x00", 3), pf::ProfileFileError::TooShort},
        {le32(-1) + "Anna" + kDigestA, pf::ProfileFileError::NegativeNameLength},
        {le32(INT32_MIN) + kDigestA, pf::ProfileFileError::NegativeNameLength},
        {le32(INT32_MAX) + "Anna" + kDigestA, pf::ProfileFileError::TooShort},
        {le32(5) + "Anna" + kDigestA, pf::ProfileFileError::TooShort},          // one byte short of 36 + N
        {le32(4) + "Anna" + kDigestA.left(31), pf::ProfileFileError::TooShort}, // digest cut
    };
    for (const auto &c : cases) {
        pf::ProfileFile out;
        EXPECT_EQ(pf::readProfileFile(c.bytes, out), c.error) << c.bytes.toHex().toStdString();
    }
    pf::ProfileFile out;
    EXPECT_EQ(pf::readProfileFile(le32(0) + kDigestA, out), pf::ProfileFileError::None);
}

TEST(ProfileFile, WrittenByteForByte)
{
    const QList<TTestResult> results{result("S000000000000001", 3600, 8, 5),
                                     result("L000000000000010", -1, 4, 3)};
    const QByteArray expected = profileBytes("Anna", kDigestA, results);
    EXPECT_EQ(pf::writeProfileFile({"Anna", kDigestA, results}), expected);
    EXPECT_EQ(expected.size(), 36 + 4 + 2 * 28);
}

TEST(ProfileIndex, LinesAndDamagedLines)
{
    const QByteArray bytes = "Anna|" + kDigestA +
                             "|anna0.usr\r\n"
                             "kaputt\r\n"
                             "Bert|nur ein Strich\r\n"
                             "Eve|" +
                             kDigestA +
                             "|../../etc/passwd\r\n"
                             "Carl|" +
                             kDigestA +
                             "|carl0.usr|mit|Strichen\n"
                             "Dora|" +
                             kDigestA + "|dora0.usr";
    const QList<pf::IndexLine> lines = pf::readIndex(bytes);
    ASSERT_EQ(lines.size(), 6);
    const bool valid[] = {true, false, false, false, true, true};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(lines[i].Valid, valid[i]) << i;
    EXPECT_EQ(lines[0].User.Name, QByteArray("Anna"));
    EXPECT_EQ(lines[0].User.Password, kDigestA);
    EXPECT_EQ(lines[0].User.FileName, QByteArray("anna0.usr"));
    EXPECT_EQ(lines[4].User.FileName, QByteArray("carl0.usr|mit|Strichen")); // the rest of the line
    EXPECT_EQ(lines[1].Line, QByteArray("kaputt"));
    EXPECT_EQ(pf::writeIndex({"a|b|c", "kaputt"}), QByteArray("a|b|c\r\nkaputt\r\n"));
    EXPECT_EQ(pf::indexLine({"Anna", kDigestA, "anna0.usr"}), "Anna|" + kDigestA + "|anna0.usr");
}

TEST_F(ProfileStoreTest, FileNamesAndIndexLines)
{
    auto store = newStore();
    const struct
    {
        const char *name;
        const char *file;
    } cases[] = {
        {"Anna", "anna0.usr"},           {"ANNA2", "anna20.usr"},          {"Annabelle1", "annabell0.usr"},
        {"Annabelle2", "annabell1.usr"}, {"Annabelle99", "annabell2.usr"}, {"Zellkern", "zellkern0.usr"},
    };
    QByteArray expected;
    for (const auto &c : cases) {
        ASSERT_TRUE(store->CreateProfile(c.name, "a")) << c.name;
        expected += QByteArray(c.name) + "|" + kDigestA + "|" + c.file + "\r\n";
    }
    EXPECT_EQ(readAll(index()), expected);
    // Creating writes no profile file; the first sign-in does.
    EXPECT_EQ(filesIn(folder()), QStringList{"index.usr"});

    // A file left in the folder takes its number.
    writeAll(folder() + "bert0.usr", "x");
    ASSERT_TRUE(store->CreateProfile("Bert", "a"));
    EXPECT_EQ(store->Users().last().FileName, QByteArray("bert1.usr"));
}

TEST_F(ProfileStoreTest, FindAndNameExistsFoldOnlyAsciiLetters)
{
    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "Geheim1"));
    EXPECT_TRUE(store->NameExists("anna"));
    EXPECT_TRUE(store->NameExists("ANNA"));
    EXPECT_FALSE(store->NameExists("Ann"));
    EXPECT_EQ(store->FindProfile("ANNA", "Geheim1"), 0);
    EXPECT_EQ(store->FindProfile("Anna", "geheim1"), -1);
    EXPECT_FALSE(store->CreateProfile("aNNA", "x"));
    EXPECT_EQ(store->LastError(), QStringLiteral("Das Lernprofil konnte nicht erstellt werden, weil ein "
                                                 "Lernprofil mit diesem Namen bereits existiert."));

    // An entry with the right name but another digest is passed over.
    writeAll(index(), "Anna|" + TProfileStore::PasswordDigest("x") + "|anna0.usr\r\nANNA|" + kDigestA +
                          "|anna1.usr\r\n");
    store->LoadProfileIndex();
    EXPECT_EQ(store->FindProfile("anna", "a"), 1);
    EXPECT_EQ(store->FindProfile("anna", "x"), 0);
}

TEST_F(ProfileStoreTest, SignInRecreatesAMissingFileAndAddResultGrowsIt)
{
    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "a"));
    Listener told(store.get());
    ASSERT_TRUE(store->SignIn(0));
    EXPECT_EQ(store->Index(), 0);
    EXPECT_EQ(readAll(folder() + "anna0.usr"), profileBytes("Anna", kDigestA));
    EXPECT_GE(told.changed, 1);

    const TTestResult r = result("M000000000000003", 1234567, 10, 7);
    told.changed = 0;
    ASSERT_TRUE(store->AddResult(r));
    EXPECT_EQ(told.changed, 2); // signed out and in again
    EXPECT_EQ(store->Index(), 0);
    EXPECT_EQ(store->Results(), QList<TTestResult>{r});
    EXPECT_EQ(readAll(folder() + "anna0.usr"), profileBytes("Anna", kDigestA, {r}));

    ASSERT_TRUE(store->SaveAndSignOut());
    EXPECT_EQ(store->Index(), -1);
    EXPECT_TRUE(store->Results().isEmpty());
    EXPECT_TRUE(store->Active().Name.isEmpty());

    // Deleted by hand: signing in makes it again, without results.
    ASSERT_TRUE(QFile::remove(folder() + "anna0.usr"));
    ASSERT_TRUE(store->SignIn(0));
    EXPECT_TRUE(store->Results().isEmpty());
    EXPECT_EQ(readAll(folder() + "anna0.usr"), profileBytes("Anna", kDigestA));
}

TEST_F(ProfileStoreTest, SignInReadsNameAndResultsFromTheFile)
{
    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "a"));
    const QList<TTestResult> results{result("S000000000000001", 1, 8, 4),
                                     result("L000000000000002", 2, 4, 4)};
    // 27 stray bytes at the end are not a result.
    writeAll(folder() + "anna0.usr", profileBytes("ANNA", kDigestA, results) + QByteArray(27, 'x'));
    ASSERT_TRUE(store->SignIn(0));
    EXPECT_EQ(store->Active().Name, QByteArray("ANNA"));
    EXPECT_EQ(store->Results(), results);

    // A damaged file of one's own is not opened and not overwritten.
    ASSERT_TRUE(store->SaveAndSignOut());
    const QByteArray damaged = le32(-5) + "Anna" + kDigestA;
    writeAll(folder() + "anna0.usr", damaged);
    Listener told(store.get());
    EXPECT_FALSE(store->SignIn(0));
    EXPECT_EQ(store->Index(), -1);
    ASSERT_EQ(told.failed.size(), 1);
    EXPECT_TRUE(told.failed[0].contains(QStringLiteral("beschädigt")));
    EXPECT_EQ(readAll(folder() + "anna0.usr"), damaged);
}

TEST_F(ProfileStoreTest, DeletingTheMiddleOfThree)
{
    auto store = newStore();
    for (const char *n : {"Anna", "Bert", "Carl"})
        ASSERT_TRUE(store->CreateProfile(n, "a"));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(store->SignIn(i));
        ASSERT_TRUE(store->SaveAndSignOut());
    }
    ASSERT_TRUE(store->SignIn(1));
    ASSERT_TRUE(store->DeleteActiveProfile());
    EXPECT_EQ(store->Index(), -1);
    EXPECT_EQ(readAll(index()), "Anna|" + kDigestA + "|anna0.usr\r\nCarl|" + kDigestA + "|carl0.usr\r\n");
    EXPECT_EQ(filesIn(folder()), (QStringList{"anna0.usr", "carl0.usr", "index.usr"}));
    ASSERT_EQ(store->Users().size(), 2);
    EXPECT_EQ(store->Users()[1].Name, QByteArray("Carl"));
    EXPECT_EQ(store->FindProfile("Carl", "a"), 1);
}

TEST_F(ProfileStoreTest, DamagedIndexLinesAreSkippedButKept)
{
    QDir().mkpath(folder());
    writeAll(index(), "Anna|" + kDigestA + "|anna0.usr\r\nohne Trenner\r\nEve|x|../ausserhalb.usr\r\n");
    testing::internal::CaptureStderr();
    auto store = newStore();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ohne Trenner"), std::string::npos);
    EXPECT_NE(err.find("../ausserhalb.usr"), std::string::npos);
    ASSERT_EQ(store->Users().size(), 1);
    ASSERT_TRUE(store->CreateProfile("Bert", "a"));
    EXPECT_EQ(readAll(index()), "Anna|" + kDigestA +
                                    "|anna0.usr\r\nohne Trenner\r\nEve|x|../ausserhalb.usr\r\nBert|" +
                                    kDigestA + "|bert0.usr\r\n");
    ASSERT_TRUE(store->SignIn(1));
    ASSERT_TRUE(store->DeleteActiveProfile());
    EXPECT_EQ(readAll(index()),
              "Anna|" + kDigestA + "|anna0.usr\r\nohne Trenner\r\nEve|x|../ausserhalb.usr\r\n");
}

TEST_F(ProfileStoreTest, ImportRefusesWhatTheDialogCouldNotHaveMade)
{
    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "a"));
    ASSERT_TRUE(store->SignIn(0));
    const QByteArray indexBefore = readAll(index());
    const QByteArray fileBefore = readAll(folder() + "anna0.usr");
    const QString invalid = QStringLiteral(
        "Die Datei \u201Eimport.usr\u201C ist kein gültiges Lernprofil. Es wurde nichts importiert.");
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"slash", profileBytes("../../x", kDigestA), invalid},
        {"dots", profileBytes("..", kDigestA), invalid},
        {"bar", profileBytes("Bo|b", kDigestA), invalid},
        {"control byte", profileBytes(QByteArray("Bo\nb"), kDigestA), invalid},
        {"umlaut", profileBytes("J\xfcrgen", kDigestA), invalid},
        {"empty name", profileBytes("", kDigestA), invalid},
        {"31 bytes", profileBytes(QByteArray(31, 'b'), kDigestA), invalid},
        {"negative length", le32(-4) + "Bert" + kDigestA, invalid},
        {"oversized length", le32(1000) + "Bert" + kDigestA, invalid},
        {"shorter than 36 + N", profileBytes("Bert", kDigestA).chopped(1), invalid},
        {"digest with a bar", profileBytes("Bert", kDigestA.left(31) + "|"), invalid},
        {"name exists", profileBytes("aNNa", kDigestA),
         QStringLiteral("Das ausgewählte Lernprofil konnte nicht importiert werden, weil ein Lernprofil "
                        "mit diesem Namen bereits vorhanden ist.")},
    };
    QTemporaryDir outside;
    for (const auto &c : cases) {
        const QString path = outside.path() + "/import.usr";
        writeAll(path, c.bytes);
        Listener told(store.get());
        EXPECT_FALSE(store->ImportProfile(path)) << c.what;
        ASSERT_EQ(told.failed.size(), 1) << c.what;
        EXPECT_EQ(told.failed[0], c.message) << c.what;
        EXPECT_EQ(readAll(index()), indexBefore) << c.what;
        EXPECT_EQ(filesIn(folder()), (QStringList{"anna0.usr", "index.usr"})) << c.what;
        EXPECT_EQ(readAll(folder() + "anna0.usr"), fileBefore) << c.what;
        EXPECT_EQ(store->Index(), 0) << c.what; // still signed in
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{"Vellora"});
    }
}

TEST_F(ProfileStoreTest, ImportCopiesWholeAndSignsIn)
{
    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "a"));
    ASSERT_TRUE(store->SignIn(0));
    const QList<TTestResult> results{result("S000000000000001", 5, 8, 4),
                                     result("M000000000000002", 6, 3, 3)};
    const QByteArray bytes = profileBytes("Annabelle", kDigestA, results) + "xyz"; // tail copied as is
    QTemporaryDir outside;
    writeAll(outside.path() + "/sicherung.usr", bytes);
    ASSERT_TRUE(store->ImportProfile(outside.path() + "/sicherung.usr"));
    EXPECT_EQ(readAll(folder() + "annabell0.usr"), bytes);
    EXPECT_EQ(readAll(folder() + "anna0.usr"), profileBytes("Anna", kDigestA)); // written at sign-out
    EXPECT_EQ(readAll(index()),
              "Anna|" + kDigestA + "|anna0.usr\r\nAnnabelle|" + kDigestA + "|annabell0.usr\r\n");
    EXPECT_EQ(store->Index(), 1);
    EXPECT_EQ(store->Results(), results);
}

TEST_F(ProfileStoreTest, ExportAddsUsrOnlyWhenMissing)
{
    const struct
    {
        const char *chosen;
        const char *written;
    } names[] = {
        {"sicherung", "sicherung.usr"},
        {"sicherung.usr", "sicherung.usr"},
        {"SICHERUNG.USR", "SICHERUNG.USR"},
        {"sicherung.Usr", "sicherung.Usr"},
        {"sicherung.usr.bak", "sicherung.usr.bak.usr"},
        {"usr", "usr.usr"},
    };
    for (const auto &n : names)
        EXPECT_EQ(TProfileStore::ExportFileName(n.chosen), QString(n.written)) << n.chosen;

    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "a"));
    ASSERT_TRUE(store->SignIn(0));
    ASSERT_TRUE(store->AddResult(result("L000000000000004", 9, 4, 3)));
    QTemporaryDir outside;
    writeAll(outside.path() + "/alt.usr", "alter Inhalt");
    EXPECT_EQ(store->ExportActiveProfile(outside.path() + "/alt"), outside.path() + "/alt.usr");
    EXPECT_EQ(readAll(outside.path() + "/alt.usr"), readAll(folder() + "anna0.usr"));

    Listener told(store.get());
    EXPECT_TRUE(store->ExportActiveProfile(outside.path() + "/fehlt/x").isEmpty());
    ASSERT_EQ(told.failed.size(), 1);
    EXPECT_TRUE(told.failed[0].startsWith(QStringLiteral("Das Lernprofil konnte nicht nach")));
}

// The process may write files of at most `bytes` bytes while it lives; writes beyond fail
// part-way, as on a full disk.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lim = old_;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

  private:
    rlimit old_{};
};

TEST_F(ProfileStoreTest, AFailedWriteLeavesTheOldFiles)
{
    auto store = newStore();
    ASSERT_TRUE(store->CreateProfile("Anna", "a"));
    ASSERT_TRUE(store->SignIn(0));
    for (int k = 0; k < 10; ++k)
        ASSERT_TRUE(store->AddResult(result("S000000000000001", k, 8, k % 8)));
    const QByteArray profileBefore = readAll(folder() + "anna0.usr");
    const QByteArray indexBefore = readAll(index());
    ASSERT_EQ(profileBefore.size(), 36 + 4 + 10 * 28);
    {
        FileSizeLimit limit(profileBefore.size() + 10); // the next save stops 18 bytes short
        Listener told(store.get());
        EXPECT_FALSE(store->AddResult(result("S000000000000001", 99, 8, 8)));
        ASSERT_EQ(told.failed.size(), 1);
        EXPECT_EQ(told.failed[0],
                  QStringLiteral("Die Datei \u201Eanna0.usr\u201C konnte nicht "
                                 "gespeichert werden. Die bisherige Fassung bleibt erhalten."));
        EXPECT_EQ(readAll(folder() + "anna0.usr"), profileBefore);
        EXPECT_EQ(store->Index(), 0); // still signed in, the result kept for the next save
        EXPECT_EQ(store->Results().size(), 11);
    }
    {
        FileSizeLimit limit(indexBefore.size() + 5);
        EXPECT_FALSE(store->CreateProfile("Bert", "a"));
        EXPECT_EQ(readAll(index()), indexBefore);
        EXPECT_FALSE(store->NameExists("Bert"));
    }
    EXPECT_EQ(filesIn(folder()), (QStringList{"anna0.usr", "index.usr"})); // no temporary left
    ASSERT_TRUE(store->SaveAndSignOut());
    EXPECT_EQ(readAll(folder() + "anna0.usr").size(), 36 + 4 + 11 * 28);
}

TEST_F(ProfileStoreTest, TwoCopiesOnOneFolderKeepEachOthersChanges)
{
    auto a = newStore();
    auto b = newStore(); // loaded before a creates anything
    ASSERT_TRUE(a->CreateProfile("Annabelle1", "a"));
    ASSERT_TRUE(b->CreateProfile("Annabelle2", "a"));
    EXPECT_EQ(readAll(index()),
              "Annabelle1|" + kDigestA + "|annabell0.usr\r\nAnnabelle2|" + kDigestA + "|annabell1.usr\r\n");
    EXPECT_FALSE(a->CreateProfile("ANNABELLE2", "a")); // known to a only through the file

    // Both sign in to one profile and finish a test each: both results stay.
    a->ReloadIndex();
    ASSERT_TRUE(a->SignIn(a->FindProfile("Annabelle1", "a")));
    ASSERT_TRUE(b->SignIn(b->FindProfile("Annabelle1", "a")));
    const TTestResult ra = result("S000000000000001", 1, 8, 1), rb = result("M000000000000002", 2, 8, 2);
    ASSERT_TRUE(a->AddResult(ra));
    ASSERT_TRUE(b->AddResult(rb));
    ASSERT_TRUE(a->SaveAndSignOut());
    pf::ProfileFile disk;
    ASSERT_EQ(pf::readProfileFile(readAll(folder() + "annabell0.usr"), disk), pf::ProfileFileError::None);
    EXPECT_EQ(disk.Results, (QList<TTestResult>{ra, rb}));

    // b deletes a profile that a had loaded: a's later change keeps the deletion.
    ASSERT_TRUE(b->SignIn(b->FindProfile("Annabelle2", "a")));
    ASSERT_TRUE(b->DeleteActiveProfile());
    ASSERT_TRUE(a->CreateProfile("Carl", "a"));
    EXPECT_EQ(readAll(index()),
              "Annabelle1|" + kDigestA + "|annabell0.usr\r\nCarl|" + kDigestA + "|carl0.usr\r\n");
}

TEST_F(ProfileStoreTest, ChangesWaitForTheLock)
{
    auto store = newStore();
    store->SetLockTimeout(0);
    QLockFile other(folder() + "index.lock");
    ASSERT_TRUE(other.tryLock(0));
    Listener told(store.get());
    EXPECT_FALSE(store->CreateProfile("Anna", "a"));
    ASSERT_EQ(told.failed.size(), 1);
    EXPECT_TRUE(told.failed[0].contains(QStringLiteral("gesperrt")));
    EXPECT_FALSE(QFile::exists(index()));
    other.unlock();
    EXPECT_TRUE(store->CreateProfile("Anna", "a"));
}
