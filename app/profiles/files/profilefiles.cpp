#include "profilefiles.h"

#include "base/contentfile.h"

#include <QtEndian>

namespace vellora::profiles {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

int32_t readInt32(const char *p)
{
    return qFromLittleEndian<qint32>(p);
}

// The generator the stored digests were made with: 32-bit state, draw = high half of seed * n.
class Lcg
{
  public:
    explicit Lcg(uint32_t seed) : seed_(seed) {}
    uint32_t below(uint32_t n)
    {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(seed_) * n) >> 32);
    }

  private:
    uint32_t seed_;
};

} // namespace

QList<IndexLine> readIndex(const QByteArray &bytes)
{
    QList<IndexLine> out;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;

        IndexLine entry;
        entry.Line = line;
        const qsizetype first = line.indexOf('|');
        const qsizetype second = first < 0 ? -1 : line.indexOf('|', first + 1);
        if (second >= 0) {
            entry.User.Name = line.left(first);
            entry.User.Password = line.mid(first + 1, second - first - 1);
            entry.User.FileName = line.mid(second + 1);
            // A file name that leaves the folder would let a delete or a write reach elsewhere.
            entry.Valid = plainFileName(entry.User.FileName);
        }
        out.append(entry);
        if (lastLine)
            break;
    }
    return out;
}

QByteArray indexLine(const TUser &user)
{
    return user.Name + '|' + user.Password + '|' + user.FileName;
}

QByteArray writeIndex(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + "\r\n";
    return out;
}

ProfileFileError readProfileFile(const QByteArray &bytes, ProfileFile &out)
{
    out = ProfileFile();
    if (bytes.size() < 4)
        return ProfileFileError::TooShort;
    const int32_t n = readInt32(bytes.constData());
    if (n < 0)
        return ProfileFileError::NegativeNameLength;
    // 64-bit sum: a name length near 2^31 must not wrap.
    const qint64 head = 4 + qint64(n) + kDigestLength;
    if (bytes.size() < head)
        return ProfileFileError::TooShort;
    out.Name = bytes.mid(4, n);
    out.Password = bytes.mid(4 + n, kDigestLength);
    const qint64 count = (bytes.size() - head) / kResultSize;
    out.Results.reserve(count);
    for (qint64 k = 0; k < count; ++k) {
        const char *p = bytes.constData() + head + k * kResultSize;
        TTestResult r;
        r.TestID = QByteArray(p, kTestIdSize);
        r.Time = readInt32(p + 16);
        r.Total = readInt32(p + 20);
        r.Right = readInt32(p + 24);
        out.Results.append(r);
    }
    return ProfileFileError::None;
}

QByteArray writeProfileFile(const ProfileFile &profile)
{
    QByteArray out;
    out.reserve(4 + profile.Name.size() + kDigestLength + profile.Results.size() * kResultSize);
    appendStoredString(out, profile.Name);
    QByteArray digest = profile.Password.left(kDigestLength);
    digest.append(kDigestLength - digest.size(), '\0');
    out += digest;
    for (const TTestResult &r : profile.Results) {
        QByteArray id = r.TestID.left(kTestIdSize);
        id.append(kTestIdSize - id.size(), '\0');
        out += id;
        appendInt32(out, r.Time);
        appendInt32(out, r.Total);
        appendInt32(out, r.Right);
    }
    return out;
}

QByteArray passwordDigest(const QByteArray &password)
{
    QByteArray p = password;
    const uint32_t length = static_cast<uint32_t>(p.size());
    uint8_t s = 0;
    for (uint32_t i = 1; i <= length; ++i)
        s = static_cast<uint8_t>(s + length * i * static_cast<uint8_t>(p[i - 1]));
    Lcg lcg(length + s);
    while (p.size() < 34)
        p.append(static_cast<char>(lcg.below(255)));
    QByteArray digest;
    digest.reserve(kDigestLength);
    for (int i = 1; i <= kDigestLength; ++i) {
        const uint8_t here = static_cast<uint8_t>(p[i - 1]);
        const uint8_t next = static_cast<uint8_t>(p[i]);
        uint8_t c = static_cast<uint8_t>(here + lcg.below(next));
        while (!isDigit(char(c)) && !isLower(char(c)))
            c = static_cast<uint8_t>(c + 17);
        digest.append(static_cast<char>(c));
    }
    return digest;
}

bool allowedCharacters(const QByteArray &text)
{
    for (char c : text)
        if (!isDigit(c) && !isLower(c) && !isUpper(c))
            return false;
    return true;
}

bool validProfileName(const QByteArray &name)
{
    return !name.isEmpty() && name.size() <= kMaxNameLength && allowedCharacters(name);
}

bool validDigest(const QByteArray &digest)
{
    if (digest.size() != kDigestLength)
        return false;
    for (char c : digest)
        if (!isDigit(c) && !isLower(c))
            return false;
    return true;
}

bool plainFileName(const QByteArray &fileName)
{
    if (fileName.isEmpty() || fileName == "." || fileName == "..")
        return false;
    for (char c : fileName)
        if (c == '/' || c == '\\' || c == '\r' || c == '\n' || c == '\0')
            return false;
    return true;
}

QByteArray fileStem(const QByteArray &name)
{
    QByteArray stem = name.left(8);
    for (char &c : stem)
        if (isUpper(c))
            c = static_cast<char>(c - 'A' + 'a');
    return stem;
}

} // namespace vellora::profiles
