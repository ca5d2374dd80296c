#include "base/contentfile.h"

#include <bytes/littleendian.h>

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace vellora {

QByteArray readWholeFile(const QString &path, ReadFailure &failure)
{
    failure = ReadFailure::None;
    // A folder opens on some systems and reads as nothing; it is not a file we can read.
    if (QFileInfo(path).isDir()) {
        failure = ReadFailure::Open;
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failure = ReadFailure::Open;
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        failure = ReadFailure::Read;
        return {};
    }
    return bytes;
}

QString readFailureText(ReadFailure failure)
{
    switch (failure) {
    case ReadFailure::Open:
        return QStringLiteral("Die Datei kann nicht geöffnet werden.");
    case ReadFailure::Read:
        return QStringLiteral("Die Datei kann nicht gelesen werden.");
    case ReadFailure::None:
        break;
    }
    return {};
}

QByteArray readContentFile(const QString &path)
{
    ReadFailure failure;
    QByteArray bytes = readWholeFile(path, failure);
    if (failure == ReadFailure::Open)
        throw std::runtime_error(
            QStringLiteral("Die Datei \u201E%1\u201C kann nicht geöffnet werden.").arg(path).toStdString());
    if (failure == ReadFailure::Read)
        throw std::runtime_error(
            QStringLiteral("Die Datei \u201E%1\u201C kann nicht gelesen werden.").arg(path).toStdString());
    return bytes;
}

void appendUInt16(QByteArray &out, uint16_t value)
{
    char b[2];
    le::writeU16(b, value);
    out.append(b, 2);
}

void appendInt32(QByteArray &out, int32_t value)
{
    char b[4];
    le::writeI32(b, value);
    out.append(b, 4);
}

void appendStoredString(QByteArray &out, const QByteArray &bytes)
{
    appendInt32(out, static_cast<int32_t>(bytes.size()));
    out.append(bytes);
}

} // namespace vellora
