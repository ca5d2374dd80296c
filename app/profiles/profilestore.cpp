#include "profilestore.h"

#include "base/asciifold.h"
#include "base/cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>

namespace pf = vellora::profiles;

namespace {

constexpr auto kIndexName = "index.usr";
constexpr auto kLockName = "index.lock";

QString quoted(const QString &text)
{
    return QStringLiteral("\u201E%1\u201C").arg(text);
}

QString invalidFileText(const QString &path)
{
    return QStringLiteral("Die Datei %1 ist kein gültiges Lernprofil. Es wurde nichts importiert.")
        .arg(quoted(QFileInfo(path).fileName()));
}

// Qt 6.4's commit() does not notice a failed final flush (QTBUG-75077) and would put a
// truncated file in place of the old one; flushing first catches it.
bool saveWhole(QSaveFile &file, const QByteArray &bytes)
{
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
           file.commit();
}

} // namespace

// Held while the folder changes, so that two copies of the program on one folder (a roaming
// profile open on two computers) take turns.
class TProfileStore::Lock
{
  public:
    Lock(const QString &folder, int timeoutMs) : file_(folder + QLatin1String(kLockName))
    {
        QDir().mkpath(folder);
        locked_ = file_.tryLock(timeoutMs);
    }
    ~Lock()
    {
        if (locked_)
            file_.unlock();
    }
    bool locked() const { return locked_; }

  private:
    QLockFile file_;
    bool locked_ = false;
};

TProfileStore::TProfileStore(const QString &folder, QObject *parent)
    : QObject(parent), folder_(folder.isEmpty() ? DefaultFolder() : folder)
{
    if (!folder_.endsWith(QLatin1Char('/')))
        folder_ += QLatin1Char('/');
}

TProfileStore::~TProfileStore() = default;

QString TProfileStore::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vellora/Profile/");
}

bool TProfileStore::fail(const QString &text)
{
    lastError_ = text;
    emit Failed(text);
    return false;
}

bool TProfileStore::readIndexFile()
{
    const QString path = folder_ + QLatin1String(kIndexName);
    QByteArray bytes;
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Die Liste der Lernprofile %1 kann nicht gelesen werden.")
                            .arg(quoted(QLatin1String(kIndexName))));
        bytes = file.readAll();
    }
    setIndex(bytes);
    return true;
}

void TProfileStore::setIndex(const QByteArray &bytes)
{
    lines_.clear();
    users_.clear();
    userLine_.clear();
    const QList<pf::IndexLine> entries = pf::readIndex(bytes);
    for (const pf::IndexLine &e : entries) {
        if (e.Valid) {
            users_.append(e.User);
            userLine_.append(lines_.size());
        } else if (!reportedDamaged_.contains(e.Line)) {
            // Kept in the file so that nothing is lost; a teacher can mend it by hand.
            reportedDamaged_.insert(e.Line);
            std::fprintf(stderr, "Vellora: index.usr, Zeile %d ist beschädigt und wird übersprungen: %s\n",
                         int(lines_.size()) + 1, e.Line.constData());
        }
        lines_.append(e.Line);
    }
}

bool TProfileStore::writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!saveWhole(file, bytes)) {
        file.cancelWriting();
        return fail(QStringLiteral("Die Datei %1 konnte nicht gespeichert werden. Die bisherige Fassung "
                                   "bleibt erhalten.")
                        .arg(quoted(QFileInfo(path).fileName())));
    }
    return true;
}

bool TProfileStore::writeIndexFile(const QList<QByteArray> &lines)
{
    const QByteArray bytes = pf::writeIndex(lines);
    if (!writeFile(folder_ + QLatin1String(kIndexName), bytes))
        return false;
    setIndex(bytes);
    return true;
}

int TProfileStore::findUserByFile(const QByteArray &fileName) const
{
    for (int i = 0; i < users_.size(); ++i)
        if (users_[i].FileName == fileName)
            return i;
    return -1;
}

QString TProfileStore::filePath(const QByteArray &fileName) const
{
    return folder_ + vellora::fromCp1252(fileName);
}

void TProfileStore::LoadProfileIndex()
{
    if (!readIndexFile())
        setIndex({});
    active_ = TUserProfile();
}

bool TProfileStore::EnsureFolder()
{
    if (QDir().mkpath(folder_))
        return true;
    return fail(QStringLiteral("Der Ordner für die Lernprofile %1 kann nicht angelegt werden.")
                    .arg(quoted(QDir::toNativeSeparators(folder_))));
}

void TProfileStore::ReloadIndex()
{
    if (!readIndexFile())
        return;
    remapActive();
}

