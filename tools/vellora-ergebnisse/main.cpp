// vellora-ergebnisse: tabulates the results of exported profile files for the teacher.
// See the README section "Ergebnisse der Klasse".

#include "ergebnisse.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

using namespace vellora::ergebnisse;

namespace {

const char *const kUsage =
    "Aufruf:\n"
    "  vellora-ergebnisse [-o TABELLE.csv] [--inhalt PROGRAMMORDNER] PROFIL.usr ...\n"
    "      schreibt die Ergebnisse der Lernprofile als Tabelle (CSV, Semikolons, UTF-8);\n"
    "      statt einzelner Dateien geht auch ein Ordner oder ein Muster wie *.usr.\n"
    "      Ohne -o erscheint die Tabelle auf der Standardausgabe.\n"
    "      --inhalt: der Ordner mit dem Programm vellora (für die Titel der Tests in tests/);\n"
    "      ohne diese Angabe der Ordner dieses Werkzeugs.\n"
    "Rückgabewert: 0 alles gelesen, 1 beschädigte Dateien übersprungen, 2 Aufruf- oder Schreibfehler.\n";

void printLine(FILE *to, const QString &s)
{
    const QByteArray u = s.toUtf8();
    std::fwrite(u.constData(), 1, size_t(u.size()), to);
    std::fputc('\n', to);
}

// Windows shells pass "*.usr" through unexpanded, and a teacher may name the folder the files
// were collected in; the profile index of a profile folder is not a profile and is left out.
QStringList expand(const QString &argument)
{
    const QFileInfo info(argument);
    const bool pattern = argument.contains(QLatin1Char('*')) || argument.contains(QLatin1Char('?'));
    if (!info.isDir() && (info.exists() || !pattern))
        return {argument};
    const QDir dir = info.isDir() ? QDir(argument) : info.dir();
    const QString filter = info.isDir() ? QStringLiteral("*.usr") : info.fileName();
    QStringList out;
    for (const QString &name : dir.entryList({filter}, QDir::Files, QDir::Name))
        if (name.compare(QLatin1String("index.usr"), Qt::CaseInsensitive) != 0)
            out << dir.filePath(name);
    return out;
}

// The program folder beside this tool; in a build tree the tools lie in bin/ and the program
// in dist/.
QString defaultProgramFolder()
{
    const QDir own(QCoreApplication::applicationDirPath());
    if (!own.exists(QStringLiteral("tests")) && own.exists(QStringLiteral("../dist/tests")))
        return QDir::cleanPath(own.filePath(QStringLiteral("../dist")));
    return own.path();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList in = app.arguments().mid(1);
    QString output;
    QString folder;
    QStringList files;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QString &a = in[i];
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == QLatin1String("-o") || a == QLatin1String("--inhalt")) {
            if (i + 1 >= in.size()) {
                printLine(stderr, QStringLiteral("Nach %1 fehlt ein Wert.").arg(a));
                return 2;
            }
            (a == QLatin1String("-o") ? output : folder) = in[++i];
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            printLine(stderr, QStringLiteral("Unbekannte Angabe \u201E%1\u201C.").arg(a));
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            const QStringList found = expand(a);
            if (found.isEmpty())
                printLine(stderr, QStringLiteral("%1: keine passende Datei gefunden.").arg(a));
            files << found;
        }
    }
    if (files.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (folder.isEmpty())
        folder = defaultProgramFolder();
    else if (!QFileInfo(folder).isDir()) {
        printLine(stderr, QStringLiteral("%1: Der Programmordner existiert nicht.").arg(folder));
        return 2;
    }

    QStringList notes;
    const QHash<QByteArray, TestName> tests = builtInTests(folder, &notes);
    if (tests.isEmpty())
        notes << QStringLiteral(
                     "In %1 liegen keine Tests (tests/test0.slf usw.); die Tabelle nennt die Tests "
                     "mit ihrer ID. Den Programmordner mit --inhalt angeben.")
                     .arg(QDir::toNativeSeparators(folder));

    bool skipped = false;
    QList<Pupil> pupils;
    for (const QString &file : std::as_const(files)) {
        QString reason;
        if (std::optional<Pupil> p = readPupil(file, reason)) {
            pupils << *p;
        } else {
            printLine(stderr, QStringLiteral("%1: %2 Die Datei wird übersprungen.").arg(file, reason));
            skipped = true;
        }
    }
    pupils = mergeSameNames(pupils, &notes);
    for (const QString &n : std::as_const(notes))
        printLine(stderr, n);

    const QByteArray csv = toCsv(classOverview(pupils, tests));
    if (output.isEmpty()) {
        std::fwrite(csv.constData(), 1, size_t(csv.size()), stdout);
    } else {
        QSaveFile f(output);
        if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size() || !f.commit()) {
            printLine(stderr, QStringLiteral("%1: Die Tabelle kann nicht geschrieben werden (%2).")
                                  .arg(output, f.errorString()));
            return 2;
        }
        printLine(stderr, QStringLiteral("%1 Lernprofile in %2 geschrieben.").arg(pupils.size()).arg(output));
    }
    return skipped ? 1 : 0;
}
