#include "inhalt.h"
#include "yamlutil.h"

#include <algorithm>

namespace vellora::inhalt {

Pronunciation readPronunciation(const QString &file, Diagnostics &diag)
{
    Pronunciation list;
    const std::optional<YAML::Node> root = loadYamlFile(file, diag);
    if (!root)
        return list;
    if (root->IsNull())
        return list;
    if (!root->IsMap()) {
        diag.error(file, QStringLiteral(
                             "Die Ausspracheliste muss aus Zeilen \u201EWort: Umschreibung\u201C bestehen."));
        return list;
    }
    for (const auto &kv : *root) {
        const QString word = fromStd(kv.first.Scalar());
        if (!kv.second.IsScalar()) {
            diag.error(file, lineOf(kv.first),
                       QStringLiteral("\u201E%1\u201C: die Umschreibung muss ein Text sein.").arg(word));
            continue;
        }
        const QString say = fromStd(kv.second.Scalar());
        bool plain = !word.isEmpty();
        for (QChar c : word)
            plain = plain && (c.isLetterOrNumber() || c == QLatin1Char('-'));
        if (!plain)
            diag.error(
                file, lineOf(kv.first),
                QStringLiteral(
                    "\u201E%1\u201C ist kein einfaches Wort; Schlüssel sind ganze Wörter aus Buchstaben.")
                    .arg(word));
        else if (say.trimmed().isEmpty())
            diag.error(file, lineOf(kv.first),
                       QStringLiteral("\u201E%1\u201C hat keine Umschreibung.").arg(word));
        else
            list.entries.append({word, say});
    }
    // Longer words first, so "Chloroplasten" is not caught by "Chloroplast" (whole words anyway).
    std::stable_sort(list.entries.begin(), list.entries.end(),
                     [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
    return list;
}

namespace {

bool wordChar(QChar c)
{
    return c.isLetterOrNumber();
}

} // namespace

QString applyPronunciation(const QString &text, const Pronunciation &list)
{
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (i == 0 || !wordChar(text[i - 1])) {
            for (const auto &[word, say] : list.entries) {
                const qsizetype end = i + word.size();
                if (end <= text.size() && QStringView(text).mid(i, word.size()) == word &&
                    (end == text.size() || !wordChar(text[end]))) {
                    out += say;
                    i = end;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            out += text[i++];
    }
    return out;
}

QString speechText(const OrganellSource &source, const Pronunciation &list)
{
    QString text = spokenText(source.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Equations write the arrow as "->", which espeak-ng would skip silently.
    text.replace(QStringLiteral(" -> "), QStringLiteral(" ergibt "));
    QString heading = source.heading;
    // A pause after the heading, as after a sentence.
    if (!heading.endsWith(QLatin1Char('.')))
        heading += QLatin1Char('.');
    return applyPronunciation(heading + QStringLiteral("\n\n") + text + QLatin1Char('\n'), list);
}

} // namespace vellora::inhalt
