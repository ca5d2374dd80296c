#include "base/programfolder.h"

#include <QCoreApplication>

namespace vellora {

QString programFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString contentPath(const QString &relative)
{
    return programFolder() + relative;
}

} // namespace vellora
