// The source link syntax [[Titel]] / [[Wortform|Titel]] and what it becomes in memo texts.

#include "inhalt.h"

#include "base/linkmarkup.h"

#include <algorithm>

namespace vellora::inhalt {

bool findSourceLinks(const QString &text, QList<SourceLink> &spans, QString *problem)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QStringLiteral("[["), i);
        const qsizetype strayClose = text.indexOf(QStringLiteral("]]"), i);
        if (strayClose >= 0 && (open < 0 || strayClose < open)) {
            *problem = QStringLiteral("\u201E]]\u201C ohne \u201E[[\u201C davor: \u201E%1\u201C")
                           .arg(text.mid(std::max<qsizetype>(0, strayClose - 30), 32));
            return false;
        }
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QStringLiteral("]]"), open + 2);
        if (close < 0) {
            *problem =
                QStringLiteral("\u201E[[\u201C wird nicht mit \u201E]]\u201C geschlossen: \u201E%1\u201C")
                    .arg(text.mid(open, 40));
            return false;
        }
        const QString inner = text.mid(open + 2, close - open - 2);
        if (inner.contains(QStringLiteral("[["))) {
            *problem =
                QStringLiteral("\u201E[[\u201C wird nicht mit \u201E]]\u201C geschlossen: \u201E%1\u201C")
                    .arg(text.mid(open, 40));
            return false;
        }
        SourceLink span;
        span.start = open;
        span.end = close + 2;
        const QStringList parts = inner.split(QLatin1Char('|'));
        if (parts.size() > 2 || inner.trimmed().isEmpty()) {
            *problem =
                QStringLiteral(
                    "Ungültiger Link \u201E[[%1]]\u201C: erlaubt sind [[Titel]] und [[Wortform|Titel]].")
                    .arg(inner);
            return false;
        }
        span.caption = parts.first();
        span.title = parts.last();
        if (span.caption.trimmed().isEmpty() || span.title.trimmed().isEmpty()) {
            *problem = QStringLiteral(
                           "Ungültiger Link \u201E[[%1]]\u201C: Wortform und Titel dürfen nicht leer sein.")
                           .arg(inner);
            return false;
        }
        spans << span;
        i = span.end;
    }
    return true;
}

QByteArray compileLinkedText(const QString &text, const Glossary &glossary, const QString &file, int line,
                             Diagnostics &diag, QList<Link> *links)
{
    if (text.contains(QLatin1Char('#'))) {
        diag.error(file, line,
                   QStringLiteral("Der Text enthält ein \u201E#\u201C; es würde einen Link beginnen. Bitte "
                                  "umformulieren (z. B. \u201ENr.\u201C)."));
        return {};
    }
    QList<SourceLink> spans;
    QString problem;
    if (!findSourceLinks(text, spans, &problem)) {
        diag.error(file, line, problem);
        return {};
    }
    QString out;
    qsizetype pos = 0;
    bool ok = true;
    for (const SourceLink &s : spans) {
        // The memo ends the word before a link as at a blank, so "([[X]])" shows "( X)".
        if (s.start > 0 && text[s.start - 1] != QLatin1Char(' ') && text[s.start - 1] != QLatin1Char('\n'))
            diag.warning(
                file, line,
                QStringLiteral(
                    "Vor dem Link \u201E%1\u201C steht \u201E%2\u201C ohne Leerzeichen; der Textbereich "
                    "zeigt dort trotzdem ein Leerzeichen. Besser umformulieren, z. B. ohne Klammer.")
                    .arg(text.mid(s.start, s.end - s.start), text.mid(s.start - 1, 1)));
        out += text.mid(pos, s.start - pos);
        const auto it = glossary.numberOfTitle.constFind(s.title);
        if (it == glossary.numberOfTitle.constEnd()) {
            QString hint;
            for (const QString &t : glossary.titles)
                if (t.compare(s.title, Qt::CaseInsensitive) == 0)
                    hint = QStringLiteral(" Gemeint ist vielleicht \u201E%1\u201C.").arg(t);
            diag.error(file, line,
                       QStringLiteral("Link auf \u201E%1\u201C: diesen Glossartitel gibt es nicht.%2")
                           .arg(s.title, hint));
            ok = false;
        } else {
            out += composeMemoLink(*it, s.caption);
        }
        if (links)
            links->append(Link{s.caption, s.title});
        pos = s.end;
    }
    out += text.mid(pos);
    const QByteArray bytes = toCp1252Checked(out, file, line, QStringLiteral("Text"), diag);
    return ok ? bytes : QByteArray();
}

QString spokenText(const QString &text)
{
    QList<SourceLink> spans;
    QString problem;
    if (!findSourceLinks(text, spans, &problem))
        return text;
    QString out;
    qsizetype pos = 0;
    for (const SourceLink &s : spans) {
        out += text.mid(pos, s.start - pos) + s.caption;
        pos = s.end;
    }
    return out + text.mid(pos);
}

} // namespace vellora::inhalt
