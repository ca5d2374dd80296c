// vellora-bilder: makes the glossary's pictures from content/bilder/bilder.yaml.

#include "bilder.h"

#include "base/fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>

#include <cstdio>
#include <stdexcept>

using namespace vellora::bilder;

namespace {

const char *const kUsage = "Aufruf:\n"
                           "  vellora-bilder build BILDER.yaml --shots AUFNAHMEORDNER --out ZIELORDNER\n"
                           "      schreibt jedes Bild als ZIELORDNER/NAME.bmp; Aufnahmen des Zellmodells\n"
                           "      (whole.png, detailN.png, partM.png) kommen von zelle-shot --parts\n"
                           "  vellora-bilder check BILDER.yaml\n"
                           "      prüft die Liste und zeichnet die Zeichnungen, ohne etwas zu schreiben\n"
                           "  vellora-bilder diagram NAME BILDER.yaml -o DATEI.png\n"
                           "      zeichnet eine einzelne Zeichnung (zum Ansehen beim Schreiben)\n";

int build(const QString &sources, const QString &shots, const QString &out)
{
    const QList<PictureSource> list = readSources(sources);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "vellora-bilder: %s lässt sich nicht anlegen.\n", qPrintable(out));
        return 1;
    }
    QSet<QString> written;
    for (const PictureSource &src : list) {
        const QString path = out + QLatin1Char('/') + src.file + QStringLiteral(".bmp");
        if (!writeBmp(makePicture(src, shots), path)) {
            std::fprintf(stderr, "vellora-bilder: %s lässt sich nicht schreiben.\n", qPrintable(path));
            return 1;
        }
        written.insert(src.file + QStringLiteral(".bmp"));
    }
    // Pictures taken out of the list leave the program folder too.
    for (const QString &old : QDir(out).entryList({QStringLiteral("*.bmp")}, QDir::Files))
        if (!written.contains(old))
            QFile::remove(out + QLatin1Char('/') + old);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Text is measured and drawn with the program's fonts, without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    vellora::installFontSubstitutions();
    const QStringList args = app.arguments().mid(1);
    auto option = [&](const QString &name) {
        const qsizetype i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    try {
        if (args.size() >= 2 && args[0] == QLatin1String("build") &&
            !option(QStringLiteral("--shots")).isEmpty() && !option(QStringLiteral("--out")).isEmpty())
            return build(args[1], option(QStringLiteral("--shots")), option(QStringLiteral("--out")));
        if (args.size() == 2 && args[0] == QLatin1String("check")) {
            for (const PictureSource &src : readSources(args[1]))
                if (src.kind == PictureSource::Kind::Diagram)
                    drawDiagram(src.diagram, src.labels);
            return 0;
        }
        if (args.size() >= 3 && args[0] == QLatin1String("diagram") &&
            !option(QStringLiteral("-o")).isEmpty()) {
            for (const PictureSource &src : readSources(args[2]))
                if (src.kind == PictureSource::Kind::Diagram && src.diagram == args[1])
                    return drawDiagram(src.diagram, src.labels).save(option(QStringLiteral("-o"))) ? 0 : 1;
            std::fprintf(stderr, "vellora-bilder: keine Zeichnung \u201E%s\u201C in %s\n",
                         qPrintable(args[1]), qPrintable(args[2]));
            return 1;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "vellora-bilder: %s\n", e.what());
        return 1;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
