#include "inhalt.h"
#include "yamlutil.h"

#include "base/asciifold.h"
#include "base/cp1252.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace vellora::inhalt {

// ---- diagnostics ----

void Diagnostics::error(const QString &file, int line, const QString &message)
{
    m_messages << (line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message)
                            : QStringLiteral("%1: %2").arg(file, message));
}

void Diagnostics::warning(const QString &file, int line, const QString &message)
{
    m_warnings << (line > 0 ? QStringLiteral("%1:%2: Warnung: %3").arg(file).arg(line).arg(message)
                            : QStringLiteral("%1: Warnung: %2").arg(file, message));
}

void Diagnostics::check() const
{
    if (!ok())
        throw CompileError(m_messages);
}

CompileError::CompileError(const QStringList &m)
    : std::runtime_error(toStd(m.join(QLatin1Char('\n')))), messages(m)
{
}

// ---- text ----

QByteArray toCp1252Checked(const QString &text, const QString &file, int line, const QString &field,
                           Diagnostics &diag)
{
    bool ok = false;
    const QByteArray bytes = toCp1252(text, &ok);
    if (!ok) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!representableInCp1252(text.mid(i, 1))) {
                diag.error(file, line, QStringLiteral("%1: das Zeichen \u201E%2\u201C (U+%3) gibt es in cp1252 nicht.")
                                           .arg(field, text.mid(i, 1))
                                           .arg(text[i].unicode(), 4, 16, QLatin1Char('0')));
                break;
            }
        }
    }
    return bytes;
}

namespace {

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

} // namespace

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

namespace {

struct LinkSpan {
    qsizetype start = 0, end = 0; // [start, end) of "[[...]]"
    QString caption, title;
};

// Finds the [[...]] links; reports malformed ones. Returns false on a problem.
bool findLinks(const QString &text, QList<LinkSpan> &spans, QString *problem)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QStringLiteral("[["), i);
        const qsizetype strayClose = text.indexOf(QStringLiteral("]]"), i);
        if (strayClose >= 0 && (open < 0 || strayClose < open)) {
            *problem = QStringLiteral("\u201E]]\u201C ohne \u201E[[\u201C davor: \u201E%1\u201C").arg(text.mid(std::max<qsizetype>(0, strayClose - 30), 32));
            return false;
        }
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QStringLiteral("]]"), open + 2);
        if (close < 0) {
            *problem = QStringLiteral("\u201E[[\u201C wird nicht mit \u201E]]\u201C geschlossen: \u201E%1\u201C").arg(text.mid(open, 40));
            return false;
        }
        const QString inner = text.mid(open + 2, close - open - 2);
        if (inner.contains(QStringLiteral("[["))) {
            *problem = QStringLiteral("\u201E[[\u201C wird nicht mit \u201E]]\u201C geschlossen: \u201E%1\u201C").arg(text.mid(open, 40));
            return false;
        }
        LinkSpan span;
        span.start = open;
        span.end = close + 2;
        const QStringList parts = inner.split(QLatin1Char('|'));
        if (parts.size() > 2 || inner.trimmed().isEmpty()) {
            *problem = QStringLiteral("Ungültiger Link \u201E[[%1]]\u201C: erlaubt sind [[Titel]] und [[Wortform|Titel]].").arg(inner);
            return false;
        }
        span.caption = parts.first();
        span.title = parts.last();
        if (span.caption.trimmed().isEmpty() || span.title.trimmed().isEmpty()) {
            *problem = QStringLiteral("Ungültiger Link \u201E[[%1]]\u201C: Wortform und Titel dürfen nicht leer sein.").arg(inner);
            return false;
        }
        spans << span;
        i = span.end;
    }
    return true;
}

} // namespace

