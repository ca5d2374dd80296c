#include "base/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <QCoreApplication>

namespace vellora {

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolder()
{
    QString dir = folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void setProgramFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString contentPath(const QString &relative)
{
    return programFolder() + relative;
}

} // namespace vellora

namespace vellora {

QString missingContentMessage()
{
    QStringList missing;
    for (const char *folder : {"inhalt", "zelle"}) {
        const QString path = contentPath(QString::fromLatin1(folder));
        if (!QFileInfo(path).isDir())
            missing << QStringLiteral("\u201E%1\u201C").arg(QDir::toNativeSeparators(path));
    }
    if (missing.isEmpty())
        return {};
    return QStringLiteral("Vellora kann nicht starten, weil der Inhalt fehlt: %1 %2 nicht da. "
                          "Bitte Vellora neu installieren.")
        .arg(missing.join(QStringLiteral(" und ")),
             missing.size() == 1 ? QStringLiteral("ist") : QStringLiteral("sind"));
}

} // namespace vellora
