// vellora-inhalt: the content compiler. See the README section "Eigene Tests schreiben".

#include "gift.h"
#include "inhalt.h"
#include "yamlutil.h"

#include "base/cp1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>

using namespace vellora;
using namespace vellora::inhalt;

namespace {

const char *const kUsage =
    "Aufruf:\n"
    "  vellora-inhalt build INHALTSORDNER PROGRAMMORDNER\n"
    "      übersetzt alle Quellen (organellen/, glossar/, handbuch/, uebung/, tests/)\n"
    "  vellora-inhalt check INHALTSORDNER\n"
    "      prüft alle Quellen, ohne etwas zu schreiben\n"
    "  vellora-inhalt test QUELLE.yaml [-o DATEI.slf|.mpc|.lkt]\n"
    "      übersetzt einen eigenen Test\n"
    "  vellora-inhalt export DATEI [-o ZIEL] [--glossar glossar.dat]\n"
    "      macht aus einer Inhaltsdatei wieder eine lesbare Quelle\n"
    "      (glossar.dat: ZIEL ist ein Ordner mit einer Datei je Eintrag)\n"
    "  vellora-inhalt speech ORGANELL.yaml [--aussprache aussprache.yaml] [-o TEXT.txt]\n"
    "      zeigt den Text, den die Sprachausgabe spricht\n"
    "  vellora-inhalt audio ORGANELL.yaml [--aussprache aussprache.yaml] -o voiceN.mp3 [--tempo 140]\n"
    "      spricht Überschrift und Text mit espeak-ng und speichert sie mit lame als MP3\n"
    "  vellora-inhalt import-gift FRAGEN.gift [-o ORDNER] [--titel TITEL] [--id KENNUNG]\n"
    "      macht aus Moodle-Fragen (GIFT) Testquellen: FRAGEN.slf.yaml, .mpc.yaml, .lkt.yaml\n";

struct Args
{
    QStringList positional;
    QHash<QString, QString> options;
};

bool parseArgs(const QStringList &in, Args &args)
{
    for (qsizetype i = 0; i < in.size(); ++i) {
        const QString &a = in[i];
        if (a == QLatin1String("-o") || a.startsWith(QLatin1String("--"))) {
            if (i + 1 >= in.size()) {
                std::fprintf(stderr, "Nach %s fehlt ein Wert.\n", qPrintable(a));
                return false;
            }
            args.options.insert(a, in[++i]);
        } else {
            args.positional << a;
        }
    }
    return true;
}

void printLine(FILE *to, const QString &s)
{
    const QByteArray u = s.toUtf8();
    std::fwrite(u.constData(), 1, size_t(u.size()), to);
    std::fputc('\n', to);
}

int reportErrors(const QStringList &messages)
{
    for (const QString &m : messages)
        printLine(stderr, m);
    printLine(stderr, QStringLiteral("%1 Fehler; nichts geschrieben.").arg(messages.size()));
    return 1;
}

void writeText(const QString &path, const std::string &text)
{
    writeIfChanged(path, QByteArray(text.data(), qsizetype(text.size())));
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            toStd(QStringLiteral("%1: Die Datei kann nicht geöffnet werden.").arg(path)));
    return f.readAll();
}

int cmdBuild(const Args &a)
{
    if (a.positional.size() != 2)
        return std::fputs(kUsage, stderr), 2;
    const BuildResult r = buildContent(a.positional[0], a.positional[1]);
    for (const QString &w : r.warnings)
        printLine(stderr, w);
    printLine(stdout, QStringLiteral("%1 Dateien geschrieben, %2 unverändert.")
                          .arg(r.written.size())
                          .arg(r.unchanged.size()));
    return 0;
}

