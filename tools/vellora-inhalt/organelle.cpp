// Organelle sources: heading, facts and the linked description of one cell part.

#include "inhalt.h"
#include "textutil.h"
#include "yamlutil.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace vellora::inhalt {

OrganellSource readOrganellSource(const QString &file, Diagnostics &diag)
{
    OrganellSource src;
    src.file = file;
    const std::optional<YAML::Node> root = loadYamlFile(file, diag);
    if (!root)
        return src;
    if (!checkMap(*root, {"index", "heading", "names", "membranes", "size", "animal_cell", "text"}, file,
                  QStringLiteral("Eine Organelldatei"), diag))
        return src;
    if (const auto index = scalarText(*root, "index", file, diag)) {
        bool ok = false;
        src.index = index->toInt(&ok);
        if (!ok || src.index < 0 || src.index >= kOrganellCount) {
            diag.error(file, lineOf((*root)["index"]),
                       QStringLiteral("\u201Eindex\u201C muss eine Zahl von 0 bis 10 sein."));
            src.index = -1;
        }
        static const QRegularExpression prefix(QStringLiteral("^(\\d\\d)-"));
        const auto m = prefix.match(QFileInfo(file).fileName());
        if (src.index >= 0 && m.hasMatch() && m.captured(1).toInt() != src.index)
            diag.error(file, lineOf((*root)["index"]),
                       QStringLiteral("\u201Eindex: %1\u201C passt nicht zum Dateinamen.").arg(src.index));
    }
    struct Fact
    {
        const char *key;
        QString *value;
        QString label;
    };
    const Fact facts[] = {
        {"heading", &src.heading, QStringLiteral("Überschrift")},
        {"names", &src.names, QStringLiteral("weitere Namen")},
        {"membranes", &src.memCount, QStringLiteral("Anzahl der Membranen")},
        {"size", &src.size, QStringLiteral("Größe")},
        {"animal_cell", &src.animalCell, QStringLiteral("in Tierzelle")},
    };
    for (const Fact &f : facts) {
        const YAML::Node node = (*root)[f.key];
        if (const auto v = scalarText(*root, f.key, file, diag)) {
            *f.value = isExact(node) ? *v : singleLine(*v);
            if (!isExact(node) && v->trimmed().contains(QLatin1Char('\n')))
                diag.error(file, lineOf(node), QStringLiteral("%1 muss in eine Zeile passen.").arg(f.label));
            if (f.value->contains(QLatin1Char('#')))
                diag.error(file, lineOf(node), QStringLiteral("%1 enthält ein \u201E#\u201C.").arg(f.label));
        }
    }
    const YAML::Node textNode = (*root)["text"];
    src.textLine = lineOf(textNode);
    if (const auto text = scalarText(*root, "text", file, diag)) {
        src.exactText = isExact(textNode);
        src.text = src.exactText ? *text : joinParagraphs(*text);
        if (!src.exactText)
            checkHyphens(src.text, file, src.textLine, diag);
        if (src.text.isEmpty())
            diag.error(file, src.textLine, QStringLiteral("Der Text ist leer."));
    }
    return src;
}

TOrganell compileOrganell(const OrganellSource &s, const Glossary &glossary, Diagnostics &diag,
                          QList<Link> *links)
{
    TOrganell o;
    o.Heading = toCp1252Checked(s.heading, s.file, -1, QStringLiteral("Überschrift"), diag);
    o.Text = compileLinkedText(s.text, glossary, s.file, s.textLine, diag, links);
    o.Names = toCp1252Checked(s.names, s.file, -1, QStringLiteral("weitere Namen"), diag);
    o.MemCount = toCp1252Checked(s.memCount, s.file, -1, QStringLiteral("Anzahl der Membranen"), diag);
    o.Size = toCp1252Checked(s.size, s.file, -1, QStringLiteral("Größe"), diag);
    o.AnimalCell = toCp1252Checked(s.animalCell, s.file, -1, QStringLiteral("in Tierzelle"), diag);
    return o;
}

} // namespace vellora::inhalt
