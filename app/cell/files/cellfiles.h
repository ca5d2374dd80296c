#pragma once

// The cell screen's content files: the organelle files "inhalt/orgN.organell" and the mesh name
// list "inhalt/meshes.dat". One reader and one writer each; the program only reads them, the
// content compiler and the model generator write them.

#include <QByteArray>
#include <QList>
#include <QString>

namespace vellora {

constexpr int kOrganellCount = 11;

// Six cp1252 strings, each stored as a 32-bit little-endian signed length and its bytes.
struct TOrganell
{
    QByteArray Heading;
    QByteArray Text; // memo markup, links "#" number "#" caption "#"
    QByteArray Names;
    QByteArray MemCount;
    QByteArray Size;
    QByteArray AnimalCell;

    bool operator==(const TOrganell &) const = default;
};

// Never reads past the bytes given: a length that runs past the end yields the bytes that are
// there (the missing part is left out, so a file cut short inside a string still loads), a
// negative length an empty string; strings after the end are empty. Bytes after the sixth
// string are ignored.
TOrganell parseOrganell(const QByteArray &bytes);
QByteArray serializeOrganell(const TOrganell &organell);

// Program folder + "inhalt/org" + N + ".organell" and + "audio/voice" + N + ".mp3".
QString organellPath(int index);
QString audioPath(int index);

// Throw std::runtime_error with a German message naming the file when it cannot be read.
TOrganell readOrganellFile(int index);
TOrganell readOrganellFile(const QString &path);

// Mesh name list: one cp1252 name per line; CR LF, a lone CR or a lone LF ends a line. The line
// end after the last name is optional; an empty line is an empty name.
QList<QByteArray> parseMeshNames(const QByteArray &bytes);
// Every name followed by CR LF. Names must not contain CR or LF (std::invalid_argument).
QByteArray serializeMeshNames(const QList<QByteArray> &names);
// Throws std::runtime_error with a German message naming the file when it cannot be read.
QList<QByteArray> loadMeshNames(const QString &path);

} // namespace vellora
