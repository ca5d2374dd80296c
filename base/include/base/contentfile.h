#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace vellora {

// Why a whole-file read failed, for readers that word their own message around it.
enum class ReadFailure { None, Open, Read };

// Reads a file whole. On failure returns an empty array and sets failure (a folder, a missing
// or an unreadable file cannot be opened).
QByteArray readWholeFile(const QString &path, ReadFailure &failure);

// German reason for a failure, without the file name: "Die Datei kann nicht geöffnet werden."
QString readFailureText(ReadFailure failure);

// Reads a content file whole; throws std::runtime_error with a German message naming the file
// when it cannot be opened or read.
QByteArray readContentFile(const QString &path);

// Little-endian 16- and 32-bit integers, and a stored string: its byte count as such a 32-bit
// integer followed by the bytes, no terminator (organelle, test and profile files).
void appendUInt16(QByteArray &out, uint16_t value);
void appendInt32(QByteArray &out, int32_t value);
void appendStoredString(QByteArray &out, const QByteArray &bytes);

} // namespace vellora
