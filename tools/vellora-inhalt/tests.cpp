// Test sources: self-check, multiple-choice and cloze tests in YAML.

#include "inhalt.h"
#include "textutil.h"
#include "yamlutil.h"

#include "base/cp1252.h"

namespace vellora::inhalt {

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
    case 'S':
        return TestKind::SelfCheck;
    case 'M':
        return TestKind::MultipleChoice;
    case 'L':
        return TestKind::Cloze;
    default:
        return TestKind::Unknown;
    }
}

QString kindName(TestKind k)
{
    switch (k) {
    case TestKind::SelfCheck:
        return QStringLiteral("Selbsttest");
    case TestKind::MultipleChoice:
        return QStringLiteral("Multiple-Choice-Test");
    case TestKind::Cloze:
        return QStringLiteral("Lückentext");
    case TestKind::Unknown:
        break;
    }
    return QStringLiteral("unbekannt");
}

char kindLetter(TestKind k)
{
    switch (k) {
    case TestKind::SelfCheck:
        return 'S';
    case TestKind::MultipleChoice:
        return 'M';
    case TestKind::Cloze:
        return 'L';
    case TestKind::Unknown:
        break;
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
    if (!isExact(node))
        checkHyphens(t, file, lineOf(node), diag);
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
    if (!checkMap(*root, {"id", "kind", "title", "questions", "text", "gaps"}, file,
                  QStringLiteral("Eine Testdatei"), diag))
        return out;
    const int errorsBefore = diag.messages().size();

    TTestInfo info;
    const YAML::Node idNode = (*root)["id"];
    if (const auto id = scalarText(*root, "id", file, diag)) {
        info.ID = toCp1252Checked(*id, file, lineOf(idNode), QStringLiteral("ID"), diag);
        if (info.ID.size() != kTestIdSize)
            diag.error(
                file, lineOf(idNode),
                QStringLiteral("Die ID \u201E%1\u201C ist %2 Bytes lang; sie muss genau %3 Bytes lang sein.")
                    .arg(*id)
                    .arg(info.ID.size())
                    .arg(kTestIdSize));
    }
    TestKind kind = kindHint;
    if (const auto k = scalarText(*root, "kind", file, diag, false)) {
        const TestKind named = kindFromName(*k);
        if (named == TestKind::Unknown)
            diag.error(
                file, lineOf((*root)["kind"]),
                QStringLiteral(
                    "\u201Ekind: %1\u201C ist unbekannt (selbsttest, multiple-choice oder lueckentext).")
                    .arg(*k));
        else if (kindHint != TestKind::Unknown && named != kindHint)
            diag.error(file, lineOf((*root)["kind"]),
                       QStringLiteral("\u201Ekind: %1\u201C passt nicht zur Endung der Ausgabedatei (%2).")
                           .arg(*k, testExtension(kindHint)));
        else
            kind = named;
    }
    if (!info.ID.isEmpty()) {
        const TestKind byLetter = kindFromLetter(info.ID[0]);
        if (byLetter == TestKind::Unknown)
            diag.error(file, lineOf(idNode),
                       QStringLiteral("Die ID muss mit \u201ES\u201C (Selbsttest), \u201EM\u201C "
                                      "(Multiple-Choice) oder \u201EL\u201C (Lückentext) beginnen."));
        else if (kind == TestKind::Unknown)
            kind = byLetter;
        else if (byLetter != kind)
            diag.error(file, lineOf(idNode),
                       QStringLiteral("Die ID beginnt mit \u201E%1\u201C, ein %2 braucht \u201E%3\u201C.")
                           .arg(QChar(info.ID[0]))
                           .arg(kindName(kind))
                           .arg(QChar(kindLetter(kind))));
    }
    info.Title = testText((*root)["title"], file, QStringLiteral("Titel"), false, diag);
    out.kind = kind;
    out.id = info.ID;

    const YAML::Node questions = (*root)["questions"];
    auto checkQuestionList = [&]() {
        if (!questions.IsDefined() || !questions.IsSequence() || questions.size() == 0) {
            diag.error(
                file, lineOf(*root),
                QStringLiteral("\u201Equestions\u201C muss eine Liste mit mindestens einer Frage sein."));
            return false;
        }
        return true;
    };
    if (kind != TestKind::Cloze && ((*root)["text"].IsDefined() || (*root)["gaps"].IsDefined()))
        diag.error(file, lineOf(*root),
                   QStringLiteral("\u201Etext\u201C und \u201Egaps\u201C gehören nur in einen Lückentext."));
    if (kind == TestKind::Cloze && questions.IsDefined())
        diag.error(file, lineOf(questions),
                   QStringLiteral("Ein Lückentext hat keine \u201Equestions\u201C, sondern \u201Etext\u201C "
                                  "und \u201Egaps\u201C."));

    switch (kind) {
    case TestKind::Unknown:
        diag.error(file, QStringLiteral("Die Testart ist unbekannt: bitte \u201Ekind\u201C angeben oder die "
                                        "ID mit S, M oder L beginnen lassen."));
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
                    diag.error(file, lineOf(q),
                               QStringLiteral("Jede Frage braucht eine Liste \u201Eoptions\u201C."));
                    continue;
                }
                if (options.size() > size_t(kMaxShownOptions))
                    diag.error(
                        file, lineOf(options),
                        QStringLiteral("Die Frage hat %1 Antworten; höchstens %2 passen auf die Seite.")
                            .arg(options.size())
                            .arg(kMaxShownOptions));
                int k = 0;
                for (const auto &o : options) {
                    if (o.IsMap()) {
                        if (!checkMap(o, {"text", "correct"}, file, QStringLiteral("Eine Antwort"), diag))
                            continue;
                        mq.Options << testText(o["text"], file, QStringLiteral("Antwort"), false, diag);
                        const YAML::Node c = o["correct"];
                        bool right = false;
                        if (c.IsDefined() && !(c.IsScalar() && YAML::convert<bool>::decode(c, right)))
                            diag.error(file, lineOf(c),
                                       QStringLiteral("\u201Ecorrect\u201C muss true oder false sein."));
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
                diag.error(file, lineOf(text),
                           QStringLiteral("Auf jedes \u201E#\u201C muss die Breite der Lücke folgen (eine "
                                          "Zahl ab 1), z. B. \u201E#8\u201C."));
        const YAML::Node gapList = (*root)["gaps"];
        if (!gapList.IsDefined() || !gapList.IsSequence()) {
            diag.error(file, lineOf(*root),
                       QStringLiteral(
                           "\u201Egaps\u201C muss eine Liste sein: für jede Lücke die erlaubten Antworten."));
        } else {
            if (gapList.size() != size_t(gaps.size())) {
                // In YAML a '#' after a blank starts a comment, which silently cuts a plain text.
                const QString hint =
                    gapList.size() > size_t(gaps.size()) && text.IsDefined() && !text.IsNull() &&
                            text.Tag() == "?"
                        ? QStringLiteral(" Achtung: \u201E#\u201C nach einem Leerzeichen beginnt in YAML "
                                         "einen Kommentar; den Text in Anführungszeichen setzen oder als "
                                         "Block schreiben (text: >-).")
                        : QString();
                diag.error(
                    file, lineOf(gapList),
                    QStringLiteral("Der Text hat %1 Lücken (\u201E#\u201C), \u201Egaps\u201C nennt %2.%3")
                        .arg(gaps.size())
                        .arg(gapList.size())
                        .arg(hint));
            }
            if (gaps.isEmpty())
                diag.error(file, lineOf(text),
                           QStringLiteral("Der Lückentext hat keine Lücke (\u201E#\u201C mit Breite)."));
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
    // A test that could not be serialised must never be written as an empty file.
    if (diag.messages().size() == errorsBefore && out.bytes.isEmpty() && out.kind != TestKind::Unknown)
        diag.error(file,
                   QStringLiteral(
                       "Der Test konnte nicht geschrieben werden (die ID muss genau 16 Bytes lang sein)."));
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
            diag.error(
                file, QStringLiteral("Die ID \u201E%1\u201C hat schon %2; jeder Test braucht eine eigene ID.")
                          .arg(fromCp1252(id), *it));
        else
            seen.insert(id, file);
    }
}

} // namespace vellora::inhalt
