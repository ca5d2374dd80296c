// Glossary sources: one YAML file per entry, built into the sorted records of glossar.dat.

#include "inhalt.h"
#include "textutil.h"
#include "yamlutil.h"

#include "base/asciifold.h"
#include "base/cp1252.h"
#include "base/germanorder.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace vellora::inhalt {

GlossarySource readGlossarySource(const QString &file, Diagnostics &diag)
{
    GlossarySource src;
    src.file = file;
    const std::optional<YAML::Node> root = loadYamlFile(file, diag);
    if (!root)
        return src;
    if (!checkMap(*root, {"title", "text", "text_pieces", "see_also", "picture"}, file,
                  QStringLiteral("Ein Glossareintrag"), diag))
        return src;
    src.line = lineOf((*root)["title"]);
    if (const auto title = scalarText(*root, "title", file, diag)) {
        src.title = *title;
        if (src.title.contains(QLatin1Char('\n')) || src.title.trimmed() != src.title || src.title.isEmpty())
            diag.error(file, src.line,
                       QStringLiteral("Der Titel muss eine Zeile ohne Leerzeichen am Anfang und Ende sein."));
        const QByteArray t = toCp1252Checked(src.title, file, src.line, QStringLiteral("Titel"), diag);
        if (t.size() > kGlossarTitleMax)
            diag.error(
                file, src.line,
                QStringLiteral("Der Titel \u201E%1\u201C ist %2 Bytes lang; erlaubt sind höchstens %3.")
                    .arg(src.title)
                    .arg(t.size())
                    .arg(kGlossarTitleMax));
        if (src.title.contains(QStringLiteral("[[")) || src.title.contains(QLatin1Char('|')) ||
            src.title.contains(QStringLiteral("]]")))
            diag.error(
                file, src.line,
                QStringLiteral(
                    "Der Titel darf weder \u201E[[\u201C, \u201E]]\u201C noch \u201E|\u201C enthalten."));
    }
    const YAML::Node pieces = (*root)["text_pieces"];
    if (pieces.IsDefined()) {
        // Written by the exporter for files whose explanation is split differently.
        if (!pieces.IsSequence() || pieces.size() != 3) {
            diag.error(file, lineOf(pieces),
                       QStringLiteral("\u201Etext_pieces\u201C muss eine Liste aus drei Texten sein."));
        } else {
            for (const auto &p : pieces) {
                const QByteArray b =
                    toCp1252Checked(fromStd(p.Scalar()), file, lineOf(p), QStringLiteral("Erklärung"), diag);
                if (b.size() > kGlossarTextPieceMax)
                    diag.error(file, lineOf(p),
                               QStringLiteral("Ein Teil der Erklärung ist länger als %1 Bytes.")
                                   .arg(kGlossarTextPieceMax));
                src.pieces << b;
            }
            src.text = src.pieces[0] + src.pieces[1] + src.pieces[2];
        }
        if ((*root)["text"].IsDefined())
            diag.error(file, lineOf(pieces),
                       QStringLiteral(
                           "Entweder \u201Etext\u201C oder \u201Etext_pieces\u201C angeben, nicht beide."));
    } else if (const auto text = scalarText(*root, "text", file, diag)) {
        const int line = lineOf((*root)["text"]);
        const QString t = isExact((*root)["text"]) ? *text : crlfText(text->trimmed());
        if (!isExact((*root)["text"]))
            checkHyphens(t, file, line, diag);
        if (t.contains(QStringLiteral("[[")))
            diag.error(
                file, line,
                QStringLiteral(
                    "Glossarerklärungen haben keine Links; Verweise gehören in \u201Esee_also\u201C."));
        src.text = toCp1252Checked(t, file, line, QStringLiteral("Erklärung"), diag);
        if (src.text.isEmpty())
            diag.error(file, line, QStringLiteral("Die Erklärung ist leer."));
        if (src.text.size() > kGlossarTextMax)
            diag.error(file, line,
                       QStringLiteral("Die Erklärung ist %1 Bytes lang; erlaubt sind höchstens %2.")
                           .arg(src.text.size())
                           .arg(kGlossarTextMax));
    }
    const YAML::Node see = (*root)["see_also"];
    if (see.IsDefined() && !see.IsNull()) {
        if (!see.IsSequence()) {
            diag.error(
                file, lineOf(see),
                QStringLiteral(
                    "\u201Esee_also\u201C muss eine Liste von Titeln sein, z. B. [Zellkern, Zellwand]."));
        } else {
            for (const auto &s : see) {
                if (!s.IsScalar()) {
                    diag.error(file, lineOf(s),
                               QStringLiteral("Jeder Eintrag in \u201Esee_also\u201C muss ein Titel sein."));
                    continue;
                }
                src.seeAlso << fromStd(s.Scalar());
                src.seeAlsoLines << lineOf(s);
            }
            if (src.seeAlso.size() > kGlossarLinkCount)
                diag.error(file, lineOf(see),
                           QStringLiteral("\u201Esee_also\u201C hat %1 Einträge; erlaubt sind höchstens %2.")
                               .arg(src.seeAlso.size())
                               .arg(kGlossarLinkCount));
        }
    }
    if (const auto picture = scalarText(*root, "picture", file, diag, false)) {
        const int line = lineOf((*root)["picture"]);
        src.picture = toCp1252Checked(*picture, file, line, QStringLiteral("Bild"), diag);
        static const QRegularExpression stem(QStringLiteral("^[A-Za-z0-9_-]*$"));
        if (picture->size() > kGlossarPictureMax)
            diag.error(file, line,
                       QStringLiteral("Der Bildname \u201E%1\u201C hat mehr als %2 Zeichen.")
                           .arg(*picture)
                           .arg(kGlossarPictureMax));
        else if (!stem.match(*picture).hasMatch())
            diag.error(file, line,
                       QStringLiteral("Der Bildname \u201E%1\u201C darf nur Buchstaben A-Z, Ziffern, "
                                      "\u201E-\u201C und \u201E_\u201C enthalten, ohne \u201E.bmp\u201C.")
                           .arg(*picture));
    }
    return src;
}