QByteArray compileLinkedText(const QString &text, const Glossary &glossary, const QString &file, int line,
                             Diagnostics &diag, QList<Link> *links)
{
    if (text.contains(QLatin1Char('#'))) {
        diag.error(file, line, QStringLiteral("Der Text enthält ein \u201E#\u201C; es würde einen Link beginnen. Bitte umformulieren (z. B. \u201ENr.\u201C)."));
        return {};
    }
    QList<LinkSpan> spans;
    QString problem;
    if (!findLinks(text, spans, &problem)) {
        diag.error(file, line, problem);
        return {};
    }
    QString out;
    qsizetype pos = 0;
    bool ok = true;
    for (const LinkSpan &s : spans) {
        // The memo ends the word before a link as at a blank, so "([[X]])" shows "( X)".
        if (s.start > 0 && text[s.start - 1] != QLatin1Char(' ') && text[s.start - 1] != QLatin1Char('\n'))
            diag.warning(file, line, QStringLiteral("Vor dem Link \u201E%1\u201C steht \u201E%2\u201C ohne Leerzeichen; der Textbereich zeigt dort trotzdem ein Leerzeichen. Besser umformulieren, z. B. ohne Klammer.")
                                         .arg(text.mid(s.start, s.end - s.start), text.mid(s.start - 1, 1)));
        out += text.mid(pos, s.start - pos);
        const auto it = glossary.numberOfTitle.constFind(s.title);
        if (it == glossary.numberOfTitle.constEnd()) {
            QString hint;
            for (const QString &t : glossary.titles)
                if (t.compare(s.title, Qt::CaseInsensitive) == 0)
                    hint = QStringLiteral(" Gemeint ist vielleicht \u201E%1\u201C.").arg(t);
            diag.error(file, line, QStringLiteral("Link auf \u201E%1\u201C: diesen Glossartitel gibt es nicht.%2").arg(s.title, hint));
            ok = false;
        } else {
            out += QStringLiteral("#%1#%2#").arg(*it).arg(s.caption);
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
    QList<LinkSpan> spans;
    QString problem;
    if (!findLinks(text, spans, &problem))
        return text;
    QString out;
    qsizetype pos = 0;
    for (const LinkSpan &s : spans) {
        out += text.mid(pos, s.start - pos) + s.caption;
        pos = s.end;
    }
    return out + text.mid(pos);
}

// ---- glossary ----

GlossarySource readGlossarySource(const QString &file, Diagnostics &diag)
{
    GlossarySource src;
    src.file = file;
    const std::optional<YAML::Node> root = loadYamlFile(file, diag);
    if (!root)
        return src;
    if (!checkMap(*root, {"title", "text", "text_pieces", "see_also", "picture"}, file, QStringLiteral("Ein Glossareintrag"), diag))
        return src;
    src.line = lineOf((*root)["title"]);
    if (const auto title = scalarText(*root, "title", file, diag)) {
        src.title = *title;
        if (src.title.contains(QLatin1Char('\n')) || src.title.trimmed() != src.title || src.title.isEmpty())
            diag.error(file, src.line, QStringLiteral("Der Titel muss eine Zeile ohne Leerzeichen am Anfang und Ende sein."));
        const QByteArray t = toCp1252Checked(src.title, file, src.line, QStringLiteral("Titel"), diag);
        if (t.size() > kGlossarTitleMax)
            diag.error(file, src.line, QStringLiteral("Der Titel \u201E%1\u201C ist %2 Bytes lang; erlaubt sind höchstens %3.")
                                           .arg(src.title).arg(t.size()).arg(kGlossarTitleMax));
        if (src.title.contains(QStringLiteral("[[")) || src.title.contains(QLatin1Char('|')) || src.title.contains(QStringLiteral("]]")))
            diag.error(file, src.line, QStringLiteral("Der Titel darf weder \u201E[[\u201C, \u201E]]\u201C noch \u201E|\u201C enthalten."));
    }
    const YAML::Node pieces = (*root)["text_pieces"];
    if (pieces.IsDefined()) {
        // Written by the exporter for files whose explanation is split differently.
        if (!pieces.IsSequence() || pieces.size() != 3) {
            diag.error(file, lineOf(pieces), QStringLiteral("\u201Etext_pieces\u201C muss eine Liste aus drei Texten sein."));
        } else {
            for (const auto &p : pieces) {
                const QByteArray b = toCp1252Checked(fromStd(p.Scalar()), file, lineOf(p), QStringLiteral("Erklärung"), diag);
                if (b.size() > kGlossarTextPieceMax)
                    diag.error(file, lineOf(p), QStringLiteral("Ein Teil der Erklärung ist länger als %1 Bytes.").arg(kGlossarTextPieceMax));
                src.pieces << b;
            }
            src.text = src.pieces[0] + src.pieces[1] + src.pieces[2];
        }
        if ((*root)["text"].IsDefined())
            diag.error(file, lineOf(pieces), QStringLiteral("Entweder \u201Etext\u201C oder \u201Etext_pieces\u201C angeben, nicht beide."));
    } else if (const auto text = scalarText(*root, "text", file, diag)) {
        const int line = lineOf((*root)["text"]);
        const QString t = isExact((*root)["text"]) ? *text : crlfText(text->trimmed());
        if (t.contains(QStringLiteral("[[")))
            diag.error(file, line, QStringLiteral("Glossarerklärungen haben keine Links; Verweise gehören in \u201Esee_also\u201C."));
        src.text = toCp1252Checked(t, file, line, QStringLiteral("Erklärung"), diag);
        if (src.text.isEmpty())
            diag.error(file, line, QStringLiteral("Die Erklärung ist leer."));
        if (src.text.size() > kGlossarTextMax)
            diag.error(file, line, QStringLiteral("Die Erklärung ist %1 Bytes lang; erlaubt sind höchstens %2.")
                                       .arg(src.text.size()).arg(kGlossarTextMax));
    }
    const YAML::Node see = (*root)["see_also"];
    if (see.IsDefined() && !see.IsNull()) {
        if (!see.IsSequence()) {
            diag.error(file, lineOf(see), QStringLiteral("\u201Esee_also\u201C muss eine Liste von Titeln sein, z. B. [Zellkern, Zellwand]."));
        } else {
            for (const auto &s : see) {
                if (!s.IsScalar()) {
                    diag.error(file, lineOf(s), QStringLiteral("Jeder Eintrag in \u201Esee_also\u201C muss ein Titel sein."));
                    continue;
                }
                src.seeAlso << fromStd(s.Scalar());
                src.seeAlsoLines << lineOf(s);
            }
            if (src.seeAlso.size() > kGlossarLinkCount)
                diag.error(file, lineOf(see), QStringLiteral("\u201Esee_also\u201C hat %1 Einträge; erlaubt sind höchstens %2.")
                                                  .arg(src.seeAlso.size()).arg(kGlossarLinkCount));
        }
    }
    if (const auto picture = scalarText(*root, "picture", file, diag, false)) {
        const int line = lineOf((*root)["picture"]);
        src.picture = toCp1252Checked(*picture, file, line, QStringLiteral("Bild"), diag);
        static const QRegularExpression stem(QStringLiteral("^[A-Za-z0-9_-]*$"));
        if (picture->size() > kGlossarPictureMax)
            diag.error(file, line, QStringLiteral("Der Bildname \u201E%1\u201C hat mehr als %2 Zeichen.").arg(*picture).arg(kGlossarPictureMax));
        else if (!stem.match(*picture).hasMatch())
            diag.error(file, line, QStringLiteral("Der Bildname \u201E%1\u201C darf nur Buchstaben A-Z, Ziffern, \u201E-\u201C und \u201E_\u201C enthalten, ohne \u201E.bmp\u201C.").arg(*picture));
    }
    return src;
}

Glossary buildGlossary(const QList<GlossarySource> &sources, Diagnostics &diag)
{
    struct Item {
        const GlossarySource *src;
        QByteArray title;
    };
    QList<Item> items;
    for (const GlossarySource &s : sources)
        items << Item{&s, toCp1252(s.title)};
    std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        return asciiCompareNoCase(a.title, b.title) < 0;
    });
    Glossary g;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0 && asciiEqualNoCase(items[i - 1].title, items[i].title)) {
            const GlossarySource &a = *items[i - 1].src;
            const GlossarySource &b = *items[i].src;
            diag.error(b.file, b.line, a.title == b.title
                                           ? QStringLiteral("Den Titel \u201E%1\u201C gibt es schon in %2.").arg(b.title, a.file)
                                           : QStringLiteral("Der Titel \u201E%1\u201C unterscheidet sich von \u201E%2\u201C (%3) nur in der Groß-/Kleinschreibung von A-Z; die Suche kann sie nicht trennen.")
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
                diag.error(s.file, line, QStringLiteral("\u201Esee_also\u201C nennt \u201E%1\u201C: diesen Glossartitel gibt es nicht.").arg(t));
            else if (t == s.title)
                diag.error(s.file, line, QStringLiteral("Ein Eintrag verweist in \u201Esee_also\u201C nicht auf sich selbst."));
            else if (seen.contains(t))
                diag.error(s.file, line, QStringLiteral("\u201E%1\u201C steht zweimal in \u201Esee_also\u201C.").arg(t));
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

// ---- organelles ----

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
            diag.error(file, lineOf((*root)["index"]), QStringLiteral("\u201Eindex\u201C muss eine Zahl von 0 bis 10 sein."));
            src.index = -1;
        }
        static const QRegularExpression prefix(QStringLiteral("^(\\d\\d)-"));
        const auto m = prefix.match(QFileInfo(file).fileName());
        if (src.index >= 0 && m.hasMatch() && m.captured(1).toInt() != src.index)
            diag.error(file, lineOf((*root)["index"]), QStringLiteral("\u201Eindex: %1\u201C passt nicht zum Dateinamen.").arg(src.index));
    }
    struct Fact {
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
        if (src.text.isEmpty())
            diag.error(file, src.textLine, QStringLiteral("Der Text ist leer."));
    }
    return src;
}

