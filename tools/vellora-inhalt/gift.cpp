// Moodle GIFT questions into test sources.

#include "gift.h"
#include "inhalt.h"
#include "yamlutil.h"

#include "base/cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocumentFragment>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace vellora::inhalt {

namespace {

// The characters GIFT escapes with a backslash.
bool escapable(QChar c)
{
    return QStringLiteral("~=#{}:\\").contains(c);
}

// Position of the first c at or after from that no backslash escapes, or -1.
qsizetype findUnescaped(const QString &s, const QString &what, qsizetype from = 0)
{
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (QStringView(s).mid(i).startsWith(what))
            return i;
    }
    return -1;
}

// Escapes resolved; "\n" is a line break.
QString unescape(const QString &s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            if (s[i + 1] == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
            if (escapable(s[i + 1])) {
                out += s[++i];
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

enum class Format { Plain, Html };

// A text piece of a question as Vellora shows it: escapes resolved, HTML turned into plain text,
// blanks and source line breaks joined; "\n" breaks survive only where multiLine allows.
QString cleanText(const QString &raw, Format format, bool multiLine)
{
    // A line break of the file is a blank; only the escape "\n" breaks a line.
    QString s = unescape(QString(raw).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (format == Format::Html)
        s = QTextDocumentFragment::fromHtml(s).toPlainText();
    QStringList lines = s.split(QLatin1Char('\n'));
    for (QString &l : lines)
        l = l.simplified();
    lines.removeAll(QString());
    // Test texts break lines with CR LF, as the compiler writes them.
    return lines.join(multiLine ? QStringLiteral("\r\n") : QStringLiteral(" "));
}

struct Answer
{
    QChar prefix; // '=' or '~'
    std::optional<double> weight;
    QString text; // raw, escapes kept
};

struct Block
{
    enum Kind { Choice, Short, TrueFalse, Numeric, Essay } kind = Choice;
    QList<Answer> answers;
    bool truth = false;      // TrueFalse
    QString generalFeedback; // raw
};

// Splits "=a#fb ~%50%b ..." into answers; the first unescaped '#' of each starts its feedback.
QList<Answer> splitAnswers(const QString &body)
{
    QList<Answer> out;
    qsizetype i = 0;
    while (true) {
        const qsizetype eq = findUnescaped(body, QStringLiteral("="), i);
        const qsizetype tilde = findUnescaped(body, QStringLiteral("~"), i);
        qsizetype start = eq < 0 ? tilde : tilde < 0 ? eq : std::min(eq, tilde);
        if (start < 0)
            break;
        const qsizetype nextEq = findUnescaped(body, QStringLiteral("="), start + 1);
        const qsizetype nextTilde = findUnescaped(body, QStringLiteral("~"), start + 1);
        qsizetype end = nextEq < 0 ? nextTilde : nextTilde < 0 ? nextEq : std::min(nextEq, nextTilde);
        if (end < 0)
            end = body.size();
        QString text = body.mid(start + 1, end - start - 1);
        const qsizetype hash = findUnescaped(text, QStringLiteral("#"));
        if (hash >= 0)
            text.truncate(hash);
        Answer a{body[start], std::nullopt, text.trimmed()};
        static const QRegularExpression weight(QStringLiteral("^%(-?\\d+(?:[.,]\\d+)?)%"));
        if (const QRegularExpressionMatch m = weight.match(a.text); m.hasMatch()) {
            a.weight = m.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
            a.text = a.text.mid(m.capturedLength()).trimmed();
        }
        out << a;
        i = end;
    }
    return out;
}

Block parseBlock(const QString &inside)
{
    Block b;
    QString body = inside;
    if (const qsizetype general = findUnescaped(body, QStringLiteral("####")); general >= 0) {
        b.generalFeedback = body.mid(general + 4);
        body.truncate(general);
    }
    body = body.trimmed();
    if (body.isEmpty()) {
        b.kind = Block::Essay;
        return b;
    }
    if (body.startsWith(QLatin1Char('#'))) {
        b.kind = Block::Numeric;
        const QString rest = body.mid(1);
        if (findUnescaped(rest, QStringLiteral("=")) >= 0) {
            b.answers = splitAnswers(rest); // Moodle's export: {#=%100%2:0#}
        } else {
            const qsizetype fb = findUnescaped(rest, QStringLiteral("#"));
            b.answers << Answer{QLatin1Char('='), std::nullopt, (fb < 0 ? rest : rest.left(fb)).trimmed()};
        }
        // A tolerance of zero asks for the number itself.
        static const QRegularExpression noTolerance(QStringLiteral(":0+(?:[.,]0+)?$"));
        for (Answer &a : b.answers)
            a.text.remove(noTolerance);
        return b;
    }
    const qsizetype hash = findUnescaped(body, QStringLiteral("#"));
    const QString head = (hash < 0 ? body : body.left(hash)).trimmed().toUpper();
    if (head == QLatin1String("T") || head == QLatin1String("TRUE") || head == QLatin1String("F") ||
        head == QLatin1String("FALSE")) {
        b.kind = Block::TrueFalse;
        b.truth = head.startsWith(QLatin1Char('T'));
        return b;
    }
    b.answers = splitAnswers(body);
    const bool anyTilde = std::any_of(b.answers.begin(), b.answers.end(),
                                      [](const Answer &a) { return a.prefix == QLatin1Char('~'); });
    b.kind = anyTilde ? Block::Choice : Block::Short;
    return b;
}

// A number as written in a numeric answer: "1822", "-3", "0.5"; ranges and tolerances are not.
bool plainNumber(const QString &s)
{
    static const QRegularExpression number(QStringLiteral("^-?\\d+(?:[.,]\\d+)?$"));
    return number.match(s).hasMatch();
}

constexpr const char *kBlank = "_____";

class Importer
{
  public:
    GiftImport out;

    void question(const QString &chunk, int line)
    {
        ++out.questions;
        m_line = line;
        QString s = chunk.trimmed();
        // "::name::" is Moodle's own label of the question; Vellora shows none.
        if (s.startsWith(QLatin1String("::"))) {
            const qsizetype end = findUnescaped(s, QStringLiteral("::"), 2);
            if (end < 0)
                return refuse(QStringLiteral("Der Fragename (::...::) ist nicht geschlossen."));
            s = s.mid(end + 2).trimmed();
        }
        Format format = Format::Plain;
        static const QRegularExpression marker(QStringLiteral("^\\[(html|moodle|plain|markdown)\\]"),
                                               QRegularExpression::CaseInsensitiveOption);
        if (const QRegularExpressionMatch m = marker.match(s); m.hasMatch()) {
            if (m.captured(1).compare(QLatin1String("html"), Qt::CaseInsensitive) == 0)
                format = Format::Html;
            s = s.mid(m.capturedLength());
        }

        // The text pieces around the answer blocks.
        QStringList pieces;
        QList<Block> blocks;
        qsizetype at = 0;
        while (true) {
            const qsizetype open = findUnescaped(s, QStringLiteral("{"), at);
            if (open < 0)
                break;
            const qsizetype close = findUnescaped(s, QStringLiteral("}"), open + 1);
            if (close < 0)
                return refuse(QStringLiteral("Eine Antwortklammer \u201E{\u201C wird nicht geschlossen."));
            pieces << s.mid(at, open - at);
            blocks << parseBlock(s.mid(open + 1, close - open - 1));
            at = close + 1;
        }
        pieces << s.mid(at);
        if (blocks.isEmpty())
            return refuse(QStringLiteral("Die Frage hat keine Antworten in \u201E{...}\u201C (eine "
                                         "Beschreibung); sie wird nicht übernommen."));

        for (const Block &b : blocks) {
            if (b.kind == Block::Essay)
                return refuse(QStringLiteral(
                    "Freitextfragen ({}) kann Vellora nicht bewerten; die Frage wird nicht übernommen."));
            // Only answers that all begin with "=" make a matching question; "->" in a choice is text.
            for (const Answer &a : b.answers)
                if (b.kind == Block::Short && findUnescaped(a.text, QStringLiteral("->")) >= 0)
                    return refuse(QStringLiteral(
                        "Zuordnungsfragen (->) gibt es in Vellora nicht; die Frage wird nicht übernommen."));
            const bool range = std::any_of(b.answers.begin(), b.answers.end(), [](const Answer &a) {
                return (!a.weight || *a.weight >= 100) && !plainNumber(a.text);
            });
            if (b.kind == Block::Numeric && range)
                return refuse(
                    QStringLiteral("Zahlenbereiche und Toleranzen (z. B. {#3:0,5} oder {#1..5}) kann Vellora "
                                   "nicht prüfen; nur eine genaue Zahl wie {#42} wird übernommen."));
        }

        const bool typed = std::all_of(blocks.begin(), blocks.end(), [](const Block &b) {
            return b.kind == Block::Short || b.kind == Block::Numeric;
        });
        const bool textAfter = !cleanText(pieces.last(), format, false).isEmpty();
        if (blocks.size() == 1 && !typed)
            return choice(pieces, blocks[0], format);
        if (!typed)
            return refuse(QStringLiteral(
                "Mehrere Antwortklammern in einer Frage gehen nur, wenn alle Lücken zum Eintippen sind."));
        if (blocks.size() == 1 && !textAfter)
            return selfCheck(pieces[0], blocks[0], format);
        return cloze(pieces, blocks, format);
    }

    void category(const QString &line)
    {
        QString c = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
        c = c.section(QLatin1Char('/'), -1).trimmed();
        // "$course$/top" is Moodle's root, not a name a teacher gave.
        if (!c.isEmpty() && !c.startsWith(QLatin1Char('$')) && c != QLatin1String("top"))
            out.category = c;
    }

  private:
    int m_line = 0;

    void refuse(const QString &why) { out.refused << GiftMessage{m_line, why}; }
    void note(const QString &what) { out.notes << GiftMessage{m_line, what}; }

    // cp1252 bytes of every text, or a refusal naming the first character that has none.
    std::optional<QList<QByteArray>> bytes(const QStringList &texts)
    {
        QList<QByteArray> b;
        for (const QString &t : texts) {
            for (const uint u : t.toUcs4()) {
                const char32_t cp = u;
                const QString c = QString::fromUcs4(&cp, 1);
                if (!representableInCp1252(c)) {
                    refuse(QStringLiteral("Das Zeichen \u201E%1\u201C gibt es in Vellora-Tests nicht "
                                          "(Windows-1252); die Frage wird nicht übernommen.")
                               .arg(c));
                    return std::nullopt;
                }
            }
            b << toCp1252(t);
        }
        return b;
    }

    // Answers that count as right in a typed answer: full marks only.
    QStringList typedAnswers(const Block &b, Format format)
    {
        QStringList right;
        for (const Answer &a : b.answers) {
            const QString t = cleanText(a.text, format, false);
            if (a.weight && *a.weight < 100) {
                note(QStringLiteral(
                         "Die Antwort \u201E%1\u201C gab nur Teilpunkte (%2 %); sie wird nicht übernommen.")
                         .arg(t)
                         .arg(*a.weight));
                continue;
            }
            if (t.isEmpty())
                continue;
            right << t;
            // Pupils write the decimal comma; Moodle's numbers have a point.
            if (b.kind == Block::Numeric && t.contains(QLatin1Char('.')))
                right << QString(t).replace(QLatin1Char('.'), QLatin1Char(','));
            if (b.kind == Block::Numeric && t.contains(QLatin1Char(',')))
                right << QString(t).replace(QLatin1Char(','), QLatin1Char('.'));
        }
        right.removeDuplicates();
        return right;
    }

    QString joinedQuestion(const QStringList &pieces, Format format)
    {
        const QString before = cleanText(pieces[0], format, true);
        const QString after = cleanText(pieces.last(), format, true);
        if (after.isEmpty())
            return before;
        return before + QLatin1Char(' ') + QLatin1String(kBlank) +
               (after.front().isPunct() ? QString() : QStringLiteral(" ")) + after;
    }

    void choice(const QStringList &pieces, const Block &b, Format format)
    {
        const QString question = joinedQuestion(pieces, format);
        if (question.isEmpty())
            return refuse(QStringLiteral("Die Frage hat keinen Text."));
        QStringList options;
        uint16_t mask = 0;
        if (b.kind == Block::TrueFalse) {
            options = {QStringLiteral("Die Aussage ist richtig."), QStringLiteral("Die Aussage ist falsch.")};
            mask = b.truth ? 1 : 2;
        } else {
            if (b.answers.size() > kMaxShownOptions)
                return refuse(
                    QStringLiteral("Die Frage hat %1 Antworten; ein Vellora-Test zeigt höchstens %2.")
                        .arg(b.answers.size())
                        .arg(kMaxShownOptions));
            for (const Answer &a : b.answers) {
                const QString t = cleanText(a.text, format, false);
                if (t.isEmpty())
                    return refuse(QStringLiteral("Eine Antwort ist leer."));
                // "=" is the right answer of a single choice; with weights, every answer that earns
                // points must be ticked.
                const bool right = a.weight ? *a.weight > 0 : a.prefix == QLatin1Char('=');
                if (right)
                    mask = uint16_t(mask | (1u << options.size()));
                options << t;
            }
        }
        const std::optional<QList<QByteArray>> b8 = bytes(QStringList{question} + options);
        if (!b8)
            return;
        TMPCQuestion q;
        q.Question = b8->first();
        q.Options = b8->mid(1);
        q.Count = int32_t(q.Options.size());
        q.Answer = mask;
        out.multipleChoice << q;
    }

    void selfCheck(const QString &piece, const Block &b, Format format)
    {
        const QString question = cleanText(piece, format, true);
        if (question.isEmpty())
            return refuse(QStringLiteral("Die Frage hat keinen Text."));
        const QStringList right = typedAnswers(b, format);
        if (right.isEmpty())
            return refuse(QStringLiteral("Die Frage hat keine Antwort, die volle Punkte gibt."));
        QString answer = right.first();
        if (right.size() > 1)
            answer += QStringLiteral(" (auch richtig: %1)").arg(right.mid(1).join(QStringLiteral(", ")));
        // The explanation a pupil would have seen in Moodle belongs to the revealed answer.
        const QString feedback = cleanText(b.generalFeedback, format, true);
        if (!feedback.isEmpty())
            answer += QStringLiteral("\r\n") + feedback;
        const std::optional<QList<QByteArray>> b8 = bytes({question, answer});
        if (!b8)
            return;
        out.selfCheck << TSLFQuestion{(*b8)[0], (*b8)[1]};
    }

    void cloze(const QStringList &pieces, const QList<Block> &blocks, Format format)
    {
        QString text;
        QList<QStringList> gaps;
        for (qsizetype k = 0; k < blocks.size(); ++k) {
            const QStringList right = typedAnswers(blocks[k], format);
            if (right.isEmpty())
                return refuse(
                    QStringLiteral("Lücke %1 hat keine Antwort, die volle Punkte gibt.").arg(k + 1));
            gaps << right;
        }
        for (qsizetype k = 0; k < pieces.size(); ++k) {
            const QString piece = cleanText(pieces[k], format, false);
            if (piece.contains(QLatin1Char('#')))
                return refuse(QStringLiteral("Ein \u201E#\u201C im Text kann ein Lückentext nicht zeigen (es "
                                             "beginnt dort eine Lücke)."));
            // Blanks around a gap stay as the author wrote them: "H{=2}O" keeps the gap inside.
            const bool blankBefore = k > 0 && !pieces[k].isEmpty() && pieces[k].front().isSpace();
            const bool blankAfter = !pieces[k].isEmpty() && pieces[k].back().isSpace();
            if (k > 0) {
                if (!piece.isEmpty() && piece.front().isDigit() && !blankBefore)
                    return refuse(QStringLiteral("Direkt nach einer Lücke steht eine Ziffer; sie würde als "
                                                 "Breite der Lücke gelesen."));
                if (blankBefore)
                    text += QLatin1Char(' ');
            }
            text += piece;
            if (k < blocks.size()) {
                if (blankAfter && !piece.isEmpty())
                    text += QLatin1Char(' ');
                qsizetype longest = 0;
                for (const QString &a : gaps[k])
                    longest = std::max(longest, a.size());
                text += QStringLiteral("#%1").arg(std::max<qsizetype>(longest + 1, 4));
            }
        }
        QStringList all{text.simplified()};
        for (const QStringList &g : gaps)
            all += g;
        const std::optional<QList<QByteArray>> b8 = bytes(all);
        if (!b8)
            return;
        if (!out.clozeText.isEmpty())
            out.clozeText += ' ';
        out.clozeText += b8->first();
        qsizetype next = 1;
        for (const QStringList &g : gaps) {
            TWord w;
            w.Words = b8->mid(next, g.size());
            w.Count = int32_t(w.Words.size());
            next += g.size();
            out.clozeGaps << w;
        }
    }
};

QString stemLetters(const QString &stem)
{
    QString out;
    for (QChar c : stem.toUpper()) {
        switch (c.unicode()) {
        case u'Ä':
            out += QStringLiteral("AE");
            continue;
        case u'Ö':
            out += QStringLiteral("OE");
            continue;
        case u'Ü':
            out += QStringLiteral("UE");
            continue;
        case u'ß':
            out += QStringLiteral("SS");
            continue;
        default:
            break;
        }
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            out += c;
    }
    return out;
}

char kindLetter(TestKind kind)
{
    return kind == TestKind::SelfCheck ? 'S' : kind == TestKind::MultipleChoice ? 'M' : 'L';
}

} // namespace

GiftImport parseGift(const QString &text)
{
    QString all = text;
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    const QStringList lines = all.split(QLatin1Char('\n'));
    Importer importer;
    QString chunk;
    int chunkLine = 0;
    auto flush = [&]() {
        if (!chunk.trimmed().isEmpty())
            importer.question(chunk, chunkLine);
        chunk.clear();
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &l = lines[i];
        const QString t = l.trimmed();
        if (t.startsWith(QLatin1String("//")))
            continue;
        if (t.isEmpty()) {
            flush();
            continue;
        }
        if (chunk.isEmpty() && t.startsWith(QLatin1String("$CATEGORY:"), Qt::CaseInsensitive)) {
            importer.category(t);
            continue;
        }
        if (chunk.isEmpty())
            chunkLine = int(i + 1);
        chunk += l + QLatin1Char('\n');
    }
    flush();
    return importer.out;
}

QByteArray giftTestId(TestKind kind, const QString &stem)
{
    QByteArray id(1, kindLetter(kind));
    id += stemLetters(stem).left(11).toLatin1();
    while (id.size() < 12)
        id += '-';
    return id + "GIFT";
}

QList<GiftSource> giftSources(const GiftImport &import, const QString &title, const QString &idStem)
{
    QList<GiftSource> out;
    const QByteArray title8 = toCp1252(title);
    auto add = [&](TestKind kind, int questions, const QByteArray &bytes) {
        out << GiftSource{kind, giftTestId(kind, idStem), questions,
                          exportTest(kind, bytes, QStringLiteral("GIFT"))};
    };
    if (!import.selfCheck.isEmpty()) {
        TSLFTest t;
        t.Info = {giftTestId(TestKind::SelfCheck, idStem), title8};
        t.Questions = import.selfCheck;
        t.Count = int32_t(t.Questions.size());
        add(TestKind::SelfCheck, int(t.Count), serializeSelfCheckTest(t));
    }
    if (!import.multipleChoice.isEmpty()) {
        TMPCTest t;
        t.Info = {giftTestId(TestKind::MultipleChoice, idStem), title8};
        t.Questions = import.multipleChoice;
        t.Count = int32_t(t.Questions.size());
        add(TestKind::MultipleChoice, int(t.Count), serializeMultipleChoiceTest(t));
    }
    if (!import.clozeGaps.isEmpty()) {
        TLKTTest t;
        t.Info = {giftTestId(TestKind::Cloze, idStem), title8};
        t.Text = import.clozeText;
        t.Words = import.clozeGaps;
        t.Count = int32_t(t.Words.size());
        add(TestKind::Cloze, int(t.Count), serializeClozeTest(t));
    }
    return out;
}

namespace {

void printLine(FILE *to, const QString &s)
{
    const QByteArray u = s.toUtf8();
    std::fwrite(u.constData(), 1, size_t(u.size()), to);
    std::fputc('\n', to);
}

QString kindName(TestKind kind)
{
    return kind == TestKind::SelfCheck        ? QStringLiteral("Selbsttest")
           : kind == TestKind::MultipleChoice ? QStringLiteral("Multiple-Choice-Test")
                                              : QStringLiteral("Lückentext");
}

} // namespace

int importGiftCommand(const QStringList &positional, const QHash<QString, QString> &options)
{
    if (positional.size() != 1) {
        printLine(
            stderr,
            QStringLiteral(
                "Aufruf: vellora-inhalt import-gift DATEI.gift [-o ORDNER] [--titel TITEL] [--id KENNUNG]"));
        return 2;
    }
    const QString input = positional[0];
    QFile f(input);
    if (!f.open(QIODevice::ReadOnly)) {
        printLine(stderr, QStringLiteral("%1: Die Datei kann nicht geöffnet werden.").arg(input));
        return 2;
    }
    const QByteArray raw = f.readAll();
    const QString fileName = QFileInfo(input).fileName();
    // Moodle writes UTF-8; a file saved by an older Windows editor is read as Windows-1252.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(raw);
    if (utf8.hasError()) {
        text = fromCp1252(raw);
        printLine(stderr,
                  QStringLiteral("%1: kein UTF-8; die Datei wird als Windows-1252 gelesen.").arg(fileName));
    }
    const GiftImport import = parseGift(text);

    const QString stem = QFileInfo(input).completeBaseName();
    QString title =
        options.value(QStringLiteral("--titel"), import.category.isEmpty() ? stem : import.category)
            .simplified();
    if (title.isEmpty() || !representableInCp1252(title)) {
        printLine(
            stderr,
            QStringLiteral(
                "Der Titel \u201E%1\u201C geht nicht; bitte mit --titel einen Titel in Windows-1252 angeben.")
                .arg(title));
        return 2;
    }
    const QString idStem = options.value(QStringLiteral("--id"), stem);
    const QDir folder(options.value(QStringLiteral("-o"), QFileInfo(input).absolutePath()));

    for (const GiftMessage &m : import.refused)
        printLine(stderr, QStringLiteral("%1:%2: %3").arg(fileName).arg(m.line).arg(m.text));
    for (const GiftMessage &m : import.notes)
        printLine(stderr, QStringLiteral("%1:%2: Hinweis: %3").arg(fileName).arg(m.line).arg(m.text));

    const QList<GiftSource> sources = giftSources(import, title, idStem);
    if (sources.isEmpty()) {
        printLine(stderr, QStringLiteral("%1: Keine Frage übernommen; nichts geschrieben.").arg(fileName));
        return 1;
    }
    bool ok = true;
    for (const GiftSource &src : sources) {
        const QString path = folder.filePath(stem + testExtension(src.kind) + QStringLiteral(".yaml"));
        const std::string head = toStd(
            QStringLiteral(
                "# %1 aus %2 (Moodle-GIFT), übernommen mit vellora-inhalt import-gift.\n"
                "# Die ID bleibt fest, solange die Ergebnisse der Lernenden zu diesem Test zählen sollen.\n")
                .arg(kindName(src.kind), fileName));
        const std::string all = head + src.yaml + "\n";
        writeIfChanged(path, QByteArray(all.data(), qsizetype(all.size())));
        // Whatever is written must compile, or the teacher would only learn of it later.
        Diagnostics diag;
        compileTest(path, src.kind, diag);
        for (const QString &m : diag.messages())
            printLine(stderr, m);
        ok = ok && diag.ok();
        printLine(stdout,
                  QStringLiteral("%1: %2, %3 %4, ID %5")
                      .arg(path, kindName(src.kind))
                      .arg(src.questions)
                      .arg(src.kind == TestKind::Cloze ? QStringLiteral("Lücken") : QStringLiteral("Fragen"))
                      .arg(fromCp1252(src.id)));
    }
    if (!import.refused.isEmpty())
        printLine(stderr, QStringLiteral("%1 von %2 Fragen nicht übernommen.")
                              .arg(import.refused.size())
                              .arg(import.questions));
    return ok && import.refused.isEmpty() ? 0 : 1;
}

} // namespace vellora::inhalt
