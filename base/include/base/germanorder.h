#pragma once

#include <QByteArray>
#include <QString>

namespace vellora {

// German dictionary order (DIN 5007-1): umlauts count as their base letter (ä = a, ö = o, ü = u),
// ß as "ss", letter case is ignored; accented Latin letters (é, ç, ...) count as their base
// letter too. The folded form is upper case, so it extends the ASCII folding of asciifold.h.

// cp1252 bytes: "Stärke" -> "STARKE", "Maße" -> "MASSE". Other bytes stay as they are.
QByteArray germanFold(const QByteArray &cp1252);
// The same on text; characters outside cp1252 stay as they are.
QString germanFold(const QString &text);

// <0, 0, >0 on the folded bytes (unsigned, shorter first on a common prefix); texts that fold
// alike are ordered by their raw bytes, so the order is total and deterministic.
int germanCompare(const QByteArray &a, const QByteArray &b);
inline bool germanLess(const QByteArray &a, const QByteArray &b)
{
    return germanCompare(a, b) < 0;
}

// True when text, folded, begins with prefix, folded: "stä" finds "Stärke" and "Stärkekorn".
bool germanStartsWith(const QByteArray &text, const QByteArray &prefix);
bool germanStartsWith(const QString &text, const QString &prefix);

} // namespace vellora
