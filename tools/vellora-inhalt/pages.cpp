// Plain-text pages: the manual pages and the exercise introduction.

#include "inhalt.h"
#include "textutil.h"
#include "yamlutil.h"

namespace vellora::inhalt {

QByteArray compileManualPage(const QString &file, Diagnostics &diag)
{
    std::optional<QString> text = loadTextFile(file, diag);
    if (!text)
        return {};
    if (text->endsWith(QLatin1Char('\n')))
        text->chop(1);
    text->replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return toCp1252Checked(*text, file, -1, QStringLiteral("Handbuchseite"), diag);
}

QByteArray compileIntroduction(const QString &file, Diagnostics &diag)
{
    const std::optional<QString> text = loadTextFile(file, diag);
    if (!text)
        return {};
    const QString joined = joinParagraphs(*text);
    checkHyphens(joined, file, -1, diag);
    if (joined.contains(QLatin1Char('#')))
        diag.error(file, QStringLiteral(
                             "Die Einleitung enthält ein \u201E#\u201C; die Übungsseite zeigt keine Links."));
    if (joined.contains(QStringLiteral("[[")))
        diag.error(
            file,
            QStringLiteral(
                "Die Einleitung enthält einen Link \u201E[[...]]\u201C; die Übungsseite zeigt keine Links."));
    return toCp1252Checked(joined, file, -1, QStringLiteral("Einleitung"), diag);
}

} // namespace vellora::inhalt
