#pragma once

#include <QByteArray>
#include <QString>

namespace vellora {

// Content files and profiles keep Windows-1252 bytes; text becomes QString only at the UI.
QString fromCp1252(const QByteArray &bytes);
QString fromCp1252(const char *data, qsizetype size);

// Characters without a cp1252 byte become '?'; *ok (if given) tells whether all were mapped.
QByteArray toCp1252(const QString &text, bool *ok = nullptr);

// True when every character of text has a cp1252 byte.
bool representableInCp1252(const QString &text);

} // namespace vellora