void TProfileStore::remapActive()
{
    if (!SignedIn())
        return;
    const int i = findUserByFile(active_.FileName);
    if (i >= 0) {
        active_.Index = i;
        return;
    }
    // Another copy deleted this profile: its file is gone with it, so there is nothing to save.
    signOutState();
    emit ProfileChanged();
}

QByteArray TProfileStore::PasswordDigest(const QByteArray &password)
{
    return pf::passwordDigest(password);
}

bool TProfileStore::NameExists(const QByteArray &name) const
{
    for (const TUser &u : users_)
        if (vellora::asciiEqualNoCase(u.Name, name))
            return true;
    return false;
}

int TProfileStore::FindProfile(const QByteArray &name, const QByteArray &password) const
{
    const QByteArray digest = pf::passwordDigest(password);
    for (int i = 0; i < users_.size(); ++i)
        if (vellora::asciiEqualNoCase(users_[i].Name, name) && users_[i].Password == digest)
            return i;
    return -1;
}

QByteArray TProfileStore::freeFileName(const QByteArray &name) const
{
    // A name listed in the index counts as taken even before its file exists (the file comes
    // with the first sign-in), or two new profiles could share one file.
    QSet<QByteArray> listed;
    for (const TUser &u : users_)
        listed.insert(u.FileName);
    const QByteArray stem = pf::fileStem(name);
    for (int n = 0;; ++n) {
        const QByteArray candidate = stem + QByteArray::number(n) + ".usr";
        if (!listed.contains(candidate) && !QFileInfo::exists(filePath(candidate)))
            return candidate;
    }
}

bool TProfileStore::lockFailed()
{
    return fail(QStringLiteral("Der Ordner der Lernprofile ist gerade gesperrt, vielleicht von Vellora auf "
                               "einem anderen Rechner. Bitte versuche es gleich noch einmal."));
}

bool TProfileStore::CreateProfile(const QByteArray &name, const QByteArray &password)
{
    if (!pf::validProfileName(name) || password.isEmpty())
        return fail(QStringLiteral("Das Lernprofil konnte nicht erstellt werden, weil der Name oder das "
                                   "Passwort ungültig ist."));
    Lock lock(folder_, lockTimeoutMs_);
    if (!lock.locked())
        return lockFailed();
    if (!readIndexFile())
        return false;
    remapActive();
    if (NameExists(name))
        return fail(
            QStringLiteral("Das Lernprofil konnte nicht erstellt werden, weil ein Lernprofil mit diesem "
                           "Namen bereits existiert."));
    const TUser user{name, pf::passwordDigest(password), freeFileName(name)};
    QList<QByteArray> lines = lines_;
    lines.append(pf::indexLine(user));
    return writeIndexFile(lines);
}

bool TProfileStore::readProfile(const QString &path, pf::ProfileFile &out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Das Lernprofil %1 kann nicht geöffnet werden.")
                        .arg(quoted(QFileInfo(path).fileName())));
    if (pf::readProfileFile(file.readAll(), out) != pf::ProfileFileError::None)
        return fail(QStringLiteral("Das Lernprofil %1 ist beschädigt und kann nicht geöffnet werden.")
                        .arg(quoted(QFileInfo(path).fileName())));
    return true;
}

bool TProfileStore::SignIn(int i)
{
    if (i < 0 || i >= users_.size())
        return false;
    const TUser user = users_[i];
    const QString path = filePath(user.FileName);
    if (!QFileInfo::exists(path)) {
        // Lost by hand or never written: recreated from the index entry, without results.
        signOutState();
        active_.Index = i;
        active_.Name = user.Name;
        active_.Password = user.Password;
        active_.FileName = user.FileName;
        if (!SaveAndSignOut()) {
            signOutState();
            return false;
        }
    }
    pf::ProfileFile file;
    if (!readProfile(path, file))
        return false;
    active_.Index = i;
    active_.FileName = user.FileName;
    active_.Name = file.Name;
    active_.Password = file.Password;
    active_.Results = file.Results;
    emit ProfileChanged();
    return true;
}

bool TProfileStore::saveActive()
{
    Lock lock(folder_, lockTimeoutMs_);
    if (!lock.locked())
        return lockFailed();
    const QString path = filePath(active_.FileName);
    pf::ProfileFile out{active_.Name, active_.Password, active_.Results};
    // The same profile may be open in another copy that added results meanwhile: what is on
    // disk is kept, and ours that it lacks are added behind.
    QFile existing(path);
    pf::ProfileFile disk;
    if (existing.open(QIODevice::ReadOnly) &&
        pf::readProfileFile(existing.readAll(), disk) == pf::ProfileFileError::None &&
        disk.Name == active_.Name && disk.Password == active_.Password) {
        QHash<QByteArray, int> onDisk;
        for (const TTestResult &r : disk.Results)
            ++onDisk[pf::writeProfileFile({{}, {}, {r}})];
        out.Results = disk.Results;
        for (const TTestResult &r : active_.Results) {
            int &left = onDisk[pf::writeProfileFile({{}, {}, {r}})];
            if (left > 0)
                --left;
            else
                out.Results.append(r);
        }
    }
    existing.close();
    return writeFile(path, pf::writeProfileFile(out));
}

