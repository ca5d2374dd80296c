#include "base/programfolder.h"

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