TOrganell compileOrganell(const OrganellSource &s, const Glossary &glossary, Diagnostics &diag, QList<Link> *links)
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

// ---- manual pages, exercise introduction ----

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
    if (joined.contains(QLatin1Char('#')))
        diag.error(file, QStringLiteral("Die Einleitung enthält ein \u201E#\u201C; die Übungsseite zeigt keine Links."));
    if (joined.contains(QStringLiteral("[[")))
        diag.error(file, QStringLiteral("Die Einleitung enthält einen Link \u201E[[...]]\u201C; die Übungsseite zeigt keine Links."));
    return toCp1252Checked(joined, file, -1, QStringLiteral("Einleitung"), diag);
}

// ---- tests ----

namespace {

TestKind kindFromName(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("selbsttest"))
        return TestKind::SelfCheck;
    if (n == QLatin1String("multiple-choice"))
        return TestKind::MultipleChoice;
    if (n == QLatin1String("lueckentext") || n == QStringLiteral("lückentext"))
        return TestKind::Cloze;
    return TestKind::Unknown;
}

TestKind kindFromLetter(char c)
{
    switch (c) {
    case 'S': return TestKind::SelfCheck;
    case 'M': return TestKind::MultipleChoice;
    case 'L': return TestKind::Cloze;
    default: return TestKind::Unknown;
    }
}

