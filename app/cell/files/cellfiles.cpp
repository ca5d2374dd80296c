#include "cellfiles.h"

#include "base/contentfile.h"
#include "base/cp1252.h"
#include "base/programfolder.h"

#include <bytes/littleendian.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vellora {

namespace {

// A length field cut short keeps the bytes it has (the rest are zero bytes, as a short read
// leaves them).
int32_t takeInt32(const QByteArray &bytes, qsizetype &pos)
{
    unsigned char b[4] = {0, 0, 0, 0};
    const qsizetype n = std::min<qsizetype>(4, std::max<qsizetype>(0, bytes.size() - pos));
    std::memcpy(b, bytes.constData() + pos, size_t(n));
    pos += n;
    return le::readI32(b);
}

QByteArray takeString(const QByteArray &bytes, qsizetype &pos)
{
    const int32_t length = takeInt32(bytes, pos);
    if (length <= 0)
        return {};
    const qsizetype n = std::min<qsizetype>(length, bytes.size() - pos);
    QByteArray s = bytes.mid(pos, n);
    pos += n;
    return s;
}

} // namespace

TOrganell parseOrganell(const QByteArray &bytes)
{
    qsizetype pos = 0;
    TOrganell o;
    o.Heading = takeString(bytes, pos);
    o.Text = takeString(bytes, pos);
    o.Names = takeString(bytes, pos);
    o.MemCount = takeString(bytes, pos);
    o.Size = takeString(bytes, pos);
    o.AnimalCell = takeString(bytes, pos);
    return o;
}

QByteArray serializeOrganell(const TOrganell &o)
{
    QByteArray out;
    for (const QByteArray *s : {&o.Heading, &o.Text, &o.Names, &o.MemCount, &o.Size, &o.AnimalCell})
        appendStoredString(out, *s);
    return out;
}

QString organellPath(int index)
{
    return contentPath(QStringLiteral("inhalt/org%1.organell").arg(index));
}

QString audioPath(int index)
{
    return contentPath(QStringLiteral("audio/voice%1.mp3").arg(index));
}

TOrganell readOrganellFile(int index)
{
    return readOrganellFile(organellPath(index));
}

TOrganell readOrganellFile(const QString &path)
{
    return parseOrganell(readContentFile(path));
}

QList<QByteArray> parseMeshNames(const QByteArray &bytes)
{
    QList<QByteArray> names;
    qsizetype start = 0;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            names.append(bytes.mid(start, i - start));
            i += (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        names.append(bytes.mid(start));
    return names;
}

QByteArray serializeMeshNames(const QList<QByteArray> &names)
{
    QByteArray out;
    for (const QByteArray &name : names) {
        if (name.contains('\r') || name.contains('\n'))
            throw std::invalid_argument("mesh name contains a line break");
        out += name;
        out += "\r\n";
    }
    return out;
}

QList<QByteArray> loadMeshNames(const QString &path)
{
    return parseMeshNames(readContentFile(path));
}

} // namespace vellora
