#include "base/linkmarkup.h"

namespace vellora {

QByteArray composeMemoLink(int number, const QByteArray &caption)
{
    return '#' + QByteArray::number(number) + '#' + caption + '#';
}

QString composeMemoLink(int number, const QString &caption)
{
    return QLatin1Char('#') + QString::number(number) + QLatin1Char('#') + caption + QLatin1Char('#');
}

std::optional<MemoLink> parseMemoLink(const QByteArray &text, qsizetype at)
{
    if (at < 0 || at >= text.size() || text[at] != '#')
        return std::nullopt;
    const qsizetype second = text.indexOf('#', at + 1);
    const qsizetype third = second < 0 ? -1 : text.indexOf('#', second + 1);
    if (third < 0)
        return std::nullopt;
    MemoLink link;
    link.start = at;
    link.end = third + 1;
    const QByteArray digits = text.mid(at + 1, second - at - 1);
    // Only an optional sign and decimal digits: toInt alone would also take blanks around them.
    bool plain = !digits.isEmpty();
    for (qsizetype i = 0; i < digits.size(); ++i)
        plain = plain && ((digits[i] >= '0' && digits[i] <= '9') ||
                          (i == 0 && (digits[i] == '-' || digits[i] == '+') && digits.size() > 1));
    const int number = plain ? digits.toInt(&link.numberValid) : 0;
    link.number = link.numberValid ? number : 0;
    link.caption = text.mid(second + 1, third - second - 1);
    return link;
}

QList<MemoLink> memoLinks(const QByteArray &text, bool *complete)
{
    QList<MemoLink> links;
    bool whole = true;
    qsizetype i = 0;
    while ((i = text.indexOf('#', i)) >= 0) {
        const std::optional<MemoLink> link = parseMemoLink(text, i);
        if (!link || !link->numberValid) {
            whole = false;
            break;
        }
        links << *link;
        i = link->end;
    }
    if (complete)
        *complete = whole;
    return links;
}

} // namespace vellora
