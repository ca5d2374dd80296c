#include "inhalt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace vellora::inhalt {

bool writeIfChanged(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        QFile old(path);
        if (old.open(QIODevice::ReadOnly) && old.size() == bytes.size() && old.readAll() == bytes) {
            old.close();
            // Same bytes: only the time stamp moves, so the build sees the output as fresh.
            QFile touch(path);
            if (touch.open(QIODevice::ReadWrite))
                touch.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
            return false;
        }
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw std::runtime_error(
            QStringLiteral("%1: kann nicht geschrieben werden.").arg(path).toStdString());
    return true;
}

namespace {

QStringList filesIn(const QString &dir, const QString &pattern)
{
    QStringList out;
    const QDir d(dir);
    for (const QString &name : d.entryList({pattern}, QDir::Files, QDir::Name))
        out << d.filePath(name);
    return out;
}

} // namespace

BuildResult buildContent(const QString &contentDir, const QString &distDir)
{
    Diagnostics diag;
    QList<QPair<QString, QByteArray>> outputs;
    const QDir content(contentDir);
    const QDir dist(distDir);

    QList<GlossarySource> glossarySources;
    for (const QString &f : filesIn(content.filePath(QStringLiteral("glossar")), QStringLiteral("*.yaml")))
        glossarySources << readGlossarySource(f, diag);
    const Glossary glossary = buildGlossary(glossarySources, diag);
    if (!glossarySources.isEmpty())
        outputs << qMakePair(dist.filePath(QStringLiteral("inhalt/glossar.dat")),
                             serializeGlossary(glossary.entries));

    QHash<int, QString> organelleFiles;
    for (const QString &f :
         filesIn(content.filePath(QStringLiteral("organellen")), QStringLiteral("*.yaml"))) {
        static const QRegularExpression organelleName(QStringLiteral("^\\d\\d-.*\\.yaml$"));
        if (!organelleName.match(QFileInfo(f).fileName()).hasMatch()) {
            diag.error(f,
                       QStringLiteral("Organelldateien heißen NN-name.yaml mit dem Index NN (00 bis 10)."));
            continue;
        }
        const OrganellSource src = readOrganellSource(f, diag);
        if (src.index < 0)
            continue;
        if (organelleFiles.contains(src.index)) {
            diag.error(f, QStringLiteral("Organell %1 steht schon in %2.")
                              .arg(src.index)
                              .arg(organelleFiles.value(src.index)));
            continue;
        }
        organelleFiles.insert(src.index, f);
        outputs << qMakePair(dist.filePath(QStringLiteral("inhalt/org%1.organell").arg(src.index)),
                             serializeOrganell(compileOrganell(src, glossary, diag)));
    }

    const QString manualDir = content.filePath(QStringLiteral("handbuch"));
    const QStringList pages = {QStringLiteral("zelle_m"), QStringLiteral("uebung_m"),
                               QStringLiteral("glossar_m")};
    for (const QString &f : filesIn(manualDir, QStringLiteral("*.txt"))) {
        const QString stem = QFileInfo(f).completeBaseName();
        if (!pages.contains(stem)) {
            diag.error(f,
                       QStringLiteral(
                           "Unbekannte Handbuchseite; es gibt zelle_m.txt, uebung_m.txt und glossar_m.txt."));
            continue;
        }
        outputs << qMakePair(dist.filePath(QStringLiteral("inhalt/%1.dat").arg(stem)),
                             compileManualPage(f, diag));
    }

    const QString intro = content.filePath(QStringLiteral("uebung/einleitung.txt"));
    if (QFileInfo::exists(intro))
        outputs << qMakePair(dist.filePath(QStringLiteral("inhalt/uebung.dat")),
                             compileIntroduction(intro, diag));

    // Built-in tests are named test<N>.<slf|mpc|lkt>.yaml; the examples are only checked.
    QList<QPair<QString, QByteArray>> ids;
    static const QRegularExpression testName(QStringLiteral("^test(\\d+)\\.(slf|mpc|lkt)\\.yaml$"));
    const QString testsDir = content.filePath(QStringLiteral("tests"));
    for (const QString &f : filesIn(testsDir, QStringLiteral("*.yaml"))) {
        const auto m = testName.match(QFileInfo(f).fileName());
        const int n = m.hasMatch() ? m.captured(1).toInt() : -1;
        if (!m.hasMatch() || m.captured(1) != QString::number(n) || n >= kTestsPerKind) {
            diag.error(
                f, QStringLiteral(
                       "Testdateien heißen test0.slf.yaml bis test10.lkt.yaml (Nummer ohne führende Null)."));
            continue;
        }
        const CompiledTest t = compileTest(f, testKindOfPath(QStringLiteral("x.") + m.captured(2)), diag);
        // An empty test file would only fail later, in the pupil's hands.
        if (t.bytes.isEmpty() && diag.ok())
            diag.error(f, QStringLiteral("Der Test ergibt eine leere Datei und wird nicht geschrieben."));
        ids << qMakePair(f, t.id);
        outputs << qMakePair(dist.filePath(QStringLiteral("tests/test%1.%2").arg(n).arg(m.captured(2))),
                             t.bytes);
    }
    for (const QString &f :
         filesIn(QDir(testsDir).filePath(QStringLiteral("beispiele")), QStringLiteral("*.yaml")))
        ids << qMakePair(f, compileTest(f, TestKind::Unknown, diag).id);
    checkUniqueIds(ids, diag);

    diag.check();
    BuildResult result;
    result.warnings = diag.warnings();
    for (const auto &[path, bytes] : outputs)
        (writeIfChanged(path, bytes) ? result.written : result.unchanged) << path;
    return result;
}

} // namespace vellora::inhalt
