#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace vellora {

// Reads a content file whole; throws std::runtime_error with a German message naming the file
// when it cannot be opened or read.
QByteArray readContentFile(const QString &path);

// Little-endian 32-bit integer, and a stored string: its byte count as such an integer followed
// by the bytes, no terminator (organelle, test and profile files).
void appendInt32(QByteArray &out, int32_t value);
void appendStoredString(QByteArray &out, const QByteArray &bytes);

} // namespace vellora
