#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

// The two profile formats: the text index "index.usr" and the binary profile file. This is
// the one reader and the one writer of each; the store, import and export and the tools all go
// through here. All text is kept as Windows-1252 bytes.

// One profile in the index.
struct TUser
{
    QByteArray Name;     // as the learner typed it, case kept
    QByteArray Password; // the 32-character digest, never the password
    QByteArray FileName; // the profile file inside the profile folder, e.g. "anna0.usr"
};

// One finished test, 28 bytes in the profile file.
struct TTestResult
{
    QByteArray TestID; // 16 bytes; the first names the kind: 'S', 'M' or 'L'
    int32_t Time = 0;  // seconds since 1970-01-01 01:00:00 local time
    int32_t Total = 0;
    int32_t Right = 0;

    bool operator==(const TTestResult &) const = default;
};

// The signed-in profile. Index is -1 while nobody is signed in.
struct TUserProfile
{
    int32_t Index = -1;
    QByteArray Name;
    QByteArray Password;
    QByteArray FileName;
    QList<TTestResult> Results; // oldest first
};

namespace vellora::profiles {

constexpr int kDigestLength = 32;
constexpr int kResultSize = 28;
constexpr int kTestIdSize = 16;
constexpr int kMaxNameLength = 30;

// "index.usr": CR LF lines "name|digest|file name".
struct IndexLine
{
    QByteArray Line; // the line as read, without its line end; written back as it is
    bool Valid = false;
    TUser User; // meaningful only when Valid
};

// Splits the file into lines (CR LF, a lone LF is taken too). A line without two "|", or whose
// file name is not a plain name inside the folder, is kept but not Valid.
QList<IndexLine> readIndex(const QByteArray &bytes);
// The line of one entry: name, "|", digest, "|", file name.
QByteArray indexLine(const TUser &user);
// Every line followed by CR LF.
QByteArray writeIndex(const QList<QByteArray> &lines);

// A profile file: 32-bit name length N, the name, the 32 digest bytes, then 28-byte results to
// the end; a trailing partial result is ignored.
struct ProfileFile
{
    QByteArray Name;
    QByteArray Password;
    QList<TTestResult> Results;
};

enum class ProfileFileError {
    None,
    NegativeNameLength, // N < 0
    TooShort,           // fewer than 36 + N bytes
};

ProfileFileError readProfileFile(const QByteArray &bytes, ProfileFile &out);
QByteArray writeProfileFile(const ProfileFile &profile);

// The one-way digest of a password: 32 characters, each 0-9 or a-z.
QByteArray passwordDigest(const QByteArray &password);

// Characters the dialog lets through for names and passwords: 0-9, a-z, A-Z.
bool allowedCharacters(const QByteArray &text);
// A name the dialog could have created: 1 to 30 allowed characters.
bool validProfileName(const QByteArray &name);
// A digest as passwordDigest makes them: 32 characters of 0-9, a-z.
bool validDigest(const QByteArray &digest);
// A file name that stays inside the profile folder: not empty, no '/', '\', CR, LF, no "." or "..".
bool plainFileName(const QByteArray &fileName);

// The name folded to lower case (ASCII only) and cut to 8 characters.
QByteArray fileStem(const QByteArray &name);

} // namespace vellora::profiles