int cmdCheck(const Args &a)
{
    if (a.positional.size() != 1)
        return std::fputs(kUsage, stderr), 2;
    QTemporaryDir tmp;
    const BuildResult r = buildContent(a.positional[0], tmp.path());
    for (const QString &w : r.warnings)
        printLine(stderr, w);
    printLine(stdout,
              QStringLiteral("Alles in Ordnung (%1 Dateien).").arg(r.written.size() + r.unchanged.size()));
    return 0;
}

int cmdTest(const Args &a)
{
    if (a.positional.size() != 1)
        return std::fputs(kUsage, stderr), 2;
    const QString source = a.positional[0];
    QString output = a.options.value(QStringLiteral("-o"));
    TestKind hint = TestKind::Unknown;
    if (!output.isEmpty()) {
        hint = testKindOfPath(output);
        if (hint == TestKind::Unknown) {
            printLine(
                stderr,
                QStringLiteral("%1: Die Ausgabedatei muss auf .slf, .mpc oder .lkt enden.").arg(output));
            return 2;
        }
    }
    Diagnostics diag;
    const CompiledTest t = compileTest(source, hint, diag);
    diag.check();
    if (output.isEmpty()) {
        QString base = source;
        if (base.endsWith(QLatin1String(".yaml")))
            base.chop(5);
        output = testKindOfPath(base) == t.kind ? base : base + testExtension(t.kind);
    }
    if (t.bytes.isEmpty())
        throw std::runtime_error(
            toStd(QStringLiteral("%1: Der Test ergibt eine leere Datei; nichts geschrieben.").arg(source)));
    writeIfChanged(output, t.bytes);
    printLine(stdout, QStringLiteral("%1 geschrieben.").arg(output));
    return 0;
}

int cmdExport(const Args &a)
{
    if (a.positional.size() != 1)
        return std::fputs(kUsage, stderr), 2;
    const QString input = a.positional[0];
    const QString output = a.options.value(QStringLiteral("-o"));
    const QFileInfo info(input);
    const QString name = info.fileName();
    const QByteArray bytes = readFile(input);
    auto deliver = [&](const std::string &text) {
        if (output.isEmpty())
            std::fwrite(text.data(), 1, text.size(), stdout);
        else
            writeText(output, text);
    };
    auto loadGlossary = [&]() {
        const QString path =
            a.options.value(QStringLiteral("--glossar"), info.dir().filePath(QStringLiteral("glossar.dat")));
        return glossaryFromFile(LoadGlossary(path));
    };
    if (name.endsWith(QLatin1String(".organell"))) {
        bool ok = false;
        const int index = name.mid(3, name.size() - 3 - 9).toInt(&ok);
        deliver(exportOrganell(parseOrganell(bytes), ok ? index : -1, loadGlossary()));
    } else if (name == QLatin1String("glossar.dat")) {
        if (output.isEmpty())
            throw std::runtime_error("Für glossar.dat bitte mit -o einen Zielordner angeben.");
        const Glossary g = glossaryFromFile(parseGlossary(bytes));
        QSet<QString> used;
        for (const TGlossarEntry &e : g.entries) {
            QString stem = glossaryFileStem(fromCp1252(e.Title));
            for (int n = 2; used.contains(stem); ++n)
                stem = glossaryFileStem(fromCp1252(e.Title)) + QStringLiteral("-%1").arg(n);
            used.insert(stem);
            writeText(QDir(output).filePath(stem + QStringLiteral(".yaml")), exportGlossaryEntry(e, g));
        }
        printLine(stderr,
                  QStringLiteral("%1 Einträge nach %2 geschrieben.").arg(g.entries.size()).arg(output));
    } else if (name == QLatin1String("uebung.dat")) {
        deliver(exportIntroduction(bytes));
    } else if (name.endsWith(QLatin1String("_m.dat"))) {
        deliver(exportManualPage(bytes));
    } else if (const TestKind kind = testKindOfPath(name); kind != TestKind::Unknown) {
        deliver(exportTest(kind, bytes, input));
    } else {
        printLine(stderr, QStringLiteral("%1: unbekannte Art von Inhaltsdatei.").arg(input));
        return 2;
    }
    return 0;
}

