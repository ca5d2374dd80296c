#include "base/contentfile.h"

#include <QFile>

#include <stdexcept>

namespace vellora {

QByteArray readContentFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Die Datei \u201E%1\u201C kann nicht geöffnet werden.")
                                     .arg(path).toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(QStringLiteral("Die Datei \u201E%1\u201C kann nicht gelesen werden.")
                                     .arg(path).toStdString());
    return bytes;
}

void appendInt32(QByteArray &out, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
    out.append(b, 4);
}

void appendStoredString(QByteArray &out, const QByteArray &bytes)
{
    appendInt32(out, static_cast<int32_t>(bytes.size()));
    out.append(bytes);
}

} // namespace vellora
