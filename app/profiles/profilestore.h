#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include "profilefiles.h"

// The learners' profiles in the profile folder: the index "index.usr" and one profile file per
// learner. At most one profile is signed in. The store knows no screen: it tells them by
// ProfileChanged, and reports failures as German text by Failed (and LastError()).
//
// Every change to the folder runs under a lock file in the folder and starts by reading
// "index.usr" again, so that two running copies on one folder merge their changes instead of
// overwriting each other. Every file is replaced atomically: a failed write leaves the old one.
class TProfileStore : public QObject
{
    Q_OBJECT

  public:
    // folder: where "index.usr" lives, with or without a trailing '/'; empty = DefaultFolder().
    explicit TProfileStore(const QString &folder = QString(), QObject *parent = nullptr);
    ~TProfileStore() override;

    // $XDG_DATA_HOME (or ~/.local/share) + "/Vellora/Profile/".
    static QString DefaultFolder();
    // The folder with a trailing '/'.
    QString Folder() const { return folder_; }

    // At start: reads "index.usr" if it exists; nobody is signed in afterwards. Damaged lines
    // are skipped with a note on standard error and stay in the file.
    void LoadProfileIndex();
    // At start, after LoadProfileIndex: creates the folder and its parents if missing.
    bool EnsureFolder();
    // Reads "index.usr" again (another copy of the program may have changed it); the signed-in
    // profile keeps its place by its file name.
    void ReloadIndex();

    static QByteArray PasswordDigest(const QByteArray &password);

    // Appends the profile to the index and writes "index.usr"; the profile file is created at
    // the first sign-in. False (and Failed) when the name is taken by now or the write fails.
    bool CreateProfile(const QByteArray &name, const QByteArray &password);
    // First entry whose name matches with ASCII letters folded and whose digest equals the
    // password's; -1 if none.
    int FindProfile(const QByteArray &name, const QByteArray &password) const;
    bool NameExists(const QByteArray &name) const;

    // Signs entry i in, recreating its profile file (no results) if it is missing.
    bool SignIn(int i);
    // Writes the signed-in profile's file and signs out. On a failed write nothing is signed
    // out and nothing is lost.
    bool SaveAndSignOut();
    // Appends a result, writes the file and reads it back (the profile stays signed in).
    bool AddResult(const TTestResult &result);
    // Removes the signed-in profile from the index and deletes its file. No question asked:
    // the caller confirms first.
    bool DeleteActiveProfile();

    // Copies a profile file into the folder as a new profile and signs it in. Refuses (Failed,
    // nothing written) a damaged file, a name the dialog could not have made, and a name that
    // exists already.
    bool ImportProfile(const QString &path);
    // Copies the signed-in profile's file to target, adding ".usr" unless it ends in it already.
    // Returns the path written, empty on failure.
    QString ExportActiveProfile(const QString &target);
    // target with ".usr" appended unless it already ends in ".usr" (any letter case).
    static QString ExportFileName(const QString &target);

    // -1 while nobody is signed in.
    int Index() const { return active_.Index; }
    bool SignedIn() const { return active_.Index != -1; }
    const TUserProfile &Active() const { return active_; }
    const QList<TTestResult> &Results() const { return active_.Results; }
    // The valid index entries, in index order (the positions SignIn and Index use).
    const QList<TUser> &Users() const { return users_; }

    // How long a change waits for another copy's lock before it gives up (milliseconds).
    void SetLockTimeout(int ms) { lockTimeoutMs_ = ms; }

    // German text of the last failure.
    QString LastError() const { return lastError_; }

  signals:
    // After every sign-in and sign-out (so also twice in AddResult): the bar, the profile menu
    // and the exercise screen's bars refresh from Active() and Results().
    void ProfileChanged();
    // A failure the learner should read, in German; the title of its message is "Fehler!".
    void Failed(const QString &text);

  private:
    class Lock;
    bool readIndexFile();
    void setIndex(const QByteArray &bytes);
    void remapActive();
    bool lockFailed();
    QString filePath(const QByteArray &fileName) const;
    bool writeIndexFile(const QList<QByteArray> &lines);
    bool writeFile(const QString &path, const QByteArray &bytes);
    bool readProfile(const QString &path, vellora::profiles::ProfileFile &out);
    bool saveActive();
    void signOutState();
    QByteArray freeFileName(const QByteArray &name) const;
    int findUserByFile(const QByteArray &fileName) const;
    bool fail(const QString &text);

    QString folder_;
    QList<QByteArray> lines_; // every line of "index.usr", damaged ones too
    QList<TUser> users_;      // the valid entries
    QList<int> userLine_;     // line of each valid entry
    QSet<QByteArray> reportedDamaged_;
    TUserProfile active_;
    QString lastError_;
    int lockTimeoutMs_ = 10000;
};
