// Shared text rules of the source readers: blanks, line breaks, paragraphs.

#include "inhalt.h"
#include "textutil.h"

#include <QRegularExpression>

namespace vellora::inhalt {

QString collapseBlanks(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
        if (c == QLatin1Char(' ') && (out.isEmpty() || out.endsWith(QLatin1Char(' '))))
            continue;
        out += c;
    }
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}

// Source text with LF line ends: line breaks become CR LF, trailing line breaks are dropped.
QString crlfText(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s;
}

QString singleLine(const QString &s)
{
    return collapseBlanks(QString(s).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

QString joinParagraphs(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList paragraphs;
    QString current;
    for (const QString &line : t.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty()) {
            if (!current.isEmpty())
                paragraphs << collapseBlanks(current);
            current.clear();
            continue;
        }
        if (!current.isEmpty())
            current += QLatin1Char(' ');
        current += line;
    }
    if (!current.isEmpty())
        paragraphs << collapseBlanks(current);
    return paragraphs.join(QStringLiteral("\r\n\r\n"));
}

QString brokenHyphen(const QString &text)
{
    // Words that may follow a suspended hyphen: "auf- und abbauen", "40- bis 400-fach".
    static const QStringList joiners = {
        QStringLiteral("und"),   QStringLiteral("oder"), QStringLiteral("bis"),
        QStringLiteral("sowie"), QStringLiteral("bzw."), QStringLiteral("beziehungsweise"),
        QStringLiteral("noch"),  QStringLiteral("als"),  QStringLiteral("wie"),
        QStringLiteral("statt"),
    };
    static const QRegularExpression hyphenBlank(QStringLiteral("(\\w+)-\\s+(\\S+)"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    for (auto it = hyphenBlank.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString next = m.captured(2);
        while (!next.isEmpty() && !next.back().isLetter() && next.back() != QLatin1Char('.'))
            next.chop(1);
        if (!joiners.contains(next))
            return QStringLiteral("%1- %2").arg(m.captured(1), m.captured(2));
    }
    return {};
}

bool checkHyphens(const QString &text, const QString &file, int line, Diagnostics &diag)
{
    const QString broken = brokenHyphen(text);
    if (broken.isEmpty())
        return true;
    diag.error(
        file, line,
        QStringLiteral("\u201E%1\u201C: Nach dem Bindestrich steht ein Leerzeichen. In einem gefalteten "
                       "Text (>-) wird ein Zeilenumbruch zum Leerzeichen; bitte das ganze Wort in "
                       "eine Zeile schreiben.")
            .arg(broken));
    return false;
}

} // namespace vellora::inhalt
