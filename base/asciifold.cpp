#include "base/asciifold.h"

#include <algorithm>

namespace vellora {

char asciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

QByteArray asciiUpper(const QByteArray &bytes)
{
    QByteArray out = bytes;
    for (char &c : out)
        c = asciiUpper(c);
    return out;
}

QString asciiUpper(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() >= 'a' && c.unicode() <= 'z')
            c = QChar(char16_t(c.unicode() - 'a' + 'A'));
    return out;
}

int asciiCompareNoCase(const QByteArray &a, const QByteArray &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(asciiUpper(a[i]));
        const auto y = static_cast<unsigned char>(asciiUpper(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool asciiEqualNoCase(const QByteArray &a, const QByteArray &b)
{
    return a.size() == b.size() && asciiCompareNoCase(a, b) == 0;
}

bool asciiStartsWithNoCase(const QByteArray &text, const QByteArray &prefix)
{
    return text.size() >= prefix.size() && asciiCompareNoCase(text.left(prefix.size()), prefix) == 0;
}

} // namespace vellora
