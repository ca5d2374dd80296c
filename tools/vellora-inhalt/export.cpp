#include "inhalt.h"
#include "yamlutil.h"

#include "base/cp1252.h"
#include "base/linkmarkup.h"

#include <QRegularExpression>

namespace vellora::inhalt {

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(toStd(message));
}

QString wrapLines(const QString &paragraph, int width = 88)
{
    QString out;
    int column = 0;
    for (const QString &word : paragraph.split(QLatin1Char(' '))) {
        if (column > 0 && column + 1 + word.size() > width) {
            out += QLatin1Char('\n');
            column = 0;
        } else if (column > 0 || !out.isEmpty()) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += int(word.size());
    }
    return out;
}

void emitExact(YAML::Emitter &out, const QString &s)
{
    out << YAML::LocalTag("exact") << YAML::DoubleQuoted << toStd(s);
}

bool printable(const QString &s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            return false;
    return true;
}

// A one-line field: written plainly when the compiler's joining gives it back unchanged.
void emitLine(YAML::Emitter &out, const QString &s)
{
    const QString again = QString(s).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified();
    if (again == s && printable(s))
        out << toStd(s);
    else
        emitExact(out, s);
}

// A multi-line field of a test (CR LF line breaks).
void emitMultiline(YAML::Emitter &out, const QString &s)
{
    QString lf = s;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QString back = lf.trimmed();
    while (back.endsWith(QLatin1Char(' ')))
        back.chop(1);
    back.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    bool clean = back == s && !lf.contains(QLatin1Char('\r'));
    for (QChar c : lf)
        clean = clean && (c == QLatin1Char('\n') || c.unicode() >= 0x20) &&
                !(c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    if (!clean)
        emitExact(out, s);
    else if (lf.contains(QLatin1Char('\n')))
        out << YAML::Literal << toStd(lf);
    else
        out << toStd(lf);
}

// Memo markup back to [[links]]; paragraphs as blank-line separated, wrapped lines.
void emitMemoText(YAML::Emitter &out, const QByteArray &bytes, const Glossary *glossary, bool allowLinks)
{
    QString source;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype hash = bytes.indexOf('#', i);
        if (hash < 0) {
            source += fromCp1252(bytes.mid(i));
            break;
        }
        source += fromCp1252(bytes.mid(i, hash - i));
        const std::optional<MemoLink> link = parseMemoLink(bytes, hash);
        if (!allowLinks || !link)
            fail(QStringLiteral(
                     "Der Text enthält bei Zeichen %1 ein \u201E#\u201C, das kein vollständiger Link ist.")
                     .arg(hash));
        const int number = link->number;
        const QString caption = fromCp1252(link->caption);
        const QString whole = fromCp1252(bytes.mid(link->start, link->end - link->start));
        if (!link->numberValid || !glossary || number < 0 || number >= glossary->titles.size())
            fail(QStringLiteral("Der Link \u201E%1\u201C verweist auf keinen Glossareintrag.").arg(whole));
        const QString &title = glossary->titles[number];
        if (glossary->numberOfTitle.value(title, -1) != number)
            fail(QStringLiteral(
                     "Der Glossartitel \u201E%1\u201C kommt mehrfach vor; Link %2 ist nicht eindeutig.")
                     .arg(title)
                     .arg(number));
        if (caption.contains(QLatin1Char('|')) || caption.contains(QStringLiteral("[[")) ||
            caption.contains(QStringLiteral("]]")) || caption.isEmpty())
            fail(
                QStringLiteral("Die Link-Beschriftung \u201E%1\u201C lässt sich nicht als [[...]] schreiben.")
                    .arg(caption));
        source += caption == title ? QStringLiteral("[[%1]]").arg(title)
                                   : QStringLiteral("[[%1|%2]]").arg(caption, title);
        i = link->end;
    }
    QStringList paragraphs = source.split(QStringLiteral("\r\n\r\n"));
    for (QString &p : paragraphs)
        p = wrapLines(p);
    const QString block = paragraphs.join(QStringLiteral("\n\n"));
    if (joinParagraphs(block) == source &&
        printable(QString(source).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'))))
        out << YAML::Literal << toStd(block + QLatin1Char('\n'));
    else
        emitExact(out, source);
}

std::string finish(YAML::Emitter &out)
{
    if (!out.good())
        fail(QStringLiteral("YAML-Ausgabe fehlgeschlagen: %1").arg(fromStd(out.GetLastError())));
    return std::string(out.c_str()) + "\n";
}

} // namespace

std::string exportOrganell(const TOrganell &o, int index, const Glossary &glossary)
{
    YAML::Emitter out;
    out << YAML::BeginMap;
    out << YAML::Key << "index" << YAML::Value << index;
    out << YAML::Key << "heading" << YAML::Value;
    emitLine(out, fromCp1252(o.Heading));
    out << YAML::Key << "names" << YAML::Value;
    emitLine(out, fromCp1252(o.Names));
    out << YAML::Key << "membranes" << YAML::Value;
    emitLine(out, fromCp1252(o.MemCount));
    out << YAML::Key << "size" << YAML::Value;
    emitLine(out, fromCp1252(o.Size));
    out << YAML::Key << "animal_cell" << YAML::Value;
    emitLine(out, fromCp1252(o.AnimalCell));
    out << YAML::Key << "text" << YAML::Value;
    emitMemoText(out, o.Text, &glossary, true);
    out << YAML::EndMap;
    return finish(out);
}

std::string exportGlossaryEntry(const TGlossarEntry &e, const Glossary &glossary)
{
    YAML::Emitter out;
    out << YAML::BeginMap;
    out << YAML::Key << "title" << YAML::Value;
    emitLine(out, fromCp1252(e.Title));
    const bool standardSplit = (e.Text2.isEmpty() || e.Text1.size() == kGlossarTextPieceMax) &&
                               (e.Text3.isEmpty() || e.Text2.size() == kGlossarTextPieceMax);
    if (standardSplit) {
        out << YAML::Key << "text" << YAML::Value;
        emitMultiline(out, fromCp1252(e.Text()));
    } else {
        out << YAML::Key << "text_pieces" << YAML::Value << YAML::BeginSeq;
        for (const QByteArray *p : {&e.Text1, &e.Text2, &e.Text3})
            emitExact(out, fromCp1252(*p));
        out << YAML::EndSeq;
    }
    out << YAML::Key << "see_also" << YAML::Value << YAML::Flow << YAML::BeginSeq;
    bool ended = false;
    for (int32_t link : e.Links) {
        if (link == -1) {
            ended = true;
            continue;
        }
        if (ended)
            fail(QStringLiteral("\u201E%1\u201C: die Verweise haben Lücken.").arg(fromCp1252(e.Title)));
        if (link < 0 || link >= glossary.titles.size())
            fail(QStringLiteral("\u201E%1\u201C verweist auf Eintrag %2, den es nicht gibt.")
                     .arg(fromCp1252(e.Title))
                     .arg(link));
        out << toStd(glossary.titles[link]);
    }
    out << YAML::EndSeq;
    if (!e.Picture.isEmpty()) {
        out << YAML::Key << "picture" << YAML::Value;
        emitLine(out, fromCp1252(e.Picture));
    }
    out << YAML::EndMap;
    return finish(out);
}

std::string exportTest(TestKind kind, const QByteArray &bytes, const QString &fileName)
{
    YAML::Emitter out;
    out << YAML::BeginMap;
    auto header = [&](const TTestInfo &info, const char *kindName) {
        out << YAML::Key << "id" << YAML::Value;
        emitLine(out, fromCp1252(info.ID));
        out << YAML::Key << "kind" << YAML::Value << kindName;
        out << YAML::Key << "title" << YAML::Value;
        emitLine(out, fromCp1252(info.Title));
    };
    switch (kind) {
    case TestKind::SelfCheck: {
        const TSLFTest t = parseSelfCheckTest(bytes, fileName);
        header(t.Info, "selbsttest");
        out << YAML::Key << "questions" << YAML::Value << YAML::BeginSeq;
        for (const TSLFQuestion &q : t.Questions) {
            out << YAML::BeginMap << YAML::Key << "question" << YAML::Value;
            emitMultiline(out, fromCp1252(q.Question));
            out << YAML::Key << "answer" << YAML::Value;
            emitMultiline(out, fromCp1252(q.Answer));
            out << YAML::EndMap;
        }
        out << YAML::EndSeq;
        break;
    }
    case TestKind::MultipleChoice: {
        const TMPCTest t = parseMultipleChoiceTest(bytes, fileName);
        header(t.Info, "multiple-choice");
        out << YAML::Key << "questions" << YAML::Value << YAML::BeginSeq;
        for (const TMPCQuestion &q : t.Questions) {
            out << YAML::BeginMap << YAML::Key << "question" << YAML::Value;
            emitMultiline(out, fromCp1252(q.Question));
            if (q.Options.size() < 16 && (q.Answer >> q.Options.size()) != 0)
                fail(QStringLiteral("%1: eine Antwortmaske nennt Antworten, die es nicht gibt.")
                         .arg(fileName));
            out << YAML::Key << "options" << YAML::Value << YAML::BeginSeq;
            for (qsizetype k = 0; k < q.Options.size(); ++k) {
                out << YAML::BeginMap << YAML::Key << "text" << YAML::Value;
                emitLine(out, fromCp1252(q.Options[k]));
                if (k < 16 && (q.Answer & (1u << k)))
                    out << YAML::Key << "correct" << YAML::Value << true;
                out << YAML::EndMap;
            }
            out << YAML::EndSeq << YAML::EndMap;
        }
        out << YAML::EndSeq;
        break;
    }
    case TestKind::Cloze: {
        const TLKTTest t = parseClozeTest(bytes, fileName);
        header(t.Info, "lueckentext");
        out << YAML::Key << "text" << YAML::Value;
        emitLine(out, fromCp1252(t.Text));
        out << YAML::Key << "gaps" << YAML::Value << YAML::BeginSeq;
        for (const TWord &w : t.Words) {
            out << YAML::Flow << YAML::BeginSeq;
            for (const QByteArray &a : w.Words)
                emitLine(out, fromCp1252(a));
            out << YAML::EndSeq;
        }
        out << YAML::EndSeq;
        break;
    }
    case TestKind::Unknown:
        fail(QStringLiteral("%1: unbekannte Testart.").arg(fileName));
    }
    out << YAML::EndMap;
    return finish(out);
}

std::string exportManualPage(const QByteArray &bytes)
{
    QString t = fromCp1252(bytes);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return toStd(t + QLatin1Char('\n'));
}

std::string exportIntroduction(const QByteArray &bytes)
{
    QStringList paragraphs = fromCp1252(bytes).split(QStringLiteral("\r\n\r\n"));
    for (QString &p : paragraphs)
        p = wrapLines(p);
    return toStd(paragraphs.join(QStringLiteral("\n\n")) + QLatin1Char('\n'));
}

QString glossaryFileStem(const QString &title)
{
    QString out;
    for (QChar c : title.toLower()) {
        switch (c.unicode()) {
        case u'ä':
            out += QStringLiteral("ae");
            continue;
        case u'ö':
            out += QStringLiteral("oe");
            continue;
        case u'ü':
            out += QStringLiteral("ue");
            continue;
        case u'ß':
            out += QStringLiteral("ss");
            continue;
        default:
            break;
        }
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out += c;
        else if (!out.isEmpty() && !out.endsWith(QLatin1Char('-')))
            out += QLatin1Char('-');
    }
    while (out.endsWith(QLatin1Char('-')))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("eintrag") : out;
}

} // namespace vellora::inhalt
