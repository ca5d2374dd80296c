#pragma once

#include <QByteArray>
#include <QString>

namespace vellora {

// Case-insensitive comparisons fold only a-z to A-Z; umlauts and all other bytes stay as they are.
char asciiUpper(char c);
QByteArray asciiUpper(const QByteArray &bytes);
QString asciiUpper(const QString &text);

// <0, 0, >0 like memcmp on the folded bytes (unsigned), shorter first on a common prefix.
int asciiCompareNoCase(const QByteArray &a, const QByteArray &b);
bool asciiEqualNoCase(const QByteArray &a, const QByteArray &b);
bool asciiStartsWithNoCase(const QByteArray &text, const QByteArray &prefix);

} // namespace vellora
