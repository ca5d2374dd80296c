#pragma once

// Text rules shared by the source readers of the compiler (not part of its public interface).

#include <QString>

namespace vellora::inhalt {

// Tabs as blanks, runs of blanks as one, no blanks at the ends.
QString collapseBlanks(const QString &s);
// Source text with LF line ends: line breaks become CR LF, trailing line breaks are dropped.
QString crlfText(QString s);
// Line breaks as blanks, then collapseBlanks.
QString singleLine(const QString &s);

} // namespace vellora::inhalt