Glossary buildGlossary(const QList<GlossarySource> &sources, Diagnostics &diag)
{
    struct Item
    {
        const GlossarySource *src;
        QByteArray title;
    };
    QList<Item> items;
    for (const GlossarySource &s : sources)
        items << Item{&s, toCp1252(s.title)};
    // German dictionary order: "Stärke" between "Spindelapparat" and "Stoffwechsel", not after
    // "Z"; a folded prefix still marks one consecutive run, which the search relies on.
    std::stable_sort(items.begin(), items.end(),
                     [](const Item &a, const Item &b) { return germanLess(a.title, b.title); });
    Glossary g;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0 && asciiEqualNoCase(items[i - 1].title, items[i].title)) {
            // Reported at the file read later, whichever of the two sorts first.
            const bool inOrder = items[i - 1].src < items[i].src;
            const GlossarySource &a = inOrder ? *items[i - 1].src : *items[i].src;
            const GlossarySource &b = inOrder ? *items[i].src : *items[i - 1].src;
            diag.error(
                b.file, b.line,
                a.title == b.title
                    ? QStringLiteral("Den Titel \u201E%1\u201C gibt es schon in %2.").arg(b.title, a.file)
                    : QStringLiteral(
                          "Der Titel \u201E%1\u201C unterscheidet sich von \u201E%2\u201C (%3) nur in der "
                          "Groß-/Kleinschreibung von A-Z; die Suche kann sie nicht trennen.")
                          .arg(b.title, a.title, a.file));
        }
        g.numberOfTitle.insert(items[i].src->title, int(i));
        g.titles << items[i].src->title;
    }
    for (const Item &item : items) {
        const GlossarySource &s = *item.src;
        TGlossarEntry e;
        e.Title = item.title.left(kGlossarTitleMax);
        if (s.pieces.size() == 3) {
            e.Text1 = s.pieces[0].left(kGlossarTextPieceMax);
            e.Text2 = s.pieces[1].left(kGlossarTextPieceMax);
            e.Text3 = s.pieces[2].left(kGlossarTextPieceMax);
        } else {
            e.SetText(s.text.left(kGlossarTextMax));
        }
        e.Picture = s.picture.left(kGlossarPictureMax);
        QSet<QString> seen;
        for (qsizetype k = 0; k < s.seeAlso.size(); ++k) {
            const QString &t = s.seeAlso[k];
            const int line = s.seeAlsoLines.value(k, s.line);
            const auto it = g.numberOfTitle.constFind(t);
            if (it == g.numberOfTitle.constEnd())
                diag.error(
                    s.file, line,
                    QStringLiteral(
                        "\u201Esee_also\u201C nennt \u201E%1\u201C: diesen Glossartitel gibt es nicht.")
                        .arg(t));
            else if (t == s.title)
                diag.error(
                    s.file, line,
                    QStringLiteral("Ein Eintrag verweist in \u201Esee_also\u201C nicht auf sich selbst."));
            else if (seen.contains(t))
                diag.error(s.file, line,
                           QStringLiteral("\u201E%1\u201C steht zweimal in \u201Esee_also\u201C.").arg(t));
            else if (k < kGlossarLinkCount)
                e.Links[size_t(k)] = *it;
            seen.insert(t);
        }
        g.entries << e;
    }
    return g;
}

Glossary glossaryFromFile(const QList<TGlossarEntry> &entries)
{
    Glossary g;
    g.entries = entries;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString t = fromCp1252(entries[i].Title);
        g.titles << t;
        if (!g.numberOfTitle.contains(t))
            g.numberOfTitle.insert(t, int(i));
    }
    return g;
}

} // namespace vellora::inhalt
