#pragma once

// The link markup of memo texts: "#" number "#" caption "#". Written by the content compiler,
// read by the memo, the exporter and the content checks; all of them use these functions.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace vellora {

struct MemoLink
{
    qsizetype start = 0; // the opening '#'
    qsizetype end = 0;   // one past the closing '#'
    int number = 0;      // 0 when the number is not a whole number
    bool numberValid = false;
    QByteArray caption;
};

// "#12#Zellwand#"; the caption must not contain '#'.
QByteArray composeMemoLink(int number, const QByteArray &caption);
QString composeMemoLink(int number, const QString &caption);

// The link whose opening '#' stands at text[at]; std::nullopt when fewer than two more '#'
// follow, so the rest of the text cannot be a link.
std::optional<MemoLink> parseMemoLink(const QByteArray &text, qsizetype at);

// All links of a text in order. *complete (if given) is false when a '#' does not start a
// whole link or a link's number is not a whole number; the links before it are returned.
QList<MemoLink> memoLinks(const QByteArray &text, bool *complete = nullptr);

} // namespace vellora