QString kindName(TestKind k)
{
    switch (k) {
    case TestKind::SelfCheck: return QStringLiteral("Selbsttest");
    case TestKind::MultipleChoice: return QStringLiteral("Multiple-Choice-Test");
    case TestKind::Cloze: return QStringLiteral("Lückentext");
    case TestKind::Unknown: break;
    }
    return QStringLiteral("unbekannt");
}

char kindLetter(TestKind k)
{
    switch (k) {
    case TestKind::SelfCheck: return 'S';
    case TestKind::MultipleChoice: return 'M';
    case TestKind::Cloze: return 'L';
    case TestKind::Unknown: break;
    }
    return '?';
}

// One text field of a test: multi-line texts keep their line breaks as CR LF, single-line ones
// collapse blanks; !exact takes the bytes as they stand.
QByteArray testText(const YAML::Node &node, const QString &file, const QString &field, bool multiLine,
                    Diagnostics &diag)
{
    if (!node.IsDefined() || node.IsNull() || !node.IsScalar()) {
        diag.error(file, lineOf(node), QStringLiteral("%1 fehlt oder ist kein einfacher Text.").arg(field));
        return {};
    }
    const QString raw = fromStd(node.Scalar());
    QString t = isExact(node) ? raw : multiLine ? crlfText(raw.trimmed()) : singleLine(raw.trimmed());
    if (!isExact(node) && t.isEmpty())
        diag.error(file, lineOf(node), QStringLiteral("%1 ist leer.").arg(field));
    return toCp1252Checked(t, file, lineOf(node), field, diag);
}

} // namespace

