#include "ergebnisse.h"

#include "testfiles.h"
#include "testrun.h"

#include "base/asciifold.h"
#include "base/contentfile.h"
#include "base/cp1252.h"
#include "base/germanorder.h"
#include "base/programfolder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <algorithm>
#include <tuple>

namespace vellora::ergebnisse {

namespace {

int kindOrder(char letter)
{
    switch (letter) {
    case 'S':
        return 0;
    case 'M':
        return 1;
    case 'L':
        return 2;
    default:
        return 3;
    }
}

QString kindName(char letter)
{
    switch (letter) {
    case 'S':
        return QStringLiteral("Selbsttest");
    case 'M':
        return QStringLiteral("Multiple-Choice-Test");
    case 'L':
        return QStringLiteral("Lückentext");
    default:
        return QString();
    }
}

// A test's ID as a cell of the table when no built-in test has it; control bytes would break the
// line structure of spreadsheets that do not honour quotes across lines.
QString idText(const QByteArray &id)
{
    QByteArray shown = id;
    for (char &c : shown)
        if (uchar(c) < 0x20)
            c = ' ';
    return fromCp1252(shown).trimmed();
}

bool startsWith(const QList<TTestResult> &longer, const QList<TTestResult> &shorter)
{
    return shorter.size() <= longer.size() && std::equal(shorter.begin(), shorter.end(), longer.begin());
}

} // namespace

std::optional<Pupil> readPupil(const QString &path, QString &reason)
{
    ReadFailure failure = ReadFailure::None;
    const QByteArray bytes = readWholeFile(path, failure);
    if (failure != ReadFailure::None) {
        reason = readFailureText(failure);
        return std::nullopt;
    }
    profiles::ProfileFile file;
    switch (profiles::readProfileFile(bytes, file)) {
    case profiles::ProfileFileError::None:
        break;
    case profiles::ProfileFileError::NegativeNameLength:
        reason = QStringLiteral("Die Länge des Namens ist negativ; die Datei ist beschädigt.");
        return std::nullopt;
    case profiles::ProfileFileError::TooShort:
        reason =
            QStringLiteral("Die Datei ist zu kurz für ein Lernprofil (beschädigt oder keine Profildatei).");
        return std::nullopt;
    }
    // The reader takes any bytes that fit; a file the program wrote has a name the dialog allows
    // and a digest, which tells a renamed picture or text file from a profile.
    if (!profiles::validProfileName(file.Name) || !profiles::validDigest(file.Password)) {
        reason =
            QStringLiteral("Die Datei ist kein Vellora-Lernprofil (Name oder Passwort-Prüfwert ungültig).");
        return std::nullopt;
    }
    for (qsizetype k = 0; k < file.Results.size(); ++k) {
        const TTestResult &r = file.Results[k];
        if (kindOrder(r.TestID.at(0)) > 2 || r.Total <= 0 || r.Right < 0 || r.Right > r.Total || r.Time < 0) {
            reason = QStringLiteral("Ergebnis Nr. %1 ist beschädigt.").arg(k + 1);
            return std::nullopt;
        }
    }
    Pupil p;
    p.file = path;
    p.name = file.Name;
    p.label = fromCp1252(file.Name);
    p.results = file.Results;
    return p;
}

QList<Pupil> mergeSameNames(QList<Pupil> pupils, QStringList *notes)
{
    QList<Pupil> out;
    for (Pupil &p : pupils) {
        bool merged = false;
        for (Pupil &kept : out) {
            if (!asciiEqualNoCase(kept.name, p.name))
                continue;
            // Exports of one profile at different times: the later one holds all earlier results.
            if (startsWith(p.results, kept.results) || startsWith(kept.results, p.results)) {
                const bool takeNew = p.results.size() > kept.results.size();
                const QString dropped = takeNew ? kept.file : p.file;
                if (takeNew)
                    kept = p;
                if (notes)
                    *notes << QStringLiteral("%1: ein älterer Export des Lernprofils \u201E%2\u201C aus %3; "
                                             "gezählt wird nur %3.")
                                  .arg(dropped, fromCp1252(p.name), kept.file);
                merged = true;
                break;
            }
        }
        if (!merged)
            out << p;
    }
    // Different pupils of one name stay apart; the file name tells them apart in the table.
    for (Pupil &p : out) {
        const bool twin = std::count_if(out.begin(), out.end(),
                                        [&](const Pupil &o) { return asciiEqualNoCase(o.name, p.name); }) > 1;
        p.label = twin ? QStringLiteral("%1 (%2)").arg(fromCp1252(p.name), QFileInfo(p.file).fileName())
                       : fromCp1252(p.name);
    }
    return out;
}

QHash<QByteArray, TestName> builtInTests(const QString &programFolder, QStringList *notes)
{
    QHash<QByteArray, TestName> out;
    const QString saved = vellora::programFolder();
    setProgramFolder(programFolder);
    for (const TestKind kind : {TestKind::SelfCheck, TestKind::MultipleChoice, TestKind::Cloze}) {
        for (int n = 0; n < kTestsPerKind; ++n) {
            const QString path = testPath(kind, n);
            if (!QFileInfo::exists(path))
                continue;
            try {
                const TTestInfo info = LoadTestHeader(path);
                out.insert(info.ID, {info.Title, n});
            } catch (const TestFileError &e) {
                if (notes)
                    *notes << QString::fromUtf8(e.what());
            }
        }
    }
    setProgramFolder(saved);
    return out;
}

QString resultDate(int32_t time)
{
    // The stored seconds count wall-clock time, so no zone or summer-time shift is applied.
    const QDateTime origin(QDate(1970, 1, 1), QTime(1, 0, 0), Qt::UTC);
    return origin.addSecs(time).toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

QList<Row> classOverview(const QList<Pupil> &pupils, const QHash<QByteArray, TestName> &tests)
{
    struct Taken
    {
        const Pupil *pupil = nullptr;
        QList<int> percents;
        int32_t lastTime = 0;
    };
    // Per test ID the pupils in file order, each with its percentages in the order taken.
    QHash<QByteArray, QList<Taken>> byTest;
    for (const Pupil &p : pupils) {
        for (const TTestResult &r : p.results) {
            QList<Taken> &list = byTest[r.TestID];
            if (list.isEmpty() || list.last().pupil != &p)
                list.append({&p, {}, 0});
            list.last().percents << resultPercent(r.Right, r.Total);
            list.last().lastTime = r.Time;
        }
    }
    QList<QByteArray> ids = byTest.keys();
    auto key = [&](const QByteArray &id) {
        const auto it = tests.constFind(id);
        return std::make_tuple(kindOrder(id.at(0)), it == tests.constEnd() ? 1 : 0,
                               it == tests.constEnd() ? 0 : it->number);
    };
    std::sort(ids.begin(), ids.end(), [&](const QByteArray &a, const QByteArray &b) {
        const auto ka = key(a), kb = key(b);
        return ka != kb ? ka < kb : a < b;
    });

    QList<Row> rows;
    for (const QByteArray &id : ids) {
        QList<Taken> taken = byTest.value(id);
        std::stable_sort(taken.begin(), taken.end(), [](const Taken &a, const Taken &b) {
            return germanLess(toCp1252(a.pupil->label), toCp1252(b.pupil->label));
        });
        const auto it = tests.constFind(id);
        const QString title = it == tests.constEnd() ? idText(id) : fromCp1252(it->title);
        const QString kind = kindName(id.at(0));
        Row sum{QString(), title, kind, 0, 0, 0, QString(), true};
        QList<int> bests, lasts;
        int32_t latest = 0;
        for (const Taken &t : taken) {
            Row r;
            r.name = t.pupil->label;
            r.test = title;
            r.kind = kind;
            r.attempts = int(t.percents.size());
            r.best = *std::max_element(t.percents.begin(), t.percents.end());
            r.last = t.percents.last();
            r.lastDate = resultDate(t.lastTime);
            rows << r;
            sum.attempts += r.attempts;
            bests << r.best;
            lasts << r.last;
            latest = std::max(latest, t.lastTime);
        }
        sum.name = taken.size() == 1 ? QStringLiteral("Klasse (1 Lernprofil)")
                                     : QStringLiteral("Klasse (%1 Lernprofile)").arg(taken.size());
        sum.best = averageOfPercents(bests).Pos;
        sum.last = averageOfPercents(lasts).Pos;
        sum.lastDate = resultDate(latest);
        rows << sum;
    }
    return rows;
}

QByteArray csvField(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(';') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8;
    utf8.replace("\"", "\"\"");
    return '"' + utf8 + '"';
}

QByteArray toCsv(const QList<Row> &rows)
{
    // The byte order mark makes Excel read UTF-8 instead of the ANSI code page; LibreOffice
    // takes it as the encoding too. CR LF ends each line as spreadsheets write it themselves.
    QByteArray out("\xEF\xBB\xBF");
    auto line = [&out](const QStringList &fields) {
        QByteArrayList cells;
        for (const QString &f : fields)
            cells << csvField(f);
        out += cells.join(';') + "\r\n";
    };
    line({QStringLiteral("Name"), QStringLiteral("Test"), QStringLiteral("Testart"),
          QStringLiteral("Versuche"), QStringLiteral("Bester Wert (%)"), QStringLiteral("Letzter Wert (%)"),
          QStringLiteral("Letzter Versuch")});
    for (const Row &r : rows)
        line({r.name, r.test, r.kind, QString::number(r.attempts), QString::number(r.best),
              QString::number(r.last), r.lastDate});
    return out;
}

} // namespace vellora::ergebnisse
