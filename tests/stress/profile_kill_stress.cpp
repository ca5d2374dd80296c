// Kills a process that keeps saving results through the profile store with SIGKILL at random
// moments, then checks that "index.usr" and every profile file are whole and hold everything
// whose save had returned. Usage: profile_kill_stress [kills] [folder]
//
// The child reports each save that returned through a pipe, one record per save, before it
// starts the next one; whatever the parent has read is what must be in the files.

#include "profilefiles.h"
#include "profilestore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace vellora::profiles;

const QByteArray kPassword = "geheim1";

// What the child tells the parent after a save returned.
struct Ack
{
    char kind;       // 'R' result appended, 'P' profile created
    int32_t profile; // which profile: its number in the name "Lerner<n>"
    int32_t sequence;
};

QByteArray profileName(int n)
{
    return "Lerner" + QByteArray::number(n);
}

QByteArray testId(int sequence)
{
    QByteArray id = "SSTRESS-" + QByteArray::number(sequence).rightJustified(8, '0');
    return id.left(kTestIdSize);
}

void writeAck(int fd, const Ack &ack)
{
    // Small writes to a pipe are atomic, so the parent never sees half a record.
    if (write(fd, &ack, sizeof ack) != ssize_t(sizeof ack))
        _exit(3);
}

// The child: signs in to one profile after another and appends results without end; now and
// then it creates a new profile, so that "index.usr" is rewritten too.
[[noreturn]] void child(const QString &folder, int fd, int round, int firstSequence)
{
    TProfileStore store(folder);
    store.LoadProfileIndex();
    store.EnsureFolder();
    std::mt19937 rng{static_cast<unsigned>(round)};
    int sequence = firstSequence;
    for (;;) {
        if (rng() % 8 == 0) {
            const int n = 1000 + round * 100 + int(rng() % 100);
            if (!store.NameExists(profileName(n)) && store.CreateProfile(profileName(n), kPassword))
                writeAck(fd, Ack{'P', n, 0});
        }
        const int n = int(rng() % 3);
        if (store.SignedIn())
            store.SaveAndSignOut();
        const int index = store.FindProfile(profileName(n), kPassword);
        if (index < 0 || !store.SignIn(index))
            _exit(4);
        for (int k = 0; k < 5; ++k) {
            TTestResult r;
            r.TestID = testId(sequence);
            r.Time = sequence;
            r.Total = 10;
            r.Right = sequence % 11;
            if (!store.AddResult(r))
                _exit(5);
            writeAck(fd, Ack{'R', n, sequence});
            ++sequence;
        }
    }
}

QByteArray readFile(const QString &path, bool *ok)
{
    QFile f(path);
    *ok = f.open(QIODevice::ReadOnly);
    return *ok ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char **argv)
{
    const int kills = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir scratch;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : scratch.path();
    QDir().mkpath(folder);

    // Three profiles to start with, each signed in once so that its file exists.
    {
        TProfileStore store(folder);
        store.LoadProfileIndex();
        store.EnsureFolder();
        for (int n = 0; n < 3; ++n) {
            if (!store.CreateProfile(profileName(n), kPassword) ||
                !store.SignIn(store.FindProfile(profileName(n), kPassword)) || !store.SaveAndSignOut()) {
                std::fprintf(stderr, "set-up failed: %s\n", qPrintable(store.LastError()));
                return 2;
            }
        }
    }

    std::mt19937 rng(20261210);
    std::map<int, std::set<int>> acknowledged; // profile -> sequences whose save returned
    std::set<int> createdProfiles = {0, 1, 2};
    int sequence = 0, damaged = 0, missingResults = 0, missingProfiles = 0, childFailures = 0;
    long totalAcks = 0;

    for (int round = 0; round < kills; ++round) {
        int fds[2];
        if (pipe(fds) != 0)
            return 2;
        const int first = sequence;
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            child(folder, fds[1], round, first);
        }
        close(fds[1]);
        // A random moment: anywhere from before the child's first save to well into its work.
        usleep(useconds_t(rng() % 150000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)) {
            ++childFailures;
            std::fprintf(stderr, "round %d: the child ended by itself (status %d)\n", round, status);
        }
        Ack ack;
        while (read(fds[0], &ack, sizeof ack) == ssize_t(sizeof ack)) {
            ++totalAcks;
            if (ack.kind == 'R') {
                acknowledged[ack.profile].insert(ack.sequence);
                sequence = std::max(sequence, ack.sequence + 1);
            } else {
                createdProfiles.insert(ack.profile);
            }
        }
        close(fds[0]);
        // A result the child had started but not acknowledged may or may not be in the file;
        // the next child starts behind it so that sequence numbers stay unique.
        sequence += 5;

        // The index: every line valid, every acknowledged profile present, its file whole.
        bool ok = false;
        const QByteArray index = readFile(QDir(folder).filePath("index.usr"), &ok);
        std::map<QByteArray, QByteArray> fileOf;
        bool indexWhole = ok && (index.isEmpty() || index.endsWith("\r\n"));
        for (const IndexLine &line : readIndex(index)) {
            if (!line.Valid)
                indexWhole = false;
            else
                fileOf[line.User.Name] = line.User.FileName;
        }
        if (!indexWhole) {
            ++damaged;
            std::fprintf(stderr, "round %d: index.usr damaged\n", round);
        }
        for (int n : createdProfiles) {
            if (!fileOf.count(profileName(n))) {
                ++missingProfiles;
                std::fprintf(stderr, "round %d: profile %d missing from index.usr\n", round, n);
            }
        }
        for (const auto &[name, fileName] : fileOf) {
            const QString path = QDir(folder).filePath(QString::fromLocal8Bit(fileName));
            if (!QFile::exists(path))
                continue; // created but never signed in
            bool read = false;
            const QByteArray bytes = readFile(path, &read);
            ProfileFile profile;
            const bool whole = read && readProfileFile(bytes, profile) == ProfileFileError::None &&
                               profile.Name == name &&
                               (bytes.size() - 4 - profile.Name.size() - kDigestLength) % kResultSize == 0;
            if (!whole) {
                ++damaged;
                std::fprintf(stderr, "round %d: %s damaged (%lld bytes)\n", round, fileName.constData(),
                             qlonglong(bytes.size()));
                continue;
            }
            if (!name.startsWith("Lerner"))
                continue;
            const int n = name.mid(6).toInt();
            std::set<int> inFile;
            for (const TTestResult &r : profile.Results)
                inFile.insert(r.Time);
            for (int s : acknowledged[n]) {
                if (!inFile.count(s)) {
                    ++missingResults;
                    std::fprintf(stderr, "round %d: result %d of %s lost\n", round, s, name.constData());
                }
            }
        }
        if ((round + 1) % 100 == 0)
            std::printf(
                "%d kills, %ld saves acknowledged, %d damaged files, %d lost results, %d lost profiles\n",
                round + 1, totalAcks, damaged, missingResults, missingProfiles);
        std::fflush(stdout);
    }

    std::printf("kills: %d\nsaves acknowledged: %ld\ndamaged files: %d\nlost results: %d\nlost profiles: %d\n"
                "children that ended by themselves: %d\n",
                kills, totalAcks, damaged, missingResults, missingProfiles, childFailures);
    return damaged + missingResults + missingProfiles + childFailures == 0 ? 0 : 1;
}