QString speechFor(const Args &a)
{
    Diagnostics diag;
    const OrganellSource src = readOrganellSource(a.positional[0], diag);
    Pronunciation list;
    const QString pron = a.options.value(QStringLiteral("--aussprache"));
    if (!pron.isEmpty() && QFileInfo::exists(pron))
        list = readPronunciation(pron, diag);
    diag.check();
    return speechText(src, list);
}

int cmdSpeech(const Args &a)
{
    if (a.positional.size() != 1)
        return std::fputs(kUsage, stderr), 2;
    const QString text = speechFor(a);
    const QString output = a.options.value(QStringLiteral("-o"));
    if (output.isEmpty())
        printLine(stdout, text);
    else
        writeIfChanged(output, text.toUtf8());
    return 0;
}

void run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    if (!p.waitForStarted(-1))
        throw std::runtime_error(
            toStd(QStringLiteral("%1 lässt sich nicht starten (installiert?).").arg(program)));
    p.waitForFinished(-1);
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(
            toStd(QStringLiteral("%1 ist mit Fehler %2 beendet worden.").arg(program).arg(p.exitCode())));
}

int cmdAudio(const Args &a)
{
    const QString output = a.options.value(QStringLiteral("-o"));
    if (a.positional.size() != 1 || output.isEmpty())
        return std::fputs(kUsage, stderr), 2;
    const QString text = speechFor(a);
    QTemporaryDir tmp;
    const QString textFile = tmp.filePath(QStringLiteral("text.txt"));
    const QString wavFile = tmp.filePath(QStringLiteral("text.wav"));
    const QString mp3File = tmp.filePath(QStringLiteral("text.mp3"));
    writeIfChanged(textFile, text.toUtf8());
    // 140 words a minute: calmer than espeak-ng's 175, still natural for pupils.
    run(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QStringLiteral("de"), QStringLiteral("-s"),
                                      a.options.value(QStringLiteral("--tempo"), QStringLiteral("140")),
                                      QStringLiteral("-w"), wavFile, QStringLiteral("-f"), textFile});
    run(QStringLiteral("lame"), {QStringLiteral("--quiet"), QStringLiteral("-m"), QStringLiteral("m"),
                                 QStringLiteral("-b"), QStringLiteral("64"), wavFile, mp3File});
    QFile mp3(mp3File);
    if (!mp3.open(QIODevice::ReadOnly))
        throw std::runtime_error("lame hat keine MP3-Datei geschrieben.");
    writeIfChanged(output, mp3.readAll());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList in = app.arguments().mid(1);
    if (in.isEmpty() || in.first() == QLatin1String("--help") || in.first() == QLatin1String("-h")) {
        std::fputs(kUsage, in.isEmpty() ? stderr : stdout);
        return in.isEmpty() ? 2 : 0;
    }
    const QString command = in.takeFirst();
    Args args;
    if (!parseArgs(in, args))
        return 2;
    try {
        if (command == QLatin1String("build"))
            return cmdBuild(args);
        if (command == QLatin1String("check"))
            return cmdCheck(args);
        if (command == QLatin1String("test"))
            return cmdTest(args);
        if (command == QLatin1String("export"))
            return cmdExport(args);
        if (command == QLatin1String("speech"))
            return cmdSpeech(args);
        if (command == QLatin1String("audio"))
            return cmdAudio(args);
        if (command == QLatin1String("import-gift"))
            return importGiftCommand(args.positional, args.options);
        printLine(stderr, QStringLiteral("Unbekannter Befehl \u201E%1\u201C.").arg(command));
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const CompileError &e) {
        return reportErrors(e.messages);
    } catch (const std::exception &e) {
        printLine(stderr, QString::fromUtf8(e.what()));
        return 1;
    }
}