CompiledTest compileTest(const QString &file, TestKind kindHint, Diagnostics &diag)
{
    CompiledTest out;
    const std::optional<YAML::Node> root = loadYamlFile(file, diag);
    if (!root)
        return out;
    if (!checkMap(*root, {"id", "kind", "title", "questions", "text", "gaps"}, file, QStringLiteral("Eine Testdatei"), diag))
        return out;
    const int errorsBefore = diag.messages().size();

    TTestInfo info;
    const YAML::Node idNode = (*root)["id"];
    if (const auto id = scalarText(*root, "id", file, diag)) {
        info.ID = toCp1252Checked(*id, file, lineOf(idNode), QStringLiteral("ID"), diag);
        if (info.ID.size() != kTestIdSize)
            diag.error(file, lineOf(idNode), QStringLiteral("Die ID \u201E%1\u201C ist %2 Bytes lang; sie muss genau %3 Bytes lang sein.")
                                                 .arg(*id).arg(info.ID.size()).arg(kTestIdSize));
    }
    TestKind kind = kindHint;
    if (const auto k = scalarText(*root, "kind", file, diag, false)) {
        const TestKind named = kindFromName(*k);
        if (named == TestKind::Unknown)
            diag.error(file, lineOf((*root)["kind"]), QStringLiteral("\u201Ekind: %1\u201C ist unbekannt (selbsttest, multiple-choice oder lueckentext).").arg(*k));
        else if (kindHint != TestKind::Unknown && named != kindHint)
            diag.error(file, lineOf((*root)["kind"]), QStringLiteral("\u201Ekind: %1\u201C passt nicht zur Endung der Ausgabedatei (%2).").arg(*k, testExtension(kindHint)));
        else
            kind = named;
    }
    if (!info.ID.isEmpty()) {
        const TestKind byLetter = kindFromLetter(info.ID[0]);
        if (byLetter == TestKind::Unknown)
            diag.error(file, lineOf(idNode), QStringLiteral("Die ID muss mit \u201ES\u201C (Selbsttest), \u201EM\u201C (Multiple-Choice) oder \u201EL\u201C (Lückentext) beginnen."));
        else if (kind == TestKind::Unknown)
            kind = byLetter;
        else if (byLetter != kind)
            diag.error(file, lineOf(idNode), QStringLiteral("Die ID beginnt mit \u201E%1\u201C, ein %2 braucht \u201E%3\u201C.")
                                                 .arg(QChar(info.ID[0])).arg(kindName(kind)).arg(QChar(kindLetter(kind))));
    }
    info.Title = testText((*root)["title"], file, QStringLiteral("Titel"), false, diag);
    out.kind = kind;
    out.id = info.ID;

    const YAML::Node questions = (*root)["questions"];
    auto checkQuestionList = [&]() {
        if (!questions.IsDefined() || !questions.IsSequence() || questions.size() == 0) {
            diag.error(file, lineOf(*root), QStringLiteral("\u201Equestions\u201C muss eine Liste mit mindestens einer Frage sein."));
            return false;
        }
        return true;
    };
    if (kind != TestKind::Cloze && ((*root)["text"].IsDefined() || (*root)["gaps"].IsDefined()))
        diag.error(file, lineOf(*root), QStringLiteral("\u201Etext\u201C und \u201Egaps\u201C gehören nur in einen Lückentext."));
    if (kind == TestKind::Cloze && questions.IsDefined())
        diag.error(file, lineOf(questions), QStringLiteral("Ein Lückentext hat keine \u201Equestions\u201C, sondern \u201Etext\u201C und \u201Egaps\u201C."));

    switch (kind) {
    case TestKind::Unknown:
        diag.error(file, QStringLiteral("Die Testart ist unbekannt: bitte \u201Ekind\u201C angeben oder die ID mit S, M oder L beginnen lassen."));
        break;
    case TestKind::SelfCheck: {
        TSLFTest t;
        t.Info = info;
        if (checkQuestionList()) {
            for (const auto &q : questions) {
                if (!checkMap(q, {"question", "answer"}, file, QStringLiteral("Eine Frage"), diag))
                    continue;
                TSLFQuestion sq;
                sq.Question = testText(q["question"], file, QStringLiteral("Frage"), true, diag);
                sq.Answer = testText(q["answer"], file, QStringLiteral("Antwort"), true, diag);
                t.Questions << sq;
            }
        }
        if (info.ID.size() == kTestIdSize)
            out.bytes = serializeSelfCheckTest(t);
        break;
    }
    case TestKind::MultipleChoice: {
        TMPCTest t;
        t.Info = info;
        if (checkQuestionList()) {
            for (const auto &q : questions) {
                if (!checkMap(q, {"question", "options"}, file, QStringLiteral("Eine Frage"), diag))
                    continue;
                TMPCQuestion mq;
                mq.Question = testText(q["question"], file, QStringLiteral("Frage"), true, diag);
                const YAML::Node options = q["options"];
                if (!options.IsDefined() || !options.IsSequence() || options.size() == 0) {
                    diag.error(file, lineOf(q), QStringLiteral("Jede Frage braucht eine Liste \u201Eoptions\u201C."));
                    continue;
                }
                if (options.size() > size_t(kMaxShownOptions))
                    diag.error(file, lineOf(options), QStringLiteral("Die Frage hat %1 Antworten; höchstens %2 passen auf die Seite.")
                                                          .arg(options.size()).arg(kMaxShownOptions));
                int k = 0;
                for (const auto &o : options) {
                    if (o.IsMap()) {
                        if (!checkMap(o, {"text", "correct"}, file, QStringLiteral("Eine Antwort"), diag))
                            continue;
                        mq.Options << testText(o["text"], file, QStringLiteral("Antwort"), false, diag);
                        const YAML::Node c = o["correct"];
                        bool right = false;
                        if (c.IsDefined() && !(c.IsScalar() && YAML::convert<bool>::decode(c, right)))
                            diag.error(file, lineOf(c), QStringLiteral("\u201Ecorrect\u201C muss true oder false sein."));
                        if (right && k < 16)
                            mq.Answer |= uint16_t(1u << k);
                    } else {
                        mq.Options << testText(o, file, QStringLiteral("Antwort"), false, diag);
                    }
                    ++k;
                }
                mq.Count = int32_t(mq.Options.size());
                t.Questions << mq;
            }
        }
        if (info.ID.size() == kTestIdSize)
            out.bytes = serializeMultipleChoiceTest(t);
        break;
    }
    case TestKind::Cloze: {
        TLKTTest t;
        t.Info = info;
        const YAML::Node text = (*root)["text"];
        t.Text = testText(text, file, QStringLiteral("Lückentext"), false, diag);
        const QList<ClozeGap> gaps = clozeGaps(t.Text);
        for (const ClozeGap &g : gaps)
            if (g.width <= 0)
                diag.error(file, lineOf(text), QStringLiteral("Auf jedes \u201E#\u201C muss die Breite der Lücke folgen (eine Zahl ab 1), z. B. \u201E#8\u201C."));
        const YAML::Node gapList = (*root)["gaps"];
        if (!gapList.IsDefined() || !gapList.IsSequence()) {
            diag.error(file, lineOf(*root), QStringLiteral("\u201Egaps\u201C muss eine Liste sein: für jede Lücke die erlaubten Antworten."));
        } else {
            if (gapList.size() != size_t(gaps.size())) {
                // In YAML a '#' after a blank starts a comment, which silently cuts a plain text.
                const QString hint = gapList.size() > size_t(gaps.size()) && !text.IsNull() && text.Tag() == "?"
                                         ? QStringLiteral(" Achtung: \u201E#\u201C nach einem Leerzeichen beginnt in YAML einen Kommentar; den Text in Anführungszeichen setzen oder als Block schreiben (text: >-).")
                                         : QString();
                diag.error(file, lineOf(gapList), QStringLiteral("Der Text hat %1 Lücken (\u201E#\u201C), \u201Egaps\u201C nennt %2.%3")
                                                      .arg(gaps.size()).arg(gapList.size()).arg(hint));
            }
            if (gaps.isEmpty())
                diag.error(file, lineOf(text), QStringLiteral("Der Lückentext hat keine Lücke (\u201E#\u201C mit Breite)."));
            for (const auto &g : gapList) {
                TWord w;
                if (g.IsSequence()) {
                    for (const auto &a : g)
                        w.Words << testText(a, file, QStringLiteral("Lösung"), false, diag);
                } else {
                    w.Words << testText(g, file, QStringLiteral("Lösung"), false, diag);
                }
                if (w.Words.isEmpty())
                    diag.error(file, lineOf(g), QStringLiteral("Jede Lücke braucht mindestens eine Lösung."));
                w.Count = int32_t(w.Words.size());
                t.Words << w;
            }
        }
        t.Count = int32_t(t.Words.size());
        if (info.ID.size() == kTestIdSize)
            out.bytes = serializeClozeTest(t);
        break;
    }
    }
    if (diag.messages().size() != errorsBefore)
        out.bytes.clear();
    return out;
}

void checkUniqueIds(const QList<QPair<QString, QByteArray>> &fileAndId, Diagnostics &diag)
{
    QHash<QByteArray, QString> seen;
    for (const auto &[file, id] : fileAndId) {
        if (id.isEmpty())
            continue;
        const auto it = seen.constFind(id);
        if (it != seen.constEnd())
            diag.error(file, QStringLiteral("Die ID \u201E%1\u201C hat schon %2; jeder Test braucht eine eigene ID.").arg(fromCp1252(id), *it));
        else
            seen.insert(id, file);
    }
}

} // namespace vellora::inhalt