void TProfileStore::signOutState()
{
    active_ = TUserProfile();
}

bool TProfileStore::SaveAndSignOut()
{
    if (!SignedIn())
        return false;
    if (!saveActive())
        return false;
    signOutState();
    emit ProfileChanged();
    return true;
}

bool TProfileStore::AddResult(const TTestResult &result)
{
    if (!SignedIn())
        return fail(
            QStringLiteral("Das Ergebnis kann nicht gespeichert werden, weil niemand angemeldet ist."));
    const int i = active_.Index;
    active_.Results.append(result);
    // On a failed write the result stays here and goes out with the next save.
    if (!SaveAndSignOut())
        return false;
    return SignIn(i);
}

bool TProfileStore::DeleteActiveProfile()
{
    if (!SignedIn())
        return false;
    const QByteArray fileName = active_.FileName;
    {
        Lock lock(folder_, lockTimeoutMs_);
        if (!lock.locked())
            return lockFailed();
        if (!readIndexFile())
            return false;
        // The index goes first: a crash in between leaves a stray file, never an entry whose
        // results vanished.
        const int k = findUserByFile(fileName);
        if (k >= 0) {
            QList<QByteArray> lines = lines_;
            lines.removeAt(userLine_[k]);
            if (!writeIndexFile(lines)) {
                remapActive();
                return false;
            }
        }
        QFile::remove(filePath(fileName));
    }
    signOutState();
    emit ProfileChanged();
    return true;
}

bool TProfileStore::ImportProfile(const QString &path)
{
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Die Datei %1 kann nicht geöffnet werden.")
                        .arg(quoted(QFileInfo(path).fileName())));
    const QByteArray bytes = source.readAll();
    source.close();
    pf::ProfileFile file;
    // The name becomes a file name and an index line, the digest an index field: only what the
    // dialog itself could have made is taken.
    if (pf::readProfileFile(bytes, file) != pf::ProfileFileError::None || !pf::validProfileName(file.Name) ||
        !pf::validDigest(file.Password))
        return fail(invalidFileText(path));

    const QString exists =
        QStringLiteral("Das ausgewählte Lernprofil konnte nicht importiert werden, weil ein "
                       "Lernprofil mit diesem Namen bereits vorhanden ist.");
    ReloadIndex();
    if (NameExists(file.Name))
        return fail(exists);
    if (SignedIn() && !SaveAndSignOut())
        return false;

    QByteArray fileName;
    {
        Lock lock(folder_, lockTimeoutMs_);
        if (!lock.locked())
            return lockFailed();
        if (!readIndexFile())
            return false;
        if (NameExists(file.Name))
            return fail(exists);
        fileName = freeFileName(file.Name);
        const QString target = filePath(fileName);
        if (!writeFile(target, bytes))
            return false;
        QList<QByteArray> lines = lines_;
        lines.append(pf::indexLine({file.Name, file.Password, fileName}));
        if (!writeIndexFile(lines)) {
            QFile::remove(target);
            return false;
        }
    }
    return SignIn(findUserByFile(fileName));
}

QString TProfileStore::ExportFileName(const QString &target)
{
    if (vellora::asciiUpper(target.right(4)) == QLatin1String(".USR"))
        return target;
    return target + QStringLiteral(".usr");
}

QString TProfileStore::ExportActiveProfile(const QString &target)
{
    if (!SignedIn()) {
        fail(QStringLiteral("Es ist kein Lernprofil angemeldet, das exportiert werden könnte."));
        return {};
    }
    const QString to = ExportFileName(target);
    QFile source(filePath(active_.FileName));
    if (!source.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Das Lernprofil konnte nicht exportiert werden, weil seine Datei nicht gelesen "
                            "werden kann."));
        return {};
    }
    const QByteArray bytes = source.readAll();
    QSaveFile out(to);
    if (!saveWhole(out, bytes)) {
        out.cancelWriting();
        fail(QStringLiteral("Das Lernprofil konnte nicht nach %1 exportiert werden.")
                 .arg(quoted(QDir::toNativeSeparators(to))));
        return {};
    }
    return to;
}
